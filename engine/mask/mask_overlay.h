// The coloured overlay through which a mask is shown on its picture: every displayed channel
// p moves towards the overlay colour's channel o by t / 255 with t = P[m][A], where m is the
// mask value and A the overlay amount; "Mask Only" shows the mask itself as gray. The
// settings live in the picture's window record: mask_window, overlay_table (t for every m),
// overlay_mode (A, or -1 for Mask Only) and the overlay colour.
#pragma once

#include "shell/window_records.h"

#include <cstdint>

namespace mv {

// Overlay amounts: "Clear Mask Overlay" 0, "Semitransparent Mask Overlay" 128, "Opaque Mask
// Overlay" 255, "Mask Only" -1.
inline constexpr int kOverlayClear = 0;
inline constexpr int kOverlaySemitransparent = 128;
inline constexpr int kOverlayOpaque = 255;
inline constexpr int kOverlayMaskOnly = -1;

// Overlay colours by index: 0 red (255, 0, 0), 1 green, 2 blue, 3 white; others red.
struct OverlayColor {
    std::uint8_t red = 255, green = 0, blue = 0;
};
OverlayColor overlay_color(int index);

// Shows `mask_window` over the record's picture with the amount and colour: stores them and
// builds overlay_table[m] = P[m][amount] (amount limited to -1..255). 1 when out of memory
// (the record then shows no overlay).
int mask_overlay_set(WindowRecord& r, void* mask_window, int amount, OverlayColor color);

// Removes the overlay: no mask window, mode 255, colour 0, 0, 0, no table.
void mask_overlay_remove(WindowRecord& r);

// True when the record shows a mask overlay.
inline bool mask_overlay_shown(const WindowRecord& r) { return r.mask_window != nullptr; }

// Blends n pixels: `bgr` holds the picture's 8-bit blue, green, red (before the display
// lookup), `mask` the mask value of each pixel. `out` receives blue, green, red ready for the
// screen: each channel is mix8(p, o, overlay_table[m]) and then goes through its display
// lookup table; in Mask Only mode all three channels are the lookup of m.
void mask_overlay_blend(const std::uint8_t* bgr, const std::uint8_t* mask, int n,
                        const WindowRecord& r, std::uint8_t* out);

// The overlay form of one display row: picture row `picture_row` (counted from the bottom) of
// any picture type and the same row of the mask (8-bit gray of the picture's size) are
// sampled at columns[0..n-1]; gray and binary pixels count as three equal channels, 16-bit
// samples are reduced to 8 bits; the result is n blue-green-red pixels in `out`. A mask of
// another size or type counts as 0 everywhere.
void mask_overlay_row(const Image& picture, int picture_row, const Image& mask,
                      const int* columns, int n, const WindowRecord& r, std::uint8_t* out);

} // namespace mv
