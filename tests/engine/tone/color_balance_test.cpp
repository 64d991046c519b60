#include "tone/color_balance.h"

#include "core/error.h"
#include "tone_test_support.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace mv {
namespace {

using test::pattern_image;
using test::put_rgb;
using test::sample_at;

// 100 x 100 gray 100 with two pixels of (240, 250, 255): n = 10000, the highlight needs
// just over round(n * 0.0001) = 1 pixel.
Image cast_image()
{
    Image img;
    EXPECT_EQ(image_alloc(img, IMAGE_COLOR, 100, 100, 72), 0);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            put_rgb(img, x, y, 100, 100, 100);
    put_rgb(img, 10, 10, 240, 250, 255);
    put_rgb(img, 90, 50, 240, 250, 255);
    return img;
}

TEST(ColorBalance, AutoHighlightRemovesTheCast)
{
    test::TestProgressSink progress;
    const Image img = cast_image();
    ColorBalanceSettings s;
    ASSERT_EQ(color_balance_find_points(img, s), 0);
    EXPECT_EQ(progress.titles(), std::vector<std::string>{"Finding black & white points"});
    EXPECT_FALSE(progress.begins[0].cancellable);
    EXPECT_EQ(s.found_highlight[0], 240);
    EXPECT_EQ(s.found_highlight[1], 250);
    EXPECT_EQ(s.found_highlight[2], 255);
    EXPECT_EQ(s.found_shadow[0], 100);

    color_balance_reset(s);
    EXPECT_EQ(s.highlight_mode, BALANCE_AUTO);
    EXPECT_EQ(s.highlight_remove[0], 240);
    EXPECT_EQ(s.highlight_add[0], 247); // (306*240 + 601*250 + 117*255) >> 10
    EXPECT_EQ(s.highlight_add[2], 247);
    EXPECT_EQ(s.shadow_remove[0], 0);
    EXPECT_EQ(s.midtone_on, 0);
    EXPECT_EQ(s.midtone_remove[0], 120);
    ASSERT_EQ(color_balance_tables(s, true), 0);
    EXPECT_EQ(s.red[240], 247);
    EXPECT_EQ(s.red[0], 0);
    EXPECT_EQ(s.blue[255], 247);
    EXPECT_EQ(s.red16[240 * 257], 247 * 257);
    EXPECT_EQ(s.red16[0], 0);

    Image out;
    ASSERT_EQ(transformation_apply(color_balance_region, &s, img, out, "Color Balance"), 0);
    EXPECT_EQ(sample_at(out, 10, 10, 2), 247);
    EXPECT_EQ(sample_at(out, 10, 10, 1), 247);
    EXPECT_EQ(sample_at(out, 10, 10, 0), 247);
    EXPECT_EQ(sample_at(out, 0, 0, 2), 100 * 247 / 240);

    s.amount.low = 512;
    test::expect_preview_matches_apply(color_balance_region, &s, pattern_image(IMAGE_COLOR, 33, 21));

    const Image gray = pattern_image(IMAGE_GRAY, 5, 5);
    EXPECT_EQ(color_balance_find_points(gray, s), kIllegalImageType);
    EXPECT_EQ(transformation_apply(color_balance_region, &s, gray, out, "Color Balance"),
              kIllegalImageType);
}

TEST(ColorBalance, SamplingStepsAndEmptyAnchors)
{
    // 1000 x 1000: every pixel of every second row. Odd rows are white and never sampled.
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_COLOR, 1000, 1000, 72), 0);
    for (int y = 0; y < 1000; ++y)
        std::memset(img.row(y), y % 2 ? 255 : 0, 3000);
    ColorBalanceSettings s;
    ASSERT_EQ(color_balance_find_points(img, s), 0);
    EXPECT_EQ(s.found_highlight[0], 0);
    std::memset(img.row(0), 255, 3000); // a sampled row
    ASSERT_EQ(color_balance_find_points(img, s), 0);
    EXPECT_EQ(s.found_highlight[0], 255);

    // All anchors "none": identity tables, the result is a copy.
    s.highlight_mode = BALANCE_NONE;
    const Image p = pattern_image(IMAGE_COLOR, 17, 9);
    Image out;
    ASSERT_EQ(transformation_apply(color_balance_region, &s, p, out, "Color Balance"), 0);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(s.green[v], v);
    for (int y = 0; y < 9; ++y)
        ASSERT_EQ(std::memcmp(out.row(y), p.row(y), size_t(p.row_bytes)), 0);
}

