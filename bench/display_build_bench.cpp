// Times the image window's display build at 1:1: how long rebuilding the visible area of a
// large picture takes when the window scrolls to a new place (the whole area) or by a few
// lines (only the rows that came into view).
//
//   morvane-display-bench PICTURE [WIDTH HEIGHT]
//
// WIDTH x HEIGHT is the visible area (default 1600 x 1000). Prints one line per case:
// "<case> median <ms> max <ms>".
#include "core/image.h"
#include "formats/file_open.h"
#include "shell/display_build.h"
#include "shell/window_records.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%s median %.3f max %.3f\n", name, times[times.size() / 2], times.back());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: morvane-display-bench PICTURE [WIDTH HEIGHT]\n");
        return 2;
    }
    mv::WindowRecord r;
    mv::OpenedFile opened;
    if (const int e = mv::file_open_path(argv[1], -1, r.image, opened, false)) {
        std::fprintf(stderr, "morvane-display-bench: cannot open %s (error %d)\n", argv[1], e);
        return 1;
    }
    r.zoom = 1;
    r.visible_width = std::min(argc == 4 ? std::atoi(argv[2]) : 1600, r.image.width);
    r.visible_height = std::min(argc == 4 ? std::atoi(argv[3]) : 1000, r.image.height);
    if (r.visible_width <= 0 || r.visible_height <= 0 || mv::display_build(r) != 0) {
        std::fprintf(stderr, "morvane-display-bench: cannot build the display\n");
        return 1;
    }
    const int max_left = r.image.width - r.visible_width, max_top = r.image.height - r.visible_height;
    const int w = r.visible_width, h = r.visible_height;

    // Jumps to places across the picture: every visible pixel is rebuilt.
    std::vector<double> whole;
    for (int i = 0; i < 60; ++i) {
        r.display_rect.left = max_left * (i % 10) / 9;
        r.display_rect.top = max_top * (i / 10) / 5;
        const Clock::time_point start = Clock::now();
        mv::display_build_region(r, 0, 0, w - 1, h - 1);
        whole.push_back(ms_since(start));
    }
    // Scrolling down 40 lines at a time: the rows that came into view are rebuilt.
    std::vector<double> lines;
    for (int top = 0; top + 40 <= max_top && lines.size() < 200; top += 40) {
        r.display_rect.left = max_left / 2;
        r.display_rect.top = top + 40;
        const Clock::time_point start = Clock::now();
        mv::display_build_region(r, 0, h - 40, w - 1, h - 1);
        lines.push_back(ms_since(start));
    }
    std::printf("picture %d x %d, visible %d x %d\n", r.image.width, r.image.height, w, h);
    report("whole-area", whole);
    if (!lines.empty())
        report("scroll-40-lines", lines);
    return 0;
}
