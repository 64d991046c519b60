// Levels and Color: black and white points, an output dynamic range, midtones, saturation
// and a colour-balance colour applied through lookup tables, with the black and white points
// measured from the input's histogram.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

#include <cstdint>
#include <string>

namespace mv {

// Colour spaces of Levels and Color.
enum LevelsColorSpace : int { LEVELS_HSV = 0, LEVELS_HSL = 1 };

struct LevelsSettings {
    AmountBlock amount;               // unsigned, 100%
    std::int32_t color_space = LEVELS_HSV;
    std::int32_t probe = 2;           // 0..4: 1x1 .. 9x9; 5x5 by default
    double midtones = 0;              // percent, -100..100
    double saturation = 0;            // percent, -100..100
    std::int32_t black = 0;           // measured black point
    std::int32_t white = 255;         // measured white point
    std::int32_t range_low = 0;       // output range
    std::int32_t range_high = 255;
    std::uint8_t balance[3] = {255, 255, 255}; // colour-balance colour: red, green, blue
};

// Measures the black and white points: the histogram of gray levels (HSV value or HSL
// lightness of colour pixels, by the colour space); a point is the first level, counting in
// from its end, where the running count exceeds total / 10000. 0 or 14.
int levels_measure(const Image& img, int color_space, int& black, int& white);

// Measures and sets both points and the range to them, so that the result starts as the
// input. 0 or 14.
int levels_auto_range(const Image& img, LevelsSettings& s);

// "&Full Range": the range becomes 0..255, the measured points stay.
void levels_full_range(LevelsSettings& s);

// "&Reset": no mask at 100%, HSV, 5x5 probe, midtones and saturation 0, white balance, the
// range back to the measured points (without measuring again).
void levels_reset(LevelsSettings& s);

// Slider value 0..1024 to a percentage: (slider - 512) * 100 / 512.
double levels_slider_percent(int slider);
// "Dynamic Range: 7.8%..90.2%", "Midtones: 12.5%", "Saturation: -3.1%".
std::string levels_range_label(const LevelsSettings& s);
std::string levels_midtones_label(double percent);
std::string levels_saturation_label(double percent);

// True when the settings (apart from the amount) leave the input unchanged.
bool levels_is_identity(const LevelsSettings& s);

// The level table: levels up to black give low, from white up give high, between them the
// midtone curve stretched onto low..high.
void levels_level_table(int black, int white, int low, int high, double midtones,
                        std::uint8_t* table);
// The same over 65536 levels with points and range scaled by 257.
void levels_level_table16(int black, int white, int low, int high, double midtones,
                          std::uint16_t* table);
// The saturation table of a percentage.
void levels_saturation_table(double percent, std::uint8_t* table);
void levels_saturation_table16(double percent, std::uint16_t* table);
// The colour-balance table of one channel of the colour: v * c / 255, or 16-bit
// v * (c * 257) / 65535.
void levels_balance_table(int c, std::uint8_t* table);
void levels_balance_table16(int c, std::uint16_t* table);

// The region function: binary, gray, colour, 16-bit gray and 48-bit colour, else 14.
int levels_region(const RegionRequest& q, void* settings);

} // namespace mv
