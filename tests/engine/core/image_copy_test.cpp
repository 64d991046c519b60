#include "core/image_copy.h"

#include "core/error.h"
#include "core/util.h"
#include "test_messages.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mv;

namespace {

// Fills every byte of every row (padding included) with a pattern of row and column.
void fill_pattern(Image& img)
{
    for (size_t r = 0; r < img.rows.size(); ++r)
        for (int k = 0; k < img.row_bytes; ++k)
            img.rows[r][k] = std::uint8_t(r * 31 + k * 7 + 1);
}

bool same_rows(const Image& a, const Image& b, int rows)
{
    for (int r = 0; r < rows; ++r)
        if (std::memcmp(a.row(r), b.row(r), size_t(a.row_bytes)) != 0)
            return false;
    return true;
}

} // namespace

TEST(ImageCopy, CommandShowsProgressFromTenThousandPixels)
{
    test::TestProgressSink sink;
    Image small, big, out;
    ASSERT_EQ(image_alloc(small, IMAGE_GRAY, 100, 99, 72.0), 0);
    ASSERT_EQ(image_alloc(big, IMAGE_COLOR48, 100, 100, 72.0), 0);
    fill_pattern(small);
    fill_pattern(big);

    ASSERT_EQ(geometry_copy(small, out), 0);
    EXPECT_TRUE(sink.begins.empty());
    EXPECT_EQ(sink.wait_on, 1);
    EXPECT_TRUE(same_rows(small, out, 99));
    EXPECT_EQ(out.resolution, 72.0);

    ASSERT_EQ(geometry_copy(big, out), 0);
    ASSERT_EQ(sink.titles(), std::vector<std::string>{"Copy"});
    EXPECT_EQ(sink.begins[0].first, 0);
    EXPECT_EQ(sink.begins[0].last, 99);
    EXPECT_TRUE(sink.begins[0].cancellable);
    EXPECT_EQ(sink.updates.size(), 100u);
    EXPECT_EQ(sink.open, 0);
    EXPECT_EQ(out.type, IMAGE_COLOR48);
    EXPECT_TRUE(same_rows(big, out, 100));

    // image_copy shows its window whatever the size.
    ASSERT_EQ(image_copy(small, out), 0);
    EXPECT_EQ(sink.titles().back(), "Copy");
    EXPECT_TRUE(same_rows(small, out, 99));
}

TEST(ImageCopy, CancelStopsWithAbortedAndTheRowsCopiedSoFar)
{
    test::TestProgressSink sink;
    test::RecordingMessageSink messages;
    Image src, dst;
    ASSERT_EQ(image_alloc(src, IMAGE_GRAY, 100, 100, 100.0), 0);
    fill_pattern(src);
    sink.cancel_during(10);
    const int err = geometry_copy(src, dst);
    EXPECT_EQ(err, kAborted);
    EXPECT_EQ(sink.updates.back(), 11);
    EXPECT_EQ(sink.open, 0);
    EXPECT_TRUE(same_rows(src, dst, 11));
    // The caller shows the result.
    error_box(err);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, "Attention");
    EXPECT_EQ(messages.messages[0].text, "Operation Aborted");
}

TEST(ImageCopy, PseudoTypesAreRefusedAndTheDestinationKept)
{
    Image colour, dst;
    ASSERT_EQ(image_alloc(colour, IMAGE_SINGLE_COLOR, 1, 1, 0.0), 0);
    ASSERT_EQ(image_alloc(dst, IMAGE_GRAY, 3, 3, 50.0), 0);
    EXPECT_EQ(geometry_copy(colour, dst), kIllegalImageType);
    EXPECT_EQ(gray_negative(colour, dst), kIllegalImageType);
    Image empty;
    EXPECT_EQ(gray_negative(empty, dst), kIllegalImageType);
    EXPECT_EQ(dst.type, IMAGE_GRAY);
    EXPECT_EQ(dst.width, 3);
    // image_copy itself copies any type.
    colour.row(0)[0] = 9;
    ASSERT_EQ(image_copy(colour, dst), 0);
    EXPECT_EQ(dst.type, IMAGE_SINGLE_COLOR);
    EXPECT_EQ(dst.row(0)[0], 9);
}

