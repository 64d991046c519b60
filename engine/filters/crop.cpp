#include "crop.h"

#include "core/error.h"
#include "core/format.h"
#include "core/progress.h"
#include "core/util.h"
#include "filters/resize_units.h"
#include "transform/row_reader.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mv {
namespace {

struct FixedProportion {
    const char* text;
    double short_side, long_side;
};

constexpr FixedProportion kFixed[] = {
    {"Square", 1, 1},
    {"1x2, 6x12", 1, 2},
    {"1x3, 4x12", 1, 3},
    {"2x3, 4x6, 6x9, 8x12, 10x15, 20x30", 2, 3},
    {"2x5, 4x10", 2, 5},
    {"2.5x3.5, 5x7, 15x21, 20x28", 5, 7},
    {"3x4, 4.5x6, 6x8, 9x12, 15x20", 3, 4},
    {"3x5, 6x10", 3, 5},
    {"3.5x5, 7x10, 21x30", 7, 10},
    {"3.5x10", 3.5, 10},
    {"4x5, 8x10, 16x20, 20x25", 4, 5},
    {"5x6, 15x18", 5, 6},
    {"6x7", 6, 7},
    {"8.5x11, 17x22", 8.5, 11},
    {"9x13", 9, 13},
    {"11x14", 11, 14},
    {"11x17", 11, 17},
    {"13x18", 13, 18},
    {"A4", 210, 297},
};

int at_least_one(long long v)
{
    return int(std::clamp<long long>(v, 1, 0x7fffffff));
}

// Writes the span lo..hi back into the pair, keeping which of the two was the lower.
void put_span(int& p1, int& p2, int lo, int hi)
{
    if (p1 <= p2)
        p1 = lo, p2 = hi;
    else
        p2 = lo, p1 = hi;
}

// A span of `size` pixels centred on `centre`.
void centred(double centre, int size, int& lo, int& hi)
{
    lo = int(round_nearest(centre - (size - 1) / 2.0));
    hi = lo + size - 1;
}

} // namespace

const char* crop_proportion_text(int mode)
{
    if (mode == kCropArbitrary)
        return "Arbitrary";
    if (mode == kCropCustom)
        return "Custom";
    if (mode < kCropFirstFixed || mode > kCropLastFixed)
        return "";
    return kFixed[mode - kCropFirstFixed].text;
}

bool crop_fixed_sides(int mode, double& short_side, double& long_side)
{
    if (mode < kCropFirstFixed || mode > kCropLastFixed)
        return false;
    short_side = kFixed[mode - kCropFirstFixed].short_side;
    long_side = kFixed[mode - kCropFirstFixed].long_side;
    return true;
}

void crop_set_fixed(CropSettings& st, int mode, int orientation)
{
    double s, l;
    st.mode = mode;
    st.orientation = orientation;
    if (!crop_fixed_sides(mode, s, l))
        return;
    if (orientation == kCropLandscape)
        st.a = l, st.b = s;
    else
        st.a = s, st.b = l;
}

int crop_width(const CropSettings& st) { return std::abs(st.x2 - st.x1) + 1; }
int crop_height(const CropSettings& st) { return std::abs(st.y2 - st.y1) + 1; }

