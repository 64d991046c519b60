#include "core/error.h"
#include "core/image.h"
#include "reduce/kd_tree.h"
#include "reduce/posterize.h"
#include "tone/value_tables.h"
#include "transform/region.h"

#include "../test_progress.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

using namespace mv;

namespace {

Image make_image(int type, int w, int h)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, w, h, 150), 0);
    for (int y = 0; y < h; ++y)
        std::fill(img.row(y), img.row(y) + img.row_bytes, 0);
    return img;
}

void set_bgr(Image& img, int x, int y, int r, int g, int b)
{
    std::uint8_t* p = img.row(y) + 3 * x;
    p[0] = std::uint8_t(b);
    p[1] = std::uint8_t(g);
    p[2] = std::uint8_t(r);
}

int distance(const KdEntry& e, const int q[3])
{
    int d = 0;
    for (int c = 0; c < 3; ++c)
        d += (q[c] - e.color[c]) * (q[c] - e.color[c]);
    return d;
}

PosterizeSettings settings_with(std::vector<Rgb> colors)
{
    PosterizeSettings s;
    s.colors = int(colors.size());
    for (size_t i = 0; i < colors.size(); ++i)
        s.color[i] = colors[i];
    return s;
}

} // namespace

TEST(KdTree, NearestEqualsBruteForceOnRandomPalettes)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int size = 1; size <= 32; ++size) {
        for (int round = 0; round < 6; ++round) {
            std::vector<KdEntry> entries(static_cast<size_t>(size));
            for (int i = 0; i < size; ++i) {
                for (int c = 0; c < 3; ++c)
                    // Few distinct values in some rounds so that ties and equal ranges occur.
                    entries[size_t(i)].color[c] =
                        std::uint8_t(round < 2 ? (byte(rng) & 0xC0) : byte(rng));
                entries[size_t(i)].index = std::uint8_t(i);
            }
            KdTree tree;
            kd_build(tree, entries);
            // The build only reorders: every entry is still there once.
            std::multiset<int> before, after;
            for (const KdEntry& e : entries)
                before.insert(e.index);
            for (const KdEntry& e : tree.entries)
                after.insert(e.index);
            ASSERT_EQ(before, after);
            for (const KdNode& n : tree.nodes)
                EXPECT_TRUE(n.axis >= 0 || n.count <= kKdLeafSize);
            for (int k = 0; k < 300; ++k) {
                const int q[3] = {byte(rng), byte(rng), byte(rng)};
                int best = 1 << 30;
                for (const KdEntry& e : entries)
                    best = std::min(best, distance(e, q));
                const int found = kd_nearest(tree, q);
                ASSERT_GE(found, 0);
                ASSERT_LT(found, size);
                ASSERT_EQ(distance(tree.entries[size_t(found)], q), best) << "size " << size;
            }
        }
    }
}

TEST(Posterize, OutputTypeFollowsGrayInputAndGrayColors)
{
    PosterizeSettings two_grays = settings_with({{0, 0, 0}, {200, 200, 200}});
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_GRAY), IMAGE_GRAY);
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_BINARY), IMAGE_GRAY);
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_GRAY16), IMAGE_GRAY);
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_COLOR), IMAGE_COLOR);
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_COLOR48), IMAGE_COLOR);

    PosterizeSettings one_tint = settings_with({{0, 0, 0}, {200, 200, 201}});
    EXPECT_EQ(posterize_output_type(one_tint, IMAGE_GRAY), IMAGE_COLOR);
    // Colours past the number in use do not count.
    two_grays.color[5] = Rgb{255, 0, 0};
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_GRAY), IMAGE_GRAY);
    // The remapped colours decide while remapping.
    two_grays.remapped[1] = Rgb{0, 128, 0};
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_GRAY), IMAGE_GRAY);
    two_grays.remap = true;
    EXPECT_EQ(posterize_output_type(two_grays, IMAGE_GRAY), IMAGE_COLOR);

    // Applied: a gray ramp with two gray colours gives an 8-bit gray picture.
    Image in = make_image(IMAGE_GRAY, 256, 2);
    for (int x = 0; x < 256; ++x)
        in.row(0)[x] = in.row(1)[x] = std::uint8_t(x);
    PosterizeSettings s = settings_with({{0, 0, 0}, {200, 200, 200}});
    Image out;
    ASSERT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), 0);
    ASSERT_EQ(out.type, IMAGE_GRAY);
    for (int x = 0; x < 256; ++x)
        ASSERT_EQ(out.row(1)[x], x <= 100 ? 0 : 200) << x; // on the tie at 100 the first entry stays
}

