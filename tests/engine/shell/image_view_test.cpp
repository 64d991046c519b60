#include "core/image.h"
#include "shell/display_build.h"
#include "shell/image_view.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

WindowRecord record_with(int type, int w, int h)
{
    WindowRecord r;
    EXPECT_EQ(image_alloc(r.image, type, w, h, 100.0), 0);
    view_reset(r);
    return r;
}

ViewMetrics metrics(int client_w, int client_h)
{
    ViewMetrics m;
    m.client_width = client_w;
    m.client_height = client_h;
    m.border = 8;
    m.scrollbar_width = m.scrollbar_height = 16;
    m.frame_width = 10;
    m.frame_height = 30;
    m.area_width = 1200;
    m.area_height = 800;
    return m;
}

TEST(ImageView, ZoomStepsSizesAndTitles)
{
    EXPECT_EQ(zoomed_length(1000, -3), 334);
    EXPECT_EQ(zoomed_length(1000, 2), 2000);
    EXPECT_EQ(zoom_step_out(1), -2);
    EXPECT_EQ(zoom_step_in(-2), 1);
    EXPECT_EQ(zoom_step_in(1), 2);
    EXPECT_EQ(zoom_step_out(-2), -3);
    EXPECT_EQ(image_window_title("", 4, IMAGE_COLOR, -2), "Untitled 5 (1:2)");
    EXPECT_EQ(image_window_title("/p/cat.png", 0, IMAGE_GRAY, 3), "/p/cat.png (3:1)");
    EXPECT_EQ(image_window_title("", 0, IMAGE_HISTOGRAM, 1), "Untitled 1");
    EXPECT_EQ(image_window_title("", 0, IMAGE_COLOR, 1, true), "Preview (1:1)");
    EXPECT_EQ(image_window_title(std::string(300, 'a'), 0, IMAGE_COLOR, 1).size(), 260u);
}

TEST(ImageView, SmallPictureIsCentredWithoutScrollBars)
{
    WindowRecord r = record_with(IMAGE_COLOR, 100, 50);
    const ViewMetrics m = metrics(400, 300);
    const VisibleOutcome out = view_apply_zoom(r, m, false, false, std::nullopt);
    EXPECT_FALSE(out.resize);
    EXPECT_EQ(r.visible_width, 100);
    EXPECT_EQ(r.visible_height, 50);
    EXPECT_FALSE(view_hbar_shown(r));
    EXPECT_FALSE(view_vbar_shown(r));
    EXPECT_EQ(r.centre_left, 150);
    EXPECT_EQ(r.centre_top, 125);
    // Shrinking asks for a client area of the picture plus the borders.
    const VisibleOutcome shrunk = view_apply_zoom(r, m, true, false, std::nullopt);
    EXPECT_TRUE(shrunk.resize);
    EXPECT_EQ(shrunk.client_width, 116);
    EXPECT_EQ(shrunk.client_height, 66);
}

TEST(ImageView, ScrollBarsDeductEachOtherAndScrollingKeepsMultiplesOfZoom)
{
    int tw = 200, th = 200;
    // Only slightly taller: the vertical bar then makes the width too small as well.
    const ScrollBarsNeeded bars = scrollbar_deduction(195, 300, tw, th, 16, 16);
    EXPECT_TRUE(bars.vertical);
    EXPECT_TRUE(bars.horizontal);
    EXPECT_EQ(tw, 184);
    EXPECT_EQ(th, 184);

    WindowRecord r = record_with(IMAGE_GRAY, 500, 400);
    r.zoom = 3;
    const ViewMetrics m = metrics(416, 316);
    view_apply_zoom(r, m, false, false, ImagePoint{250, 200});
    EXPECT_TRUE(view_hbar_shown(r));
    EXPECT_TRUE(view_vbar_shown(r));
    EXPECT_EQ(r.visible_width, 400 - 16);
    EXPECT_EQ(r.scroll_max_x, 1500 - r.visible_width);
    EXPECT_EQ(r.display_rect.left % 3, 0);
    EXPECT_EQ(r.display_rect.top % 3, 0);
    for (int target : {1, 2, 4, 7, 100, 101, 5000}) {
        view_scroll_to(r, ScrollAxis::kHorizontal, target);
        EXPECT_EQ(r.display_rect.left % 3, 0);
        EXPECT_LE(r.display_rect.left, r.scroll_max_x);
        EXPECT_EQ(r.display_rect.right - r.display_rect.left + 1, r.visible_width);
    }
    EXPECT_EQ(scroll_line(r.visible_width), 48);
    EXPECT_EQ(scroll_page(r.visible_width), 336);
    EXPECT_FALSE(view_scroll_to(r, ScrollAxis::kHorizontal, r.display_rect.left + 1));
}

