#include "tone_shape.h"

#include "tone_region.h"

#include "core/error.h"
#include "core/product_table.h"
#include "core/progress.h"
#include "core/util.h"
#include "tone/color_space.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace mv {

namespace {

// pi / 510 with pi taken as 3.1415926536.
constexpr double kHalfTurnStep = 0.006159985595294118;

template <class T>
void shape_fill(int b, int mode, T* table, int full)
{
    b = std::clamp(b, 0, 255);
    if (b == 0 || b == 255 || b == kToneNeutral || mode < SHAPE_BOTH || mode > SHAPE_NEITHER) {
        // The ends and the neutral level, and any unknown mode (left as the identity).
        for (int v = 0; v <= full; ++v)
            table[v] = T(b == 0 ? 0 : b == 255 ? full : v);
        return;
    }
    const double f = full;
    switch (mode) {
    case SHAPE_BOTH: {
        const double B = b / 255.0;
        if (B <= 0.5) {
            const double p = std::sqrt(0.5 / B);
            for (int v = 0; v <= full; ++v) {
                const double x = v / f;
                table[v] = T(round_nearest(f * (1 - std::pow(1 - std::pow(x, p), 1 / p))));
            }
        } else {
            const double p = std::sqrt(0.5 / (1 - B));
            for (int v = 0; v <= full; ++v)
                table[v] = T(round_nearest(f * std::pow(1 - std::pow((full - v) / f, p), 1 / p)));
        }
        break;
    }
    case SHAPE_LOW: {
        const double k = std::tan(b * kHalfTurnStep);
        for (int v = 0; v <= full; ++v)
            table[v] = T(round_nearest(std::min(v * k, f)));
        break;
    }
    case SHAPE_HIGH: {
        const double k = std::tan((255 - b) * kHalfTurnStep);
        for (int v = 0; v <= full; ++v)
            table[full - v] = T(full - round_nearest(std::min(v * k, f)));
        break;
    }
    default: { // SHAPE_NEITHER
        const double lift = 2.0 * b * full / 255 - full;
        for (int v = 0; v <= full; ++v)
            table[v] = T(std::clamp<long long>(round_nearest(v + lift), 0, full));
        break;
    }
    }
}

// The tables of one run: one per level from `first` to `last` (one level without a mask).
struct LevelTables {
    int first = 0, last = 0;
    std::vector<std::uint8_t> t8;
    std::vector<std::uint16_t> t16;
    const std::uint8_t* table8(int level) const { return t8.data() + std::size_t(level - first) * 256; }
    const std::uint16_t* table16(int level) const
    {
        return t16.data() + std::size_t(level - first) * 65536;
    }
};

// Builds the tables of levels low..high (either order) for 8-bit or 16-bit samples; with a
// mask this runs under the "Creating Tables" progress window, which cannot be cancelled.
int build_level_tables(int low, int high, bool masked, int mode, bool wide, LevelTables& t)
{
    t.first = std::min(low, high);
    t.last = std::max(low, high);
    const std::size_t levels = std::size_t(t.last - t.first + 1);
    try {
        if (wide)
            t.t16.resize(levels * 65536);
        else
            t.t8.resize(levels * 256);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (masked)
        progress_begin(0, 255, "Creating Tables", false);
    for (int level = masked ? 0 : t.first; level <= (masked ? 255 : t.last); ++level) {
        if (level >= t.first && level <= t.last) {
            if (wide)
                tone_shape16(level, mode, t.t16.data() + std::size_t(level - t.first) * 65536);
            else
                tone_shape(level, mode, t.t8.data() + std::size_t(level - t.first) * 256);
        }
        if (masked)
            progress_update(level);
    }
    if (masked)
        progress_end();
    return kOk;
}

// The per-pixel level: the amount's low level, or with a mask the blend towards the high level
// by the mask pixel.
struct LevelSource {
    int low = kToneNeutral;
    int high = -1;
    bool masked = false;
    RowReader mask;
    const std::uint8_t* row = nullptr;
    int level(int x) const { return masked ? mix8(low, high, row[x]) : low; }
};

int open_levels(const AmountBlock& a, const RegionRequest& q, LevelSource& src)
{
    row_reader_reset(src.mask);
    src.low = std::clamp(amount_scale(a.low, true), 0, 255);
    src.masked = amount_has_mask(a);
    src.high = src.masked ? std::clamp(amount_scale(a.high, true), 0, 255) : -1;
    if (!src.masked)
        return kOk;
    if (a.mask_image->type != IMAGE_GRAY)
        return kIllegalImageType;
    if (product_table_build())
        return kOutOfMemory;
    return row_reader_open(*a.mask_image, q.x0, q.y0, q.zoom, q.columns, src.mask);
}

bool levels_neutral(const LevelSource& s)
{
    return s.low == kToneNeutral && (!s.masked || s.high == kToneNeutral);
}

// One tone-shaped pass: `pixel8(px, table)` on 8-bit pixels and `pixel16(px, table)` on
// 16-bit ones, `samples` values per pixel.
template <class Pixel8, class Pixel16>
int shaped_run(const RegionRequest& q, const AmountBlock& amount, int mode, int samples,
               Pixel8 pixel8, Pixel16 pixel16)
{
    LevelSource levels;
    if (int e = open_levels(amount, q, levels))
        return e;
    if (levels_neutral(levels))
        return region_copy_input(q);
    const bool wide = tone_is_wide(q);
    LevelTables tables;
    if (int e = build_level_tables(levels.low, levels.masked ? levels.high : levels.low,
                                   levels.masked, mode, wide, tables))
        return e;
    const int count = q.columns;
    return tone_region_run(
        q, q.title,
        [&] {
            if (levels.masked)
                levels.row = row_reader_next(levels.mask);
        },
        [&](const std::uint8_t* src, std::uint8_t* dst) {
            for (int x = 0; x < count; ++x, src += samples, dst += samples)
                pixel8(src, dst, tables.table8(levels.level(x)));
        },
        [&](const std::uint16_t* src, std::uint16_t* dst) {
            for (int x = 0; x < count; ++x, src += samples, dst += samples)
                pixel16(src, dst, tables.table16(levels.level(x)));
        });
}

// Colour pixels are stored blue, green, red.
template <class T, class Fn>
inline void on_rgb(const T* src, T* dst, Fn fn)
{
    int r = src[2], g = src[1], b = src[0];
    fn(r, g, b);
    dst[0] = T(b);
    dst[1] = T(g);
    dst[2] = T(r);
}

} // namespace

void tone_shape(int b, int mode, std::uint8_t* table) { shape_fill(b, mode, table, 255); }

void tone_shape16(int b, int mode, std::uint16_t* table) { shape_fill(b, mode, table, 65535); }

void brightness_defaults(BrightnessSettings& s)
{
    s = BrightnessSettings{};
    s.amount.low = 512;
    s.amount.is_signed = 1;
}

void saturation_defaults(SaturationSettings& s)
{
    s = SaturationSettings{};
    s.amount.low = 512;
    s.amount.is_signed = 1;
}

int brightness_region(const RegionRequest& q, void* settings)
{
    const BrightnessSettings& s = *static_cast<const BrightnessSettings*>(settings);
    const int type = q.input->type;
    if (type != IMAGE_GRAY && type != IMAGE_COLOR && type != IMAGE_GRAY16 && type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (int e = region_prepare_output(q, tone_output_type(type, q.full)))
        return e;
    if (tone_samples(type) == 1)
        return shaped_run(
            q, s.amount, s.preserve, 1,
            [](const std::uint8_t* p, std::uint8_t* d, const std::uint8_t* t) { *d = t[*p]; },
            [](const std::uint16_t* p, std::uint16_t* d, const std::uint16_t* t) { *d = t[*p]; });
    const int space = s.color_space;
    return shaped_run(
        q, s.amount, s.preserve, 3,
        [space](const std::uint8_t* p, std::uint8_t* d, const std::uint8_t* t) {
            on_rgb(p, d, [&](int& r, int& g, int& b) {
                if (space == TONE_HSV) {
                    const int v = color_max(r, g, b);
                    set_value(r, g, b, v, t[v]);
                } else if (space == TONE_HSL) {
                    const int l = hsl_lightness(r, g, b);
                    set_lightness8(r, g, b, l, t[l]);
                } else {
                    r = t[r], g = t[g], b = t[b];
                }
            });
        },
        [space](const std::uint16_t* p, std::uint16_t* d, const std::uint16_t* t) {
            on_rgb(p, d, [&](int& r, int& g, int& b) {
                if (space == TONE_HSV) {
                    const int v = color_max(r, g, b);
                    set_value(r, g, b, v, t[v]);
                } else if (space == TONE_HSL) {
                    const int l = hsl_lightness(r, g, b);
                    set_lightness16(r, g, b, l, t[l]);
                } else {
                    r = t[r], g = t[g], b = t[b];
                }
            });
        });
}

int saturation_region(const RegionRequest& q, void* settings)
{
    const SaturationSettings& s = *static_cast<const SaturationSettings*>(settings);
    const int type = q.input->type;
    if (type != IMAGE_COLOR && type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (int e = region_prepare_output(q, tone_output_type(type, q.full)))
        return e;
    const bool hsl = s.color_space == TONE_HSL;
    return shaped_run(
        q, s.amount, s.preserve, 3,
        [hsl](const std::uint8_t* p, std::uint8_t* d, const std::uint8_t* t) {
            on_rgb(p, d, [&](int& r, int& g, int& b) {
                hsl ? set_hsl_saturation8(r, g, b, t) : set_hsv_saturation8(r, g, b, t);
            });
        },
        [hsl](const std::uint16_t* p, std::uint16_t* d, const std::uint16_t* t) {
            on_rgb(p, d, [&](int& r, int& g, int& b) {
                hsl ? set_hsl_saturation16(r, g, b, t) : set_hsv_saturation16(r, g, b, t);
            });
        });
}

} // namespace mv
