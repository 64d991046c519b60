// Resize: resamples a picture to new pixel dimensions and resolution, either "Smooth"
// (vertical then horizontal two-tap blends when enlarging and triangle filters when
// reducing, followed by a light sharpening along the row) or "Nearest Neighbor".
//
// A new width or height of 1 has no place in the index mapping i * (size - 1) / (new - 1);
// it is taken as the middle of the old axis: "Nearest Neighbor" picks index (size - 1) / 2
// and "Smooth" centres one triangle filter as wide as the whole axis on it, so a 1-pixel
// result is a centre-weighted average of the axis.
#pragma once

#include "core/image.h"
#include "transform/region.h"

#include <cstdint>
#include <vector>

namespace mv {

enum ResizeInterpolation : int { kResizeSmooth = 0, kResizeNearest = 1 };

// Byte weights of the triangle filter that reduces an axis of `source` samples to `target`
// samples, for output sample `index`: the first contributing source index and one weight
// per source index from there on (zeros trimmed at both ends, the sum exactly 255).
void resize_reduction_taps(int source, int target, int index, int& first,
                           std::vector<std::uint8_t>& weights);

// The Smooth horizontal post-sharpening of a row of `count` pixels of `channels` samples,
// in place, left to right over pixels 1 .. count - 2.
void resize_sharpen_row(std::uint8_t* row, int count, int channels);
void resize_sharpen_row16(std::uint16_t* row, int count, int channels);

// The output type of a resize: binary becomes 8-bit gray for "Smooth"; every other case
// keeps the input's type.
int resize_output_type(int type, int interpolation);

// Resizes `input` into `output` (which is allocated here). The same width and height copy
// the input and only set the new resolution. Progress "Resize" per output row from 10000
// output pixels on. Errors: 14 for a type that is not a picture, 1, 11 (output freed).
int resize_image(const Image& input, Image& output, int new_width, int new_height,
                 double new_resolution, int interpolation);

// A resize as a transformation: the new size, the new resolution (0 keeps the input's) and
// the interpolation.
struct ResizeSettings {
    int width = 0, height = 0;
    double resolution = 0;
    int interpolation = kResizeSmooth;
};

// Allocates the output of a resize of `input` for an Apply computed in bands of output rows:
// the new size and resolution, the output type (the input's own for the same size). Errors:
// 14, 1.
int resize_prepare_output(const ResizeSettings& s, const Image& input, Image& output);

// The region function of a resize. The region is in output pixels; only the output rows and
// columns it shows are computed (for "Smooth" each wanted row from its left end, which the
// sharpening runs from), bit for bit as in the whole result. On Apply, a band of whole output
// rows of an output allocated by resize_prepare_output is computed straight into it; such
// calls share nothing, so bands can run at the same time. Errors: 14, 1, 11.
int resize_region(const RegionRequest& q, void* settings);

} // namespace mv
