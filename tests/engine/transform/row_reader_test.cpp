#include "transform/row_reader.h"

#include "transform_test_support.h"

#include <gtest/gtest.h>

using namespace mv;
using mv::transform_test::make_image;

TEST(RowReader, FullSizeReturnsStoredRowsAndHoldsTheLastRow)
{
    Image img = make_image(IMAGE_GRAY, 6, 4, [](int x, int y, int) { return 10 * y + x; });
    RowReader r;
    row_reader_reset(r);
    ASSERT_EQ(row_reader_open(img, 2, 1, 1, 4, r), 0);
    EXPECT_EQ(r.buffer, nullptr); // no copy needed at step 1
    const std::uint8_t* p = row_reader_next(r);
    EXPECT_EQ(p, img.row(1) + 2);
    EXPECT_EQ(row_reader_next(r)[0], 22);
    EXPECT_EQ(row_reader_next(r)[3], 35);
    // Past the top the last row repeats.
    EXPECT_EQ(row_reader_next(r)[0], 32);
    EXPECT_EQ(row_reader_next(r)[0], 32);
    row_reader_close(r);
    row_reader_close(r);

    // Magnification reads every pixel too.
    ASSERT_EQ(row_reader_open(img, 0, 0, 4, 6, r), 0);
    EXPECT_EQ(r.step, 1);
    EXPECT_EQ(r.buffer, nullptr);
}

TEST(RowReader, ReductionStepsColumnsAndRowsForEveryType)
{
    // 1:3 reduction of a 10 x 10 picture from (1, 0): columns 1, 4, 7; rows 0, 3, 6, 9, 9.
    Image gray = make_image(IMAGE_GRAY, 10, 10, [](int x, int y, int) { return 10 * y + x; });
    RowReader r;
    row_reader_reset(r);
    ASSERT_EQ(row_reader_open(gray, 1, 0, -3, 3, r), 0);
    ASSERT_NE(r.buffer, nullptr);
    const int rows[] = {0, 3, 6, 9, 9};
    for (int y : rows) {
        const std::uint8_t* p = row_reader_next(r);
        EXPECT_EQ(p[0], 10 * y + 1);
        EXPECT_EQ(p[1], 10 * y + 4);
        EXPECT_EQ(p[2], 10 * y + 7);
    }

    Image color = make_image(IMAGE_COLOR, 10, 4, [](int x, int y, int s) { return 50 * s + 10 * y + x; });
    ASSERT_EQ(row_reader_open(color, 0, 1, -3, 4, r), 0);
    const std::uint8_t* p = row_reader_next(r);
    for (int i = 0; i < 4; ++i)
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(p[3 * i + s], 50 * s + 10 + 3 * i) << i << " " << s;

    Image wide = make_image(IMAGE_COLOR48, 10, 4, [](int x, int y, int s) { return 1000 * s + 100 * y + x; });
    ASSERT_EQ(row_reader_open(wide, 2, 2, -3, 3, r), 0);
    const auto* q = reinterpret_cast<const std::uint16_t*>(row_reader_next(r));
    EXPECT_EQ(q[0], 202);
    EXPECT_EQ(q[3 * 2 + 2], 2000 + 200 + 8);

    Image deep = make_image(IMAGE_GRAY16, 10, 4, [](int x, int y, int) { return 60000 + 10 * y + x; });
    ASSERT_EQ(row_reader_open(deep, 0, 3, -2, 5, r), 0);
    q = reinterpret_cast<const std::uint16_t*>(row_reader_next(r));
    EXPECT_EQ(q[4], 60038);

    // Counts that run past the right edge repeat the last column instead of overrunning.
    ASSERT_EQ(row_reader_open(gray, 7, 0, -3, 3, r), 0);
    p = row_reader_next(r);
    EXPECT_EQ(p[0], 7);
    EXPECT_EQ(p[1], 9);
    EXPECT_EQ(p[2], 9);
    ASSERT_EQ(row_reader_open(gray, 8, 0, 1, 4, r), 0);
    ASSERT_NE(r.buffer, nullptr);
    p = row_reader_next(r);
    EXPECT_EQ(p[0], 8);
    EXPECT_EQ(p[3], 9);
}

TEST(RowReader, BinaryArrivesAsBytesAndBadInputIsRefused)
{
    Image bin = make_image(IMAGE_BINARY, 13, 3, [](int x, int y, int) { return (x + y) % 3 == 0; });
    RowReader r;
    row_reader_reset(r);
    ASSERT_EQ(row_reader_open(bin, 0, 0, 1, 13, r), 0);
    ASSERT_NE(r.buffer, nullptr); // binary always needs the byte buffer
    for (int y = 0; y < 3; ++y) {
        const std::uint8_t* p = row_reader_next(r);
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(p[x], (x + y) % 3 == 0 ? 255 : 0) << x << "," << y;
    }
    Image stripes = make_image(IMAGE_BINARY, 12, 2, [](int x, int, int) { return x % 4 < 2; });
    ASSERT_EQ(row_reader_open(stripes, 1, 1, -3, 4, r), 0);
    const std::uint8_t* p = row_reader_next(r); // columns 1, 4, 7, 10
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p[3], 0);

    Image empty;
    EXPECT_EQ(row_reader_open(empty, 0, 0, 1, 4, r), 14);
    Image single;
    image_alloc(single, IMAGE_SINGLE_COLOR, 1, 1, 0);
    EXPECT_EQ(row_reader_open(single, 0, 0, 1, 1, r), 14);
}