TEST(Posterize, RemapsColorAndGrayInputs)
{
    PosterizeSettings s = settings_with({{250, 10, 10}, {10, 250, 10}, {10, 10, 250}});
    s.remap = true;
    s.remapped[0] = Rgb{1, 2, 3};
    s.remapped[1] = Rgb{4, 5, 6};
    s.remapped[2] = Rgb{7, 8, 9};
    Image in = make_image(IMAGE_COLOR, 3, 1);
    set_bgr(in, 0, 0, 200, 60, 0);   // reddish
    set_bgr(in, 1, 0, 0, 180, 90);   // greenish
    set_bgr(in, 2, 0, 30, 30, 140);  // bluish
    Image out;
    ASSERT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR);
    const std::uint8_t expected[9] = {3, 2, 1, 6, 5, 4, 9, 8, 7}; // blue, green, red
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(out.row(0)[i], expected[i]) << i;

    // Without remapping the colours themselves are written.
    s.remap = false;
    ASSERT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), 0);
    EXPECT_EQ(out.row(0)[2], 250);
    EXPECT_EQ(out.row(0)[4], 250);
    EXPECT_EQ(out.row(0)[6], 250);

    // Gray input through the gray table, remapped to colours.
    PosterizeSettings g = settings_with({{0, 0, 0}, {128, 128, 128}, {255, 255, 255}});
    g.remap = true;
    g.remapped[0] = Rgb{255, 0, 0};
    g.remapped[1] = Rgb{0, 255, 0};
    g.remapped[2] = Rgb{0, 0, 255};
    Image gray = make_image(IMAGE_GRAY, 4, 1);
    const std::uint8_t levels[4] = {10, 100, 170, 250};
    std::copy(levels, levels + 4, gray.row(0));
    ASSERT_EQ(transformation_apply(posterize_region, &g, gray, out, "Posterize"), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR);
    EXPECT_EQ(out.row(0)[2], 255); // 10 -> black -> red
    EXPECT_EQ(out.row(0)[4], 255); // 100 -> 128 -> green
    EXPECT_EQ(out.row(0)[7], 255); // 170 -> 128 -> green
    EXPECT_EQ(out.row(0)[9], 255); // 250 -> white -> blue
}

TEST(Posterize, AntialiasSmoothsOnlyPixelsAtTheBorder)
{
    // Left half black, right half white, posterized to black and white.
    const int w = 10, h = 5;
    Image in = make_image(IMAGE_GRAY, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 5; x < w; ++x)
            in.row(y)[x] = 240;
    PosterizeSettings s = settings_with({{0, 0, 0}, {255, 255, 255}});
    s.antialias = true;
    test::TestProgressSink sink;
    Image out;
    ASSERT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), 0);
    ASSERT_EQ(out.type, IMAGE_GRAY);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // The black pixel next to the edge sees white on its right column (weights
            // 1 + 2 + 1); the white one sees black on its left column.
            const int expected = x < 4 ? 0 : x == 4 ? 4 * 255 / 20 : x == 5 ? 16 * 255 / 20 : 255;
            ASSERT_EQ(out.row(y)[x], expected) << x << "," << y;
        }

    // A 1:2 preview finds borders among the computed pixels (columns 0, 2, 4, 6, 8) but
    // smooths from the full-resolution neighbours: column 4 touches the edge, column 6 not.
    Image preview;
    RegionRequest q = region_full_request(in, preview, "Posterize");
    q.full = false;
    q.zoom = -2;
    q.output_width = q.columns = 5;
    q.output_height = q.rows = 3;
    q.last_column = 4;
    q.last_row = 2;
    ASSERT_EQ(posterize_region(q, &s), 0);
    ASSERT_EQ(preview.type, IMAGE_GRAY);
    const int expected_preview[5] = {0, 0, 4 * 255 / 20, 255, 255};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(preview.row(y)[x], expected_preview[x]) << x << "," << y;

    // A three-colour picture: the smoothing averages the output colours around the pixel.
    Image col = make_image(IMAGE_COLOR, 3, 3);
    set_bgr(col, 1, 1, 255, 0, 0);
    PosterizeSettings c = settings_with({{0, 0, 0}, {255, 0, 0}});
    c.antialias = true;
    ASSERT_EQ(transformation_apply(posterize_region, &c, col, out, "Posterize"), 0);
    EXPECT_EQ(out.row(1)[3 + 2], 8 * 255 / 20);  // the red centre
    EXPECT_EQ(out.row(0)[2], 1 * 255 / 20);      // a corner sees red at its corner
    EXPECT_EQ(out.row(0)[3 + 2], 2 * 255 / 20);  // an edge sees red at its edge
    EXPECT_EQ(out.row(0)[3 + 0], 0);
    // Without antialias the same picture is not smoothed.
    c.antialias = false;
    ASSERT_EQ(transformation_apply(posterize_region, &c, col, out, "Posterize"), 0);
    EXPECT_EQ(out.row(1)[5], 255);
    EXPECT_EQ(out.row(0)[2], 0);
}

