// Halftone: turns a gray or colour picture into pure black and white dots, per channel for
// colour, by a built-in threshold screen, a screen image ("Custom") or error diffusion.
#pragma once

#include "core/image.h"
#include "reduce/halftone_diffusion.h"
#include "reduce/halftone_screens.h"
#include "transform/amount.h"
#include "transform/region.h"

namespace mv {

// "No halftone screen image specified".
inline constexpr int kNoHalftoneScreen = 62;

struct HalftoneSettings {
    AmountBlock amount;
    int method = kHalftoneOrdered8;                             // "Method:" 0..20
    OrderMatrix matrix = halftone_screen(kHalftoneOrdered8);    // the screen; n = matrix.n
    const Image* screen = nullptr;  // "Halftone Screen Image:" for "Custom"
    HalftoneDiffusion diffusion;    // the cached error-diffusion result
};

// Chooses a method (held to 0..20) and sets the screen size and matrix that go with it.
void halftone_set_method(HalftoneSettings& s, int method);

// Forgets the cached error-diffusion result (the input changed).
void halftone_input_changed(HalftoneSettings& s);

// True when the result is pure black and white: the full amount without a mask.
bool halftone_is_bilevel(const HalftoneSettings& s);

// Binary for gray and 16-bit gray, 24-bit colour for colour and 48-bit colour when bilevel;
// otherwise the input's own type (narrowed to 8 bits in the preview). 0 for other inputs.
int halftone_output_type(const HalftoneSettings& s, int input_type, bool full);

// The region function. Each channel value v (16-bit narrowed to 8 bits) becomes white when
// 255 - v is below the threshold of its screen cell; the screen is anchored at the input's
// top-left corner. Progress window "Halftone". Returns 0, 1, 11, 14 (input binary or not a
// picture, or a "Custom" screen that is not 8-bit gray) or 62 ("Custom" without a screen).
// "Error Diffusion" computes and caches its result in the settings on first use.
int halftone_region(const RegionRequest& q, void* settings);

} // namespace mv
