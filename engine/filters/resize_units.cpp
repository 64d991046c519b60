#include "resize_units.h"

#include "core/format.h"
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace mv {

double usable_resolution(double dpi)
{
    return dpi > 0 ? dpi : 72.0;
}

double length_in_unit(double pixels, double dpi, int unit)
{
    const double R = usable_resolution(dpi);
    switch (unit) {
    case kUnitInches: return pixels / R;
    case kUnitMm: return pixels * kMmPerInch / R;
    case kUnitCm: return pixels * kCmPerInch / R;
    default: return pixels;
    }
}

long long length_to_pixels(double value, double dpi, int unit)
{
    const double R = usable_resolution(dpi);
    switch (unit) {
    case kUnitInches: return round_nearest(value * R);
    case kUnitMm: return round_nearest(value * R / kMmPerInch);
    case kUnitCm: return round_nearest(value * R / kCmPerInch);
    default: return round_nearest(value);
    }
}

double resolution_in_unit(double dpi, int unit)
{
    return unit == kUnitDpmm ? dpi / kMmPerInch : unit == kUnitDpcm ? dpi / kCmPerInch : dpi;
}

double resolution_to_dpi(double value, int unit)
{
    return unit == kUnitDpmm ? value * kMmPerInch : unit == kUnitDpcm ? value * kCmPerInch : value;
}

bool parse_number(std::string_view text, double& value)
{
    std::string s(text);
    const char* p = s.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    if (!*p)
        return false;
    char* end = nullptr;
    const double v = std::strtod(p, &end);
    if (end == p)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

void resize_state_init(ResizeState& st, const Image& input)
{
    st = ResizeState{};
    st.type = input.type;
    st.current_width = st.new_width = input.width;
    st.current_height = st.new_height = input.height;
    st.current_resolution = st.new_resolution = input.resolution;
}

namespace {

int at_least_one(long long v)
{
    return int(std::clamp<long long>(v, 1, 0x7fffffff));
}

// Shared by width and height: `side` is set from the text, `other` follows unless "None".
bool type_side(ResizeState& st, std::string_view text, int& side, int& other, int current_side,
               int current_other)
{
    double v;
    if (!parse_number(text, v) || round_nearest(v) <= 0)
        return false;
    side = at_least_one(length_to_pixels(v, st.new_resolution, st.size_unit));
    if (st.preserve != kPreserveNone && current_side > 0)
        other = at_least_one((long long)side * current_other / current_side);
    return true;
}

} // namespace

bool resize_type_width(ResizeState& st, std::string_view text)
{
    return type_side(st, text, st.new_width, st.new_height, st.current_width, st.current_height);
}

bool resize_type_height(ResizeState& st, std::string_view text)
{
    return type_side(st, text, st.new_height, st.new_width, st.current_height, st.current_width);
}

bool resize_type_resolution(ResizeState& st, std::string_view text)
{
    double v;
    if (!parse_number(text, v) || !(v > 0))
        return false;
    const double dpi = resolution_to_dpi(v, st.resolution_unit);
    switch (st.preserve) {
    case kPreserveFileSize:
        st.new_width = st.current_width;
        st.new_height = st.current_height;
        break;
    case kPreserveImageSize: {
        const double cur = usable_resolution(st.current_resolution);
        st.new_width = at_least_one(round_nearest(st.current_width * dpi / cur));
        st.new_height = at_least_one(round_nearest(st.current_height * dpi / cur));
        break;
    }
    case kPreserveNone:
        if (st.size_unit != kUnitPixels) {
            const double old = usable_resolution(st.new_resolution);
            st.new_width = at_least_one(round_nearest(st.new_width / old * dpi));
            st.new_height = at_least_one(round_nearest(st.new_height / old * dpi));
        }
        break;
    default: break;
    }
    st.new_resolution = dpi;
    return true;
}

void resize_set_preserve(ResizeState& st, int preserve)
{
    st.preserve = std::clamp(preserve, 0, int(kPreserveNone));
    st.new_width = st.current_width;
    st.new_height = st.current_height;
    st.new_resolution = st.current_resolution;
}

bool resize_size_editable(const ResizeState& st)
{
    return st.preserve == kPreserveProportions || st.preserve == kPreserveNone;
}

std::string resize_file_size_text(const ResizeState& st)
{
    const double mb =
        double(st.new_height) * double(image_row_bytes(st.type, st.new_width)) / 1000000.0;
    if (mb >= 10000)
        return "***";
    return format_text("%3fMB", mb);
}

std::string resize_proportions_text(int width, int height)
{
    if (width <= 0 || height <= 0)
        return "***";
    if (width <= height)
        return format_text("%2f:1.00", double(width) / height);
    return format_text("1.00:%2f", double(height) / width);
}

std::string resize_length_text(int pixels, double dpi, int unit)
{
    if (unit == kUnitPixels)
        return format_text("%d", pixels);
    return format_text("%3f", length_in_unit(pixels, dpi, unit));
}

std::string resize_resolution_text(double dpi, int unit)
{
    return format_text("%3f", resolution_in_unit(dpi, unit));
}

int resize_window_reduction(int width, int height, int frame_w, int frame_h, int client_w,
                            int client_h)
{
    for (int f = 1;; ++f) {
        const long long w = (width + (long long)f - 1) / f, h = (height + (long long)f - 1) / f;
        if ((w + frame_w <= client_w && h + frame_h <= client_h) || (w <= 1 && h <= 1))
            return f;
    }
}

} // namespace mv
