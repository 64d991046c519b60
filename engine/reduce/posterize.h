// Posterize: replaces every pixel by the nearest of 2 to 32 chosen colours, optionally
// writing a second "remapped" colour per entry instead, and optionally antialiased along the
// borders between colour regions. "Auto Palette" fills the colours from the picture.
#pragma once

#include "core/image.h"
#include "reduce/kd_tree.h"
#include "settings/preferences.h"
#include "transform/amount.h"
#include "transform/region.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr int kPosterizeMinColors = 2;
inline constexpr int kPosterizeMaxColors = 32;

using PosterizePalette = std::array<Rgb, kPosterizeMaxColors>;

// Colour 1 black, colours 2-32 white.
PosterizePalette posterize_default_palette();

struct PosterizeSettings {
    AmountBlock amount;
    int colors = 2;             // "Number of colors:" 2..32
    bool antialias = false;     // "Antialias"
    bool remap = false;         // "Remap Colors"
    PosterizePalette color = posterize_default_palette();     // "Color %d"
    PosterizePalette remapped = posterize_default_palette();  // "Remapped Color %d"
};

// The entries in use: the first `colors` (held to 2..32) colours, each with its output
// colour (the remapped colour when remapping, else the colour itself).
std::vector<KdEntry> posterize_entries(const PosterizeSettings& s);

// 8-bit gray when the input is binary, gray or 16-bit gray and every output colour is a
// gray; 24-bit colour otherwise (Posterize always writes 8-bit samples).
int posterize_output_type(const PosterizeSettings& s, int input_type);

// The region function. Progress windows "Posterize", or with antialias "Posterize (Pass 1)"
// and "Posterize (Pass 2)". Returns 0, 1, 11 or 14.
int posterize_region(const RegionRequest& q, void* settings);

// A palette written as text: colours separated by commas, each six hexadecimal digits
// RRGGBB with an optional leading '#' ("000000,#FF8000,ffffff"). Reading sets the first
// entries and leaves the others as they were; false (palette unchanged) for text that is no
// such list or holds more than 32 colours. Writing gives the first `count` colours.
bool posterize_parse_palette(std::string_view text, PosterizePalette& palette);
std::string posterize_palette_text(const PosterizePalette& palette, int count = kPosterizeMaxColors);

// "Auto Palette": binary input gives colour 1 black and the rest white; gray and 16-bit gray
// N evenly spaced grays i * 255 / (N - 1); colour and 48-bit colour the palette of the colour
// reducer for N colours (entries beyond the palette's size repeat its last colour). The
// colours go into both the colour and the remapped colour lists. Returns 0, 1, 11 or 14;
// the settings are unchanged on failure.
int posterize_auto_palette(const Image& input, PosterizeSettings& s);

} // namespace mv
