#include "color_curves.h"

#include "tone_region.h"

#include "core/error.h"
#include "tone/color_space.h"

#include <memory>
#include <new>
#include <vector>

namespace mv {

void color_curves_reset(ColorCurvesSettings& s)
{
    for (Curve& c : s.curves)
        curve_reset(c);
}

void color_curves_table12(const std::uint8_t* table, std::uint16_t* table12)
{
    for (int i = 0; i <= 4096; ++i)
        table12[i] = std::uint16_t((table[(i * 255 + 2048) / 4096] * 4096 + 127) / 255);
}

namespace {

struct CurveTables {
    std::uint8_t t8[3][256];
    std::uint16_t t12[3][4097];
    std::vector<std::uint16_t> t16[3];
};

} // namespace

int color_curves_region(const RegionRequest& q, void* settings)
{
    const ColorCurvesSettings& s = *static_cast<const ColorCurvesSettings*>(settings);
    const int type = q.input->type;
    if (type != IMAGE_COLOR && type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (int e = region_prepare_output(q, tone_output_type(type, q.full)))
        return e;
    std::unique_ptr<CurveTables> t;
    try {
        t = std::make_unique<CurveTables>();
        if (tone_is_wide(q))
            for (auto& v : t->t16)
                v.resize(65536);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    bool identity = true;
    for (int k = 0; k < 3; ++k) {
        curve_table8(s.curves[k], t->t8[k]);
        identity = identity && table8_is_identity(t->t8[k]);
        color_curves_table12(t->t8[k], t->t12[k]);
        if (!t->t16[k].empty())
            curve_table16(s.curves[k], t->t16[k].data());
    }
    if (identity || amount_is_identity(s.amount))
        return region_copy_input(q);
    AmountRun amount;
    if (int e = amount_begin(s.amount, q, amount))
        return e;
    const int count = q.columns;
    const int space = s.color_space;
    const CurveTables& T = *t;
    return tone_region_run(
        q, q.title, [&] { amount_next_row(amount); },
        [&](const std::uint8_t* src, std::uint8_t* dst) {
            for (int x = 0; x < 3 * count; x += 3) {
                int r = src[x + 2], g = src[x + 1], b = src[x];
                if (space == CURVE_SPACE_RGB) {
                    r = T.t8[0][r], g = T.t8[1][g], b = T.t8[2][b];
                } else {
                    int h, sat, v;
                    if (space == CURVE_SPACE_HSL) {
                        rgb8_to_hsl12(r, g, b, h, sat, v);
                        hsl12_to_rgb8(T.t12[0][h], T.t12[1][sat], T.t12[2][v], r, g, b);
                    } else {
                        rgb8_to_hsv12(r, g, b, h, sat, v);
                        hsv12_to_rgb8(T.t12[0][h], T.t12[1][sat], T.t12[2][v], r, g, b);
                    }
                }
                dst[x] = std::uint8_t(b), dst[x + 1] = std::uint8_t(g), dst[x + 2] = std::uint8_t(r);
            }
            amount_blend_row(amount, src, dst, count, 3);
        },
        [&](const std::uint16_t* src, std::uint16_t* dst) {
            const std::uint16_t *t0 = T.t16[0].data(), *t1 = T.t16[1].data(), *t2 = T.t16[2].data();
            for (int x = 0; x < 3 * count; x += 3) {
                int r = src[x + 2], g = src[x + 1], b = src[x];
                if (space == CURVE_SPACE_RGB) {
                    r = t0[r], g = t1[g], b = t2[b];
                } else {
                    int h, sat, v;
                    if (space == CURVE_SPACE_HSL) {
                        rgb16_to_hsl16(r, g, b, h, sat, v);
                        hsl16_to_rgb16(t0[h], t1[sat], t2[v], r, g, b);
                    } else {
                        rgb16_to_hsv16(r, g, b, h, sat, v);
                        hsv16_to_rgb16(t0[h], t1[sat], t2[v], r, g, b);
                    }
                }
                dst[x] = std::uint16_t(b), dst[x + 1] = std::uint16_t(g), dst[x + 2] = std::uint16_t(r);
            }
            amount_blend_row16(amount, src, dst, count, 3);
        });
}

} // namespace mv
