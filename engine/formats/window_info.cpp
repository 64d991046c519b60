#include "window_info.h"

#include "file_types.h"
#include "core/format.h"

#include <sys/stat.h>

namespace mv {
namespace {
constexpr const char* kNa = "N/A";
constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
} // namespace

WindowInfo window_info_none()
{
    return {kNa, kNa, kNa, kNa, kNa, kNa, kNa, kNa};
}

WindowInfo window_info(const Image& img, const std::string& path, int file_type)
{
    WindowInfo info = window_info_none();
    info.type = image_type_name(img.type);
    if (is_picture_type(img.type)) {
        info.bytes = format_text("%, bytes", (long long)img.height * img.row_bytes);
        info.pixels = format_text("%, x %, pixels", img.width, img.height);
        if (img.resolution > 0) {
            info.inches = format_text("%2f x %2f inches", img.width / img.resolution,
                                      img.height / img.resolution);
            info.dpi = format_text("%2f dpi", img.resolution);
        }
    }
    info.path = window_info_path(path);
    info.format = file_type_name(file_type);
    struct stat st{};
    if (info.format != kNa && file_type != FILE_PHOTOCD && !path.empty() &&
        ::stat(path.c_str(), &st) == 0)
        info.date = window_info_date(st.st_mtime);
    return info;
}

std::string window_info_path(std::string_view path)
{
    if (path.size() < 51)
        return std::string(path);
    return format_text("%s...%s", path.substr(0, 25), path.substr(path.size() - 25));
}

std::string window_info_date(std::time_t when)
{
    std::tm t{};
    if (!localtime_r(&when, &t))
        return kNa;
    return format_text("%d-%s-%d %2d:%2d", t.tm_mday, kMonths[t.tm_mon % 12], t.tm_year + 1900,
                       t.tm_hour, t.tm_min);
}

} // namespace mv
