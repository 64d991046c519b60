#include "core/image_measure.h"

#include "core/error.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mv;

TEST(ImageArea, SumsRowsOverTwoHundredFiftyFiveWithoutCancel)
{
    test::TestProgressSink sink;
    Image mask;
    ASSERT_EQ(image_alloc(mask, IMAGE_GRAY, 100, 100, 100.0), 0);
    for (int r = 0; r < 100; ++r)
        std::memset(mask.row(r), r < 50 ? 255 : 51, 100);
    sink.cancel_during(3); // there is no Cancel button
    EXPECT_DOUBLE_EQ(image_area(mask), 5000.0 + 50 * (5100 / 255.0));
    ASSERT_EQ(sink.titles(), std::vector<std::string>{"Area"});
    EXPECT_FALSE(sink.begins[0].cancellable);
    EXPECT_EQ(sink.updates.size(), 100u);

    Image small;
    ASSERT_EQ(image_alloc(small, IMAGE_GRAY, 3, 1, 100.0), 0);
    std::memcpy(small.row(0), "\xff\x80\x01\x00", 4); // the padding does not count
    EXPECT_DOUBLE_EQ(image_area(small), 384 / 255.0);
    EXPECT_EQ(sink.begins.size(), 1u);
    Image colour;
    ASSERT_EQ(image_alloc(colour, IMAGE_COLOR, 3, 1, 100.0), 0);
    EXPECT_EQ(image_area(colour), 0.0);
}

TEST(ImageReduce, NarrowsSixteenBitSamplesInPlace)
{
    test::TestProgressSink sink;
    Image g16, out;
    ASSERT_EQ(image_alloc(g16, IMAGE_GRAY16, 4, 1, 300.0), 0);
    const std::uint16_t values[4] = {0, 128, 129, 65535};
    std::memcpy(g16.row16(0), values, sizeof values);
    ASSERT_EQ(image_reduce_gray16(g16, out, false), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    EXPECT_EQ(out.resolution, 300.0);
    EXPECT_EQ(std::memcmp(out.row(0), "\0\0\1\xff", 4), 0);
    EXPECT_TRUE(sink.begins.empty());

    Image c48;
    ASSERT_EQ(image_alloc(c48, IMAGE_COLOR48, 1, 3, 100.0), 0);
    for (int r = 0; r < 3; ++r) {
        c48.row16(r)[0] = 257;   // blue
        c48.row16(r)[1] = 32767; // green: (32767 * 255 + 32767) / 65535 = 127
        c48.row16(r)[2] = 65535; // red
    }
    ASSERT_EQ(image_reduce_color48(c48, out, true), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR);
    EXPECT_EQ(std::memcmp(out.row(2), "\x01\x7f\xff", 3), 0);
    ASSERT_EQ(sink.titles(), std::vector<std::string>{"Convert to 8-bit"});
    EXPECT_TRUE(sink.begins[0].cancellable);

    sink.cancel_during(0);
    EXPECT_EQ(image_reduce_color48(c48, out, true), kAborted);
    EXPECT_EQ(sink.open, 0);

    EXPECT_EQ(image_reduce_gray16(c48, out, false), kIllegalImageType);
    EXPECT_EQ(image_reduce_color48(g16, out, false), kIllegalImageType);
}
