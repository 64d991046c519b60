#include "core/histogram.h"

#include "core/error.h"
#include "core/util.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace mv;

namespace {

Image colour_image(int w, int h, int red, int green, int blue)
{
    Image img;
    image_alloc(img, IMAGE_COLOR, w, h, 100.0);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) {
            img.row(r)[3 * x] = std::uint8_t(blue);
            img.row(r)[3 * x + 1] = std::uint8_t(green);
            img.row(r)[3 * x + 2] = std::uint8_t(red);
        }
    return img;
}

} // namespace

TEST(Histogram, SamplingStepsGrowAlternately)
{
    auto steps = [](long long w, long long h, long long limit) {
        const HistogramSteps s = histogram_steps(w, h, limit);
        return std::pair(s.sx, s.sy);
    };
    EXPECT_EQ(steps(1000, 500, 500000), std::pair(1, 1));
    EXPECT_EQ(steps(1000, 1000, 500000), std::pair(1, 2));
    EXPECT_EQ(steps(2000, 1000, 500000), std::pair(2, 2));
    EXPECT_EQ(steps(3000, 1000, 500000), std::pair(2, 3));
    EXPECT_EQ(steps(3001, 1000, 500000), std::pair(3, 3));
    EXPECT_EQ(steps(10, 10, 0), std::pair(7, 8)); // a limit below 1 counts as 1: 100 / 56 = 1
}

TEST(Histogram, CountsEverySampledPixelAndSetsTheLargest)
{
    test::TestProgressSink sink;
    // 10 x 10 with limit 30: steps (2, 2), so rows and columns 0, 2, 4, 6, 8 are counted.
    Image gray;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 10, 10, 100.0), 0);
    for (int r = 0; r < 10; ++r)
        for (int x = 0; x < 10; ++x)
            gray.row(r)[x] = std::uint8_t(x + 10 * r);
    gray.row(4)[6] = 0; // a second count for level 0
    HistogramRecord h;
    ASSERT_EQ(histogram_gray(gray, h, 30), 0);
    EXPECT_EQ(h.counts[0], 2u);
    EXPECT_EQ(h.counts[22], 1u);
    EXPECT_EQ(h.counts[88], 1u);
    EXPECT_EQ(h.counts[1], 0u);
    EXPECT_EQ(h.counts[10], 0u);
    EXPECT_EQ(h.counts[46], 0u);
    EXPECT_EQ(h.largest, 2u);
    ASSERT_EQ(sink.titles(), std::vector<std::string>{"Histogram"});
    EXPECT_FALSE(sink.begins[0].cancellable);
    EXPECT_EQ(sink.updates, (std::vector<int>{0, 2, 4, 6, 8}));
    EXPECT_EQ(sink.open, 0);

    // Binary: clear bits at 0, set bits at 255.
    Image bin;
    ASSERT_EQ(image_alloc(bin, IMAGE_BINARY, 10, 1, 100.0), 0);
    std::memset(bin.row(0), 0, 4);
    bit_set(bin.row(0), 3);
    bit_set(bin.row(0), 9);
    ASSERT_EQ(histogram_binary(bin, h, kHistogramSampleLimit), 0);
    EXPECT_EQ(h.counts[0], 8u);
    EXPECT_EQ(h.counts[255], 2u);
    EXPECT_EQ(h.largest, 8u);

    // 16-bit gray: reduced for the 8-bit member, exact for the 16-bit one.
    Image g16;
    ASSERT_EQ(image_alloc(g16, IMAGE_GRAY16, 3, 1, 100.0), 0);
    g16.row16(0)[0] = 129, g16.row16(0)[1] = 128, g16.row16(0)[2] = 65535;
    ASSERT_EQ(histogram_gray(g16, h, kHistogramSampleLimit), 0);
    EXPECT_EQ(h.counts[0], 1u);
    EXPECT_EQ(h.counts[1], 1u);
    EXPECT_EQ(h.counts[255], 1u);
    Image pseudo;
    ASSERT_EQ(histogram_store(h, pseudo), 0);
    EXPECT_EQ(pseudo.type, IMAGE_HISTOGRAM);
    EXPECT_EQ(pseudo.row_bytes, 1028);
    std::uint32_t stored[257];
    std::memcpy(stored, pseudo.row(0), sizeof stored);
    EXPECT_EQ(stored[0], 1u);
    EXPECT_EQ(stored[1 + 255], 1u);

    auto h16 = std::make_unique<HistogramRecord16>();
    ASSERT_EQ(histogram_gray16(g16, *h16, kHistogramSampleLimit), 0);
    EXPECT_EQ(h16->counts[129], 1u);
    EXPECT_EQ(h16->counts[65535], 1u);
    EXPECT_EQ(h16->largest, 1u);
}

