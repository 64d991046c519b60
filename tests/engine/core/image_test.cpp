#include "core/image.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mv;

TEST(Image, RowBytesAndChunkLayout)
{
    EXPECT_EQ(image_row_bytes(IMAGE_COLOR, 21666), 65000);
    EXPECT_EQ(image_row_bytes(IMAGE_COLOR, 21667), 65004);
    EXPECT_EQ(image_row_bytes(IMAGE_BINARY, 1), 4);
    EXPECT_EQ(image_row_bytes(IMAGE_BINARY, 33), 8);
    EXPECT_EQ(image_row_bytes(IMAGE_GRAY16, 3), 8);
    EXPECT_EQ(image_row_bytes(IMAGE_COLOR48, 1), 8);
    EXPECT_EQ(image_row_bytes(IMAGE_HISTOGRAM, 1), 1028);

    Image wide;
    ASSERT_EQ(image_alloc(wide, IMAGE_COLOR, 21666, 3, 100.0), 0);
    EXPECT_EQ(wide.rows_per_chunk, 1);
    EXPECT_EQ(wide.chunk_count, 3);
    EXPECT_EQ(wide.rows[2], wide.chunks[2]);

    // Longer rows than a chunk holds get a chunk each.
    Image wider;
    ASSERT_EQ(image_alloc(wider, IMAGE_COLOR, 21667, 2, 100.0), 0);
    EXPECT_EQ(wider.row_bytes, 65004);
    EXPECT_EQ(wider.chunk_count, 2);
    std::memset(wider.row(1), 7, 65004);

    // 65 rows of 1000 bytes per chunk: 200 rows need chunks of 65, 65, 65 and 5 rows.
    Image gray;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 1000, 200, 72.0), 0);
    EXPECT_EQ(gray.rows_per_chunk, 65);
    EXPECT_EQ(gray.chunk_count, 4);
    EXPECT_EQ(gray.rows[66], gray.chunks[1] + 1000);
    EXPECT_EQ(gray.rows[199], gray.chunks[3] + 4000);

    Image exact;
    ASSERT_EQ(image_alloc(exact, IMAGE_GRAY, 1000, 130, 72.0), 0);
    EXPECT_EQ(exact.chunk_count, 2);
}

TEST(Image, LargePicturesLieInOneMappedBlock)
{
    // Pictures of several megabytes are mapped on their own and their pages populated on a
    // second thread while the caller fills them; freed at once, the thread is stopped.
    for (int round = 0; round < 3; ++round) {
        Image big;
        ASSERT_EQ(image_alloc(big, IMAGE_COLOR48, 1500, 800, 72.0), 0);
        EXPECT_EQ(big.rows_per_chunk, 7); // rows of 9000 bytes
        EXPECT_EQ(big.chunk_count, 115);
        EXPECT_EQ(big.rows[799], big.chunks[114] + 9000);
        if (round == 0)
            continue;
        for (int r = 0; r < big.height; ++r)
            std::memset(big.row(r), r & 255, std::size_t(big.row_bytes));
        Image copy;
        ASSERT_EQ(image_clone(big, copy), 0);
        for (int r = 0; r < big.height; r += 97)
            EXPECT_EQ(copy.row(r)[big.row_bytes - 1], r & 255);
    }
}

TEST(Image, ReallocationKeepsPixelsOnlyForTheSameTypeAndSize)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_GRAY, 10, 10, 100.0), 0);
    img.row(3)[4] = 123;
    const std::uint8_t* before = img.row(3);
    ASSERT_EQ(image_alloc(img, IMAGE_GRAY, 10, 10, 300.0), 0);
    EXPECT_EQ(img.row(3), before);
    EXPECT_EQ(img.row(3)[4], 123);
    EXPECT_EQ(img.resolution, 300.0);

    ASSERT_EQ(image_alloc(img, IMAGE_GRAY, 11, 10, 300.0), 0);
    EXPECT_EQ(img.row_bytes, 12);

    // Pseudo-types store one row whatever the height; no width or height means no rows.
    ASSERT_EQ(image_alloc(img, IMAGE_HISTOGRAM, 1, 5, 0.0), 0);
    EXPECT_EQ(img.rows.size(), 1u);
    EXPECT_EQ(img.height, 5);
    ASSERT_EQ(image_alloc(img, IMAGE_GRAY, 0, 10, 0.0), 0);
    EXPECT_TRUE(img.empty());
    EXPECT_EQ(img.type, IMAGE_GRAY);
    ASSERT_EQ(image_alloc(img, 9, 10, 10, 0.0), 0);
    EXPECT_TRUE(img.empty());

    image_free(img);
    EXPECT_EQ(img.type, IMAGE_EMPTY);
    EXPECT_EQ(img.chunk_count, 0);
}

TEST(Image, CloneCopiesPaddingAndTypeNames)
{
    Image src, dst;
    ASSERT_EQ(image_alloc(src, IMAGE_COLOR, 1, 2, 150.0), 0);
    std::memcpy(src.row(0), "\1\2\3\4", 4);
    std::memcpy(src.row(1), "\5\6\7\10", 4);
    ASSERT_EQ(image_clone(src, dst), 0);
    EXPECT_EQ(std::memcmp(dst.row(0), "\1\2\3\4", 4), 0);
    EXPECT_EQ(std::memcmp(dst.row(1), "\5\6\7\10", 4), 0);
    EXPECT_EQ(dst.resolution, 150.0);
    EXPECT_STREQ(image_type_name(IMAGE_GRAY16), "Black and White Image (16-bit)");
    EXPECT_STREQ(image_type_name(0), "Empty");
    EXPECT_STREQ(image_type_name(8), "Unknown");
}
