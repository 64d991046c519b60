#include "tools/paint_tool.h"

#include "core/util.h"
#include "tone/value_tables.h"
#include "tool_test_support.h"

#include <gtest/gtest.h>

#include <climits>

using namespace mv;
using test::rgb_at;

namespace {

const int kWinId = 0;

PaintTool hard_tool(double radius, double transparency, Rgb color, int blend = kBlendCopy)
{
    PaintTool t;
    t.settings.brush = {radius, transparency, 0.0, 0.0, 0.0};
    t.settings.color = color;
    t.settings.blend = blend;
    EXPECT_EQ(paint_rebuild_brush(t), 0);
    return t;
}

ToolResult send(PaintTool& t, Image& img, int x, int y, int event, const Image* mask = nullptr)
{
    ToolResult r;
    paint_event(t, ToolWindow{&kWinId, &img, mask}, x, y, event, r);
    return r;
}

void dab(PaintTool& t, Image& img, int x, int y)
{
    send(t, img, x, y, kToolPress);
    send(t, img, x, y, kToolRelease);
}

} // namespace

TEST(PaintTool, StrokesOnSixteenBitAndOtherTypes)
{
    test::UndoScope undo;
    {   // 16-bit gray takes the red value through widen8.
        Image img = test::filled(IMAGE_GRAY16, 30, 12, 1000);
        const auto before = test::bytes(img);
        PaintTool t = hard_tool(1.0, 0.0, {200, 50, 50});
        ToolResult r = send(t, img, 5, 6, kToolPress);
        EXPECT_TRUE(r.changed);
        EXPECT_EQ(r.first_column, 3);
        EXPECT_EQ(r.last_row, 8);
        send(t, img, 20, 6, kToolMove);
        EXPECT_TRUE(send(t, img, 20, 6, kToolRelease).finished);
        for (int c = 4; c <= 21; ++c)
            EXPECT_EQ(img.row16(6)[c], 51400) << "column " << c;
        EXPECT_EQ(img.row16(7)[12], 51400);
        EXPECT_EQ(img.row16(8)[12], 1000);
        EXPECT_EQ(img.row16(6)[22], 1000);

        PaintTool half = hard_tool(1.0, 50.0, {200, 50, 50}); // weight 128
        dab(half, img, 5, 2);
        EXPECT_EQ(img.row16(2)[5], 1000 + 50400 * 128 / 255);
        undo_undo();
        undo_undo();
        EXPECT_EQ(test::bytes(img), before);
    }
    {   // 48-bit colour widens each component.
        Image img = test::filled(IMAGE_COLOR48, 8, 8, 0);
        PaintTool t = hard_tool(0.5, 0.0, {10, 20, 30});
        dab(t, img, 3, 3);
        const std::uint16_t* p = img.row16(3) + 9;
        EXPECT_EQ(p[2], 2570);
        EXPECT_EQ(p[1], 5140);
        EXPECT_EQ(p[0], 7710);
    }
    {   // Binary: set from 128 on; Lighten Only only sets, Darken Only only clears.
        Image img = test::filled(IMAGE_BINARY, 16, 4, 0);
        PaintTool t = hard_tool(0.5, 50.0, {255, 255, 255}); // weight 128: 0 -> 128
        dab(t, img, 2, 1);
        EXPECT_TRUE(bit_test(img.row(1), 2));
        t = hard_tool(0.5, 50.2, {255, 255, 255}); // weight 127: 0 -> 127
        dab(t, img, 4, 1);
        EXPECT_FALSE(bit_test(img.row(1), 4));
        t = hard_tool(0.5, 0.0, {0, 0, 0}, kBlendLighten);
        dab(t, img, 2, 1);
        EXPECT_TRUE(bit_test(img.row(1), 2));
        t = hard_tool(0.5, 0.0, {0, 0, 0}, kBlendDarken);
        dab(t, img, 2, 1);
        EXPECT_FALSE(bit_test(img.row(1), 2));
        t = hard_tool(0.5, 0.0, {255, 0, 0}, kBlendDarken);
        dab(t, img, 6, 1);
        EXPECT_FALSE(bit_test(img.row(1), 6));
    }
    {   // Pointer positions far outside the picture change nothing and stay cheap.
        Image img = test::filled(IMAGE_GRAY, 8, 8, 3);
        const auto before = test::bytes(img);
        PaintTool t = hard_tool(100.0, 0.0, {255, 255, 255});
        t.settings.brush.spacing = 2.0;
        send(t, img, INT_MAX, INT_MIN, kToolPress);
        send(t, img, INT_MIN, INT_MAX, kToolMove);
        send(t, img, INT_MIN, INT_MAX, kToolRelease);
        EXPECT_EQ(test::bytes(img), before);
        Image empty;
        EXPECT_EQ(send(t, empty, 0, 0, kToolPress).error, kCantPaintType);
    }
    {   // Pseudo-images are refused.
        Image single;
        ASSERT_EQ(image_alloc(single, IMAGE_SINGLE_COLOR, 1, 1, 0), 0);
        PaintTool t = hard_tool(1.0, 0.0, {1, 2, 3});
        ToolResult r = send(t, single, 0, 0, kToolPress);
        EXPECT_EQ(r.error, kCantPaintType);
        EXPECT_FALSE(t.painting);
    }
}