TEST(Posterize, ProgressTitlesAmountAndCancel)
{
    Image in = make_image(IMAGE_GRAY, 100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            in.row(y)[x] = std::uint8_t(x * 2);
    PosterizeSettings s = settings_with({{0, 0, 0}, {255, 255, 255}});
    Image out;
    {
        test::TestProgressSink sink;
        s.antialias = true;
        ASSERT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), 0);
        EXPECT_EQ(sink.titles(), (std::vector<std::string>{"Posterize (Pass 1)", "Posterize (Pass 2)"}));
    }
    {
        test::TestProgressSink sink;
        s.antialias = false;
        sink.cancel_during(40);
        EXPECT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), kAborted);
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(sink.titles(), std::vector<std::string>{"Posterize"});
    }
    // Half the amount moves the input half way towards the posterized value.
    s.amount.low = 512;
    ASSERT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), 0);
    EXPECT_EQ(out.row(0)[10], 20 - (20 * 128 + 127) / 255);           // 20 -> 0
    EXPECT_EQ(out.row(0)[90], 180 + ((255 - 180) * 128 + 127) / 255); // 180 -> 255
    // No amount: the input itself.
    s.amount.low = 0;
    ASSERT_EQ(transformation_apply(posterize_region, &s, in, out, "Posterize"), 0);
    EXPECT_EQ(out.row(3)[33], in.row(3)[33]);

    Image hist;
    hist.type = IMAGE_HISTOGRAM;
    EXPECT_EQ(transformation_apply(posterize_region, &s, hist, out, "Posterize"), kIllegalImageType);
}

