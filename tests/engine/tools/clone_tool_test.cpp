#include "tools/clone_tool.h"

#include "tone/value_tables.h"
#include "tool_test_support.h"

#include <gtest/gtest.h>

using namespace mv;
using test::rgb_at;

namespace {

const int kSrcId = 0, kDstId = 0;

// A colour source whose red and green tell the column and row they came from.
Image coded_source(int w, int h)
{
    Image img = test::filled(IMAGE_COLOR, w, h, 0);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            test::put_rgb(img, c, r, c * 4, r * 4, 77);
    return img;
}

std::vector<int> src_at(int c, int r)
{
    return {c * 4, r * 4, 77};
}

// A brush that copies exactly one pixel per stamp, at full weight, one pixel per step.
CloneTool one_pixel_tool(int mode)
{
    CloneTool t;
    t.settings.brush = {0.5, 0.0, 0.0, 0.0, 0.0};
    t.settings.source_mode = mode;
    EXPECT_EQ(clone_rebuild_brush(t), 0);
    return t;
}

ToolResult send(CloneTool& t, const ToolWindow& w, int x, int y, int event)
{
    ToolResult r;
    clone_event(t, w, x, y, event, r);
    return r;
}

} // namespace

TEST(CloneTool, SourceModesSetTheSourceOffsets)
{
    test::UndoScope undo;
    Image src = coded_source(40, 40);
    const ToolWindow sw{&kSrcId, &src, nullptr};

    {   // Linked: the offset of the first stroke stays for the next ones.
        Image dst = test::filled(IMAGE_COLOR, 40, 40, 0);
        const ToolWindow dw{&kDstId, &dst, nullptr};
        CloneTool t = one_pixel_tool(kCloneLinked);
        EXPECT_TRUE(send(t, sw, 5, 6, kToolShiftPress).marker);
        ToolResult r = send(t, dw, 20, 20, kToolPress);
        EXPECT_EQ(r.error, 0);
        EXPECT_TRUE(r.changed);
        EXPECT_EQ(r.window, &kDstId);
        EXPECT_EQ(rgb_at(dst, 20, 20), src_at(5, 6));
        send(t, dw, 23, 21, kToolMove); // stamps (21,20), (22,20), (23,21)
        EXPECT_EQ(rgb_at(dst, 22, 20), src_at(7, 6));
        EXPECT_EQ(rgb_at(dst, 23, 21), src_at(8, 7));
        r = send(t, dw, 23, 21, kToolRelease);
        EXPECT_TRUE(r.finished);
        EXPECT_EQ(r.window, &kDstId);
        r = send(t, dw, 30, 30, kToolMove); // the marker follows with the same offset
        EXPECT_TRUE(r.marker);
        EXPECT_EQ(t.source_x, 15);
        EXPECT_EQ(t.source_y, 16);
        send(t, dw, 30, 30, kToolPress);
        EXPECT_EQ(rgb_at(dst, 30, 30), src_at(15, 16));
        send(t, dw, 30, 30, kToolRelease);
    }
    {   // Free: every stroke starts from the same source point.
        Image dst = test::filled(IMAGE_COLOR, 40, 40, 0);
        const ToolWindow dw{&kDstId, &dst, nullptr};
        CloneTool t = one_pixel_tool(kCloneFree);
        send(t, sw, 5, 6, kToolShiftPress);
        send(t, dw, 20, 20, kToolPress);
        send(t, dw, 25, 20, kToolMove);
        EXPECT_EQ(rgb_at(dst, 25, 20), src_at(10, 6));
        EXPECT_EQ(t.source_x, 10);
        send(t, dw, 25, 20, kToolRelease);
        EXPECT_EQ(t.source_x, 5);
        EXPECT_FALSE(send(t, dw, 2, 3, kToolMove).marker);
        send(t, dw, 10, 30, kToolPress);
        EXPECT_EQ(rgb_at(dst, 10, 30), src_at(5, 6));
        send(t, dw, 10, 30, kToolRelease);
    }
    {   // One to One: the source is the destination point itself.
        Image dst = test::filled(IMAGE_COLOR, 40, 40, 0);
        const ToolWindow dw{&kDstId, &dst, nullptr};
        CloneTool t = one_pixel_tool(kCloneOneToOne);
        send(t, sw, 5, 6, kToolShiftPress);
        send(t, dw, 20, 21, kToolPress);
        EXPECT_EQ(rgb_at(dst, 20, 21), src_at(20, 21));
        send(t, dw, 22, 21, kToolMove);
        EXPECT_EQ(rgb_at(dst, 22, 21), src_at(22, 21));
        send(t, dw, 22, 21, kToolRelease);
        send(t, dw, 3, 4, kToolMove);
        EXPECT_EQ(t.source_x, 3);
        EXPECT_EQ(t.source_y, 4);
    }
    {   // Fixed: every stamp takes the source anchor.
        Image dst = test::filled(IMAGE_COLOR, 40, 40, 0);
        const ToolWindow dw{&kDstId, &dst, nullptr};
        CloneTool t = one_pixel_tool(kCloneFixed);
        send(t, sw, 5, 6, kToolShiftPress);
        send(t, dw, 20, 20, kToolPress);
        send(t, dw, 24, 20, kToolMove);
        EXPECT_EQ(rgb_at(dst, 22, 20), src_at(5, 6));
        EXPECT_EQ(rgb_at(dst, 24, 20), src_at(5, 6));
        send(t, dw, 24, 20, kToolRelease);
        send(t, dw, 1, 1, kToolMove);
        EXPECT_EQ(t.source_x, 5);
    }
    {   // Single: only the press stamps.
        Image dst = test::filled(IMAGE_COLOR, 40, 40, 0);
        const ToolWindow dw{&kDstId, &dst, nullptr};
        CloneTool t = one_pixel_tool(kCloneLinked);
        t.settings.single = true;
        send(t, sw, 5, 6, kToolShiftPress);
        send(t, dw, 20, 20, kToolPress);
        EXPECT_FALSE(send(t, dw, 23, 20, kToolMove).changed);
        EXPECT_EQ(rgb_at(dst, 23, 20), (std::vector<int>{0, 0, 0}));
        send(t, dw, 23, 20, kToolRelease);
    }
}

