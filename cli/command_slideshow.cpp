// morvane-batch slideshow build OUT.ss FILE... [--size WxH] [--quality Q] [--duration N]
// morvane-batch slideshow export IN.ss OUT.avi [--size WxH] [--compressor NAME]
// Builds a slide show from pictures and saves it with its slide files, or exports a saved
// show as an AVI video.
#include "batch_commands.h"

#include "core/error.h"
#include "formats/file_io.h"
#include "settings/preferences.h"
#include "slideshow/avi_export.h"
#include "slideshow/slide_files.h"
#include "slideshow/slide_show.h"

#include <charconv>

namespace mv::batch {
namespace {

// The exit status of an engine result whose message may already have been shown.
int finish(int code)
{
    if (code == kOk)
        return kExitOk;
    if (code == kSlideShowShown)
        return kExitFailed;
    return fail(code);
}

int open_show(SlideShow& show)
{
    return temp_directory(preferences().temp_directory, show.temp_dir);
}

std::string compressor_names()
{
    std::string names;
    for (const AviCompressor& c : avi_compressors())
        names += (names.empty() ? "" : ", ") + c.name;
    return names;
}

constexpr const char* kSizeChoices =
    "--size takes 320x240, 400x300, 500x375, 600x450, 640x480, 700x525, 800x600, 900x675, "
    "1000x750 or 1024x768";

int build(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    int size_index = kSlideSizeDefault;
    int quality = kQualityNormal;
    int duration = kShowDurationDefault;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--size" || a == "--quality" || a == "--duration") {
            if (i + 1 >= args.size())
                return usage_error(a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--size") {
                size_index = slide_size_index(v);
                if (size_index < 0)
                    return usage_error(kSizeChoices);
            } else if (a == "--quality") {
                quality = slide_quality_index(v);
                if (quality < 0)
                    return usage_error("--quality takes normal, high or highest");
            } else {
                const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), duration);
                if (ec != std::errc() || p != v.data() + v.size() ||
                    duration < kShowDurationMin || duration > kShowDurationMax)
                    return usage_error("--duration takes whole seconds from 1 to 300");
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usage_error("unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() < 2)
        return usage_error("slideshow build needs OUT.ss and at least one FILE");
    std::string message;
    if (!slideshow_path_ok(files[0], message))
        return usage_error(message);

    SlideShow show;
    if (int code = open_show(show); code != kOk)
        return fail(code);
    show.size_index = size_index;
    show.quality = quality;
    show.duration = duration;
    show.save_with = kSaveNoViewer;
    for (std::size_t i = 1; i < files.size(); ++i)
        if (int code = slideshow_add_file(show, files[i]); code != kOk)
            return finish(code);
    return finish(slideshow_save(show, files[0], ""));
}

int export_avi(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    std::string compressor = "rawvideo";
    int size_index = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--compressor" || a == "--size") {
            if (i + 1 >= args.size())
                return usage_error(a + " needs a value");
            if (a == "--size") {
                size_index = slide_size_index(args[++i]);
                if (size_index < 0)
                    return usage_error(kSizeChoices);
                continue;
            }
            compressor = args[++i];
            if (!avi_compressor_available(compressor))
                return usage_error("--compressor takes one of: " + compressor_names());
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usage_error("unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2)
        return usage_error("slideshow export needs IN.ss and OUT.avi");
    std::string message;
    if (!slideshow_path_ok(files[0], message) || !avi_path_ok(files[1], message))
        return usage_error(message);

    SlideShow show;
    if (int code = open_show(show); code != kOk)
        return fail(code);
    if (int code = slideshow_load(show, files[0]); code != kOk)
        return finish(code);
    if (size_index >= 0)
        show.size_index = size_index; // else the smallest size that holds every slide
    return finish(slideshow_save_avi(show, files[1], compressor));
}

} // namespace

int command_slideshow(const std::vector<std::string>& args)
{
    if (args.empty())
        return usage_error("slideshow needs build or export");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "build")
        return build(rest);
    if (args[0] == "export")
        return export_avi(rest);
    return usage_error("unknown slideshow command '" + args[0] + "'");
}

} // namespace mv::batch