TEST(GrayNegative, ComplementsEveryTypeIncludingPadding)
{
    test::TestProgressSink sink;
    Image colour, out;
    ASSERT_EQ(image_alloc(colour, IMAGE_COLOR, 1, 1, 100.0), 0);
    std::memcpy(colour.row(0), "\x00\x10\xff\x42", 4); // blue, green, red, padding
    ASSERT_EQ(gray_negative(colour, out), 0);
    EXPECT_EQ(std::memcmp(out.row(0), "\xff\xef\x00\xbd", 4), 0);
    EXPECT_TRUE(sink.begins.empty());

    Image binary;
    ASSERT_EQ(image_alloc(binary, IMAGE_BINARY, 3, 1, 100.0), 0);
    std::memcpy(binary.row(0), "\xa0\x00\x01\xff", 4);
    ASSERT_EQ(gray_negative(binary, out), 0);
    EXPECT_EQ(std::memcmp(out.row(0), "\x5f\xff\xfe\x00", 4), 0);

    Image gray16;
    ASSERT_EQ(image_alloc(gray16, IMAGE_GRAY16, 1, 1, 100.0), 0);
    gray16.row16(0)[0] = 1000;
    gray16.row16(0)[1] = 77; // padding is carried over
    ASSERT_EQ(gray_negative(gray16, out), 0);
    EXPECT_EQ(out.row16(0)[0], 64535);
    EXPECT_EQ(out.row16(0)[1], 77);

    Image c48;
    ASSERT_EQ(image_alloc(c48, IMAGE_COLOR48, 200, 50, 100.0), 0);
    for (int r = 0; r < 50; ++r)
        for (int k = 0; k < 600; ++k)
            c48.row16(r)[k] = std::uint16_t(r * 600 + k);
    ASSERT_EQ(gray_negative(c48, out), 0);
    EXPECT_EQ(out.row16(49)[599], 65535 - (49 * 600 + 599));
    EXPECT_EQ(out.row16(0)[0], 65535);
    EXPECT_EQ(sink.titles(), std::vector<std::string>{"Negative"});
}

TEST(ImageCrop, CopiesTheInclusiveRectangle)
{
    Image gray, out;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 10, 8, 240.0), 0);
    for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 10; ++x)
            gray.row(r)[x] = std::uint8_t(10 * r + x);
    ASSERT_EQ(image_crop(gray, 2, 1, 6, 3, out), 0);
    EXPECT_EQ(out.width, 5);
    EXPECT_EQ(out.height, 3);
    EXPECT_EQ(out.resolution, 240.0);
    EXPECT_EQ(out.row(0)[0], 12);
    EXPECT_EQ(out.row(2)[4], 36);

    // Binary crops start at any bit.
    Image binary;
    ASSERT_EQ(image_alloc(binary, IMAGE_BINARY, 20, 2, 100.0), 0);
    std::memset(binary.row(0), 0, 4);
    std::memset(binary.row(1), 0, 4);
    for (int x : {3, 4, 11, 12})
        bit_set(binary.row(1), x);
    ASSERT_EQ(image_crop(binary, 3, 1, 12, 1, out), 0);
    EXPECT_EQ(out.width, 10);
    EXPECT_EQ(out.height, 1);
    EXPECT_EQ(out.row(0)[0], 0xc0);
    EXPECT_EQ(out.row(0)[1], 0xc0); // columns 8 and 9, the rest of the row cleared
    EXPECT_FALSE(bit_test(out.row(0), 2));

    // A rectangle outside the source is refused and the destination kept.
    EXPECT_EQ(image_crop(gray, 5, 0, 10, 3, out), 73);
    EXPECT_EQ(image_crop(gray, 5, 3, 4, 3, out), 73);
    EXPECT_EQ(image_crop(gray, -1, 0, 4, 3, out), 73);
    EXPECT_EQ(out.type, IMAGE_BINARY);
}