TEST(CloneTool, TiledWrapsAndUntiledStopsAtTheEdge)
{
    test::UndoScope undo;
    Image src = coded_source(32, 32);
    const ToolWindow sw{&kSrcId, &src, nullptr};
    for (bool tiled : {true, false}) {
        Image dst = test::filled(IMAGE_COLOR, 40, 40, 0);
        const ToolWindow dw{&kDstId, &dst, nullptr};
        CloneTool t = one_pixel_tool(kCloneLinked);
        t.settings.tiled = tiled;
        send(t, sw, 30, 6, kToolShiftPress);
        send(t, dw, 10, 10, kToolPress);
        send(t, dw, 14, 10, kToolMove); // sources 31, 32, 33, 34
        EXPECT_EQ(rgb_at(dst, 11, 10), src_at(31, 6));
        if (tiled) {
            EXPECT_EQ(rgb_at(dst, 12, 10), src_at(0, 6));
            EXPECT_EQ(rgb_at(dst, 14, 10), src_at(2, 6));
        } else {
            EXPECT_EQ(rgb_at(dst, 12, 10), (std::vector<int>{0, 0, 0}));
            EXPECT_EQ(rgb_at(dst, 14, 10), (std::vector<int>{0, 0, 0}));
        }
        send(t, dw, 14, 10, kToolRelease);
    }
    // A source point left of the picture wraps from the right edge.
    Image dst = test::filled(IMAGE_COLOR, 40, 40, 0);
    const ToolWindow dw{&kDstId, &dst, nullptr};
    CloneTool t = one_pixel_tool(kCloneLinked);
    t.settings.tiled = true;
    send(t, sw, 1, 0, kToolShiftPress);
    send(t, dw, 10, 10, kToolPress);
    send(t, dw, 7, 8, kToolMove);
    EXPECT_EQ(rgb_at(dst, 7, 8), src_at(30, 30));
}

TEST(CloneTool, TypesAndDepths)
{
    test::UndoScope undo;
    const int kOtherId = 0;
    Image color = coded_source(20, 20);
    Image gray = test::filled(IMAGE_GRAY, 20, 20, 10);
    Image binary = test::filled(IMAGE_BINARY, 20, 20, 0);
    const ToolWindow cw{&kSrcId, &color, nullptr}, gw{&kDstId, &gray, nullptr},
        bw{&kOtherId, &binary, nullptr};

    CloneTool t = one_pixel_tool(kCloneLinked);
    EXPECT_EQ(send(t, bw, 3, 3, kToolPress).error, kCantCloneType);
    EXPECT_EQ(send(t, bw, 3, 3, kToolShiftPress).error, kCantCloneType);
    EXPECT_EQ(t.source_window, nullptr);
    EXPECT_EQ(send(t, bw, 3, 3, kToolMove).error, 0); // moves over it are ignored

    // The first press without a source sets it.
    ToolResult r = send(t, cw, 4, 5, kToolPress);
    EXPECT_EQ(r.error, 0);
    EXPECT_TRUE(r.marker);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(t.source_window, &kSrcId);

    const auto before = test::bytes(gray);
    EXPECT_EQ(send(t, gw, 8, 8, kToolPress).error, kCantCloneColorOverGray);
    EXPECT_EQ(test::bytes(gray), before);
    EXPECT_FALSE(undo_available());
    EXPECT_FALSE(t.painting);

    // Gray over colour paints gray values; 8-bit over 16-bit widens, 16-bit over 8-bit
    // narrows.
    gray.row(2)[3] = 99;
    send(t, gw, 3, 2, kToolShiftPress);
    send(t, cw, 10, 10, kToolPress);
    send(t, cw, 10, 10, kToolRelease);
    EXPECT_EQ(rgb_at(color, 10, 10), (std::vector<int>{99, 99, 99}));

    Image g16 = test::filled(IMAGE_GRAY16, 20, 20, 0);
    const ToolWindow g16w{&kOtherId, &g16, nullptr};
    send(t, g16w, 6, 6, kToolPress);
    send(t, g16w, 6, 6, kToolRelease);
    EXPECT_EQ(g16.row16(6)[6], 99 * 257);

    Image c48 = test::filled(IMAGE_COLOR48, 20, 20, 0);
    std::uint16_t* p = c48.row16(1) + 3 * 2;
    p[0] = 1000;  // blue
    p[1] = 32896; // green
    p[2] = 65535; // red
    const int kC48Id = 0;
    const ToolWindow c48w{&kC48Id, &c48, nullptr};
    send(t, c48w, 2, 1, kToolShiftPress);
    send(t, cw, 12, 12, kToolPress);
    send(t, cw, 12, 12, kToolRelease);
    EXPECT_EQ(rgb_at(color, 12, 12),
              (std::vector<int>{255, narrow16(32896), narrow16(1000)}));

    // Closing the source window forgets the source: the next press sets a new one.
    EXPECT_TRUE(send(t, c48w, 0, 0, kToolClosing).marker);
    EXPECT_EQ(t.source_window, nullptr);
    EXPECT_FALSE(send(t, cw, 1, 1, kToolPress).changed);
    EXPECT_EQ(t.source_window, &kSrcId);

    EXPECT_EQ(clone_marker_radius(3, 4), 12);
    EXPECT_EQ(clone_marker_radius(10, -2), 5);
    EXPECT_EQ(clone_marker_radius(3, -4), 1);
    EXPECT_EQ(clone_marker_radius(3, 1), 3);
}