TEST(PaintTool, BlendModesOnColourAndGray)
{
    test::UndoScope undo;
    Image img = test::filled(IMAGE_COLOR, 10, 4, 0);
    test::put_rgb(img, 1, 1, 0, 0, 200);
    test::put_rgb(img, 3, 1, 100, 150, 60);
    test::put_rgb(img, 5, 1, 100, 150, 60);
    test::put_rgb(img, 7, 1, 40, 200, 120);
    PaintTool hue = hard_tool(0.5, 0.0, {255, 0, 0}, kBlendHsvHue);
    dab(hue, img, 1, 1);
    EXPECT_EQ(rgb_at(img, 1, 1), (std::vector<int>{199, 0, 0})); // via the 12-bit scale
    PaintTool light = hard_tool(0.5, 0.0, {120, 120, 120}, kBlendLighten);
    dab(light, img, 3, 1);
    EXPECT_EQ(rgb_at(img, 3, 1), (std::vector<int>{120, 150, 120}));
    PaintTool dark = hard_tool(0.5, 0.0, {120, 120, 120}, kBlendDarken);
    dab(dark, img, 5, 1);
    EXPECT_EQ(rgb_at(img, 5, 1), (std::vector<int>{100, 120, 60}));
    PaintTool gray_out = hard_tool(0.5, 0.0, {90, 90, 90}, kBlendHsvHueSaturation);
    dab(gray_out, img, 7, 1);
    EXPECT_EQ(rgb_at(img, 7, 1), (std::vector<int>{199, 199, 199}));

    // On gray pictures the hue modes paint like Copy with the red value.
    Image gray = test::filled(IMAGE_GRAY, 6, 6, 30);
    PaintTool gh = hard_tool(0.5, 0.0, {180, 0, 0}, kBlendHslHue);
    dab(gh, gray, 2, 2);
    EXPECT_EQ(gray.row(2)[2], 180);

    // The mask holds back masked pixels.
    Image mask = test::filled(IMAGE_GRAY, 6, 6, 255);
    PaintTool copy = hard_tool(0.5, 0.0, {0, 0, 0});
    send(copy, gray, 4, 4, kToolPress, &mask);
    send(copy, gray, 4, 4, kToolRelease, &mask);
    EXPECT_EQ(gray.row(4)[4], 30);
}

TEST(PaintTool, FadeoutSpacingAndColourProbe)
{
    test::UndoScope undo;
    {   // Fadeout 1: the first stamp is at full strength and the stroke stops after it.
        Image img = test::filled(IMAGE_GRAY, 30, 5, 0);
        PaintTool t = hard_tool(0.5, 0.0, {255, 255, 255});
        t.settings.brush.fadeout = 1.0;
        send(t, img, 2, 2, kToolPress);
        EXPECT_EQ(t.fade, 0);
        EXPECT_FALSE(send(t, img, 10, 2, kToolMove).changed);
        send(t, img, 10, 2, kToolRelease);
        EXPECT_EQ(img.row(2)[2], 255);
        EXPECT_EQ(img.row(2)[5], 0);
    }
    {   // Fadeout 0.5: each stamp keeps 7/8 of the strength before it.
        Image img = test::filled(IMAGE_GRAY, 30, 5, 0);
        PaintTool t = hard_tool(0.5, 0.0, {255, 255, 255});
        t.settings.brush.fadeout = 0.5;
        send(t, img, 2, 2, kToolPress);
        send(t, img, 4, 2, kToolMove);
        send(t, img, 4, 2, kToolRelease);
        EXPECT_EQ(img.row(2)[2], 255);
        EXPECT_EQ(img.row(2)[3], 223); // s = round(255 * 0.875)
        EXPECT_EQ(img.row(2)[4], 195); // s = round(255 * 0.765625)
    }
    {   // Moves closer than half the whole radius in both directions make no stamp.
        Image img = test::filled(IMAGE_GRAY, 30, 30, 0);
        PaintTool t = hard_tool(4.0, 0.0, {255, 255, 255});
        send(t, img, 10, 10, kToolPress);
        EXPECT_FALSE(send(t, img, 11, 11, kToolMove).changed);
        EXPECT_TRUE(send(t, img, 12, 11, kToolMove).changed);
        send(t, img, 12, 11, kToolRelease);
        t.settings.single = true;
        send(t, img, 20, 20, kToolPress);
        EXPECT_FALSE(send(t, img, 25, 25, kToolMove).changed);
        send(t, img, 25, 25, kToolRelease);
    }
    {   // Shift + press picks the average of the probe square, clipped to the picture.
        Image img = test::filled(IMAGE_COLOR48, 5, 5, 0);
        for (int c = 0; c < 5; ++c)
            img.row16(0)[3 * c + 2] = std::uint16_t(c * 10000); // red grows to the right
        PaintTool t;
        t.settings.probe = 2; // 3 x 3
        ToolResult r = send(t, img, 0, 0, kToolShiftPress);
        EXPECT_TRUE(r.color);
        // Columns 0 and 1 of rows 0 and 1: red (0 + 10000) / 4, rounded, narrowed.
        EXPECT_EQ(t.settings.color.red, narrow16(2500));
        EXPECT_EQ(t.settings.color.green, 0);
        t.settings.probe = 1;
        send(t, img, 4, 0, kToolShiftPress);
        EXPECT_EQ(t.settings.color.red, narrow16(40000));
        EXPECT_FALSE(send(t, img, 5, 0, kToolShiftPress).color); // outside
    }
}
