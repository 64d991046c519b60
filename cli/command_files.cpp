#include "command_files.h"

#include "batch_commands.h"

#include "formats/file_save.h"
#include "formats/file_types.h"
#include "settings/preferences.h"

#include <charconv>

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

int open_input(const std::string& path, Image& img, OpenedFile& opened)
{
    const int r = file_open_path(path, -1, img, opened, true);
    if (r != 0)
        return fail(r);
    if (opened.missing)
        return kExitFailed; // "File does not exist" has been printed
    return kExitOk;
}

SaveChoice::SaveChoice()
{
    options.jpeg_quality = program_state().jpeg_quality;
    options.jpeg_sampling = program_state().jpeg_sampling;
}

int take_save_option(const std::vector<std::string>& args, size_t& i, SaveChoice& choice)
{
    const std::string& a = args[i];
    if (a != "--format" && a != "--quality" && a != "--sampling")
        return 0;
    if (i + 1 >= args.size())
        return usage_error(a + " needs a value");
    const std::string& v = args[++i];
    if (a == "--format") {
        choice.format_name = v;
    } else if (a == "--quality") {
        int& q = choice.options.jpeg_quality;
        if (!parse_int(v, q) || q < 0 || q > 100)
            return usage_error("--quality takes a whole number from 0 to 100");
    } else {
        choice.options.jpeg_sampling = parse_sampling(v);
        if (choice.options.jpeg_sampling < 0)
            return usage_error("--sampling takes 4:4:4, 4:2:2 or 4:1:1");
    }
    return 1;
}

bool save_target(const SaveChoice& choice, const std::string& out, int& filter, std::string& name,
                 std::string& message)
{
    if (!choice.format_name.empty()) {
        filter = save_filter_by_name(choice.format_name);
        if (!filter) {
            message = "unknown format '" + choice.format_name +
                      "' (tiff, jpeg, bmp, targa, pcx, gif, eps, png, flashpix, fits, rle)";
            return false;
        }
    } else {
        filter = save_filter_from_extension(out);
        if (!filter) {
            message = "cannot tell the format of '" + out + "' from its extension; use --format";
            return false;
        }
    }
    return save_as_name(out, filter, name, message);
}

} // namespace mv::batch