TEST(CloneTool, OverlappingSourceReadsPixelsFromBeforeTheStroke)
{
    // A gradient cloned one pixel to the right onto itself: with undo records the stroke
    // copies the original pixels; without them it smears the first one along.
    for (int level : {kUndoMultiple, kUndoSingle, kUndoNone}) {
        test::UndoScope undo(level);
        Image img = test::filled(IMAGE_GRAY, 40, 10, 0);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 40; ++c)
                img.row(r)[c] = std::uint8_t(c * 5 + r);
        Image original;
        ASSERT_EQ(image_clone(img, original), 0);
        const ToolWindow w{&kDstId, &img, nullptr};
        CloneTool t;
        t.settings.brush = {1.0, 0.0, 0.0, 0.0, 0.0}; // a hard cross of five pixels
        ASSERT_EQ(clone_rebuild_brush(t), 0);
        if (level == kUndoSingle) { // an earlier operation is dropped by this one
            undo_begin();
            undo_save(&kSrcId, img, 0, 0, 3, 3);
        }
        send(t, w, 10, 5, kToolShiftPress);
        send(t, w, 11, 5, kToolPress);
        send(t, w, 30, 5, kToolMove);
        send(t, w, 30, 5, kToolRelease);
        if (level == kUndoNone) {
            EXPECT_NE(img.row(5)[30], original.row(5)[29]);
            continue;
        }
        for (int c = 11; c <= 31; ++c)
            EXPECT_EQ(img.row(5)[c], original.row(5)[c - 1]) << "column " << c;
        EXPECT_EQ(img.row(6)[20], original.row(6)[19]);
        EXPECT_EQ(img.row(5)[9], original.row(5)[9]);
        undo_undo();
        EXPECT_EQ(test::bytes(img), test::bytes(original));
    }
}

TEST(CloneTool, MaskAndTransparencyWeightTheBrush)
{
    test::UndoScope undo;
    Image src = test::filled(IMAGE_GRAY16, 10, 10, 60000);
    Image dst = test::filled(IMAGE_GRAY16, 10, 10, 1000);
    Image mask = test::filled(IMAGE_GRAY, 10, 10, 0);
    mask.row(4)[5] = 255; // fully masked
    mask.row(4)[4] = 128;
    const ToolWindow sw{&kSrcId, &src, nullptr}, dw{&kDstId, &dst, &mask};
    CloneTool t;
    t.settings.brush = {1.0, 50.0, 0.0, 0.25, 0.0}; // weight round(127.5) = 128
    ASSERT_EQ(clone_rebuild_brush(t), 0);
    send(t, sw, 4, 4, kToolShiftPress);
    send(t, dw, 4, 4, kToolPress);
    send(t, dw, 4, 4, kToolRelease);
    EXPECT_EQ(dst.row16(4)[5], 1000);
    EXPECT_EQ(dst.row16(4)[4], 1000 + 59000 * product(128, 127) / 255);
    EXPECT_EQ(dst.row16(4)[3], 1000 + 59000 * 128 / 255);
    EXPECT_EQ(dst.row16(3)[3], 1000); // outside the hard disc

    // Pen pressure during a stroke rebuilds the brush.
    send(t, dw, 7, 7, kToolPress);
    EXPECT_TRUE(clone_pressure(t, 1023));
    EXPECT_EQ(t.brush.row(1)[1], 255);
    send(t, dw, 8, 7, kToolMove);
    send(t, dw, 8, 7, kToolRelease);
    EXPECT_EQ(dst.row16(7)[8], 60000);
    EXPECT_FALSE(clone_pressure(t, 0)); // no stroke under way
}
