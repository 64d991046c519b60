#include "core/error.h"
#include "core/image.h"
#include "core/progress.h"
#include "reduce/color_reducer.h"
#include "tone/value_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace mv;

namespace {

struct ReduceProgress : ProgressSink {
    int cancel_after = -1; // updates allowed before the next one cancels
    std::vector<std::string> titles;
    int updates = 0;
    ProgressSink* previous;
    ReduceProgress() { previous = set_progress_sink(this); }
    ~ReduceProgress() override { set_progress_sink(previous); }
    void begin(int, int, std::string_view title, bool) override { titles.emplace_back(title); }
    int update(int) override
    {
        return cancel_after >= 0 && updates++ >= cancel_after ? kAborted : 0;
    }
    void end() override {}
};

Image make_color(int w, int h)
{
    Image img;
    EXPECT_EQ(image_alloc(img, IMAGE_COLOR, w, h, 300), 0);
    for (int y = 0; y < h; y++)
        std::memset(img.row(y), 0, std::size_t(img.row_bytes));
    return img;
}

void put(Image& img, int x, int y, int gray)
{
    std::memset(img.row(y) + 3 * x, gray, 3);
}

// The 15-bit cell of a blue, green, red pixel.
int cell_of(const std::uint8_t* p)
{
    int cell = 0;
    for (int b = 7; b >= 3; b--)
        cell = cell << 3 | (p[2] >> b & 1) << 2 | (p[1] >> b & 1) << 1 | (p[0] >> b & 1);
    return cell;
}

// 100 x 2: row 0 is a gray 100, a gray 120 and 98 black pixels; row 1 is a gray 120, a gray
// 100 and 98 white ones. Reduced to two colours, the grays fold into the black branch.
Image two_branch_picture()
{
    Image img = make_color(100, 2);
    for (int x = 0; x < 100; x++)
        put(img, x, 1, 252);
    put(img, 0, 0, 100);
    put(img, 1, 0, 120);
    put(img, 0, 1, 120);
    put(img, 1, 1, 100);
    return img;
}

} // namespace

TEST(ColorReduce, FewCellsKeepTheirCentresInDescendingCellOrder)
{
    // 40 distinct cells, pixels anywhere inside them.
    std::mt19937 rng(3);
    std::set<int> cells;
    std::vector<std::array<std::uint8_t, 3>> colors;
    while (colors.size() < 40) {
        std::array<std::uint8_t, 3> c{std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())};
        if (cells.insert(cell_of(c.data())).second)
            colors.push_back(c);
    }
    Image src = make_color(80, 60);
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 80; x++) {
            std::array<std::uint8_t, 3> c = colors[(x * 7 + y * 3) % 40];
            for (int k = 0; k < 3; k++)
                c[k] = std::uint8_t((c[k] & 0xF8) | (rng() & 7));
            std::memcpy(src.row(y) + 3 * x, c.data(), 3);
        }
    Palette pal;
    Image index;
    ASSERT_EQ(color_reduce(src, &index, 64, false, pal), 0);
    ASSERT_EQ(pal.size, 40);
    std::vector<int> order(cells.rbegin(), cells.rend());
    for (int i = 0; i < 40; i++) {
        const std::uint8_t* rgb = pal.colors[i];
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(rgb[k] & 7, 4) << i; // the centre of its cell
        const std::uint8_t bgr[3] = {rgb[2], rgb[1], rgb[0]};
        EXPECT_EQ(cell_of(bgr), order[i]) << i;
    }
    ASSERT_EQ(index.type, IMAGE_GRAY);
    EXPECT_EQ(index.width, 80);
    EXPECT_EQ(index.height, 60);
    EXPECT_EQ(index.resolution, 300);
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 80; x++) {
            const std::uint8_t* p = src.row(y) + 3 * x;
            const std::uint8_t* rgb = pal.colors[index.row(y)[x]];
            const std::uint8_t bgr[3] = {rgb[2], rgb[1], rgb[0]};
            ASSERT_EQ(cell_of(bgr), cell_of(p));
        }

    // Pixels exactly at their palette colours: lossless, dithered or not.
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 80; x++)
            for (int k = 0; k < 3; k++)
                src.row(y)[3 * x + k] = std::uint8_t((src.row(y)[3 * x + k] & 0xF8) | 4);
    for (bool dither : {false, true}) {
        ASSERT_EQ(color_reduce(src, &index, 40, dither, pal), 0);
        ASSERT_EQ(pal.size, 40);
        for (int y = 0; y < 60; y++)
            for (int x = 0; x < 80; x++) {
                const std::uint8_t* p = src.row(y) + 3 * x;
                const std::uint8_t* rgb = pal.colors[index.row(y)[x]];
                ASSERT_TRUE(rgb[0] == p[2] && rgb[1] == p[1] && rgb[2] == p[0]) << dither;
            }
    }
}

