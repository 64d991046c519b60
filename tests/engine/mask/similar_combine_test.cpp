#include "mask/brightness_curve_mask.h"
#include "mask/combine.h"
#include "mask/mask_undo.h"
#include "mask/similar.h"

#include "core/error.h"
#include "mask_test_support.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace mv {
namespace {

using test::TestMask;

// A one-row colour picture from red, green, blue triples.
Image color_row(const std::vector<std::array<int, 3>>& rgb)
{
    Image img;
    EXPECT_EQ(image_alloc(img, IMAGE_COLOR, int(rgb.size()), 1, 72.0), 0);
    for (size_t x = 0; x < rgb.size(); ++x) {
        img.row(0)[3 * x] = std::uint8_t(rgb[x][2]);
        img.row(0)[3 * x + 1] = std::uint8_t(rgb[x][1]);
        img.row(0)[3 * x + 2] = std::uint8_t(rgb[x][0]);
    }
    return img;
}

std::vector<int> table_values(const SimilarLimits& l, int domain, std::initializer_list<int> xs)
{
    std::vector<std::uint8_t> t(domain + 1);
    similar_table(l, domain, t.data());
    std::vector<int> out;
    for (int x : xs)
        out.push_back(t[x]);
    return out;
}

TEST(MaskSimilar, MembershipTables)
{
    // Plain range: shoulders 10..20 and 30..50.
    EXPECT_EQ(table_values({10, 20, 30, 50}, 255, {5, 10, 15, 20, 25, 30, 40, 50, 51}),
              (std::vector<int>{0, 0, 127, 255, 255, 255, 127, 0, 0}));
    // Outer limits inside the inner ones give hard edges.
    EXPECT_EQ(table_values({40, 20, 30, 0}, 255, {19, 20, 30, 31}), (std::vector<int>{0, 255, 255, 0}));
    // A wrapping hue range: full at both ends of the scale, shoulders inside the gap.
    EXPECT_EQ(table_values({3800, 3950, 150, 300}, 4096, {0, 150, 225, 300, 2000, 3800, 3875, 3950, 4096}),
              (std::vector<int>{255, 255, 127, 0, 0, 0, 127, 255, 255}));
    // Shoulders running past each other meet at the larger value.
    EXPECT_EQ(table_values({100, 200, 0, 200}, 255, {0, 50, 100, 150, 200}),
              (std::vector<int>{255, 191, 127, 127, 255}));

    EXPECT_EQ(similar_limit_from_control(SIMILAR_HSV, 1024), 4096);
    EXPECT_EQ(similar_limit_from_control(SIMILAR_RGB, 512), 127);
}

TEST(MaskSimilar, WrappingHueSelectsRedsOnBothEnds)
{
    // Pure red (hue 0), red towards magenta (hue 3989), red towards yellow (hue 107), an
    // orange on the shoulder (hue 267) and green.
    const Image picture = color_row({{255, 0, 0}, {255, 0, 40}, {255, 40, 0}, {255, 100, 0}, {0, 255, 0}});
    SimilarSettings s;
    s.space = SIMILAR_HSV;
    s.channel[0] = {3800, 3950, 150, 300};
    s.channel[1] = {0, 0, 4096, 4096};
    s.channel[2] = {0, 0, 4096, 4096};
    TestMask m(5, 1);
    ASSERT_EQ(mask_similar(m.rows, picture, s, MASK_ADD), 0);
    EXPECT_EQ(m.row(0), (std::vector<int>{255, 255, 255, 56, 0}));

    // The minimum over the channels: the value range now excludes the bright pixels.
    s.channel[2] = {0, 0, 2048, 2048};
    TestMask dark(5, 1);
    ASSERT_EQ(mask_similar(dark.rows, picture, s, MASK_ADD), 0);
    EXPECT_EQ(dark.row(0), (std::vector<int>{0, 0, 0, 0, 0}));

    // A pick of red centres a hue range that wraps past 0.
    SimilarSettings pick;
    pick.channel[0] = {100, 200, 300, 400};
    similar_pick(pick, 255, 0, 0);
    EXPECT_EQ(pick.channel[0].inner_low, 4096 - 128);
    EXPECT_EQ(pick.channel[0].inner_high, 128);
    EXPECT_EQ(pick.channel[0].outer_low, 4096 - 228);
    EXPECT_EQ(pick.channel[0].outer_high, 228);
    EXPECT_EQ(pick.channel[2].inner_high, 4096); // value held at the top of the scale
    TestMask picked(5, 1);
    ASSERT_EQ(mask_similar(picked.rows, picture, pick, MASK_ADD), 0);
    EXPECT_EQ(picked.at(0, 0), 255);
    EXPECT_EQ(picked.at(4, 0), 0);
}

TEST(MaskSimilar, GrayPicturesUseTheValue)
{
    Image gray16;
    ASSERT_EQ(image_alloc(gray16, IMAGE_GRAY16, 4, 1, 72.0), 0);
    const std::uint16_t values[4] = {0, 15 * 257, 25 * 257, 65535};
    std::copy(values, values + 4, gray16.row16(0));
    SimilarSettings s;
    s.space = SIMILAR_HSV; // ignored for gray pictures
    s.channel[0] = {10, 20, 30, 50};
    TestMask m(4, 1, 200);
    ASSERT_EQ(mask_similar(m.rows, gray16, s, MASK_OVERLAP), 0);
    EXPECT_EQ(m.row(0), (std::vector<int>{0, 127, 200, 0}));

    TestMask wrong(3, 1);
    EXPECT_EQ(mask_similar(wrong.rows, gray16, s, MASK_ADD), kIllegalImageType);
}

TEST(MaskCombine, SourcesModesAndCancel)
{
    TestMask m(3, 2);
    m.set_row(0, {10, 100, 200});
    TestMask other(3, 2);
    other.set_row(0, {50, 50, 50});
    other.set_row(1, {1, 2, 3});
    ASSERT_EQ(mask_combine(m.rows, {&other.image, 0}, MASK_ADD), 0);
    EXPECT_EQ(m.row(0), (std::vector<int>{50, 100, 200}));
    EXPECT_EQ(m.row(1), (std::vector<int>{1, 2, 3}));
    ASSERT_EQ(mask_combine(m.rows, {nullptr, 60}, MASK_SUBTRACT), 0);
    EXPECT_EQ(m.row(0), (std::vector<int>{0, 40, 140}));
    EXPECT_EQ(m.rows.states[1], MASK_ROW_ZERO);
    ASSERT_EQ(mask_combine(m.rows, {nullptr, 255}, MASK_INVERT), 0);
    EXPECT_EQ(m.row(0), (std::vector<int>{255, 215, 115}));

    TestMask small(2, 2);
    EXPECT_EQ(mask_combine(m.rows, {&small.image, 0}, MASK_ADD), kIllegalImageType);

    // Cancelling half-way through restores the mask from the undo copy.
    test::TestProgressSink progress;
    progress.cancel_during(30);
    TestMask big(100, 100, 7);
    MaskUndo undo;
    const int err = mask_operation(big.rows, undo, [&] {
        return mask_combine(big.rows, {nullptr, 255}, MASK_ADD);
    });
    EXPECT_EQ(err, kAborted);
    EXPECT_EQ(progress.titles(), (std::vector<std::string>{"Combine"}));
    for (int y : {0, 30, 99})
        EXPECT_EQ(big.runs(y, 7), (test::TestMask::runs_t{{0, 99}})) << y;
    EXPECT_EQ(big.rows.states[10], MASK_ROW_MIXED);
}

TEST(MaskBrightnessCurve, CurveOfBrightness)
{
    Curve identity;
    identity.style = CURVE_LINEAR;
    // Luminance (306 r + 601 g + 117 b) >> 10 of (200, 100, 50) is 124.
    const Image picture = color_row({{200, 100, 50}, {0, 0, 0}, {255, 255, 255}});
    TestMask m(3, 1);
    ASSERT_EQ(mask_brightness_curve(m.rows, picture, identity, MASK_ADD), 0);
    EXPECT_EQ(m.row(0), (std::vector<int>{124, 0, 255}));

    Curve inverse;
    inverse.style = CURVE_LINEAR;
    inverse.y[0] = 255;
    inverse.y[1] = 0;
    Image binary;
    ASSERT_EQ(image_alloc(binary, IMAGE_BINARY, 3, 1, 72.0), 0);
    binary.row(0)[0] = 0x40; // only the middle pixel white
    TestMask b(3, 1);
    ASSERT_EQ(mask_brightness_curve(b.rows, binary, inverse, MASK_ADD), 0);
    EXPECT_EQ(b.row(0), (std::vector<int>{255, 0, 255}));

    test::TestProgressSink progress;
    Image big;
    ASSERT_EQ(image_alloc(big, IMAGE_COLOR48, 100, 100, 72.0), 0);
    for (int y = 0; y < 100; ++y)
        std::fill(big.row16(y), big.row16(y) + 300, std::uint16_t(128 * 257));
    TestMask bm(100, 100);
    ASSERT_EQ(mask_brightness_curve(bm.rows, big, identity, MASK_ADD), 0);
    EXPECT_EQ(progress.titles(), (std::vector<std::string>{"Brightness Curve Mask"}));
    EXPECT_EQ(bm.at(50, 50), 128); // 48-bit samples narrowed first
}

} // namespace
} // namespace mv
