#include "core/error.h"
#include "core/image.h"
#include "core/progress.h"
#include "core/util.h"
#include "reduce/count_colors.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace mv;

namespace {

struct CountProgress : ProgressSink {
    int cancel_at = -1;
    std::vector<std::string> titles;
    int last = 0, updates = 0;
    ProgressSink* previous;
    CountProgress() { previous = set_progress_sink(this); }
    ~CountProgress() override { set_progress_sink(previous); }
    void begin(int, int l, std::string_view title, bool) override
    {
        last = l;
        titles.emplace_back(title);
    }
    int update(int current) override
    {
        ++updates;
        return cancel_at >= 0 && current >= cancel_at ? kAborted : 0;
    }
    void end() override {}
};

Image make(int type, int w, int h)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, w, h, 72), 0);
    for (int y = 0; y < h; y++)
        std::memset(img.row(y), 0, std::size_t(img.row_bytes));
    return img;
}

std::int64_t count_of(const Image& img)
{
    std::int64_t n = -1;
    EXPECT_EQ(count_colors(img, n), 0);
    return n;
}

} // namespace

TEST(CountColors, BinaryCountsOneOrTwoAndStopsAtBothValues)
{
    // 13 pixels wide: the padding bits of the last byte are set and must not count as white.
    Image bin = make(IMAGE_BINARY, 13, 4);
    for (int y = 0; y < 4; y++)
        bin.row(y)[1] = 0x07;
    EXPECT_EQ(count_of(bin), 1);
    bit_set(bin.row(2), 12);
    EXPECT_EQ(count_of(bin), 2);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 13; x++)
            bit_set(bin.row(y), x);
    EXPECT_EQ(count_of(bin), 1);

    // Both values in the first row: the scan ends after it.
    Image big = make(IMAGE_BINARY, 200, 100);
    bit_set(big.row(0), 5);
    CountProgress progress;
    EXPECT_EQ(count_of(big), 2);
    ASSERT_EQ(progress.titles.size(), 1u);
    EXPECT_EQ(progress.titles[0], "Count Colors");
    EXPECT_EQ(progress.last, 99);
    EXPECT_EQ(progress.updates, 1);
}

TEST(CountColors, GrayLevelsAtEightAndSixteenBits)
{
    Image gray = make(IMAGE_GRAY, 30, 7);
    const int levels[] = {0, 1, 17, 128, 254, 255};
    for (int y = 0; y < 7; y++)
        for (int x = 0; x < 30; x++)
            gray.row(y)[x] = std::uint8_t(levels[(x + y) % 6]);
    EXPECT_EQ(count_of(gray), 6);

    // Values that differ only in their low byte are distinct.
    Image g16 = make(IMAGE_GRAY16, 9, 5);
    const int values[] = {0x1200, 0x1201, 0x12FF, 0x1300, 0xFFFF};
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 9; x++)
            g16.row16(y)[x] = std::uint16_t(values[(x * 3 + y) % 5]);
    EXPECT_EQ(count_of(g16), 5);
}

TEST(CountColors, ColorPicturesMatchAnIndependentCount)
{
    std::mt19937 rng(7);
    // 24-bit: samples from a narrow range so that colours repeat.
    Image rgb = make(IMAGE_COLOR, 150, 90);
    std::set<std::array<int, 3>> seen;
    for (int y = 0; y < rgb.height; y++)
        for (int x = 0; x < rgb.width; x++) {
            std::uint8_t* p = rgb.row(y) + 3 * x;
            for (int c = 0; c < 3; c++)
                p[c] = std::uint8_t(120 + rng() % 13 + (c == 2 ? 100 : 0));
            seen.insert({p[0], p[1], p[2]});
        }
    EXPECT_EQ(count_of(rgb), std::int64_t(seen.size()));

    Image deep = make(IMAGE_COLOR48, 120, 70);
    std::set<std::array<int, 3>> deep_seen;
    // 48-bit at full precision: colours that part at every depth of the tree (one or two
    // flipped bits of a common value), and a difference in the low byte alone.
    for (int y = 0; y < deep.height; y++)
        for (int x = 0; x < deep.width; x++) {
            std::uint16_t* p = deep.row16(y) + 3 * x;
            for (int c = 0; c < 3; c++)
                p[c] = std::uint16_t(0x5A5A ^ (rng() % 3 == 0 ? 1u << rng() % 16 : 0u) ^
                                     (rng() % 5 == 0 ? 1u << rng() % 16 : 0u));
            deep_seen.insert({p[0], p[1], p[2]});
        }
    EXPECT_EQ(count_of(deep), std::int64_t(deep_seen.size()));
    Image low = make(IMAGE_COLOR48, 3, 1);
    low.row16(0)[3] = 1;
    low.row16(0)[8] = 0x00FF;
    EXPECT_EQ(count_of(low), 3);
}

TEST(CountColors, RejectsPseudoImagesAndStopsOnCancel)
{
    Image single = make(IMAGE_SINGLE_COLOR, 1, 1);
    std::int64_t n = 5;
    EXPECT_EQ(count_colors(single, n), kIllegalImageType);
    EXPECT_EQ(n, 0);

    Image rgb = make(IMAGE_COLOR, 100, 100);
    CountProgress progress;
    progress.cancel_at = 3;
    n = 5;
    EXPECT_EQ(count_colors(rgb, n), kAborted);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(progress.updates, 4);

    // Under 10000 pixels there is no progress window and nothing to cancel.
    Image small = make(IMAGE_GRAY16, 99, 100);
    EXPECT_EQ(count_colors(small, n), 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(progress.titles.size(), 1u);
}
