#include "core/error.h"
#include "core/image.h"
#include "core/util.h"
#include "reduce/halftone.h"
#include "tone/value_tables.h"
#include "transform/region.h"

#include "../test_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

using namespace mv;

namespace {

Image flat(int type, int w, int h, int value)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, w, h, 72), 0);
    const int samples = type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
    if (type == IMAGE_BINARY) {
        for (int y = 0; y < h; ++y)
            std::fill(img.row(y), img.row(y) + img.row_bytes, std::uint8_t(value ? 0xFF : 0));
        return img;
    }
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * samples; ++i) {
            if (type == IMAGE_GRAY16 || type == IMAGE_COLOR48)
                img.row16(y)[i] = std::uint16_t(value);
            else
                img.row(y)[i] = std::uint8_t(value);
        }
    return img;
}

bool is_permutation_from(const OrderMatrix& m, int first)
{
    std::vector<int> v = m.rank;
    std::sort(v.begin(), v.end());
    for (int i = 0; i < int(v.size()); ++i)
        if (v[size_t(i)] != first + i)
            return false;
    return int(v.size()) == m.n * m.n;
}

long long white_count(const Image& binary)
{
    long long n = 0;
    for (int y = 0; y < binary.height; ++y)
        for (int x = 0; x < binary.width; ++x)
            n += bit_test(binary.row(y), x);
    return n;
}

HalftoneSettings with_method(int method)
{
    HalftoneSettings s;
    halftone_set_method(s, method);
    return s;
}

} // namespace

TEST(HalftoneScreens, BayerMatricesAreBuiltRecursively)
{
    EXPECT_EQ(bayer_matrix(2).rank, (std::vector<int>{0, 2, 3, 1}));
    static const int quadrant[2][2] = {{0, 2}, {3, 1}};
    for (int n : {2, 4, 8}) {
        const OrderMatrix m = bayer_matrix(n);
        ASSERT_EQ(m.n, n);
        EXPECT_TRUE(is_permutation_from(m, 0)) << n;
        if (n == 2)
            continue;
        const OrderMatrix half = bayer_matrix(n / 2);
        const int k = n / 2;
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                ASSERT_EQ(m.at(r, c), 4 * half.at(r % k, c % k) + quadrant[r / k][c / k]);
    }
    const OrderMatrix ordered = halftone_screen(kHalftoneOrdered8);
    const std::vector<int> row0(ordered.rank.begin(), ordered.rank.begin() + 8);
    const std::vector<int> row1(ordered.rank.begin() + 8, ordered.rank.begin() + 16);
    EXPECT_EQ(row0, (std::vector<int>{1, 33, 9, 41, 3, 35, 11, 43}));
    EXPECT_EQ(row1, (std::vector<int>{49, 17, 57, 25, 51, 19, 59, 27}));
}

TEST(HalftoneScreens, EveryScreenHoldsEachRankOnceAndDerivedScreensMatch)
{
    const int sizes[] = {0, 8, 6, 8, 10, 6, 8, 10, 6, 8, 10, 6, 8, 10, 6, 8, 10, 6, 8, 10, 0};
    for (int method = 0; method < kHalftoneMethodCount; ++method) {
        const OrderMatrix m = halftone_screen(method);
        EXPECT_EQ(m.n, sizes[method]) << halftone_method_name(method);
        EXPECT_TRUE(m.n == 0 || is_permutation_from(m, 1)) << halftone_method_name(method);
    }
    for (int i = 0; i < 3; ++i) {
        const OrderMatrix h = halftone_screen(kHalftoneHorizontal6 + i);
        const OrderMatrix v = halftone_screen(kHalftoneVertical6 + i);
        const OrderMatrix l = halftone_screen(kHalftoneLeftDiagonal6 + i);
        const OrderMatrix r = halftone_screen(kHalftoneRightDiagonal6 + i);
        for (int a = 0; a < h.n; ++a)
            for (int b = 0; b < h.n; ++b) {
                ASSERT_EQ(v.at(b, a), h.at(a, b));
                ASSERT_EQ(r.at(a, h.n - 1 - b), l.at(a, b));
            }
    }
    const OrderMatrix right6 = halftone_screen(kHalftoneRightDiagonal6);
    EXPECT_EQ(std::vector<int>(right6.rank.begin(), right6.rank.begin() + 6),
              (std::vector<int>{31, 25, 19, 13, 7, 1}));
    const OrderMatrix vertical6 = halftone_screen(kHalftoneVertical6);
    EXPECT_EQ(std::vector<int>(vertical6.rank.begin(), vertical6.rank.begin() + 6),
              (std::vector<int>{1, 8, 20, 31, 19, 7}));
    EXPECT_STREQ(halftone_method_name(0), "Custom");
    EXPECT_STREQ(halftone_method_name(3), "Classical 8x8");
    EXPECT_STREQ(halftone_method_name(20), "Error Diffusion");
    EXPECT_STREQ(halftone_method_name(21), "");
}