TEST(Histogram, ColourMembersCountTheirMeasure)
{
    test::TestProgressSink sink;
    const Image img = colour_image(2, 2, 200, 100, 50);
    HistogramRecord a, b, c;
    ASSERT_EQ(histogram_rgb(img, a, b, c, kHistogramSampleLimit), 0);
    EXPECT_EQ(a.counts[200], 4u);
    EXPECT_EQ(b.counts[100], 4u);
    EXPECT_EQ(c.counts[50], 4u);
    EXPECT_EQ(c.largest, 4u);

    auto single = [&](int (*member)(const Image&, HistogramRecord&, long long)) {
        HistogramRecord h;
        EXPECT_EQ(member(img, h, kHistogramSampleLimit), 0);
        for (int level = 0; level < 256; ++level)
            if (h.counts[level])
                return level;
        return -1;
    };
    EXPECT_EQ(single(histogram_average), 116);
    EXPECT_EQ(single(histogram_luminance), (306 * 200 + 601 * 100 + 117 * 50) >> 10);
    EXPECT_EQ(single(histogram_value), 200);
    EXPECT_EQ(single(histogram_saturation_hsv), 150 * 255 / 200);
    EXPECT_EQ(single(histogram_lightness), 125);
    EXPECT_EQ(single(histogram_saturation_hsl), 150 * 255 / 250);

    // Pure red: hue 4096, saturation 4096, value 4096, all at level 255; pure green's hue
    // 1365 at (1365 * 255 + 2048) / 4096 = 85.
    const Image red = colour_image(1, 1, 255, 0, 0);
    ASSERT_EQ(histogram_hsv(red, a, b, c, kHistogramSampleLimit), 0);
    EXPECT_EQ(a.counts[255], 1u);
    EXPECT_EQ(b.counts[255], 1u);
    EXPECT_EQ(c.counts[255], 1u);
    const Image green = colour_image(1, 1, 0, 255, 0);
    ASSERT_EQ(histogram_hsl(green, a, b, c, kHistogramSampleLimit), 0);
    EXPECT_EQ(a.counts[85], 1u);
    EXPECT_EQ(b.counts[255], 1u);
    EXPECT_EQ(c.counts[(2048 * 255 + 2048) / 4096], 1u);
}

TEST(Histogram, FortyEightBitColourIsNarrowedExceptForSixteenBitMembers)
{
    test::TestProgressSink sink;
    Image c48;
    ASSERT_EQ(image_alloc(c48, IMAGE_COLOR48, 2, 1, 100.0), 0);
    const std::uint16_t px[6] = {129, 1000, 65535, 40000, 5, 300}; // (b, g, r) twice
    std::memcpy(c48.row16(0), px, sizeof px);
    HistogramRecord r, g, b;
    ASSERT_EQ(histogram_rgb(c48, r, g, b, kHistogramSampleLimit), 0);
    EXPECT_EQ(r.counts[255], 1u);
    EXPECT_EQ(r.counts[1], 1u); // 300 narrows to 1
    EXPECT_EQ(b.counts[1], 1u);
    EXPECT_EQ(b.counts[156], 1u); // (40000 * 255 + 32767) / 65535
    auto h16 = std::make_unique<HistogramRecord16>();
    ASSERT_EQ(histogram_value16(c48, *h16, kHistogramSampleLimit), 0);
    EXPECT_EQ(h16->counts[65535], 1u);
    EXPECT_EQ(h16->counts[40000], 1u);
    ASSERT_EQ(histogram_lightness16(c48, *h16, kHistogramSampleLimit), 0);
    EXPECT_EQ(h16->counts[(129 + 65535) / 2], 1u);
    EXPECT_EQ(h16->counts[(5 + 40000) / 2], 1u);
    EXPECT_EQ(sink.titles().size(), 3u);
}

TEST(Histogram, WrongTypesAreRefusedWithoutTouchingTheRecords)
{
    test::TestProgressSink sink;
    const Image colour = colour_image(2, 2, 1, 2, 3);
    Image gray;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 2, 2, 100.0), 0);
    HistogramRecord h;
    h.largest = 77;
    auto h16 = std::make_unique<HistogramRecord16>();
    EXPECT_EQ(histogram_gray(colour, h, 100), kIllegalImageType);
    EXPECT_EQ(histogram_binary(gray, h, 100), kIllegalImageType);
    EXPECT_EQ(histogram_value(gray, h, 100), kIllegalImageType);
    EXPECT_EQ(histogram_hsv(gray, h, h, h, 100), kIllegalImageType);
    EXPECT_EQ(histogram_gray16(gray, *h16, 100), kIllegalImageType);
    EXPECT_EQ(histogram_value16(colour, *h16, 100), kIllegalImageType);
    EXPECT_EQ(h.largest, 77u);
    EXPECT_TRUE(sink.begins.empty());
}
