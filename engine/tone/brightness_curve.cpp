#include "brightness_curve.h"

#include "tone_region.h"

#include "core/error.h"
#include "tone/color_space.h"

#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace mv {

int brightness_curve_region(const RegionRequest& q, void* settings)
{
    const BrightnessCurveSettings& s = *static_cast<const BrightnessCurveSettings*>(settings);
    const int type = q.input->type;
    if (!is_picture_type(type))
        return kIllegalImageType;
    if (int e = region_prepare_output(q, tone_output_type(type, q.full)))
        return e;
    std::uint8_t t8[256];
    curve_table8(s.curve, t8);
    if (table8_is_identity(t8) || amount_is_identity(s.amount))
        return tone_copy_input(q);
    std::vector<std::uint16_t> t16;
    if (tone_is_wide(q)) {
        try {
            t16.resize(65536);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        curve_table16(s.curve, t16.data());
    }
    AmountRun amount;
    if (int e = amount_begin(s.amount, q, amount))
        return e;
    const int count = q.columns;
    const int samples = tone_samples(type);
    const int space = s.color_space;
    const auto run = [&](const auto* src, auto* dst, const auto* t, auto set_lightness) {
        using T = std::remove_reference_t<decltype(*dst)>;
        if (samples == 1 || space == CURVE_SPACE_RGB) {
            // Every sample goes through the same table.
            for (int x = 0, n = samples * count; x < n; ++x)
                dst[x] = t[src[x]];
            return;
        }
        for (int x = 0; x < 3 * count; x += 3) {
            int r = src[x + 2], g = src[x + 1], b = src[x];
            if (space == CURVE_SPACE_HSV) {
                const int v = color_max(r, g, b);
                set_value(r, g, b, v, t[v]);
            } else if (space == CURVE_SPACE_HSL) {
                const int l = hsl_lightness(r, g, b);
                set_lightness(r, g, b, l, t[l]);
            } else {
                r = t[r], g = t[g], b = t[b];
            }
            dst[x] = T(b), dst[x + 1] = T(g), dst[x + 2] = T(r);
        }
    };
    return tone_region_run(
        q, q.title, [&] { amount_next_row(amount); },
        [&](const std::uint8_t* src, std::uint8_t* dst) {
            run(src, dst, t8, set_lightness8);
            amount_blend_row(amount, src, dst, count, samples);
        },
        [&](const std::uint16_t* src, std::uint16_t* dst) {
            run(src, dst, t16.data(), set_lightness16);
            amount_blend_row16(amount, src, dst, count, samples);
        });
}

} // namespace mv