TEST(HalftoneScreens, ThresholdsGrowToWhiteFromTheDotArea)
{
    for (int method = 1; method <= 19; ++method) {
        const std::vector<std::uint8_t> t = halftone_thresholds(halftone_screen(method));
        EXPECT_TRUE(std::is_sorted(t.begin(), t.end())) << halftone_method_name(method);
        EXPECT_LE(t.front(), 1) << halftone_method_name(method); // a first dot covers < 7%
        EXPECT_EQ(t.back(), 255) << halftone_method_name(method);
    }
    const OrderMatrix ordered = halftone_screen(kHalftoneOrdered8);
    const std::vector<std::uint8_t> t = halftone_thresholds(ordered);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 0);
    EXPECT_EQ(t[2], 0);
    EXPECT_EQ(t[3], 1);
    // Without the gamma: the first dot, at a corner of the 8 x 8 screen, covers the 13 samples
    // within 1.414 doubled units of it, 255 * 13 / 1024 = 3.24.
    EXPECT_EQ(halftone_thresholds(ordered, 1.0)[0], 3);
    // All dots together cover all 1024 samples.
    EXPECT_EQ(halftone_thresholds(ordered, 1.0).back(), 255);
}

TEST(Halftone, FlatGrayMakesARegularPatternAnchoredTopLeft)
{
    // A height that is no multiple of 8, so a pattern anchored at the bottom would differ.
    const int w = 21, h = 19;
    Image in = flat(IMAGE_GRAY, w, h, 128);
    HalftoneSettings s;
    Image out;
    ASSERT_EQ(transformation_apply(halftone_region, &s, in, out, "Halftone"), 0);
    ASSERT_EQ(out.type, IMAGE_BINARY);
    const OrderMatrix m = halftone_screen(kHalftoneOrdered8);
    const std::vector<std::uint8_t> t = halftone_thresholds(m);
    for (int y = 0; y < h; ++y) {
        const int from_top = h - 1 - y;
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(bit_test(out.row(y), x), 127 < t[size_t(m.at(from_top % 8, x % 8) - 1)])
                << x << "," << y;
    }
    for (int y = 0; y + 8 < h; ++y)
        for (int x = 0; x + 8 < w; ++x) {
            ASSERT_EQ(bit_test(out.row(y), x), bit_test(out.row(y + 8), x));
            ASSERT_EQ(bit_test(out.row(y), x), bit_test(out.row(y), x + 8));
        }
    // Over one whole screen cell the white share is the share of ranks above 127.
    const long long above = std::count_if(t.begin(), t.end(), [](int v) { return v > 127; });
    Image cell = flat(IMAGE_GRAY, 16, 16, 128);
    ASSERT_EQ(transformation_apply(halftone_region, &s, cell, out, "Halftone"), 0);
    EXPECT_EQ(white_count(out), 4 * above);
    // The dispersed dots of "Ordered 8x8" make mid-gray about half white.
    EXPECT_NEAR(double(above) / 64, 0.5, 0.05);

    // Pure white keeps black only at ranks 1 to 3; pure black is black everywhere.
    Image white = flat(IMAGE_GRAY, 8, 8, 255);
    ASSERT_EQ(transformation_apply(halftone_region, &s, white, out, "Halftone"), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(bit_test(out.row(y), x), m.at(7 - y, x) > 3);
    Image black = flat(IMAGE_GRAY, 8, 8, 0);
    ASSERT_EQ(transformation_apply(halftone_region, &s, black, out, "Halftone"), 0);
    EXPECT_EQ(white_count(out), 0);
}

TEST(Halftone, ErrorDiffusionPreservesBrightness)
{
    HalftoneSettings s = with_method(kHalftoneErrorDiffusion);
    Image gray = flat(IMAGE_GRAY, 100, 100, 128);
    Image out;
    {
        test::TestProgressSink sink;
        ASSERT_EQ(transformation_apply(halftone_region, &s, gray, out, "Halftone"), 0);
        EXPECT_EQ(sink.titles(), (std::vector<std::string>{"Error Diffusion", "Halftone"}));
    }
    ASSERT_EQ(out.type, IMAGE_BINARY);
    EXPECT_NEAR(double(white_count(out)) / (100 * 100), 128.0 / 255, 0.01);
    // Row 0 runs left to right: u = 127 makes the first pixel white with error 127, of which
    // 127 * 7 / 16 = 55 makes the next one black (u = 182).
    EXPECT_TRUE(bit_test(out.row(0), 0));
    EXPECT_FALSE(bit_test(out.row(0), 1));
    // The result is cached for the same input and dropped when the input changes.
    EXPECT_TRUE(diffusion_matches(s.diffusion, gray));
    {
        test::TestProgressSink sink;
        ASSERT_EQ(transformation_apply(halftone_region, &s, gray, out, "Halftone"), 0);
        EXPECT_EQ(sink.titles(), std::vector<std::string>{"Halftone"});
    }
    halftone_input_changed(s);
    EXPECT_EQ(s.diffusion.channels, 0);

    // A ramp and a colour picture: per channel the white share follows the mean value.
    Image ramp = flat(IMAGE_GRAY, 256, 40, 0);
    long long sum = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 256; ++x)
            sum += ramp.row(y)[x] = std::uint8_t(x);
    ASSERT_EQ(transformation_apply(halftone_region, &s, ramp, out, "Halftone"), 0);
    EXPECT_NEAR(double(white_count(out)) * 255, double(sum), sum * 0.01);

    Image color = flat(IMAGE_COLOR48, 50, 50, 0);
    const int values[3] = {widen8(30), widen8(100), widen8(200)}; // blue, green, red
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            for (int c = 0; c < 3; ++c)
                color.row16(y)[3 * x + c] = std::uint16_t(values[c]);
    ASSERT_EQ(transformation_apply(halftone_region, &s, color, out, "Halftone"), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR);
    for (int c = 0; c < 3; ++c) {
        long long whites = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) {
                const int v = out.row(y)[3 * x + c];
                ASSERT_TRUE(v == 0 || v == 255);
                whites += v == 255;
            }
        EXPECT_NEAR(double(whites) / 2500, narrow16(values[c]) / 255.0, 0.02) << c;
    }
}