TEST(ColorReduce, MergesSmallestBranchesFirst)
{
    // Cells 0 (blue 4) and 1 (blue 12) share a parent; white sits in the opposite branch.
    Image src = make_color(16, 1);
    put(src, 0, 0, 4);
    for (int x = 1; x < 6; x++)
        src.row(0)[3 * x] = 12, src.row(0)[3 * x + 1] = 4, src.row(0)[3 * x + 2] = 4;
    for (int x = 6; x < 16; x++)
        put(src, x, 0, 252);
    Palette pal;
    Image index;
    ASSERT_EQ(color_reduce(src, &index, 2, false, pal), 0);
    ASSERT_EQ(pal.size, 2);
    const std::uint8_t expect[2][3] = {{252, 252, 252}, {4, 4, (4 + 5 * 12 + 3) / 6}};
    EXPECT_EQ(std::memcmp(pal.colors, expect, 6), 0);
    for (int x = 0; x < 16; x++)
        EXPECT_EQ(index.row(0)[x], x < 6 ? 1 : 0) << x;

    // The grays fold into the black branch, weighted by their cell centres.
    Image two = two_branch_picture();
    ASSERT_EQ(color_reduce(two, &index, 2, false, pal), 0);
    const std::uint8_t expect2[2][3] = {{252, 252, 252}, {8, 8, 8}};
    ASSERT_EQ(pal.size, 2);
    EXPECT_EQ(std::memcmp(pal.colors, expect2, 6), 0);
    for (int x = 0; x < 100; x++) {
        EXPECT_EQ(index.row(0)[x], 1);
        EXPECT_EQ(index.row(1)[x], x < 2 ? 1 : 0);
    }
    // Without an index image only the palette is made; one colour is all that is left at N=1.
    ASSERT_EQ(color_reduce(two, nullptr, 1, false, pal), 0);
    ASSERT_EQ(pal.size, 1);
    EXPECT_EQ(pal.colors[0][0], (98 * 4 + 2 * 100 + 2 * 124 + 98 * 252 + 100) / 200);
}

TEST(ColorReduce, ErrorDiffusionRunsSerpentine)
{
    // Palette 252 and 8. Row 0 runs left to right: the 120 gray gets the error of the 100
    // gray before it and turns white. Row 1 runs right to left: the 100 gray at x = 1 passes
    // its error on to the 120 gray at x = 0, which turns white too; scanned left to right it
    // would have stayed dark.
    Image src = two_branch_picture();
    Palette pal;
    Image index;
    ASSERT_EQ(color_reduce(src, &index, 2, true, pal), 0);
    for (int x = 0; x < 100; x++) {
        EXPECT_EQ(index.row(0)[x], x == 1 ? 0 : 1) << x;
        EXPECT_EQ(index.row(1)[x], x == 1 ? 1 : 0) << x;
    }
}

