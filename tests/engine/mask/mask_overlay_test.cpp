#include "mask/mask_overlay.h"

#include "core/display_lookup.h"
#include "core/product_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

std::vector<int> blend(const WindowRecord& r, const std::vector<std::uint8_t>& bgr,
                       const std::vector<std::uint8_t>& mask)
{
    std::vector<std::uint8_t> out(bgr.size());
    mask_overlay_blend(bgr.data(), mask.data(), int(mask.size()), r, out.data());
    return std::vector<int>(out.begin(), out.end());
}

TEST(MaskOverlay, BlendWeights)
{
    ASSERT_EQ(product_table_build(), 0);
    WindowRecord r;
    int window = 0;
    ASSERT_EQ(mask_overlay_set(r, &window, kOverlaySemitransparent, overlay_color(0)), 0);
    EXPECT_TRUE(mask_overlay_shown(r));
    EXPECT_EQ(r.overlay_mode, 128);
    EXPECT_EQ(r.overlay_table[255], 128); // P[255][128]
    EXPECT_EQ(r.overlay_table[128], 64);  // P[128][128] = (16384 + 127) div 255

    // Pixel blue 40, green 100, red 0 under mask 0, 128 and 255, red overlay.
    const std::vector<std::uint8_t> px = {40, 100, 0, 40, 100, 0, 40, 100, 0};
    const std::vector<std::uint8_t> m = {0, 128, 255};
    EXPECT_EQ(blend(r, px, m), (std::vector<int>{40, 100, 0,   //
                                                  30, 75, 64,  // t = 64
                                                  20, 50, 128})); // t = 128

    ASSERT_EQ(mask_overlay_set(r, &window, kOverlayOpaque, overlay_color(1)), 0);
    EXPECT_EQ(blend(r, px, m), (std::vector<int>{40, 100, 0, 20, 178, 0, 0, 255, 0}));
    ASSERT_EQ(mask_overlay_set(r, &window, kOverlayClear, overlay_color(3)), 0);
    EXPECT_EQ(blend(r, px, m), (std::vector<int>{40, 100, 0, 40, 100, 0, 40, 100, 0}));

    // Mask Only shows the mask as gray.
    ASSERT_EQ(mask_overlay_set(r, &window, kOverlayMaskOnly, overlay_color(2)), 0);
    EXPECT_EQ(blend(r, px, m), (std::vector<int>{0, 0, 0, 128, 128, 128, 255, 255, 255}));

    mask_overlay_remove(r);
    EXPECT_FALSE(mask_overlay_shown(r));
    EXPECT_EQ(r.overlay_mode, 255);
    EXPECT_EQ(r.overlay_red, 0);
    EXPECT_TRUE(r.overlay_table.empty());
}

TEST(MaskOverlay, LookupAfterBlendAndRowSampling)
{
    ASSERT_EQ(product_table_build(), 0);
    DisplayLookup lut;
    for (int i = 0; i < 256; ++i) {
        lut.blue[i] = std::uint8_t(i);
        lut.green[i] = std::uint8_t(i / 2);
        lut.red[i] = std::uint8_t(255 - i);
    }
    set_display_lookup(lut);
    WindowRecord r;
    int window = 0;
    ASSERT_EQ(mask_overlay_set(r, &window, kOverlayOpaque, overlay_color(0)), 0);

    // A 16-bit gray picture and its mask, sampled at columns 2, 0, 2.
    Image picture, mask;
    ASSERT_EQ(image_alloc(picture, IMAGE_GRAY16, 3, 2, 72.0), 0);
    ASSERT_EQ(image_alloc(mask, IMAGE_GRAY, 3, 2, 100.0), 0);
    const std::uint16_t values[3] = {100 * 257, 0, 200 * 257};
    std::copy(values, values + 3, picture.row16(1));
    mask.row(1)[0] = 0;
    mask.row(1)[2] = 255;
    const int columns[3] = {2, 0, 2};
    std::uint8_t out[9];
    mask_overlay_row(picture, 1, mask, columns, 3, r, out);
    // Column 2 is fully red (then looked up), column 0 the gray 100 looked up.
    EXPECT_EQ(std::vector<int>(out, out + 9), (std::vector<int>{0, 0, 0, 100, 50, 155, 0, 0, 0}));

    ASSERT_EQ(mask_overlay_set(r, &window, kOverlayMaskOnly, overlay_color(0)), 0);
    mask_overlay_row(picture, 1, mask, columns, 3, r, out);
    EXPECT_EQ(std::vector<int>(out, out + 3), (std::vector<int>{255, 127, 0}));
    reset_display_lookup();
}

} // namespace
} // namespace mv
