// Pieces the filter region functions share: the sampling step of a request, the per-pixel
// amount of a row, and the neutral result (the sampled input in the filter's output type).
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

namespace mv {

// Input pixels from one computed output pixel to the next: k for a preview reduced 1:k,
// else 1 (a magnified preview computes every input pixel once and the writer repeats it).
inline int region_step(const RegionRequest& q)
{
    return q.zoom < -1 ? -q.zoom : 1;
}

// The amount of pixel j of the current row (after amount_next_row).
inline int pixel_amount(const AmountRun& run, int j)
{
    return run.masked ? run.weights[size_t(j)] : run.low;
}

// Writes the region's input pixels unchanged into an output prepared with
// filter_output_type: binary as 0/255 gray, 16-bit narrowed in the preview. A progress
// window titled `title` is shown from 10000 pixels on.
int filter_copy_region(const RegionRequest& q, std::string_view title);

} // namespace mv
