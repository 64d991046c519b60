// Brightness and Saturation: one signed level b (0..255, 127 neutral) reshapes values through
// a lookup table whose form depends on which end of the range stays fixed. With an amount
// mask the level varies per pixel between the amount's low and high levels.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

#include <cstdint>

namespace mv {

// Preserve modes: Brightness "Black and White", "Black", "White", "Neither"; Saturation
// "Low and High", "Low", "High", "Neither".
enum ToneShapeMode : int { SHAPE_BOTH = 0, SHAPE_LOW = 1, SHAPE_HIGH = 2, SHAPE_NEITHER = 3 };

// Colour spaces of Brightness (HSV, HSL, RGB) and Saturation (HSV, HSL).
enum ToneColorSpace : int { TONE_HSV = 0, TONE_HSL = 1, TONE_RGB = 2 };

inline constexpr int kToneNeutral = 127;

// The 256-entry table of level b in a mode.
void tone_shape(int b, int mode, std::uint8_t* table);
// The 65536-entry table of level b in a mode.
void tone_shape16(int b, int mode, std::uint16_t* table);

struct BrightnessSettings {
    AmountBlock amount;
    std::int32_t color_space = TONE_HSV;
    std::int32_t preserve = SHAPE_LOW;
};

struct SaturationSettings {
    AmountBlock amount;
    std::int32_t color_space = TONE_HSV;
    std::int32_t preserve = SHAPE_LOW;
};

// Defaults: signed amount at 0% (low 512), no mask, HSV, preserve "Black" / "Low".
void brightness_defaults(BrightnessSettings& s);
void saturation_defaults(SaturationSettings& s);

// Region functions. Brightness takes gray, colour, 16-bit gray and 48-bit colour;
// Saturation colour and 48-bit colour; other types give 14.
int brightness_region(const RegionRequest& q, void* settings);
int saturation_region(const RegionRequest& q, void* settings);

} // namespace mv
