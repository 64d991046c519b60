#include "levels.h"

#include "tone_region.h"

#include "core/error.h"
#include "core/format.h"
#include "core/histogram.h"
#include "core/util.h"
#include "tone/color_space.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace mv {

namespace {

// The midtone curve f on 0..1 for a midtone percentage.
double midtone_curve(double t, double midtones)
{
    if (t <= 0)
        return 0;
    if (t >= 1)
        return 1;
    const double P = (midtones + 100) / 200;
    if (P == 0.5)
        return t;
    if (P < 0.5) {
        const double q = std::sqrt(0.5 / P);
        return 1 - std::pow(1 - std::pow(t, q), 1 / q);
    }
    const double q = std::sqrt(0.5 / (1 - P));
    return std::pow(1 - std::pow(1 - t, q), 1 / q);
}

template <class T>
void level_fill(int black, int white, int low, int high, double midtones, T* table, int full)
{
    if (midtones <= -99.999 || midtones >= 99.999) {
        std::fill(table, table + full + 1, T(midtones < 0 ? low : high));
        return;
    }
    for (int v = 0; v <= full; ++v) {
        if (v <= black) {
            table[v] = T(low);
        } else if (v >= white) {
            table[v] = T(high);
        } else {
            const double t = double(v - black) / double(white - black);
            const double value = midtone_curve(t, midtones) * (high - low) + low;
            table[v] = T(value <= 0 ? 0 : value >= full ? full : round_nearest(value));
        }
    }
}

template <class T>
void saturation_fill(double percent, T* table, int full)
{
    const double s = percent / 100;
    const double k = s * std::fabs(s);
    if (k <= -1 || k >= 1 || k == 0) {
        for (int v = 0; v <= full; ++v)
            table[v] = T(k <= -1 ? 0 : k >= 1 ? full : v);
        return;
    }
    const double g = std::tan((k + 1) * 0.25 * 3.1415926536);
    for (int v = 0; v <= full; ++v)
        table[v] = T(round_nearest(std::min(v * g, double(full))));
}

// Every table of one run, 8-bit or 16-bit.
struct LevelsTables {
    std::uint8_t level[256], sat[256], bal[3][256]; // balance tables red, green, blue
    std::vector<std::uint16_t> level16, sat16, bal16[3];
};

int build_tables(const LevelsSettings& s, bool wide, LevelsTables& t)
{
    const int lo = std::clamp(s.range_low, 0, 255), hi = std::clamp(s.range_high, 0, 255);
    if (!wide) {
        levels_level_table(s.black, s.white, lo, hi, s.midtones, t.level);
        levels_saturation_table(s.saturation, t.sat);
        for (int c = 0; c < 3; ++c)
            levels_balance_table(s.balance[c], t.bal[c]);
        return kOk;
    }
    try {
        t.level16.resize(65536);
        t.sat16.resize(65536);
        for (auto& b : t.bal16)
            b.resize(65536);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    levels_level_table16(s.black, s.white, lo, hi, s.midtones, t.level16.data());
    levels_saturation_table16(s.saturation, t.sat16.data());
    for (int c = 0; c < 3; ++c)
        levels_balance_table16(s.balance[c], t.bal16[c].data());
    return kOk;
}

} // namespace

int levels_measure(const Image& img, int color_space, int& black, int& white)
{
    auto h = std::make_unique<HistogramRecord>();
    int e;
    switch (img.type) {
    case IMAGE_BINARY: e = histogram_binary(img, *h, kHistogramSampleLimit); break;
    case IMAGE_GRAY:
    case IMAGE_GRAY16: e = histogram_gray(img, *h, kHistogramSampleLimit); break;
    case IMAGE_COLOR:
    case IMAGE_COLOR48:
        e = color_space == LEVELS_HSL ? histogram_lightness(img, *h, kHistogramSampleLimit)
                                      : histogram_value(img, *h, kHistogramSampleLimit);
        break;
    default: return kIllegalImageType;
    }
    if (e)
        return e;
    long long total = 0;
    for (std::uint32_t c : h->counts)
        total += c;
    const long long threshold = total / 10000;
    black = 0;
    white = 255;
    long long run = 0;
    for (int v = 0; v < 256; ++v)
        if ((run += h->counts[v]) > threshold) {
            black = v;
            break;
        }
    run = 0;
    for (int v = 255; v >= 0; --v)
        if ((run += h->counts[v]) > threshold) {
            white = v;
            break;
        }
    return kOk;
}

int levels_auto_range(const Image& img, LevelsSettings& s)
{
    int black, white;
    if (int e = levels_measure(img, s.color_space, black, white))
        return e;
    s.black = s.range_low = black;
    s.white = s.range_high = white;
    return kOk;
}

void levels_full_range(LevelsSettings& s)
{
    s.range_low = 0;
    s.range_high = 255;
}

void levels_reset(LevelsSettings& s)
{
    amount_clear_mask(s.amount);
    s.color_space = LEVELS_HSV;
    s.probe = 2;
    s.midtones = 0;
    s.saturation = 0;
    s.balance[0] = s.balance[1] = s.balance[2] = 255;
    s.range_low = s.black;
    s.range_high = s.white;
}

double levels_slider_percent(int slider) { return (slider - 512) * 100.0 / 512; }

std::string levels_range_label(const LevelsSettings& s)
{
    return format_text("Dynamic Range: %1f\\%..%1f\\%", s.range_low / 2.55, s.range_high / 2.55);
}

std::string levels_midtones_label(double percent)
{
    return format_text("Midtones: %1f\\%", percent);
}

std::string levels_saturation_label(double percent)
{
    return format_text("Saturation: %1f\\%", percent);
}

bool levels_is_identity(const LevelsSettings& s)
{
    return s.balance[0] == 255 && s.balance[1] == 255 && s.balance[2] == 255 &&
           s.midtones == 0 && s.saturation == 0 && s.range_low == s.black &&
           s.range_high == s.white;
}

void levels_level_table(int black, int white, int low, int high, double midtones,
                        std::uint8_t* table)
{
    level_fill(black, white, low, high, midtones, table, 255);
}

void levels_level_table16(int black, int white, int low, int high, double midtones,
                          std::uint16_t* table)
{
    constexpr int k = 65535 / 255;
    level_fill(black * k, white * k, low * k, high * k, midtones, table, 65535);
}

void levels_saturation_table(double percent, std::uint8_t* table)
{
    saturation_fill(percent, table, 255);
}

void levels_saturation_table16(double percent, std::uint16_t* table)
{
    saturation_fill(percent, table, 65535);
}

void levels_balance_table(int c, std::uint8_t* table)
{
    for (int v = 0; v < 256; ++v)
        table[v] = std::uint8_t(v * c / 255);
}

void levels_balance_table16(int c, std::uint16_t* table)
{
    const long long w = widen8(std::clamp(c, 0, 255));
    for (int v = 0; v < 65536; ++v)
        table[v] = std::uint16_t(v * w / 65535);
}

int levels_region(const RegionRequest& q, void* settings)
{
    const LevelsSettings& s = *static_cast<const LevelsSettings*>(settings);
    const int type = q.input->type;
    if (!is_picture_type(type))
        return kIllegalImageType;
    if (int e = region_prepare_output(q, tone_output_type(type, q.full)))
        return e;
    if (amount_is_identity(s.amount) || levels_is_identity(s))
        return tone_copy_input(q);
    const bool wide = tone_is_wide(q);
    auto t = std::make_unique<LevelsTables>();
    if (int e = build_tables(s, wide, *t))
        return e;
    AmountRun amount;
    if (int e = amount_begin(s.amount, q, amount))
        return e;
    const int count = q.columns;
    const int samples = tone_samples(type);
    const bool hsl = s.color_space == LEVELS_HSL;
    const LevelsTables& T = *t;
    return tone_region_run(
        q, q.title, [&] { amount_next_row(amount); },
        [&](const std::uint8_t* src, std::uint8_t* dst) {
            if (samples == 1) {
                for (int x = 0; x < count; ++x)
                    dst[x] = T.level[src[x]];
            } else {
                for (int x = 0; x < count; ++x) {
                    const std::uint8_t* p = src + 3 * x;
                    int r = T.bal[0][p[2]], g = T.bal[1][p[1]], b = T.bal[2][p[0]];
                    if (hsl) {
                        const int l = hsl_lightness(r, g, b);
                        set_lightness8(r, g, b, l, T.level[l]);
                        set_hsl_saturation8(r, g, b, T.sat);
                    } else {
                        const int v = color_max(r, g, b);
                        set_value(r, g, b, v, T.level[v]);
                        set_hsv_saturation8(r, g, b, T.sat);
                    }
                    std::uint8_t* d = dst + 3 * x;
                    d[0] = std::uint8_t(b), d[1] = std::uint8_t(g), d[2] = std::uint8_t(r);
                }
            }
            amount_blend_row(amount, src, dst, count, samples);
        },
        [&](const std::uint16_t* src, std::uint16_t* dst) {
            if (samples == 1) {
                for (int x = 0; x < count; ++x)
                    dst[x] = T.level16[src[x]];
            } else {
                for (int x = 0; x < count; ++x) {
                    const std::uint16_t* p = src + 3 * x;
                    int r = T.bal16[0][p[2]], g = T.bal16[1][p[1]], b = T.bal16[2][p[0]];
                    if (hsl) {
                        const int l = hsl_lightness(r, g, b);
                        set_lightness16(r, g, b, l, T.level16[l]);
                        set_hsl_saturation16(r, g, b, T.sat16.data());
                    } else {
                        const int v = color_max(r, g, b);
                        set_value(r, g, b, v, T.level16[v]);
                        set_hsv_saturation16(r, g, b, T.sat16.data());
                    }
                    std::uint16_t* d = dst + 3 * x;
                    d[0] = std::uint16_t(b), d[1] = std::uint16_t(g), d[2] = std::uint16_t(r);
                }
            }
            amount_blend_row16(amount, src, dst, count, samples);
        });
}

} // namespace mv
