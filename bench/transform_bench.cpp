// Times what a user waits for in a transformation window on a large picture, from inside the
// engine (the comparison with other programs cannot see these):
//  - the preview at the zoom a new preview opens at, recomputed after a settings change;
//  - Gaussian blur on Apply at radius 2 and 128, which the running sums make cost about the
//    same.
//
//   morvane-transform-bench PICTURE [FRAME_WIDTH FRAME_HEIGHT]
//
// FRAME is the workspace the preview must fit half of (default 1920 x 1080). Prints one line
// per case: "<case> median <ms> max <ms>".
#include "core/image.h"
#include "formats/file_open.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "transform/compute_driver.h"
#include "transform/operation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const std::string& name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%s median %.1f max %.1f\n", name.c_str(), times[times.size() / 2], times.back());
}

struct Setting {
    const char* key;
    const char* value;
};

// The operation's values with `settings` applied; exits on a typo in this program.
mv::OperationValues values_of(const mv::Operation& op, const std::vector<Setting>& settings)
{
    mv::OperationValues v = mv::operation_defaults(op);
    std::string message;
    for (const Setting& s : settings)
        if (!mv::operation_set(op, v, s.key, s.value, message)) {
            std::fprintf(stderr, "morvane-transform-bench: %s\n", message.c_str());
            std::exit(1);
        }
    return v;
}

// Recomputes the whole preview of `op` as the compute driver does after a settings change:
// the visible area of the reduced picture, into the preview's display image.
int preview_once(const mv::Operation& op, const mv::OperationValues& values, const mv::WindowRecord& in,
                 mv::WindowRecord& out)
{
    std::unique_ptr<mv::OperationSettings> settings;
    if (const int e = op.make(in.image, values, settings))
        return e;
    mv::RegionRequest q;
    q.input = &in.image;
    q.input_record = &in;
    q.output_record = &out;
    q.full = false;
    q.title = op.title;
    q.output = &out.display;
    q.output_width = out.visible_width;
    q.output_height = out.visible_height;
    q.zoom = out.zoom;
    const mv::PreviewRegion p = mv::preview_region(out.zoom, q.output_width, q.output_height, nullptr,
                                                   out.shown.left, out.shown.bottom, in.image.height);
    q.x0 = p.x0;
    q.y0 = p.y0;
    q.first_column = p.first_column;
    q.first_row = p.first_row;
    q.last_column = p.last_column;
    q.last_row = p.last_row;
    q.columns = p.columns;
    q.rows = p.rows;
    return settings->region()(q, settings->record());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: morvane-transform-bench PICTURE [FRAME_WIDTH FRAME_HEIGHT]\n");
        return 2;
    }
    if (mv::engine_startup() != 0)
        return 1;
    mv::WindowRecord in;
    mv::OpenedFile opened;
    if (const int e = mv::file_open_path(argv[1], -1, in.image, opened, false)) {
        std::fprintf(stderr, "morvane-transform-bench: cannot open %s (error %d)\n", argv[1], e);
        return 1;
    }
    const int frame_w = argc == 4 ? std::atoi(argv[2]) : 1920, frame_h = argc == 4 ? std::atoi(argv[3]) : 1080;
    const int zoom = mv::preview_initial_zoom(in.image.width, in.image.height, 8, 30, 6, frame_w, frame_h);
    mv::WindowRecord out;
    mv::preview_view_setup(out, in.image.width, in.image.height, zoom);
    std::printf("picture %d x %d, preview zoom %d (%d x %d)\n", in.image.width, in.image.height, zoom,
                out.visible_width, out.visible_height);

    const std::pair<const char*, std::vector<Setting>> previews[] = {
        {"levels-and-color", {}},
        {"equalize", {}},
        {"blur", {{"method", "gaussian"}, {"radius", "3"}}},
        {"sharpen", {{"method", "unsharp-mask"}, {"radius", "3"}}},
        {"posterize", {}},
    };
    for (const auto& [name, settings] : previews) {
        const mv::Operation* op = mv::operation_find(name);
        if (!op)
            continue;
        const mv::OperationValues values = values_of(*op, settings);
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            const Clock::time_point start = Clock::now();
            if (const int e = preview_once(*op, values, in, out)) {
                std::fprintf(stderr, "morvane-transform-bench: %s preview failed (error %d)\n", name, e);
                return 1;
            }
            times.push_back(ms_since(start));
        }
        report(std::string("preview ") + name, times);
    }

    const mv::Operation* blur = mv::operation_find("blur");
    for (const char* radius : {"2", "128"}) {
        const mv::OperationValues values = values_of(*blur, {{"method", "gaussian"}, {"radius", radius}});
        std::vector<double> times;
        for (int i = 0; i < 3; ++i) {
            mv::Image result;
            const Clock::time_point start = Clock::now();
            if (const int e = mv::operation_apply(*blur, values, in.image, result)) {
                std::fprintf(stderr, "morvane-transform-bench: blur failed (error %d)\n", e);
                return 1;
            }
            times.push_back(ms_since(start));
            mv::image_free(result);
        }
        report(std::string("apply gaussian-blur radius ") + radius, times);
    }
    mv::image_free(in.image);
    mv::image_free(out.display);
    return 0;
}
