// The texts of the Window Info dialog for an image window.
#pragma once

#include "core/image.h"

#include <ctime>
#include <string>
#include <string_view>

namespace mv {

struct WindowInfo {
    std::string type;       // "Color Image"
    std::string bytes;      // "1,234 bytes": height x row bytes
    std::string pixels;     // "640 x 480 pixels"
    std::string inches;     // "3.20 x 2.40 inches"
    std::string dpi;        // "200.00 dpi"
    std::string path;       // shortened to 25 + "..." + 25 characters from 51 on
    std::string format;     // file type name, "N/A" for none
    std::string date;       // "5-Mar-2024 09:07", local time of the file's last write
};

// Every field "N/A": no active image window.
WindowInfo window_info_none();

// The fields for a window showing `img`, read from `path` as file type `file_type`. The
// size fields are "N/A" for pseudo-images; the date is "N/A" for Photo CD, for windows
// without a file type and when the file cannot be found.
WindowInfo window_info(const Image& img, const std::string& path, int file_type);

// A path as the dialog shows it: whole up to 50 characters, else its first 25 characters,
// "..." and its last 25.
std::string window_info_path(std::string_view path);

// "%d-%s-%d %2d:%2d": day, month name, year, hour, minute in local time.
std::string window_info_date(std::time_t when);

} // namespace mv