TEST(ImageView, WindowPointsAndPixelsMapBothWays)
{
    for (int zoom : {1, 2, 3, -2, -3}) {
        WindowRecord r = record_with(IMAGE_COLOR, 300, 200);
        r.zoom = zoom;
        view_apply_zoom(r, metrics(250, 180), false, false, ImagePoint{120, 80});
        for (ImagePoint p : {ImagePoint{120, 80}, ImagePoint{r.shown.left, r.image.height - 1 - r.shown.top}}) {
            const int t = r.image.height - 1 - p.row;
            if (zoom <= -2 && ((p.column - r.shown.left) % -zoom || (t - r.shown.top) % -zoom))
                continue; // only every N-th pixel is shown at 1:N
            int x, y;
            image_to_window(r, p, x, y);
            const ImagePoint back = window_to_image(r, x, y, false);
            EXPECT_EQ(back.column, p.column) << "zoom " << zoom;
            EXPECT_EQ(back.row, p.row) << "zoom " << zoom;
        }
        const ImagePoint clamped = window_to_image(r, -500, -500, true);
        EXPECT_GE(clamped.column, 0);
        EXPECT_LE(clamped.row, r.image.height - 1);
    }
}

TEST(ImageView, InitialExpandAndFitZooms)
{
    ViewMetrics m = metrics(0, 0);
    EXPECT_EQ(initial_zoom(600, 400, m), 1);
    EXPECT_EQ(initial_zoom(3000, 1000, m), -3);
    EXPECT_EQ(fit_zoom(4, 600, 400, m), 1);
    const int expanded = expand_zoom(1, 100, 100, m);
    EXPECT_LE(zoomed_length(100, expanded), m.area_height - m.frame_height - 16);
    EXPECT_GT(zoomed_length(100, zoom_step_in(expanded)), m.area_height - m.frame_height - 16);
}

TEST(DisplayBuild, NearestSamplingKeepsBottomUpOrderAndNarrows16Bit)
{
    WindowRecord r = record_with(IMAGE_GRAY16, 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            r.image.row16(y)[x] = std::uint16_t((y * 4 + x) * 257 * 10);
    r.zoom = 2;
    view_apply_zoom(r, metrics(100, 100), false, false, std::nullopt);
    ASSERT_EQ(display_build(r), 0);
    EXPECT_EQ(r.display.type, IMAGE_GRAY);
    EXPECT_EQ(r.display.width, 8);
    EXPECT_EQ(r.display.height, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(r.display.row(y)[x], ((y / 2) * 4 + x / 2) * 10);

    WindowRecord c = record_with(IMAGE_COLOR, 9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 27; ++x)
            c.image.row(y)[x] = std::uint8_t(y * 27 + x);
    c.zoom = -3;
    view_apply_zoom(c, metrics(100, 100), false, false, std::nullopt);
    DisplayLookup inverted;
    for (int v = 0; v < 256; ++v)
        inverted.blue[v] = inverted.green[v] = inverted.red[v] = std::uint8_t(255 - v);
    set_display_lookup(inverted);
    ASSERT_EQ(display_build(c), 0);
    reset_display_lookup();
    ASSERT_EQ(c.display.width, 3);
    // Top display row shows picture row 8 (the top), every third column, through the tables.
    EXPECT_EQ(c.display.row(2)[3], 255 - c.image.row(8)[9]);
    EXPECT_EQ(c.display.row(0)[0], 255 - c.image.row(2)[0]);
}

} // namespace
} // namespace mv
