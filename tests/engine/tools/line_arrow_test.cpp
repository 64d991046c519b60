#include "tools/line_arrow.h"

#include "tone/value_tables.h"
#include "tool_test_support.h"

#include <gtest/gtest.h>

#include <climits>

using namespace mv;
using test::rgb_at;

namespace {

const int kWinId = 0;

ToolResult send(LineTool& t, Image& img, int x, int y, int event, const Image* mask = nullptr)
{
    ToolResult r;
    line_event(t, ToolWindow{&kWinId, &img, mask}, x, y, event, r);
    return r;
}

void drag(LineTool& t, Image& img, int x0, int y0, int x1, int y1, const Image* mask = nullptr)
{
    send(t, img, x0, y0, kToolPress, mask);
    send(t, img, x1, y1, kToolMove, mask);
    send(t, img, x1, y1, kToolRelease, mask);
}

void expect_point(const PointF& p, double x, double y)
{
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

} // namespace

TEST(LineArrow, CoverageOfAPlainLine)
{
    // Width 5 from (10, 50) to (20, 50): the rectangle from row 47.5 to row 52.5.
    std::vector<PointF> outline;
    line_outline(10, 50, 20, 50, 5.0, kHeadNone, kStyleMedium, outline);
    ASSERT_EQ(outline.size(), 4u);
    expect_point(outline[0], 10, 47.5);
    expect_point(outline[1], 10, 52.5);
    expect_point(outline[2], 20, 52.5);
    expect_point(outline[3], 20, 47.5);

    std::vector<std::uint8_t> cover;
    line_coverage(outline, 40, 100, 0, 40, 39, 59, cover);
    auto at = [&](int c, int r) { return int(cover[size_t(r - 40) * 40 + c]); };
    for (int r = 48; r <= 51; ++r) {
        for (int c = 10; c <= 19; ++c)
            EXPECT_EQ(at(c, r), 255) << c << "," << r;
        EXPECT_EQ(at(20, r), 63); // one sub-pixel column of four
        EXPECT_EQ(at(9, r), 0);
        EXPECT_EQ(at(21, r), 0);
    }
    EXPECT_EQ(at(10, 47), 63);  // one sub-scanline of four
    EXPECT_EQ(at(10, 52), 191); // three of four
    EXPECT_EQ(at(20, 47), 255 / 16);
    EXPECT_EQ(at(15, 46), 0);
    EXPECT_EQ(at(15, 53), 0);

    // Rendered in black on white gray: weight = coverage at transparency 0.
    test::UndoScope undo;
    Image img = test::filled(IMAGE_GRAY, 40, 100, 255);
    const auto before = test::bytes(img);
    LineTool t;
    drag(t, img, 10, 50, 20, 50);
    EXPECT_EQ(img.row(49)[15], 0);
    EXPECT_EQ(img.row(47)[15], 192);
    EXPECT_EQ(img.row(52)[15], 64);
    EXPECT_EQ(img.row(49)[20], 192);
    EXPECT_EQ(img.row(49)[9], 255);
    undo_undo();
    EXPECT_EQ(test::bytes(img), before);
}

TEST(LineArrow, HeadsByStyle)
{
    std::vector<PointF> o;
    // Narrow heads at both ends of a width-10 line from (0, 0) to (100, 0): barbs 2.0w from
    // the tips, the shaft joining 1.5w from them.
    line_outline(0, 0, 100, 0, 10.0, kHeadBoth, kStyleNarrow, o);
    ASSERT_EQ(o.size(), 10u);
    expect_point(o[0], 15, -5);
    expect_point(o[1], 20, -10);
    expect_point(o[2], 0, 0);
    expect_point(o[3], 20, 10);
    expect_point(o[4], 15, 5);
    expect_point(o[5], 85, 5);
    expect_point(o[6], 80, 10);
    expect_point(o[7], 100, 0);
    expect_point(o[8], 80, -10);
    expect_point(o[9], 85, -5);

    line_outline(0, 0, 100, 0, 10.0, kHeadEnd, kStyleBlunt, o);
    ASSERT_EQ(o.size(), 7u);
    expect_point(o[0], 0, -5);
    expect_point(o[2], 92.5, 5);
    expect_point(o[3], 92.5, 10);
    line_outline(0, 0, 100, 0, 10.0, kHeadStart, kStyleMedium, o);
    ASSERT_EQ(o.size(), 7u);
    expect_point(o[1], 15, -10);
    expect_point(o[0], 15, -5);

    // A vertical line turns the frame: across is along the columns.
    line_outline(5, 5, 5, 25, 4.0, kHeadEnd, kStyleMedium, o);
    expect_point(o[0], 7, 5);
    expect_point(o[3], 5 - 4, 25 - 6);
    expect_point(o[4], 5, 25);

    line_outline(0, 0, 0, 0, 10.0, kHeadBoth, kStyleMedium, o);
    EXPECT_TRUE(o.empty());
    line_outline(0, 0, 9, 0, 0.0, kHeadNone, kStyleMedium, o);
    EXPECT_TRUE(o.empty());

    // Rendered: the barbs reach across to the width, the tips stay on the line's ends.
    test::UndoScope undo;
    Image img = test::filled(IMAGE_GRAY, 120, 40, 0);
    LineTool t;
    t.settings = {4.0, 0.0, kHeadBoth, kStyleNarrow, {255, 255, 255}};
    drag(t, img, 10, 20, 110, 20);
    EXPECT_EQ(img.row(20)[60], 255);
    EXPECT_EQ(img.row(23)[60], 0);       // shaft half-width 2
    EXPECT_GT(img.row(23)[17], 0);       // barb region near the start tip
    EXPECT_GT(img.row(17)[103], 0);      // and near the end tip
    EXPECT_EQ(img.row(20)[8], 0);        // nothing beyond the tips
    EXPECT_EQ(img.row(20)[112], 0);
}

TEST(LineArrow, TargetsWeightsAndEvents)
{
    test::UndoScope undo;
    LineTool t;
    t.settings.width = 3.0;
    t.settings.color = {10, 200, 30};
    const int lum = luminance(10, 200, 30);
    {
        Image c = test::filled(IMAGE_COLOR, 20, 10, 0);
        drag(t, c, 2, 5, 15, 5);
        EXPECT_EQ(rgb_at(c, 8, 5), (std::vector<int>{10, 200, 30}));
        Image g = test::filled(IMAGE_GRAY, 20, 10, 0);
        drag(t, g, 2, 5, 15, 5);
        EXPECT_EQ(g.row(5)[8], lum);
        Image g16 = test::filled(IMAGE_GRAY16, 20, 10, 0);
        drag(t, g16, 2, 5, 15, 5);
        EXPECT_EQ(g16.row16(5)[8], widen8(lum));
        Image c48 = test::filled(IMAGE_COLOR48, 20, 10, 0);
        ToolResult r;
        send(t, c48, 2, 5, kToolPress);
        EXPECT_TRUE(send(t, c48, 15, 5, kToolMove).rubber);
        EXPECT_FALSE(send(t, c48, 15, 5, kToolMove).rubber); // same end point
        r = send(t, c48, 15, 5, kToolRelease);
        EXPECT_TRUE(r.finished);
        EXPECT_TRUE(r.changed);
        EXPECT_EQ(r.first_column, 0);  // 2 - (3 + 1), clipped
        EXPECT_EQ(r.last_column, 19);  // 15 + 4
        EXPECT_EQ(r.first_row, 1);
        EXPECT_EQ(r.last_row, 9);
        EXPECT_EQ(c48.row16(5)[3 * 8 + 1], widen8(200));
    }
    {   // Transparency and mask weight the coverage.
        Image g = test::filled(IMAGE_GRAY, 20, 10, 0);
        Image mask = test::filled(IMAGE_GRAY, 20, 10, 0);
        mask.row(5)[10] = 255;
        mask.row(5)[11] = 100;
        LineTool half = t;
        half.settings.color = {255, 255, 255};
        // 2.55 x 50 is 127.4999... in binary floating point: a = 255 - 127 = 128.
        half.settings.transparency = 50.0;
        drag(half, g, 2, 5, 15, 5, &mask);
        EXPECT_EQ(g.row(5)[8], 128);
        EXPECT_EQ(g.row(5)[10], 0);
        EXPECT_EQ(g.row(5)[11], product(155, 128));
        half.settings.transparency = 100.0;
        Image g2 = test::filled(IMAGE_GRAY, 20, 10, 7);
        const auto before = test::bytes(g2);
        drag(half, g2, 2, 5, 15, 5);
        EXPECT_EQ(test::bytes(g2), before);
    }
    {   // A click without a drag draws nothing and leaves an empty operation; width 0 too.
        undo_clear();
        Image g = test::filled(IMAGE_GRAY, 20, 10, 0);
        t.settings.color = {255, 255, 255};
        drag(t, g, 2, 2, 12, 2);
        const auto drawn = test::bytes(g);
        ToolResult r;
        send(t, g, 5, 5, kToolPress);
        r = send(t, g, 5, 5, kToolRelease);
        EXPECT_FALSE(r.changed);
        EXPECT_FALSE(r.finished);
        LineTool thin = t;
        thin.settings.width = 0.0;
        drag(thin, g, 1, 1, 18, 8);
        EXPECT_EQ(test::bytes(g), drawn);
        undo_undo(); // the empty operations
        undo_undo();
        EXPECT_EQ(test::bytes(g), drawn);
        undo_undo();
        EXPECT_EQ(test::bytes(g), test::bytes(test::filled(IMAGE_GRAY, 20, 10, 0)));
        EXPECT_FALSE(undo_available());
    }
    {   // Types, colour picking and a closing window.
        Image bin = test::filled(IMAGE_BINARY, 20, 10, 0);
        EXPECT_EQ(send(t, bin, 1, 1, kToolPress).error, kCantPaintType);
        EXPECT_FALSE(t.drawing);
        EXPECT_FALSE(send(t, bin, 1, 1, kToolShiftPress).color);
        Image c48 = test::filled(IMAGE_COLOR48, 4, 4, 0);
        c48.row16(2)[3 * 1 + 2] = 65535;
        c48.row16(2)[3 * 1 + 1] = 32896;
        EXPECT_TRUE(send(t, c48, 1, 2, kToolShiftPress).color);
        EXPECT_EQ(t.settings.color, (Rgb{255, narrow16(32896), 0}));
        EXPECT_FALSE(send(t, c48, 4, 2, kToolShiftPress).color);
        send(t, c48, 0, 0, kToolPress);
        send(t, c48, 3, 3, kToolClosing);
        EXPECT_FALSE(t.drawing);
        EXPECT_FALSE(send(t, c48, 3, 3, kToolRelease).changed);

        // A line from far outside through the picture draws only the part inside.
        Image g = test::filled(IMAGE_GRAY, 16, 16, 0);
        t.settings.color = {255, 255, 255};
        drag(t, g, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        EXPECT_EQ(g.row(8)[8], 255);
        EXPECT_EQ(g.row(1)[14], 0);
    }
}
