#include "core/display_lookup.h"
#include "core/image.h"
#include "core/product_table.h"
#include "mask/mask_overlay.h"
#include "shell/display_build.h"
#include "shell/image_view.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

ViewMetrics roomy()
{
    ViewMetrics m;
    m.client_width = m.client_height = 200;
    m.frame_width = 10;
    m.frame_height = 30;
    m.area_width = 1200;
    m.area_height = 800;
    return m;
}

// A 6 x 3 picture whose columns 0-1, 2-3 and 4-5 lie under mask values 0, 128 and 255.
struct Masked {
    WindowRecord r;
    Image mask;
    Masked(int type)
    {
        EXPECT_EQ(product_table_build(), 0);
        EXPECT_EQ(image_alloc(r.image, type, 6, 3, 100.0), 0);
        EXPECT_EQ(image_alloc(mask, IMAGE_GRAY, 6, 3, 100.0), 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) {
                mask.row(y)[x] = std::uint8_t(x < 2 ? 0 : x < 4 ? 128 : 255);
                if (type == IMAGE_COLOR) {
                    std::uint8_t* p = r.image.row(y) + 3 * x;
                    p[0] = 40, p[1] = std::uint8_t(80 + 10 * y), p[2] = 200; // blue, green, red
                } else if (type == IMAGE_GRAY) {
                    r.image.row(y)[x] = 100;
                }
            }
        view_reset(r);
        view_apply_zoom(r, roomy(), false, false, std::nullopt);
    }
    ~Masked()
    {
        image_free(r.image);
        image_free(r.display);
        image_free(mask);
    }
};

TEST(DisplayOverlay, BlendsEveryMaskLevelTowardsTheOverlayColour)
{
    Masked s(IMAGE_COLOR);
    ASSERT_EQ(mask_overlay_set(s.r, &s.mask, kOverlaySemitransparent, overlay_color(2)), 0);
    EXPECT_EQ(display_type(s.r), IMAGE_COLOR);
    ASSERT_EQ(display_build(s.r), 0);
    ASSERT_EQ(s.r.display.width, 6);
    ASSERT_EQ(s.r.display.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) {
            const std::uint8_t* p = s.r.image.row(y) + 3 * x;
            const std::uint8_t* q = s.r.display.row(y) + 3 * x;
            const int t = product(s.mask.row(y)[x], 128);
            EXPECT_EQ(q[0], mix8(p[0], 255, t)) << x << "," << y; // blue overlay
            EXPECT_EQ(q[1], mix8(p[1], 0, t));
            EXPECT_EQ(q[2], mix8(p[2], 0, t));
        }
    // Mask 0 leaves the picture as it is; 255 goes half way.
    EXPECT_EQ(s.r.display.row(1)[2], 200);
    EXPECT_EQ(s.r.display.row(1)[3 * 5], 40 + product(215, 128));

    // A partial rebuild of one column after the mask changed touches only that column.
    s.mask.row(2)[0] = 255;
    s.mask.row(2)[1] = 255;
    display_build_region(s.r, 1, 0, 1, 0);
    EXPECT_EQ(s.r.display.row(2)[3 * 1], mix8(40, 255, 128));
    EXPECT_EQ(s.r.display.row(2)[0], 40);

    // Opaque shows the colour itself under 255; Mask Only shows the mask as gray.
    ASSERT_EQ(mask_overlay_set(s.r, &s.mask, kOverlayOpaque, overlay_color(0)), 0);
    display_build_region(s.r, 0, 0, 5, 2);
    EXPECT_EQ(s.r.display.row(0)[3 * 5 + 2], 255);
    EXPECT_EQ(s.r.display.row(0)[3 * 5 + 0], 0);
    ASSERT_EQ(mask_overlay_set(s.r, &s.mask, kOverlayMaskOnly, overlay_color(0)), 0);
    display_build_region(s.r, 0, 0, 5, 2);
    for (int x = 0; x < 6; ++x)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(s.r.display.row(1)[3 * x + c], s.mask.row(1)[x]);

    // Removing the overlay brings the plain picture back.
    mask_overlay_remove(s.r);
    ASSERT_EQ(display_build(s.r), 0);
    EXPECT_EQ(s.r.display.row(0)[3 * 5 + 0], 40);
    EXPECT_EQ(s.r.display.row(0)[3 * 5 + 2], 200);
}

TEST(DisplayOverlay, GrayPicturesShowInColourWhileMaskedAndMagnifiedRowsRepeat)
{
    Masked s(IMAGE_GRAY);
    EXPECT_EQ(display_type(s.r), IMAGE_GRAY);
    ASSERT_EQ(mask_overlay_set(s.r, &s.mask, kOverlayOpaque, overlay_color(1)), 0);
    EXPECT_EQ(display_type(s.r), IMAGE_COLOR);
    s.r.zoom = 2;
    view_apply_zoom(s.r, roomy(), false, false, std::nullopt);
    ASSERT_EQ(display_build(s.r), 0);
    ASSERT_EQ(s.r.display.type, IMAGE_COLOR);
    ASSERT_EQ(s.r.display.width, 12);
    for (int y = 0; y < 6; ++y) {
        const std::uint8_t* q = s.r.display.row(y);
        EXPECT_EQ(q[3 * 0 + 1], 100); // under 0: gray unchanged
        EXPECT_EQ(q[3 * 11 + 1], 255); // under 255, opaque: the green overlay
        EXPECT_EQ(q[3 * 11 + 0], 0);
        EXPECT_EQ(q[3 * 5 + 1], mix8(100, 255, 128)); // under 128
    }
    // A display lookup applies after the blend.
    DisplayLookup inverted;
    for (int v = 0; v < 256; ++v)
        inverted.blue[v] = inverted.green[v] = inverted.red[v] = std::uint8_t(255 - v);
    set_display_lookup(inverted);
    display_build_region(s.r, 0, 0, 11, 5);
    reset_display_lookup();
    EXPECT_EQ(s.r.display.row(3)[3 * 0 + 2], 155);
    EXPECT_EQ(s.r.display.row(3)[3 * 11 + 1], 0);

    // A mask of another size counts as 0: the picture shows unmasked.
    Image wrong;
    ASSERT_EQ(image_alloc(wrong, IMAGE_GRAY, 3, 3, 100.0), 0);
    ASSERT_EQ(mask_overlay_set(s.r, &wrong, kOverlayOpaque, overlay_color(1)), 0);
    display_build_region(s.r, 0, 0, 11, 5);
    EXPECT_EQ(s.r.display.row(0)[3 * 11 + 1], 100);
    image_free(wrong);
}

} // namespace
} // namespace mv
