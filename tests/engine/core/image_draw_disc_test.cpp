#include "core/image_draw_disc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace mv;

namespace {

Image blank(int type, int w, int h)
{
    Image img;
    image_alloc(img, type, w, h, 100.0);
    for (auto* row : img.rows)
        std::memset(row, 0, size_t(img.row_bytes));
    return img;
}

} // namespace

TEST(ImageDrawDisc, SolidInsideSoftRimUntouchedOutside)
{
    Image gray = blank(IMAGE_GRAY, 9, 9);
    image_draw_disc(gray, 4, 4, 2, 10, 200, 30); // gray takes the largest component
    EXPECT_EQ(gray.row(4)[4], 200);
    // On the rim (d = r): 11 of the 25 sub-points lie inside: 11 * 200 / 25 = 88.
    EXPECT_EQ(gray.row(6)[4], 88);
    EXPECT_EQ(gray.row(4)[2], 88);
    EXPECT_EQ(gray.row(0)[0], 0);
    EXPECT_EQ(gray.row(4)[8], 0);

    // Blends with the old value: (n * colour + (25 - n) * old) / 25.
    Image bright = blank(IMAGE_GRAY, 9, 9);
    std::memset(bright.row(6), 100, 9);
    image_draw_disc(bright, 4, 4, 2, 0, 0, 0);
    EXPECT_EQ(bright.row(6)[4], 14 * 100 / 25);

    Image colour = blank(IMAGE_COLOR, 9, 9);
    image_draw_disc(colour, 4, 4, 2, 10, 200, 30);
    EXPECT_EQ(colour.row(4)[12], 30); // blue
    EXPECT_EQ(colour.row(4)[13], 200);
    EXPECT_EQ(colour.row(4)[14], 10); // red
    EXPECT_EQ(colour.row(6)[12], 11 * 30 / 25);

    Image c48 = blank(IMAGE_COLOR48, 9, 9);
    image_draw_disc(c48, 4, 4, 2, 255, 1, 0);
    EXPECT_EQ(c48.row16(4)[14], 65535);
    EXPECT_EQ(c48.row16(4)[13], 257);
    EXPECT_EQ(c48.row16(6)[14], 11 * 65535 / 25);

    Image g16 = blank(IMAGE_GRAY16, 9, 9);
    image_draw_disc(g16, 4, 4, 2, 1, 2, 3);
    EXPECT_EQ(g16.row16(4)[4], 3 * 257);
}

TEST(ImageDrawDisc, ClipsToTheImageAndIgnoresBinaryAndBadInput)
{
    Image gray = blank(IMAGE_GRAY, 5, 5);
    image_draw_disc(gray, 0, 0, 3, 255, 255, 255);
    EXPECT_EQ(gray.row(0)[0], 255);
    EXPECT_EQ(gray.row(4)[4], 0);
    image_draw_disc(gray, -100, 2, 3, 255, 255, 255); // box misses
    image_draw_disc(gray, 2, 1e300, 3, 255, 255, 255);
    image_draw_disc(gray, NAN, 2, 3, 255, 255, 255);
    image_draw_disc(gray, 2, 2, INFINITY, 255, 255, 255);
    EXPECT_EQ(gray.row(4)[4], 0);

    Image binary = blank(IMAGE_BINARY, 8, 8);
    image_draw_disc(binary, 4, 4, 3, 255, 255, 255);
    for (auto* row : binary.rows)
        EXPECT_EQ(row[0], 0);
}