TEST(Posterize, SixteenBitInputsMatchTheirEightBitValues)
{
    std::mt19937 rng(3);
    Image g8 = make_image(IMAGE_GRAY, 17, 9), g16 = make_image(IMAGE_GRAY16, 17, 9);
    Image c8 = make_image(IMAGE_COLOR, 17, 9), c16 = make_image(IMAGE_COLOR48, 17, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x) {
            const int v = int(rng() % 256);
            g8.row(y)[x] = std::uint8_t(v);
            g16.row16(y)[x] = std::uint16_t(widen8(v));
            for (int c = 0; c < 3; ++c) {
                const int u = int(rng() % 256);
                c8.row(y)[3 * x + c] = std::uint8_t(u);
                c16.row16(y)[3 * x + c] = std::uint16_t(widen8(u));
            }
        }
    PosterizeSettings s = settings_with({{0, 0, 0}, {90, 90, 90}, {160, 160, 160}, {255, 255, 255}});
    s.antialias = true;
    s.amount.low = 700;
    Image a, b;
    ASSERT_EQ(transformation_apply(posterize_region, &s, g8, a, "Posterize"), 0);
    ASSERT_EQ(transformation_apply(posterize_region, &s, g16, b, "Posterize"), 0);
    ASSERT_EQ(b.type, IMAGE_GRAY);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(a.row(y)[x], b.row(y)[x]);

    PosterizeSettings t = settings_with({{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {0, 0, 0}, {250, 250, 250}});
    ASSERT_EQ(transformation_apply(posterize_region, &t, c8, a, "Posterize"), 0);
    ASSERT_EQ(transformation_apply(posterize_region, &t, c16, b, "Posterize"), 0);
    ASSERT_EQ(b.type, IMAGE_COLOR);
    for (int y = 0; y < 9; ++y)
        for (int i = 0; i < 17 * 3; ++i)
            ASSERT_EQ(a.row(y)[i], b.row(y)[i]);
}

TEST(Posterize, AutoPaletteForBinaryGrayAndColorInputs)
{
    PosterizeSettings s;
    s.colors = 5;
    Image gray = make_image(IMAGE_GRAY, 4, 4);
    ASSERT_EQ(posterize_auto_palette(gray, s), 0);
    const int ramp[5] = {0, 63, 127, 191, 255};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s.color[size_t(i)], (Rgb{ramp[i], ramp[i], ramp[i]}));
        EXPECT_EQ(s.remapped[size_t(i)], s.color[size_t(i)]);
    }
    s.colors = 2;
    Image g16 = make_image(IMAGE_GRAY16, 4, 4);
    ASSERT_EQ(posterize_auto_palette(g16, s), 0);
    EXPECT_EQ(s.color[1], (Rgb{255, 255, 255}));

    Image binary = make_image(IMAGE_BINARY, 9, 2);
    s.colors = 4;
    s.color[2] = Rgb{1, 2, 3};
    ASSERT_EQ(posterize_auto_palette(binary, s), 0);
    EXPECT_EQ(s.color[0], (Rgb{0, 0, 0}));
    for (int i = 1; i < kPosterizeMaxColors; ++i)
        EXPECT_EQ(s.color[size_t(i)], (Rgb{255, 255, 255}));

    // Three colours at cell centres, four wanted: all three, the last repeated.
    Image col = make_image(IMAGE_COLOR, 6, 2);
    for (int x = 0; x < 6; ++x) {
        set_bgr(col, x, 0, x < 2 ? 252 : 4, 132, 4);
        set_bgr(col, x, 1, 4, 4, 252);
    }
    ASSERT_EQ(posterize_auto_palette(col, s), 0);
    std::set<std::vector<int>> found;
    for (int i = 0; i < 3; ++i)
        found.insert({s.color[size_t(i)].red, s.color[size_t(i)].green, s.color[size_t(i)].blue});
    EXPECT_EQ(found, (std::set<std::vector<int>>{{252, 132, 4}, {4, 132, 4}, {4, 4, 252}}));
    EXPECT_EQ(s.color[3], s.color[2]);
    EXPECT_EQ(s.remapped[3], s.color[3]);

    Image hist;
    hist.type = IMAGE_HISTOGRAM;
    const PosterizePalette before = s.color;
    EXPECT_EQ(posterize_auto_palette(hist, s), kIllegalImageType);
    EXPECT_EQ(s.color, before);
}

TEST(Posterize, PaletteTextReadsAndWritesColors)
{
    mv::PosterizePalette p = mv::posterize_default_palette();
    ASSERT_TRUE(mv::posterize_parse_palette("#ff8000, 0a0B0c", p));
    EXPECT_EQ(p[0], (mv::Rgb{255, 128, 0}));
    EXPECT_EQ(p[1], (mv::Rgb{10, 11, 12}));
    EXPECT_EQ(p[2], (mv::Rgb{255, 255, 255})); // entries not given keep their colour
    EXPECT_EQ(mv::posterize_palette_text(p, 3), "FF8000,0A0B0C,FFFFFF");
    mv::PosterizePalette back = mv::posterize_default_palette();
    ASSERT_TRUE(mv::posterize_parse_palette(mv::posterize_palette_text(p), back));
    EXPECT_EQ(back, p);

    // Anything else leaves the palette as it was.
    const mv::PosterizePalette before = p;
    for (const char* bad : {"", "12345", "1234567", "00000g", "000000,", ",000000", "#", "000000;ffffff"})
        EXPECT_FALSE(mv::posterize_parse_palette(bad, p)) << bad;
    std::string many;
    for (int i = 0; i < 33; ++i)
        many += i ? ",000000" : "000000";
    EXPECT_FALSE(mv::posterize_parse_palette(many, p));
    EXPECT_EQ(p, before);
}
