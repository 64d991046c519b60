#include "blend_modes.h"

#include "tone/color_space.h"
#include "tone/value_tables.h"

namespace mv {
namespace {

bool uses_hsl(int mode)
{
    return mode == kBlendHslHue || mode == kBlendHslHueSaturation;
}

bool takes_saturation(int mode)
{
    return mode == kBlendHsvHueSaturation || mode == kBlendHslHueSaturation;
}

} // namespace

HueSource hue_source(int mode, int red, int green, int blue)
{
    HueSource s;
    s.mode = mode;
    int third = 0;
    const int r16 = widen8(red), g16 = widen8(green), b16 = widen8(blue);
    if (uses_hsl(mode)) {
        rgb8_to_hsl12(red, green, blue, s.hue12, s.saturation12, third);
        rgb16_to_hsl16(r16, g16, b16, s.hue16, s.saturation16, third);
    } else {
        rgb8_to_hsv12(red, green, blue, s.hue12, s.saturation12, third);
        rgb16_to_hsv16(r16, g16, b16, s.hue16, s.saturation16, third);
    }
    return s;
}

void hue_target8(const HueSource& src, int r, int g, int b, int& tr, int& tg, int& tb)
{
    int h = 0, s = 0, third = 0;
    if (uses_hsl(src.mode)) {
        rgb8_to_hsl12(r, g, b, h, s, third);
        hsl12_to_rgb8(src.hue12, takes_saturation(src.mode) ? src.saturation12 : s, third, tr,
                      tg, tb);
    } else {
        rgb8_to_hsv12(r, g, b, h, s, third);
        hsv12_to_rgb8(src.hue12, takes_saturation(src.mode) ? src.saturation12 : s, third, tr,
                      tg, tb);
    }
}

void hue_target16(const HueSource& src, int r, int g, int b, int& tr, int& tg, int& tb)
{
    int h = 0, s = 0, third = 0;
    if (uses_hsl(src.mode)) {
        rgb16_to_hsl16(r, g, b, h, s, third);
        hsl16_to_rgb16(src.hue16, takes_saturation(src.mode) ? src.saturation16 : s, third, tr,
                       tg, tb);
    } else {
        rgb16_to_hsv16(r, g, b, h, s, third);
        hsv16_to_rgb16(src.hue16, takes_saturation(src.mode) ? src.saturation16 : s, third, tr,
                       tg, tb);
    }
}

} // namespace mv
