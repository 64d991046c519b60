#include "transform/amount.h"

#include "core/product_table.h"
#include "tone/value_tables.h"
#include "transform_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace mv;
using mv::transform_test::make_image;

namespace {

RegionRequest request_for(const Image& in, int x0, int y0, int zoom, int columns, int rows)
{
    RegionRequest q;
    q.input = &in;
    q.x0 = x0;
    q.y0 = y0;
    q.zoom = zoom;
    q.columns = columns;
    q.rows = rows;
    return q;
}

// c moved towards v by a/255, rounded as the product table rounds.
int expected_mix(int c, int v, int a)
{
    const int step = (std::abs(v - c) * a + 127) / 255;
    return v >= c ? c + step : c - step;
}

} // namespace

TEST(Amount, ScalingShortcutsAndLabels)
{
    EXPECT_EQ(amount_scale(512, false), 128);
    EXPECT_EQ(amount_scale(1024, false), 255);
    EXPECT_EQ(amount_scale(3, false), 1); // (765 + 512) / 1024
    EXPECT_EQ(amount_scale(2, false), 0);
    EXPECT_EQ(amount_scale(1023, true), 254);

    AmountBlock b;
    EXPECT_EQ(amount_label_text(b), "Amount: 100%");
    EXPECT_TRUE(amount_is_direct(b));
    EXPECT_FALSE(amount_is_identity(b));
    b.low = 3; // scales to 1: still a blend
    EXPECT_FALSE(amount_is_identity(b));
    b.low = 2;
    EXPECT_TRUE(amount_is_identity(b));
    b.low = 511;
    EXPECT_EQ(amount_label_text(b), "Amount: 50%");
    b.is_signed = 1;
    EXPECT_EQ(amount_label_text(b), "Amount: 0%");
    b.low = 0;
    EXPECT_EQ(amount_label_text(b), "Amount: -100%");

    Image mask = make_image(IMAGE_GRAY, 2, 2, [](int, int, int) { return 0; });
    int window = 0;
    amount_select_mask(b, &window, &mask);
    EXPECT_EQ(b.low, 512);
    EXPECT_EQ(b.high, 512);
    amount_clear_mask(b);
    EXPECT_EQ(b.low, 1024);
    EXPECT_EQ(b.high, -1);
    EXPECT_EQ(b.mask_image, nullptr);
    EXPECT_EQ(amount_label_text(b), "Amount: 100%");
    b.is_signed = 0;
    amount_select_mask(b, &window, &mask);
    EXPECT_EQ(amount_label_text(b), "Amount: 0% .. 100%");
    // A mask with both amounts at 0 leaves the input; both at 100% stores directly.
    EXPECT_FALSE(amount_is_identity(b));
    b.high = 0;
    EXPECT_TRUE(amount_is_identity(b));
    b.low = b.high = 1024;
    EXPECT_TRUE(amount_is_direct(b));
}

TEST(Amount, UniformBlendsMatchMixAtEightAndSixteenBits)
{
    Image in = make_image(IMAGE_GRAY, 4, 1, [](int, int, int) { return 0; });
    RegionRequest q = request_for(in, 0, 0, 1, 256, 1);
    AmountBlock b;
    b.low = 512; // 50% scales to 128
    AmountRun run;
    ASSERT_EQ(amount_begin(b, q, run), 0);
    amount_next_row(run);
    std::uint8_t c[1] = {0}, v[1] = {255};
    amount_blend_row(run, c, v, 1, 1);
    EXPECT_EQ(v[0], 128); // (255 * 128 + 127) / 255

    // Every pair of values at a few amounts, against the rounding rule.
    for (int low : {1, 300, 512, 700, 1020}) {
        b.low = low;
        ASSERT_EQ(amount_begin(b, q, run), 0);
        const int a = amount_scale(low, false);
        for (int cv = 0; cv < 256; cv += 5) {
            std::vector<std::uint8_t> ins(256, std::uint8_t(cv)), outs(256);
            for (int i = 0; i < 256; ++i)
                outs[i] = std::uint8_t(i);
            amount_next_row(run);
            amount_blend_row(run, ins.data(), outs.data(), 256, 1);
            for (int i = 0; i < 256; ++i)
                ASSERT_EQ(outs[i], expected_mix(cv, i, a)) << low << " " << cv << " " << i;
        }
    }

    // 16 bits: c + (v - c) * a / 255, truncated toward zero both ways.
    b.low = 512;
    ASSERT_EQ(amount_begin(b, q, run), 0);
    std::uint16_t c16[3] = {1000, 0, 65535}, v16[3] = {0, 1000, 0};
    amount_blend_row16(run, c16, v16, 1, 3);
    EXPECT_EQ(v16[0], 1000 - 128000 / 255); // 499
    EXPECT_EQ(v16[1], 128000 / 255);        // 501
    EXPECT_EQ(v16[2], 65535 - 65535 * 128 / 255);

    // The 8-bit preview blends 16-bit values first and then narrows them.
    std::uint16_t comp[2] = {65535, 300};
    std::uint16_t orig[2] = {0, 100};
    std::uint8_t out8[2];
    amount_blend_row16_to8(run, orig, comp, out8, 2, 1);
    EXPECT_EQ(out8[0], narrow16(65535 * 128 / 255));
    EXPECT_EQ(out8[1], narrow16(100 + 200 * 128 / 255));

    // 0% leaves the input, 100% keeps the computed values.
    b.low = 0;
    ASSERT_EQ(amount_begin(b, q, run), 0);
    std::uint8_t keep_in[2] = {7, 9}, keep_out[2] = {200, 100};
    amount_blend_row(run, keep_in, keep_out, 2, 1);
    EXPECT_EQ(keep_out[0], 7);
    EXPECT_EQ(keep_out[1], 9);
    amount_blend_row16_to8(run, orig, comp, out8, 2, 1);
    EXPECT_EQ(out8[1], narrow16(100));
    b.low = 1024;
    ASSERT_EQ(amount_begin(b, q, run), 0);
    keep_out[0] = 200;
    amount_blend_row(run, keep_in, keep_out, 2, 1);
    EXPECT_EQ(keep_out[0], 200);
}

