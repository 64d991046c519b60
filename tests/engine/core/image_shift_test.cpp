#include "core/image_shift.h"

#include "core/error.h"
#include "core/util.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mv;

TEST(ImageShift, HorizontalShiftsMoveWholePixelsAndKeepTheVacatedOnes)
{
    Image gray;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 5, 1, 100.0), 0);
    std::memcpy(gray.row(0), "\1\2\3\4\5\0\0\0", 8);
    ASSERT_EQ(image_shift_left(gray, 2), 0);
    EXPECT_EQ(std::memcmp(gray.row(0), "\3\4\5\4\5", 5), 0);
    ASSERT_EQ(image_shift_right(gray, 1), 0);
    EXPECT_EQ(std::memcmp(gray.row(0), "\3\3\4\5\4", 5), 0);
    ASSERT_EQ(image_shift_left(gray, 0), 0);
    ASSERT_EQ(image_shift_right(gray, 5), 0); // nothing is left to move
    EXPECT_EQ(std::memcmp(gray.row(0), "\3\3\4\5\4", 5), 0);

    // 48-bit colour moves by 6 bytes per pixel.
    Image c48;
    ASSERT_EQ(image_alloc(c48, IMAGE_COLOR48, 3, 2, 100.0), 0);
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 9; ++k)
            c48.row16(r)[k] = std::uint16_t(1000 * r + k);
    ASSERT_EQ(image_shift_right(c48, 1), 0);
    const std::uint16_t expected[9] = {1000, 1001, 1002, 1000, 1001, 1002, 1003, 1004, 1005};
    EXPECT_EQ(std::memcmp(c48.row16(1), expected, sizeof expected), 0);
    ASSERT_EQ(image_shift_left(c48, 2), 0); // row 0 is now p0, p0, p1: pixel 0 takes p1
    EXPECT_EQ(c48.row16(0)[0], 3);
    EXPECT_EQ(c48.row16(0)[2], 5);
    EXPECT_EQ(c48.row16(0)[3], 0); // the vacated pixels keep their values
    EXPECT_EQ(c48.row16(0)[8], 5);

    Image gray16;
    ASSERT_EQ(image_alloc(gray16, IMAGE_GRAY16, 3, 1, 100.0), 0);
    gray16.row16(0)[0] = 10, gray16.row16(0)[1] = 20, gray16.row16(0)[2] = 30;
    ASSERT_EQ(image_shift_left(gray16, 1), 0);
    EXPECT_EQ(gray16.row16(0)[0], 20);
    EXPECT_EQ(gray16.row16(0)[1], 30);
    EXPECT_EQ(gray16.row16(0)[2], 30);

    Image pseudo;
    ASSERT_EQ(image_alloc(pseudo, IMAGE_SINGLE_COLOR, 1, 1, 0.0), 0);
    EXPECT_EQ(image_shift_left(pseudo, 1), kIllegalImageType);
}

TEST(ImageShift, BinaryRowsShiftBitByBit)
{
    Image binary;
    ASSERT_EQ(image_alloc(binary, IMAGE_BINARY, 12, 1, 100.0), 0);
    std::memset(binary.row(0), 0, 4);
    for (int x : {0, 3, 9, 11})
        bit_set(binary.row(0), x);
    ASSERT_EQ(image_shift_left(binary, 3), 0);
    // x takes x + 3 for x = 0..8: 0, 6 and 8 set; 9..11 keep 9 and 11.
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(bit_test(binary.row(0), x), x == 0 || x == 6 || x == 8 || x == 9 || x == 11)
            << x;
    ASSERT_EQ(image_shift_right(binary, 5), 0);
    // x takes x - 5 for x = 5..11: 5, 11 set; 0..4 keep 0.
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(bit_test(binary.row(0), x), x == 0 || x == 5 || x == 11) << x;
}

TEST(ImageShift, VerticalShiftsMoveWholeRows)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_COLOR, 1, 5, 100.0), 0);
    for (int r = 0; r < 5; ++r)
        std::memset(img.row(r), r + 1, 4);
    image_shift_down(img, 2);
    EXPECT_EQ(img.row(0)[3], 3); // padding moves with the row
    EXPECT_EQ(img.row(2)[0], 5);
    EXPECT_EQ(img.row(3)[0], 4);
    EXPECT_EQ(img.row(4)[0], 5);
    image_shift_up(img, 3);
    EXPECT_EQ(img.row(3)[0], 3);
    EXPECT_EQ(img.row(4)[0], 4);
    EXPECT_EQ(img.row(2)[0], 5);
    image_shift_up(img, 5);
    image_shift_down(img, -1);
    EXPECT_EQ(img.row(4)[0], 4);

    // A pseudo-image of one stored row has nothing to shift.
    Image hist;
    ASSERT_EQ(image_alloc(hist, IMAGE_HISTOGRAM, 1, 4, 0.0), 0);
    image_shift_up(hist, 1);
    image_shift_down(hist, 1);
}
