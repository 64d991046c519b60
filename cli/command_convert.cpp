// morvane-batch convert IN OUT [--format NAME] [--quality Q] [--sampling S]: reads IN and
// saves it as OUT with the editor's save rules.
#include "batch_commands.h"
#include "command_files.h"

#include "formats/file_save.h"
#include "formats/file_types.h"
#include "settings/preferences.h"

#include <charconv>
#include <cstdio>

namespace mv::batch {
namespace {

bool parse_int(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end;
}

int parse_sampling(const std::string& text)
{
    if (text == "4:4:4")
        return kSampling444;
    if (text == "4:2:2")
        return kSampling422;
    if (text == "4:1:1")
        return kSampling411;
    return -1;
}

} // namespace

int command_convert(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    std::string format_name;
    SaveOptions options;
    options.jpeg_quality = program_state().jpeg_quality;
    options.jpeg_sampling = program_state().jpeg_sampling;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--format" || a == "--quality" || a == "--sampling") {
            if (!has_value)
                return usage_error(a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--format") {
                format_name = v;
            } else if (a == "--quality") {
                if (!parse_int(v, options.jpeg_quality) || options.jpeg_quality < 0 ||
                    options.jpeg_quality > 100)
                    return usage_error("--quality takes a whole number from 0 to 100");
            } else {
                options.jpeg_sampling = parse_sampling(v);
                if (options.jpeg_sampling < 0)
                    return usage_error("--sampling takes 4:4:4, 4:2:2 or 4:1:1");
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usage_error("unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2)
        return usage_error("convert needs IN and OUT");

    int filter = 0;
    if (!format_name.empty()) {
        filter = save_filter_by_name(format_name);
        if (!filter)
            return usage_error("unknown format '" + format_name +
                               "' (tiff, jpeg, bmp, targa, pcx, gif, eps, png, flashpix, fits, rle)");
    } else {
        filter = save_filter_from_extension(files[1]);
        if (!filter)
            return usage_error("cannot tell the format of '" + files[1] +
                               "' from its extension; use --format");
    }
    std::string out, message;
    if (!save_as_name(files[1], filter, out, message))
        return usage_error(message);

    Image img;
    OpenedFile opened;
    const int status = open_input(files[0], img, opened);
    if (status != kExitOk)
        return status;
    const int r = file_save_path(out, filter, img, options);
    return r == 0 ? kExitOk : fail(r);
}

} // namespace mv::batch