TEST(Halftone, CustomScreenImage)
{
    HalftoneSettings s = with_method(kHalftoneCustom);
    Image in = flat(IMAGE_GRAY, 3, 3, 128);
    Image out;
    EXPECT_EQ(transformation_apply(halftone_region, &s, in, out, "Halftone"), kNoHalftoneScreen);
    EXPECT_STREQ(error_text(kNoHalftoneScreen), "No halftone screen image specified");
    EXPECT_TRUE(out.empty());
    Image color_screen = flat(IMAGE_COLOR, 2, 2, 10);
    s.screen = &color_screen;
    EXPECT_EQ(transformation_apply(halftone_region, &s, in, out, "Halftone"), kIllegalImageType);

    // Top row of the screen (stored last) 10 200, bottom row 100 255; 255 - 128 = 127.
    Image screen = flat(IMAGE_GRAY, 2, 2, 0);
    screen.row(1)[0] = 10;
    screen.row(1)[1] = 200;
    screen.row(0)[0] = 100;
    screen.row(0)[1] = 255;
    s.screen = &screen;
    ASSERT_EQ(transformation_apply(halftone_region, &s, in, out, "Halftone"), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(bit_test(out.row(y), x), x == 1) << x << "," << y;
}

TEST(Halftone, OutputTypesAndAmount)
{
    HalftoneSettings s = with_method(kHalftoneClassical6);
    Image out;
    Image binary = flat(IMAGE_BINARY, 8, 8, 0);
    EXPECT_EQ(transformation_apply(halftone_region, &s, binary, out, "Halftone"), kIllegalImageType);

    // Full amount: colour becomes 0/255 colour with each channel screened on its own.
    Image color = flat(IMAGE_COLOR, 12, 12, 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            color.row(y)[3 * x] = 40;
            color.row(y)[3 * x + 1] = 128;
            color.row(y)[3 * x + 2] = 230;
        }
    ASSERT_EQ(transformation_apply(halftone_region, &s, color, out, "Halftone"), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR);
    const std::vector<std::uint8_t> t = halftone_thresholds(s.matrix);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = color.row(y)[3 * x + c];
                const int rank = s.matrix.at((11 - y) % 6, x % 6);
                ASSERT_EQ(out.row(y)[3 * x + c], 255 - v < t[size_t(rank - 1)] ? 255 : 0);
            }

    // Half the amount keeps the type and blends black or white into the input.
    s.amount.low = 512;
    Image gray = flat(IMAGE_GRAY, 12, 12, 100);
    ASSERT_EQ(transformation_apply(halftone_region, &s, gray, out, "Halftone"), 0);
    ASSERT_EQ(out.type, IMAGE_GRAY);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const int v = out.row(y)[x];
            ASSERT_TRUE(v == 100 - (100 * 128 + 127) / 255 || v == 100 + (155 * 128 + 127) / 255) << v;
        }

    // 16-bit gray: blended with 0 and 65535 at full precision on Apply.
    Image g16 = flat(IMAGE_GRAY16, 12, 12, 25700);
    ASSERT_EQ(transformation_apply(halftone_region, &s, g16, out, "Halftone"), 0);
    ASSERT_EQ(out.type, IMAGE_GRAY16);
    std::set<int> seen;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            seen.insert(out.row16(y)[x]);
    EXPECT_EQ(seen, (std::set<int>{25700 - 25700 * 128 / 255, 25700 + (65535 - 25700) * 128 / 255}));

    // In the preview the same blend is narrowed to 8 bits.
    Image preview;
    RegionRequest q = region_full_request(g16, preview, "Halftone");
    q.full = false;
    ASSERT_EQ(halftone_region(q, &s), 0);
    ASSERT_EQ(preview.type, IMAGE_GRAY);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(preview.row(y)[x], narrow16(out.row16(y)[x]));

    // Full amount on 16-bit gray: binary, the same as the 8-bit picture of the same values.
    s.amount.low = 1024;
    Image g8 = flat(IMAGE_GRAY, 12, 12, 100);
    Image a, b;
    ASSERT_EQ(transformation_apply(halftone_region, &s, g8, a, "Halftone"), 0);
    ASSERT_EQ(transformation_apply(halftone_region, &s, g16, b, "Halftone"), 0);
    ASSERT_EQ(b.type, IMAGE_BINARY);
    for (int y = 0; y < 12; ++y)
        ASSERT_EQ(a.row(y)[0], b.row(y)[0]);

    // No amount: the input itself.
    s.amount.low = 0;
    ASSERT_EQ(transformation_apply(halftone_region, &s, g16, out, "Halftone"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY16);
    EXPECT_EQ(out.row16(5)[5], 25700);
}

