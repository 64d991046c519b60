#include "tone/convert.h"

#include "test_progress.h"
#include "tone/value_tables.h"
#include "transform/transform_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mv;
using mv::transform_test::make_image;
using mv::transform_test::sample_at;

namespace {

int convert(const Image& in, int target, Image& out)
{
    ConvertSettings s;
    s.target = target;
    return transformation_apply(convert_region, &s, in, out, "Convert");
}

} // namespace

TEST(Convert, EightBitRules)
{
    // Gray 127 is black, 128 white; gray spreads into all three channels.
    Image gray = make_image(IMAGE_GRAY, 11, 2, [](int x, int y, int) { return 123 + x + y; });
    Image out;
    ASSERT_EQ(convert(gray, 0, out), 0);
    ASSERT_EQ(out.type, IMAGE_BINARY);
    EXPECT_EQ(out.resolution, 72.0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 11; ++x)
            EXPECT_EQ(sample_at(out, x, y), 123 + x + y >= 128 ? 1 : 0) << x << "," << y;
    ASSERT_EQ(convert(gray, 2, out), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(sample_at(out, 4, 1, c), 128);

    // Colour to gray by luminance: white stays 255; pure channels by their weights.
    Image color = make_image(IMAGE_COLOR, 4, 1, [](int x, int, int s) {
        const int rgb[4][3] = {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        return rgb[x][2 - s]; // stored blue, green, red
    });
    ASSERT_EQ(convert(color, 1, out), 0);
    EXPECT_EQ(sample_at(out, 0, 0), 255);
    EXPECT_EQ(sample_at(out, 1, 0), (306 * 255) >> 10);
    EXPECT_EQ(sample_at(out, 2, 0), (601 * 255) >> 10);
    EXPECT_EQ(sample_at(out, 3, 0), (117 * 255) >> 10);
    ASSERT_EQ(convert(color, 0, out), 0);
    EXPECT_EQ(sample_at(out, 0, 0), 1);
    EXPECT_EQ(sample_at(out, 1, 0), 0); // 76
    EXPECT_EQ(sample_at(out, 2, 0), 1); // 149

    // Binary arrives as 0/255 bytes.
    Image bin = make_image(IMAGE_BINARY, 9, 1, [](int x, int, int) { return x % 3 == 0; });
    ASSERT_EQ(convert(bin, 2, out), 0);
    EXPECT_EQ(sample_at(out, 3, 0, 1), 255);
    EXPECT_EQ(sample_at(out, 4, 0, 2), 0);
    ASSERT_EQ(convert(bin, 1, out), 0);
    EXPECT_EQ(sample_at(out, 6, 0), 255);

    // The source's own type is a copy, padding included.
    ASSERT_EQ(convert(bin, 0, out), 0);
    EXPECT_EQ(std::memcmp(out.row(0), bin.row(0), size_t(bin.row_bytes)), 0);
}

TEST(Convert, SixteenBitNarrowingAndBadInput)
{
    Image deep = make_image(IMAGE_GRAY16, 5, 1, [](int x, int, int) {
        const int v[5] = {128, 129, 32767, 32896, 65535};
        return v[x];
    });
    Image out;
    ASSERT_EQ(convert(deep, 1, out), 0);
    EXPECT_EQ(sample_at(out, 0, 0), 0);
    EXPECT_EQ(sample_at(out, 1, 0), 1);
    EXPECT_EQ(sample_at(out, 2, 0), narrow16(32767));
    EXPECT_EQ(sample_at(out, 4, 0), 255);
    ASSERT_EQ(convert(deep, 0, out), 0);
    EXPECT_EQ(sample_at(out, 2, 0), 0); // narrows to 127
    EXPECT_EQ(sample_at(out, 3, 0), 1); // narrows to 128
    ASSERT_EQ(convert(deep, 3, out), 0); // itself: a 16-bit copy
    EXPECT_EQ(out.type, IMAGE_GRAY16);
    EXPECT_EQ(sample_at(out, 2, 0), 32767);
    EXPECT_EQ(convert(deep, 4, out), 14);
    EXPECT_TRUE(out.empty());

    Image wide = make_image(IMAGE_COLOR48, 2, 1, [](int x, int, int s) { return x == 0 ? 65535 : 257 * (100 + 50 * s); });
    ASSERT_EQ(convert(wide, 2, out), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 255);
    EXPECT_EQ(sample_at(out, 1, 0, 0), 100);
    EXPECT_EQ(sample_at(out, 1, 0, 2), 200);
    ASSERT_EQ(convert(wide, 1, out), 0);
    EXPECT_EQ(sample_at(out, 1, 0), luminance(200, 150, 100));
    ConvertSettings s;
    convert_reset(s, IMAGE_COLOR48);
    EXPECT_EQ(s.target, 4);
    EXPECT_EQ(convert_target_type(4, false), IMAGE_COLOR);
    EXPECT_EQ(convert_target_type(4, true), IMAGE_COLOR48);
    EXPECT_STREQ(convert_source_label(IMAGE_GRAY16), "Convert from: 16-bit Black and White");

    Image hist;
    image_alloc(hist, IMAGE_HISTOGRAM, 257, 1, 0);
    EXPECT_EQ(convert(hist, 1, out), 14);
}

TEST(Convert, CancelledAtRowTenLeavesNothing)
{
    test::TestProgressSink sink;
    sink.cancel_during(10);
    Image color = make_image(IMAGE_COLOR, 150, 100, [](int x, int y, int s) { return (x * y + s) & 255; });
    Image out;
    EXPECT_EQ(convert(color, 1, out), 11);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(sink.updates.size(), 12u); // rows 0..11; row 11's update reports the cancel
    EXPECT_EQ(sink.open, 0);
}

TEST(Convert, BinaryPreviewStripsKeepTheirBitPositions)
{
    // Columns 3..12 of a 1:1 binary display, and a 2:1 strip through the writer's buffer.
    Image gray = make_image(IMAGE_GRAY, 16, 2, [](int x, int, int) { return x % 2 ? 200 : 10; });
    Image display = make_image(IMAGE_BINARY, 16, 2, [](int, int, int) { return 0; });
    ConvertSettings s;
    s.target = 0;
    RegionRequest q = region_full_request(gray, display, "Convert");
    q.full = false;
    q.first_column = 3;
    q.last_column = 12;
    q.x0 = 3;
    q.columns = 10;
    ASSERT_EQ(convert_region(q, &s), 0);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(sample_at(display, x, 0), x >= 3 && x <= 12 && x % 2 ? 1 : 0) << x;

    Image big = make_image(IMAGE_BINARY, 16, 2, [](int, int, int) { return 0; });
    q.output = &big;
    q.zoom = 2;
    q.first_column = 4;
    q.last_column = 15;
    q.x0 = 1; // input columns 1..6 each shown twice
    q.columns = 6;
    q.rows = 1;
    ASSERT_EQ(convert_region(q, &s), 0);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(sample_at(big, x, 1), x >= 4 && ((1 + (x - 4) / 2) % 2) ? 1 : 0) << x;
}
