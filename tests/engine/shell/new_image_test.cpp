#include "shell/new_image.h"

#include "core/error.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(NewImage, FillsEveryTypeWithTheColourInItsOwnForm)
{
    NewImageChoice s;
    s.width = 13, s.height = 3, s.fill = {200, 100, 50}, s.resolution = 150;
    const int gray = (306 * 200 + 601 * 100 + 117 * 50) >> 10; // 124

    Image img;
    s.type = IMAGE_COLOR;
    ASSERT_EQ(new_image_create(s, img), kOk);
    EXPECT_EQ(img.resolution, 150);
    const std::uint8_t* c = img.row(2) + 3 * 12;
    EXPECT_EQ(c[0], 50);
    EXPECT_EQ(c[2], 200);

    s.type = IMAGE_GRAY16;
    ASSERT_EQ(new_image_create(s, img), kOk);
    EXPECT_EQ(img.row16(0)[12], gray * 257);

    s.type = IMAGE_COLOR48;
    ASSERT_EQ(new_image_create(s, img), kOk);
    EXPECT_EQ(img.row16(1)[3 * 5 + 1], 100 * 257);

    // Binary: luminance 128 and more sets the bits of the 13 pixels only; the padding stays
    // clear. Luminance 124 clears them.
    s.type = IMAGE_BINARY;
    s.fill = {128, 128, 128};
    ASSERT_EQ(new_image_create(s, img), kOk);
    EXPECT_EQ(img.row(0)[0], 0xff);
    EXPECT_EQ(img.row(0)[1], 0xf8);
    EXPECT_EQ(img.row(0)[2], 0);
    s.fill = {200, 100, 50};
    ASSERT_EQ(new_image_create(s, img), kOk);
    EXPECT_EQ(img.row(1)[0], 0);
}

TEST(NewImage, RefusesPseudoTypesAndSizesOutOfRange)
{
    NewImageChoice s;
    Image img;
    s.type = IMAGE_SINGLE_COLOR;
    EXPECT_EQ(new_image_create(s, img), kIllegalImageType);
    s.type = IMAGE_GRAY;
    s.width = 0;
    EXPECT_EQ(new_image_create(s, img), kIllegalImageType);
    s.width = kNewImageMaxSide + 1;
    EXPECT_EQ(new_image_create(s, img), kIllegalImageType);
    EXPECT_TRUE(img.empty());
}

} // namespace
} // namespace mv
