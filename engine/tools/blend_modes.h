// How a brush pixel lays its target onto the old value: Copy, Lighten Only, Darken Only and,
// for Paint, the four hue modes that take only hue (or hue and saturation) from the colour.
#pragma once

#include "core/product_table.h"

namespace mv {

enum BlendMode : int {
    kBlendCopy = 0,
    kBlendLighten = 1,
    kBlendDarken = 2,
    kBlendHsvHue = 3,
    kBlendHslHue = 4,
    kBlendHsvHueSaturation = 5,
    kBlendHslHueSaturation = 6,
};

inline bool blend_is_hue(int mode)
{
    return mode >= kBlendHsvHue && mode <= kBlendHslHueSaturation;
}

// The new value of one channel: the mix of d towards t by w/255, kept by Copy (and the hue
// modes), by Lighten Only when it is lighter, by Darken Only when it is darker.
inline int blend_keep(int d, int v, int mode)
{
    if (mode == kBlendLighten)
        return v > d ? v : d;
    if (mode == kBlendDarken)
        return v < d ? v : d;
    return v;
}
inline int blend8(int d, int t, int w, int mode)
{
    return blend_keep(d, mix8(d, t, w), mode);
}
inline int blend16(int d, int t, int w, int mode)
{
    return blend_keep(d, mix16(d, t, w), mode);
}

// The paint colour as the hue modes use it, computed once per stamp: hue and saturation in
// the mode's colour space at 12-bit (8-bit pictures) and 16-bit (48-bit pictures) precision.
struct HueSource {
    int mode = kBlendHsvHue;
    int hue12 = 0, saturation12 = 0;
    int hue16 = 0, saturation16 = 0;
};
HueSource hue_source(int mode, int red, int green, int blue);

// The colour a hue mode moves an 8-bit pixel towards: the pixel in HSV or HSL with its hue
// (and for modes 5 and 6 its saturation) replaced by the paint colour's.
void hue_target8(const HueSource& src, int r, int g, int b, int& tr, int& tg, int& tb);
// The same for 16-bit components.
void hue_target16(const HueSource& src, int r, int g, int b, int& tr, int& tg, int& tb);

} // namespace mv
