// Sharpen: two fixed 3x3 sharpening kernels and an unsharp mask built on the separable
// smoothing, with radius and threshold. On a partial amount the kernels take the amount
// into their weights instead of blending afterwards.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

namespace mv {

enum SharpenMethod : int {
    kSharpenPlain = 0,  // "Sharpen"
    kSharpenHeavy = 1,  // "Heavy Sharpen"
    kSharpenUnsharp = 2, // "Unsharp Mask"
};

struct SharpenSettings {
    AmountBlock amount;
    int method = kSharpenPlain;
    int radius = 3;     // 0..20 input pixels
    int threshold = 0;  // 0..50 8-bit levels
};

inline constexpr const char kSharpenMethodList[] =
    "Method:\0Sharpen\0Heavy Sharpen\0Unsharp Mask\0\1";

int sharpen_radius_from_slider(int p);
int sharpen_radius_to_slider(int v);
int sharpen_threshold_from_slider(int p);
int sharpen_threshold_to_slider(int v);

// The region function (progress title "Sharpen" for every method). Binary input gives 8-bit
// gray output; 16-bit input is filtered in 16 bits and narrowed in the preview. Errors: 14
// for other types, 1, 11.
int sharpen_region(const RegionRequest& q, void* settings);

} // namespace mv
