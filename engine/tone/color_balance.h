// Color Balance: removes colour casts by mapping, per channel, a colour that should be
// neutral onto the colour it should become, at the highlight, midtone and shadow anchors.
// Colours are stored red, green, blue.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

enum ColorBalanceMode : int { BALANCE_NONE = 0, BALANCE_AUTO = 1, BALANCE_CUSTOM = 2 };
// The midtone popup has "none" and "custom" only.
enum ColorBalanceMidtone : int { MIDTONE_NONE = 0, MIDTONE_CUSTOM = 1 };
enum ColorBalanceProbe : int { PROBE_NONE = 0, PROBE_HIGHLIGHT = 1, PROBE_SHADOW = 2, PROBE_MIDTONE = 3 };

struct ColorBalanceSettings {
    std::int32_t highlight_mode = BALANCE_AUTO;
    std::int32_t midtone_mode = MIDTONE_NONE;
    std::int32_t shadow_mode = BALANCE_NONE;
    std::int32_t probe_target = PROBE_NONE;
    std::int32_t probe_size = 2; // 0..4: "1x1 Color Probe" .. "9x9 Color Probe"
    std::uint8_t highlight_remove[3] = {255, 255, 255};
    std::uint8_t highlight_add[3] = {255, 255, 255};
    std::uint8_t found_highlight[3] = {255, 255, 255};
    std::uint8_t shadow_remove[3] = {0, 0, 0};
    std::uint8_t shadow_add[3] = {0, 0, 0};
    std::uint8_t found_shadow[3] = {0, 0, 0};
    std::int32_t midtone_on = 0;
    std::uint8_t midtone_remove[3] = {127, 127, 127};
    std::uint8_t midtone_add[3] = {127, 127, 127};
    std::uint8_t red[256] = {}, green[256] = {}, blue[256] = {};
    std::vector<std::uint16_t> red16, green16, blue16; // only for 48-bit results
    AmountBlock amount;
};

// Samples the picture (steps growing, rows first, while width * height / (sx * sy) is at
// least 500001) and averages the colours of the brightest and darkest pixels, by
// (red + green + blue) / 3, that make up just over the given fractions of the samples; white
// and black when nothing was counted. Shows "Finding black & white points" (no Cancel).
// Colour and 48-bit colour; else 14. 1 when the sums cannot be allocated.
int color_balance_find_points(const Image& img, ColorBalanceSettings& s,
                              double highlight_fraction = 0.0001,
                              double shadow_fraction = 0.0001);

// Sets the anchors' colours from their modes: "none" white (black for the shadow), "auto"
// the found colour and the gray of its luminance, "custom" unchanged; midtone "none" turns
// the midtone off and takes the midpoints of the highlight and shadow colours.
void color_balance_apply_modes(ColorBalanceSettings& s);

// "&Reset": highlight auto, midtone none, shadow none, probe none, black shadow colours.
void color_balance_reset(ColorBalanceSettings& s);

// The per-channel transfer of one level (8-bit, integer arithmetic) and of a 16-bit level
// with the anchors widened (floating point). Anchors are W, N, B (remove) and W', N', B'
// (add) of the channel.
int color_balance_transfer8(int v, bool midtone_on, int W, int N, int B, int Wa, int Na, int Ba);
int color_balance_transfer16(int v, bool midtone_on, int W, int N, int B, int Wa, int Na, int Ba);

// Builds the red, green and blue tables, and the 16-bit ones when `with16`. 0 or 1.
int color_balance_tables(ColorBalanceSettings& s, bool with16);

// "ColorBalance 1.0" files. Writing: 0, 3 or 6. Reading: 0, 4, or 31 ("Illegal color balance
// file") after which the settings are reset.
int color_balance_file_write(const std::string& path, const ColorBalanceSettings& s);
int color_balance_file_read(const std::string& path, ColorBalanceSettings& s);

// The region function: colour and 48-bit colour, else 14. Applies the modes, builds the
// tables and maps each channel, blended by the amount.
int color_balance_region(const RegionRequest& q, void* settings);

} // namespace mv