void crop_fit(CropSettings& st, const CropHandle& handle, int width, int height)
{
    if (!(st.a > 0) || !(st.b > 0) || width < 1 || height < 1)
        return;
    const double r = st.a / st.b;
    const double w = crop_width(st), h = crop_height(st);
    const double d = std::sqrt(w * w + h * h);
    const int nw = at_least_one(round_nearest(r * d / std::sqrt(r * r + 1)));
    const int nh = at_least_one(round_nearest(nw / r));
    double cx = (st.x1 + st.x2) / 2.0, cy = (st.y1 + st.y2) / 2.0;
    if (handle.centre) {
        int lo, hi;
        centred(cx, nw, lo, hi);
        put_span(st.x1, st.x2, lo, hi);
        centred(cy, nh, lo, hi);
        put_span(st.y1, st.y2, lo, hi);
    } else {
        int& dx = handle.moved_x1 ? st.x1 : st.x2;
        const int fx = handle.moved_x1 ? st.x2 : st.x1;
        dx = fx + (dx >= fx ? nw - 1 : -(nw - 1));
        int& dy = handle.moved_y1 ? st.y1 : st.y2;
        const int fy = handle.moved_y1 ? st.y2 : st.y1;
        dy = fy + (dy >= fy ? nh - 1 : -(nh - 1));
        cx = (st.x1 + st.x2) / 2.0;
        cy = (st.y1 + st.y2) / 2.0;
    }
    // Back inside the picture: the offending side on the edge, the other extent from r,
    // centred on the centre the rectangle had (the centre handle keeps the one before the
    // fit, so that rounding cannot shift it).
    int xl = std::min(st.x1, st.x2), xh = std::max(st.x1, st.x2);
    int yl = std::min(st.y1, st.y2), yh = std::max(st.y1, st.y2);
    if (xl < 0 || xh > width - 1) {
        xl = std::max(xl, 0);
        xh = std::min(xh, width - 1);
        centred(cy, at_least_one(round_nearest((xh - xl + 1) / r)), yl, yh);
    }
    if (yl < 0 || yh > height - 1) {
        yl = std::max(yl, 0);
        yh = std::min(yh, height - 1);
        centred(cx, at_least_one(round_nearest((yh - yl + 1) * r)), xl, xh);
    }
    put_span(st.x1, st.x2, std::clamp(xl, 0, width - 1), std::clamp(xh, 0, width - 1));
    put_span(st.y1, st.y2, std::clamp(yl, 0, height - 1), std::clamp(yh, 0, height - 1));
}

void crop_choose(CropSettings& st, int mode, int orientation, int width, int height)
{
    crop_set_fixed(st, mode, orientation);
    st.x1 = 0, st.y1 = 0, st.x2 = width - 1, st.y2 = height - 1;
    crop_fit(st, CropHandle{}, width, height);
}

void crop_margins(const CropSettings& st, int width, int height, int m[4])
{
    m[0] = std::min(st.x1, st.x2);
    m[1] = width - 1 - std::max(st.x1, st.x2);
    m[2] = std::min(st.y1, st.y2);
    m[3] = height - 1 - std::max(st.y1, st.y2);
}

std::string crop_size_text(int pixels, int extent, double dpi, int unit)
{
    if (unit == kUnitPixels)
        return format_text("%d", pixels);
    if (unit == kUnitPercent)
        return format_text("%2f", extent > 0 ? pixels * 100.0 / extent : 0.0);
    return format_text("%2f", length_in_unit(pixels, dpi, unit));
}

int crop_region(const RegionRequest& q, void* settings)
{
    const CropSettings& st = *static_cast<const CropSettings*>(settings);
    const Image& in = *q.input;
    if (!is_picture_type(in.type) || in.empty())
        return kIllegalImageType;
    const int out_type = region_output_type(in.type, q.full);
    if (int e = region_prepare_output(q, out_type))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    const int left = std::clamp(std::min(st.x1, st.x2), 0, in.width - 1);
    const int bottom = std::clamp(in.height - 1 - std::max(st.y1, st.y2), 0, in.height - 1);
    RowReader reader;
    row_reader_reset(reader);
    RowWriter out;
    row_writer_reset(out);
    if (int e = row_reader_open(in, left + q.x0, bottom + q.y0, q.zoom, q.columns, reader))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    const int samples = in.type == IMAGE_COLOR || in.type == IMAGE_COLOR48 ? 3 : 1;
    const size_t n = size_t(q.columns) * samples;
    const bool narrow = out_type != in.type;
    const ValueTables& vt = value_tables();
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, "Crop", true);
    for (int k = 0; k < q.rows; ++k) {
        const std::uint8_t* src = row_reader_next(reader);
        if (std::uint8_t* dst = row_writer_row(out)) {
            if (in.type == IMAGE_BINARY) {
                region_store_binary(out, dst, src, q.columns);
            } else if (narrow) {
                const std::uint16_t* s16 = reinterpret_cast<const std::uint16_t*>(src);
                for (size_t i = 0; i < n; ++i)
                    dst[i] = vt.narrow16[s16[i]];
            } else {
                std::memcpy(dst, src, n * (in.type == IMAGE_GRAY16 || in.type == IMAGE_COLOR48 ? 2 : 1));
            }
        }
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

} // namespace mv
