// Blur: a 5-point average, a 3x3 average, the separable "Gaussian" smoothing with radius and
// threshold, and 3x3 and 5x5 medians, blended with the input by the Amount control.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

namespace mv {

enum BlurMethod : int {
    kBlurPlain = 0,     // "Blur"
    kBlurMore = 1,      // "Blur More"
    kBlurGaussian = 2,  // "Gaussian"
    kBlurMedian3 = 3,   // "Median 3x3"
    kBlurMedian5 = 4,   // "Median 5x5"
};

struct BlurSettings {
    AmountBlock amount;
    int method = kBlurPlain;
    int radius = 3;       // 0..128 input pixels
    int threshold = 255;  // 0..255 8-bit levels
};

// The "Method:" list.
inline constexpr const char kBlurMethodList[] =
    "Method:\0Blur\0Blur More\0Gaussian\0Median 3x3\0Median 5x5\0\1";

// Slider position 0..1024 to setting and back.
int blur_radius_from_slider(int p);
int blur_radius_to_slider(int v);
int blur_threshold_from_slider(int p);
int blur_threshold_to_slider(int v);

// The progress title of a method: "Gaussian Blur" for "Gaussian", else "Blur".
const char* blur_title(int method);

// The region function. Binary input gives 8-bit gray output; 16-bit input is filtered in 16
// bits and narrowed in the preview. Errors: 14 for other types, 1, 11.
int blur_region(const RegionRequest& q, void* settings);

} // namespace mv
