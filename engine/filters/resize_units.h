// Units of length and resolution shared by the geometry windows, and the arithmetic of the
// Resize window: typing a new width, height or resolution under the Preserve mode, and the
// texts it shows. One inch is 25.40005 mm and 2.540005 cm.
#pragma once

#include "core/image.h"

#include <string>
#include <string_view>

namespace mv {

enum LengthUnit : int { kUnitPixels = 0, kUnitInches = 1, kUnitMm = 2, kUnitCm = 3, kUnitPercent = 4 };
enum ResolutionUnit : int { kUnitDpi = 0, kUnitDpmm = 1, kUnitDpcm = 2 };
enum ResizePreserve : int {
    kPreserveProportions = 0,          // "Proportions"
    kPreserveFileSize = 1,             // "File Size and Proportions"
    kPreserveImageSize = 2,            // "Image Size and Proportions"
    kPreserveNone = 3,                 // "None"
};

inline constexpr double kMmPerInch = 25.40005;
inline constexpr double kCmPerInch = 2.540005;

inline constexpr const char kSizeUnitList[] = "\0pixels\0in\0mm\0cm\0\1";
inline constexpr const char kResolutionUnitList[] = "\0dpi\0dpmm\0dpcm\0\1";
inline constexpr const char kPreserveList[] =
    "Preserve:\0Proportions\0File Size and Proportions\0Image Size and Proportions\0None\0\1";
inline constexpr const char kInterpolationList[] =
    "Interpolation Method:\0Smooth\0Nearest Neighbor\0\1";

// A picture without a recorded resolution is measured at 72 dots per inch.
double usable_resolution(double dpi);

// A length of `pixels` shown in a physical unit (pixels unchanged; no percent here).
double length_in_unit(double pixels, double dpi, int unit);
// A typed length back to pixels: round(value), round(value * R), round(value * R / 25.40005),
// round(value * R / 2.540005), halves away from zero.
long long length_to_pixels(double value, double dpi, int unit);

double resolution_in_unit(double dpi, int unit);
double resolution_to_dpi(double value, int unit);

// Parses a whole number text (blanks around it allowed); false when it is not a number.
bool parse_number(std::string_view text, double& value);

struct ResizeState {
    int type = IMAGE_GRAY;
    int current_width = 0, current_height = 0;
    double current_resolution = 0;
    int new_width = 0, new_height = 0;
    double new_resolution = 0;
    int size_unit = kUnitPixels;
    int resolution_unit = kUnitDpi;
    int preserve = kPreserveProportions;
    int interpolation = 0; // 0 "Smooth", 1 "Nearest Neighbor"
};

// Starts from the input: new = current, pixels and dpi, "Proportions", "Smooth".
void resize_state_init(ResizeState& st, const Image& input);

// A typed New width (or height). False (beep and restore) when the text is no number or its
// rounded value is not positive; else the size is set and, unless Preserve is "None", the
// other side follows the current proportions.
bool resize_type_width(ResizeState& st, std::string_view text);
bool resize_type_height(ResizeState& st, std::string_view text);

// A typed New resolution in the resolution unit. False when the text is no number above 0.
bool resize_type_resolution(ResizeState& st, std::string_view text);

// A new Preserve mode resets New to Current.
void resize_set_preserve(ResizeState& st, int preserve);
// Whether the Width and Height fields can be typed in ("Proportions" and "None").
bool resize_size_editable(const ResizeState& st);

// "%3fMB" of new height x row bytes / 1000000, or "***" from 10000 MB on.
std::string resize_file_size_text(const ResizeState& st);
// "%2f:1.00" when width <= height, else "1.00:%2f".
std::string resize_proportions_text(int width, int height);
// A length in pixels as the size unit shows it: "%d" for pixels, "%3f" otherwise.
std::string resize_length_text(int pixels, double dpi, int unit);
std::string resize_resolution_text(double dpi, int unit);

// The display reduction of the new window: the smallest f >= 1 for which ceil(w / f) +
// frame_w <= client_w and ceil(h / f) + frame_h <= client_h.
int resize_window_reduction(int width, int height, int frame_w, int frame_h, int client_w,
                            int client_h);

} // namespace mv
