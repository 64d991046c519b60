#include "equalize.h"

#include "core/error.h"
#include "core/histogram.h"
#include "core/progress.h"
#include "tone/color_space.h"
#include "tone/tone_region.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace mv {

int histogram_match(const std::uint32_t* a, const std::uint32_t* b, int levels,
                    std::uint16_t* map)
{
    double sum_a = 0, sum_b = 0;
    for (int i = 0; i < levels; ++i) {
        sum_a += a[i];
        sum_b += b[i];
    }
    if (sum_a == 0 || sum_b == 0) {
        for (int i = 0; i < levels; ++i)
            map[i] = std::uint16_t(i);
        return kOk;
    }
    std::vector<double> ca, cb;
    try {
        ca.resize(size_t(levels));
        cb.resize(size_t(levels));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    double acc_a = 0, acc_b = 0;
    for (int i = 0; i < levels; ++i) {
        acc_a += a[i] / sum_a;
        acc_b += b[i] / sum_b;
        ca[i] = acc_a;
        cb[i] = acc_b;
    }
    const bool shown = levels > 256;
    if (shown)
        progress_begin(0, levels - 1, "Histogram Match", true);
    int j = 0;
    int result = kOk;
    for (int i = 0; i < levels; ++i) {
        double best = 2.0;
        int best_j = j;
        for (int k = j; k < levels; ++k) {
            const double d = ca[i] - cb[k];
            if (std::fabs(d) < best) {
                best = std::fabs(d);
                best_j = k;
            }
            if (d < 0)
                break;
        }
        map[i] = std::uint16_t(best_j);
        j = best_j;
        if (shown && (result = progress_update(i)) != kOk)
            break;
    }
    if (shown)
        progress_end();
    return result;
}

int equalize_map(const Image& img, int color_space, bool wide, std::uint16_t* map)
{
    const int type = img.type;
    const bool colour = type == IMAGE_COLOR || type == IMAGE_COLOR48;
    const bool hsl = colour && color_space == EQUALIZE_HSL_L;
    if (type != IMAGE_GRAY && type != IMAGE_COLOR && type != IMAGE_GRAY16 && type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (wide && (type == IMAGE_GRAY16 || type == IMAGE_COLOR48)) {
        std::unique_ptr<HistogramRecord16> h;
        std::vector<std::uint32_t> flat;
        try {
            h = std::make_unique<HistogramRecord16>();
            flat.assign(65536, 1);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        const int e = type == IMAGE_GRAY16 ? histogram_gray16(img, *h, kHistogramSampleLimit)
                      : hsl ? histogram_lightness16(img, *h, kHistogramSampleLimit)
                            : histogram_value16(img, *h, kHistogramSampleLimit);
        return e ? e : histogram_match(h->counts, flat.data(), 65536, map);
    }
    HistogramRecord h;
    const int e = !colour ? histogram_gray(img, h, kHistogramSampleLimit)
                  : hsl   ? histogram_lightness(img, h, kHistogramSampleLimit)
                          : histogram_value(img, h, kHistogramSampleLimit);
    if (e)
        return e;
    std::uint32_t flat[256];
    std::fill(flat, flat + 256, 1u);
    return histogram_match(h.counts, flat, 256, map);
}

int equalize_region(const RegionRequest& q, void* settings)
{
    const EqualizeSettings& s = *static_cast<const EqualizeSettings*>(settings);
    const int type = q.input->type;
    if (type != IMAGE_GRAY && type != IMAGE_COLOR && type != IMAGE_GRAY16 && type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (int e = region_prepare_output(q, region_output_type(type, q.full)))
        return e;
    if (amount_is_identity(s.amount))
        return region_copy_input(q);
    const bool wide = tone_is_wide(q);
    std::vector<std::uint16_t> map;
    try {
        map.resize(wide ? 65536 : 256);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (int e = equalize_map(*q.input, s.color_space, wide, map.data()))
        return e;
    AmountRun amount;
    if (int e = amount_begin(s.amount, q, amount))
        return e;
    const std::uint16_t* m = map.data();
    const int count = q.columns;
    const bool colour = tone_samples(type) == 3;
    const bool hsl = s.color_space == EQUALIZE_HSL_L;
    // One colour pixel, stored blue, green, red, at either precision.
    const auto remap = [&](const auto* p, auto* d, auto set_lightness) {
        int r = p[2], g = p[1], b = p[0];
        if (hsl) {
            const int l = hsl_lightness(r, g, b);
            set_lightness(r, g, b, l, m[l]);
        } else {
            const int v = color_max(r, g, b);
            set_value(r, g, b, v, m[v]);
        }
        using T = std::remove_reference_t<decltype(*d)>;
        d[0] = T(b), d[1] = T(g), d[2] = T(r);
    };
    return tone_region_run(
        q, q.title, [&] { amount_next_row(amount); },
        [&](const std::uint8_t* src, std::uint8_t* dst) {
            if (!colour)
                for (int x = 0; x < count; ++x)
                    dst[x] = std::uint8_t(m[src[x]]);
            else
                for (int x = 0; x < count; ++x)
                    remap(src + 3 * x, dst + 3 * x, set_lightness8);
            amount_blend_row(amount, src, dst, count, colour ? 3 : 1);
        },
        [&](const std::uint16_t* src, std::uint16_t* dst) {
            if (!colour)
                for (int x = 0; x < count; ++x)
                    dst[x] = m[src[x]];
            else
                for (int x = 0; x < count; ++x)
                    remap(src + 3 * x, dst + 3 * x, set_lightness16);
            amount_blend_row16(amount, src, dst, count, colour ? 3 : 1);
        });
}

} // namespace mv
