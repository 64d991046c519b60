#include "core/image_sample.h"

#include "core/product_table.h"
#include "core/util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace mv;

namespace {

Image gray_ramp(int w, int h)
{
    Image img;
    image_alloc(img, IMAGE_GRAY, w, h, 100.0);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x)
            img.row(r)[x] = std::uint8_t(40 * r + 7 * x);
    return img;
}

} // namespace

TEST(ImageSample, GrayBilinearCornersAndLastRow)
{
    product_table_build();
    const Image img = gray_ramp(4, 3);
    EXPECT_EQ(image_sample_gray(img, 3, 2), 80 + 21); // the corner, unchanged
    EXPECT_EQ(image_sample_gray(img, 1, 1), 47);
    // x = 0.5: fx = 128; 0 + P[7][128] = (896 + 127) / 255 = 4.
    EXPECT_EQ(image_sample_gray(img, 0.5, 0), 4);
    // (w - 1, h - 1.5): the cell steps back to column 2 with fx = 255, so the last column
    // is interpolated between the top two rows (fy = 128): lower 61, upper 101.
    EXPECT_EQ(image_sample_gray(img, 3, 1.5), 61 + (40 * 128 + 127) / 255);
    // Both fractions: lower = mix(47, 54, 64) = 49, upper = mix(87, 94, 64) = 89,
    // value = mix(49, 89, 192) = 49 + P[40][192] = 79.
    EXPECT_EQ(image_sample_gray(img, 1.25, 1.75), 79);
    // The fraction is truncated to 256ths: 1/512 gives fx = 0.
    EXPECT_EQ(image_sample_gray(img, 1 + 1.0 / 512, 1), 47);
}

TEST(ImageSample, OutsideWrongTypeAndNaNGiveZero)
{
    const Image img = gray_ramp(4, 3);
    EXPECT_EQ(image_sample_gray(img, -0.001, 1), 0);
    EXPECT_EQ(image_sample_gray(img, 3.0001, 1), 0);
    EXPECT_EQ(image_sample_gray(img, 1, 2.5), 0);
    EXPECT_EQ(image_sample_gray(img, NAN, 1), 0);
    EXPECT_EQ(image_sample_gray(img, 1, INFINITY), 0);
    EXPECT_EQ(image_sample_gray16(img, 1, 1), 0);
    int r = 1, g = 1, b = 1;
    image_sample_color(img, 1, 1, r, g, b);
    EXPECT_EQ(r + g + b, 0);
    const Image empty;
    EXPECT_EQ(image_sample_gray(empty, 0, 0), 0);
}

TEST(ImageSample, OnePixelWideOrHighSamplesAlongTheOtherAxis)
{
    product_table_build();
    Image column;
    ASSERT_EQ(image_alloc(column, IMAGE_GRAY, 1, 3, 100.0), 0);
    column.row(0)[0] = 0, column.row(1)[0] = 100, column.row(2)[0] = 200;
    EXPECT_EQ(image_sample_gray(column, 0, 0.5), (100 * 128 + 127) / 255);
    EXPECT_EQ(image_sample_gray(column, 0, 2), 200);
    EXPECT_EQ(image_sample_gray(column, 0, 1.5), 100 + (100 * 128 + 127) / 255);
    Image row16;
    ASSERT_EQ(image_alloc(row16, IMAGE_GRAY16, 2, 1, 100.0), 0);
    row16.row16(0)[0] = 1000, row16.row16(0)[1] = 0;
    EXPECT_EQ(image_sample_gray16(row16, 0.5, 0), 499);
    Image single;
    ASSERT_EQ(image_alloc(single, IMAGE_GRAY, 1, 1, 100.0), 0);
    single.row(0)[0] = 9;
    EXPECT_EQ(image_sample_gray(single, 0, 0), 9);
}

TEST(ImageSample, SixteenBitMixTruncatesTowardZero)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_GRAY16, 2, 2, 100.0), 0);
    img.row16(0)[0] = 1000, img.row16(0)[1] = 0;
    img.row16(1)[0] = 0, img.row16(1)[1] = 1000;
    EXPECT_EQ(mix16(1000, 0, 128), 499);
    EXPECT_EQ(image_sample_gray16(img, 0.5, 0), 499);
    EXPECT_EQ(image_sample_gray16(img, 0.5, 1), 501);
    // lower 499, upper 501, fy = 128: 499 + 2 * 128 / 255 = 500.
    EXPECT_EQ(image_sample_gray16(img, 0.5, 0.5), 500);
    EXPECT_EQ(image_sample_gray16(img, 1, 1), 1000);
}

TEST(ImageSample, ColourChannelsAndBinaryRounding)
{
    product_table_build();
    Image c;
    ASSERT_EQ(image_alloc(c, IMAGE_COLOR, 2, 1, 100.0), 0);
    std::memcpy(c.row(0), "\x0a\x14\x1e\x6e\x78\x82\0\0", 8); // (b,g,r) 10,20,30 and 110,120,130
    int r, g, b;
    image_sample_color(c, 1, 0, r, g, b);
    EXPECT_EQ(r, 130);
    EXPECT_EQ(g, 120);
    EXPECT_EQ(b, 110);
    image_sample_color(c, 0.5, 0, r, g, b); // P[100][128] = 50
    EXPECT_EQ(r, 80);
    EXPECT_EQ(g, 70);
    EXPECT_EQ(b, 60);

    Image c48;
    ASSERT_EQ(image_alloc(c48, IMAGE_COLOR48, 2, 2, 100.0), 0);
    const std::uint16_t row[6] = {0, 1000, 60000, 1000, 0, 60000};
    std::memcpy(c48.row16(0), row, sizeof row);
    std::memcpy(c48.row16(1), row, sizeof row);
    image_sample_color48(c48, 0.5, 0.25, r, g, b);
    EXPECT_EQ(b, 501);
    EXPECT_EQ(g, 499);
    EXPECT_EQ(r, 60000);
    image_sample_color48(c48, 2, 0, r, g, b);
    EXPECT_EQ(r + g + b, 0);

    Image bin;
    ASSERT_EQ(image_alloc(bin, IMAGE_BINARY, 3, 2, 100.0), 0);
    std::memset(bin.row(0), 0, 4);
    std::memset(bin.row(1), 0, 4);
    bit_set(bin.row(1), 1);
    EXPECT_EQ(image_sample_binary(bin, 0.5, 0.5), 1); // rounds to (1, 1)
    EXPECT_EQ(image_sample_binary(bin, 0.49, 0.5), 0);
    EXPECT_EQ(image_sample_binary(bin, 1, 0.49), 0);
    EXPECT_EQ(image_sample_binary(bin, 1.4, 0.6), 1);
    EXPECT_EQ(image_sample_binary(bin, 1, 1.01), 0); // beyond height - 1
    EXPECT_EQ(image_sample_binary(bin, 2.6, 0), 0); // beyond width - 1
}
