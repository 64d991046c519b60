// The colour reducer: chooses a palette of at most N colours for a 24-bit or 48-bit colour
// picture with an octree of 15-bit colour cells merged smallest-first, and maps the picture
// onto that palette (plain or with error diffusion) as an 8-bit index image.
#pragma once

#include "core/image.h"

#include <cstdint>

namespace mv {

inline constexpr int kPaletteMax = 256;

// A palette of up to 256 colours, each stored red, green, blue.
struct Palette {
    std::uint8_t colors[kPaletteMax][3] = {};
    int size = 0;
};

// Reduces the colour picture `src` (IMAGE_COLOR or IMAGE_COLOR48) to at most `max_colors`
// palette entries (clamped to 1..256) and fills `palette`. Entries come out in the order of
// a depth-first walk of the octree, higher child numbers first, each node after its
// children. When `index` is given it becomes an IMAGE_GRAY picture of the source's size and
// resolution holding the palette index of every pixel, mapped to the nearest entry of the
// cell's octree branch, or with `dither` by serpentine Floyd-Steinberg error diffusion.
// 48-bit samples are narrowed to 8 bits first.
// With `show_progress`, pictures of at least 10000 pixels show cancellable progress windows
// "Color Reduction -- Pass 1" and "Color Reduction -- Pass 2".
// Returns 0, 1 (out of memory), 11 (cancelled) or 14 (not a colour picture). On failure
// `palette` is emptied and `*index` freed.
int color_reduce(const Image& src, Image* index, int max_colors, bool dither, Palette& palette,
                 bool show_progress = true);

} // namespace mv