TEST(Amount, MaskWeightsEachPixelBetweenLowAndHigh)
{
    // Mask value 10 * x + y at (x, y), read with the input's origin and reduction.
    Image in = make_image(IMAGE_COLOR, 12, 6, [](int, int, int) { return 0; });
    Image mask = make_image(IMAGE_GRAY, 12, 6, [](int x, int y, int) { return x == 0 ? 0 : x == 11 ? 255 : 10 * x + y; });
    AmountBlock b;
    int window = 0;
    amount_select_mask(b, &window, &mask); // 0% .. 100%

    // Full size: black mask leaves the input, white takes the result, 128 blends by 128.
    Image m2 = make_image(IMAGE_GRAY, 3, 1, [](int x, int, int) { return x == 0 ? 0 : x == 1 ? 128 : 255; });
    amount_select_mask(b, &window, &m2);
    AmountRun run;
    RegionRequest q = request_for(in, 0, 0, 1, 3, 1);
    ASSERT_EQ(amount_begin(b, q, run), 0);
    amount_next_row(run);
    std::uint8_t src[9] = {10, 20, 30, 0, 0, 0, 40, 50, 60};
    std::uint8_t dst[9] = {200, 200, 200, 255, 255, 255, 0, 0, 0};
    amount_blend_row(run, src, dst, 3, 3);
    const std::uint8_t want[9] = {10, 20, 30, 128, 128, 128, 0, 0, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(dst[i], want[i]) << i;

    // A low..high range (25% .. 75%) read through a 1:2 reduction from (1, 1).
    amount_select_mask(b, &window, &mask);
    b.low = 256;
    b.high = 768;
    q = request_for(in, 1, 1, -2, 5, 3);
    ASSERT_EQ(amount_begin(b, q, run), 0);
    const int lo = amount_scale(256, false), hi = amount_scale(768, false);
    EXPECT_EQ(lo, 64);
    EXPECT_EQ(hi, 191);
    for (int row = 0; row < 3; ++row) {
        amount_next_row(run);
        std::vector<std::uint8_t> s16(15, 0), d16(15, 255);
        amount_blend_row(run, s16.data(), d16.data(), 5, 3);
        for (int i = 0; i < 5; ++i) {
            const int x = 1 + 2 * i, y = 1 + 2 * row;
            const int m = x == 11 ? 255 : 10 * x + y;
            const int a = mix8(lo, hi, m);
            EXPECT_EQ(run.weights[i], a);
            for (int s = 0; s < 3; ++s)
                EXPECT_EQ(d16[3 * i + s], expected_mix(0, 255, a)) << row << " " << i;
        }
    }

    // Only 8-bit gray pictures can be masks.
    Image wrong = make_image(IMAGE_GRAY16, 12, 6, [](int, int, int) { return 0; });
    amount_select_mask(b, &window, &wrong);
    EXPECT_EQ(amount_begin(b, q, run), 14);
}
