// Integer colour arithmetic: HSV and HSL at 8-bit precision (through a 12-bit scale where
// 4096 stands for 1) and at 16-bit precision (65535 for 1), the component measures and the
// operations that change one component and keep the others. Components are always passed
// red, green, blue. Hue starts at red (0); yellow is 1/6 of a turn, green 2/6, cyan 3/6,
// blue 4/6, magenta 5/6; a full turn is 4096 (12-bit) or 65535 (16-bit).
#pragma once

#include <cstdint>

namespace mv {

// The largest component (the HSV value), at either precision.
int color_max(int r, int g, int b);
// (max - min) * 255 / max, 0 for black; the 16-bit form scales by 65535.
int hsv_saturation8(int r, int g, int b);
int hsv_saturation16(int r, int g, int b);
// (min + max) / 2, at either precision.
int hsl_lightness(int r, int g, int b);
// (max - min) * 255 / sum for sum = max + min up to 255, else over 510 - sum; 0 for black
// and white. The 16-bit form uses 65535 and 131070.
int hsl_saturation8(int r, int g, int b);
int hsl_saturation16(int r, int g, int b);

// 8-bit components to 12-bit hue, saturation and value (each 0..4096) and back.
void rgb8_to_hsv12(int r, int g, int b, int& h, int& s, int& v);
void hsv12_to_rgb8(int h, int s, int v, int& r, int& g, int& b);
// 16-bit components to 16-bit hue, saturation and value and back.
void rgb16_to_hsv16(int r, int g, int b, int& h, int& s, int& v);
void hsv16_to_rgb16(int h, int s, int v, int& r, int& g, int& b);
// The same for hue, saturation and lightness.
void rgb8_to_hsl12(int r, int g, int b, int& h, int& s, int& l);
void hsl12_to_rgb8(int h, int s, int l, int& r, int& g, int& b);
void rgb16_to_hsl16(int r, int g, int b, int& h, int& s, int& l);
void hsl16_to_rgb16(int h, int s, int l, int& r, int& g, int& b);

// Gives the pixel the HSV value `new_value` when it differs from `old_value` (normally
// color_max): components scale by new / old, or all become new when either is 0.
// Either precision.
void set_value(int& r, int& g, int& b, int old_value, int new_value);
// Gives an 8-bit pixel the HSL lightness `new_lightness` (0..255), keeping hue and
// saturation, through the 12-bit HSL pair. `old_lightness` is the pixel's present
// lightness, accepted for symmetry with set_value.
void set_lightness8(int& r, int& g, int& b, int old_lightness, int new_lightness);
// The same for 16-bit pixels through the 16-bit HSL pair, lightness 0..65535.
void set_lightness16(int& r, int& g, int& b, int old_lightness, int new_lightness);

// Replaces the HSV saturation S (0..255) by table[S], keeping the largest component.
void set_hsv_saturation8(int& r, int& g, int& b, const std::uint8_t* table);
// Replaces the HSL saturation S (0..255) by table[S], keeping max + min.
void set_hsl_saturation8(int& r, int& g, int& b, const std::uint8_t* table);
// 16-bit forms: convert with the 16-bit pair, replace s by table[s] (65536 entries), convert
// back.
void set_hsv_saturation16(int& r, int& g, int& b, const std::uint16_t* table);
void set_hsl_saturation16(int& r, int& g, int& b, const std::uint16_t* table);

} // namespace mv