TEST(ColorBalance, TransferWithMidtoneAndSixteenBits)
{
    // Midtone on: 100 -> 128, with white and black fixed.
    EXPECT_EQ(color_balance_transfer8(100, true, 255, 100, 0, 255, 128, 0), 128);
    EXPECT_EQ(color_balance_transfer8(50, true, 255, 100, 0, 255, 128, 0), 64);
    EXPECT_EQ(color_balance_transfer8(200, true, 255, 100, 0, 255, 128, 0), 209);
    // Midtone off, or an equal pair, falls back to the line from shadow to highlight.
    EXPECT_EQ(color_balance_transfer8(50, false, 255, 100, 0, 255, 128, 0), 50);
    EXPECT_EQ(color_balance_transfer8(120, true, 100, 100, 0, 200, 128, 0), 240);
    EXPECT_EQ(color_balance_transfer8(50, true, 255, 100, 100, 255, 128, 10), 0);
    EXPECT_EQ(color_balance_transfer8(30, false, 200, 0, 200, 10, 0, 20), 30);
    EXPECT_EQ(color_balance_transfer8(250, false, 200, 0, 0, 255, 0, 0), 255); // clamped
    EXPECT_EQ(color_balance_transfer8(5, false, 255, 0, 20, 255, 0, 0), 0);
    EXPECT_EQ(color_balance_transfer16(61680, false, 61680, 0, 0, 63479, 0, 0), 63479);
    EXPECT_EQ(color_balance_transfer16(100, false, 61680, 0, 0, 63479, 0, 0), 103); // 102.9
    EXPECT_EQ(color_balance_transfer16(65535, false, 61680, 0, 0, 65535, 0, 0), 65535);

    ColorBalanceSettings s;
    s.highlight_mode = BALANCE_CUSTOM;
    s.highlight_remove[0] = 200;
    s.highlight_add[0] = 255;
    s.shadow_mode = BALANCE_NONE;
    s.midtone_mode = MIDTONE_NONE;
    Image wide;
    ASSERT_EQ(image_alloc(wide, IMAGE_COLOR48, 1, 1, 72), 0);
    put_rgb(wide, 0, 0, 20000, 20000, 20000);
    Image out;
    ASSERT_EQ(transformation_apply(color_balance_region, &s, wide, out, "Color Balance"), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR48);
    EXPECT_EQ(sample_at(out, 0, 0, 2), 25500); // 20000 * 65535 / 51400
    EXPECT_EQ(sample_at(out, 0, 0, 1), 20000);
}

class ColorBalanceFile : public ::testing::Test {
protected:
    std::string path = (std::filesystem::temp_directory_path() /
                        ("mv_balance_" + std::to_string(::getpid()) + ".cb"))
                           .string();
    void TearDown() override { std::filesystem::remove(path); }
    void write_raw(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
};

TEST_F(ColorBalanceFile, RoundTripAndIllegalFiles)
{
    ColorBalanceSettings s;
    s.highlight_remove[0] = 240;
    s.highlight_add[1] = 200;
    s.midtone_on = 1;
    s.midtone_remove[2] = 90;
    s.shadow_add[0] = 12;
    ASSERT_EQ(color_balance_file_write(path, s), 0);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "ColorBalance 1.0\r\nwhite 240 255 255 255 200 255\r\n"
                          "neutral 1 127 127 90 127 127 127\r\nblack 0 0 0 12 0 0\r\nend\r\n");
    ColorBalanceSettings r;
    ASSERT_EQ(color_balance_file_read(path, r), 0);
    EXPECT_EQ(r.highlight_mode, BALANCE_CUSTOM);
    EXPECT_EQ(r.shadow_mode, BALANCE_CUSTOM);
    EXPECT_EQ(r.midtone_mode, MIDTONE_CUSTOM);
    EXPECT_EQ(r.highlight_remove[0], 240);
    EXPECT_EQ(r.highlight_add[1], 200);
    EXPECT_EQ(r.midtone_remove[2], 90);
    EXPECT_EQ(r.shadow_add[0], 12);

    // Any order, any case; "neutral 0" switches the midtone off.
    write_raw("ColorBalance 1.0\nNEUTRAL 0 1 2 3 4 5 6\nend\n");
    ASSERT_EQ(color_balance_file_read(path, r), 0);
    EXPECT_EQ(r.midtone_mode, MIDTONE_NONE);
    EXPECT_EQ(r.midtone_add[2], 6);

    for (const char* bad : {
             "ColorBalance 2.0\r\nend\r\n",
             "ColorBalance 1.0\r\nwhite 1 2 3 4 5\r\nend\r\n",
             "ColorBalance 1.0\r\nwhite 1 2 3 4 5 256\r\nend\r\n",
             "ColorBalance 1.0\r\nblack 1 2 3 4 5 x\r\nend\r\n",
             "ColorBalance 1.0\r\ngray 1 2 3 4 5 6\r\nend\r\n",
             "ColorBalance 1.0\r\nwhite 1 2 3 4 5 6\r\n",
         }) {
        write_raw(bad);
        ColorBalanceSettings b = s;
        b.found_highlight[0] = 230;
        b.found_highlight[1] = b.found_highlight[2] = 240;
        b.shadow_mode = BALANCE_CUSTOM;
        b.probe_target = PROBE_SHADOW;
        EXPECT_EQ(color_balance_file_read(path, b), kIllegalColorBalanceFile) << bad;
        EXPECT_EQ(b.highlight_mode, BALANCE_AUTO);
        EXPECT_EQ(b.shadow_mode, BALANCE_NONE);
        EXPECT_EQ(b.midtone_mode, MIDTONE_NONE);
        EXPECT_EQ(b.probe_target, PROBE_NONE);
        EXPECT_EQ(b.highlight_remove[0], 230);
        EXPECT_EQ(b.shadow_add[0], 0);
    }
    EXPECT_STREQ(error_text(kIllegalColorBalanceFile), "Illegal color balance file");
    EXPECT_EQ(color_balance_file_read(path + ".none", s), kCannotOpenFile);
}

} // namespace
} // namespace mv