TEST(Halftone, ReducedPreviewSamplesTheFullScreen)
{
    // A ramp under "Spiral 10x10" at 1:2: each preview pixel equals the full result at the
    // input pixel it stands for.
    Image in = flat(IMAGE_GRAY, 40, 30, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            in.row(y)[x] = std::uint8_t((x * 6 + y * 3) % 256);
    HalftoneSettings s = with_method(kHalftoneSpiral10);
    Image full;
    ASSERT_EQ(transformation_apply(halftone_region, &s, in, full, "Halftone"), 0);

    Image preview;
    RegionRequest q = region_full_request(in, preview, "Halftone");
    q.full = false;
    q.zoom = -2;
    q.output_width = q.columns = 20;
    q.output_height = q.rows = 15;
    q.last_column = 19;
    q.last_row = 14;
    ASSERT_EQ(halftone_region(q, &s), 0);
    ASSERT_EQ(preview.type, IMAGE_BINARY);
    for (int k = 0; k < 15; ++k)
        for (int j = 0; j < 20; ++j)
            ASSERT_EQ(bit_test(preview.row(k), j), bit_test(full.row(2 * k), 2 * j)) << j << "," << k;

    test::TestProgressSink sink;
    sink.cancel_during(3);
    Image big = flat(IMAGE_GRAY, 200, 100, 77);
    EXPECT_EQ(transformation_apply(halftone_region, &s, big, full, "Halftone"), kAborted);
    EXPECT_TRUE(full.empty());
}