TEST(ColorReduce, GradientStaysWithinTheLimitAndDitherKeepsLocalAverages)
{
    const int w = 256, h = 64;
    Image src = make_color(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            std::uint8_t* p = src.row(y) + 3 * x;
            p[0] = std::uint8_t(255 - x), p[1] = std::uint8_t(y * 4), p[2] = std::uint8_t(x);
        }
    ReduceProgress progress;
    Palette plain_pal, dither_pal;
    Image plain, dithered;
    const int n = 32;
    ASSERT_EQ(color_reduce(src, &plain, n, false, plain_pal), 0);
    ASSERT_EQ(color_reduce(src, &dithered, n, true, dither_pal), 0);
    EXPECT_EQ(plain_pal.size, n);
    EXPECT_EQ(std::memcmp(&plain_pal, &dither_pal, sizeof(Palette)), 0);
    const std::vector<std::string> titles = {"Color Reduction -- Pass 1", "Color Reduction -- Pass 2",
                                             "Color Reduction -- Pass 1", "Color Reduction -- Pass 2"};
    EXPECT_EQ(progress.titles, titles);

    // Over 16 x 16 blocks, dithering follows the source's mean colour far more closely.
    long long plain_err = 0, dither_err = 0;
    for (int by = 0; by < h; by += 16)
        for (int bx = 0; bx < w; bx += 16) {
            long long s[3] = {}, sp[3] = {}, sd[3] = {};
            for (int y = by; y < by + 16; y++)
                for (int x = bx; x < bx + 16; x++) {
                    const int ip = plain.row(y)[x], id = dithered.row(y)[x];
                    ASSERT_LT(ip, n);
                    ASSERT_LT(id, n);
                    for (int c = 0; c < 3; c++) {
                        s[c] += src.row(y)[3 * x + c];
                        sp[c] += plain_pal.colors[ip][2 - c];
                        sd[c] += dither_pal.colors[id][2 - c];
                    }
                }
            for (int c = 0; c < 3; c++) {
                plain_err += std::llabs(sp[c] - s[c]) / 256;
                dither_err += std::llabs(sd[c] - s[c]) / 256;
            }
        }
    EXPECT_LT(dither_err * 2, plain_err) << dither_err << " " << plain_err;
}

TEST(ColorReduce, DeepColorIsNarrowedFirst)
{
    std::mt19937 rng(11);
    Image rgb = make_color(50, 40);
    Image deep;
    ASSERT_EQ(image_alloc(deep, IMAGE_COLOR48, 50, 40, 300), 0);
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 150; x++) {
            const int v = int(rng() % 256);
            rgb.row(y)[x] = std::uint8_t(v);
            // Any 16-bit value that narrows to v.
            deep.row16(y)[x] = std::uint16_t(std::clamp(widen8(v) + int(rng() % 257) - 128, 0, 65535));
            ASSERT_EQ(narrow16(deep.row16(y)[x]), v);
        }
    for (bool dither : {false, true}) {
        Palette p8, p16;
        Image i8, i16;
        ASSERT_EQ(color_reduce(rgb, &i8, 50, dither, p8), 0);
        ASSERT_EQ(color_reduce(deep, &i16, 50, dither, p16), 0);
        EXPECT_EQ(p8.size, 50);
        EXPECT_EQ(std::memcmp(&p8, &p16, sizeof(Palette)), 0);
        for (int y = 0; y < 40; y++)
            ASSERT_EQ(std::memcmp(i8.row(y), i16.row(y), 50), 0);
    }
}

TEST(ColorReduce, RejectsOtherTypesAndStopsOnCancel)
{
    Image gray;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 10, 10, 72), 0);
    Palette pal;
    pal.size = 3;
    Image index;
    EXPECT_EQ(color_reduce(gray, &index, 16, false, pal), kIllegalImageType);
    EXPECT_EQ(pal.size, 0);

    Image src = make_color(120, 100);
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 360; x++)
            src.row(y)[x] = std::uint8_t(x * 3 + y);
    ReduceProgress progress;
    for (int at : {5, 100 + 7}) { // in pass 1, then in pass 2
        for (bool dither : {false, true}) {
            progress.updates = 0;
            progress.cancel_after = at;
            EXPECT_EQ(color_reduce(src, &index, 16, dither, pal), kAborted);
            EXPECT_EQ(pal.size, 0);
            EXPECT_TRUE(index.empty());
        }
    }
    // Without progress nothing is shown and nothing can cancel.
    progress.titles.clear();
    progress.updates = 0;
    progress.cancel_after = 0;
    EXPECT_EQ(color_reduce(src, &index, 16, true, pal, false), 0);
    EXPECT_EQ(pal.size, 16);
    EXPECT_TRUE(progress.titles.empty());
}
