// Apply as bands of output rows on every core, for the region functions that compute any
// band of whole output rows from the input alone and write nothing into their settings
// record: the result has the same bits as one call over the whole picture. The batch tool's
// operations and the editor's Apply both run through here.
#pragma once

#include "transform/region.h"

namespace mv {

// True when the whole-picture request `q` (output size set) can run as bands: a region
// function known to be band-safe, a picture input, more than one thread.
bool region_runs_in_bands(RegionFunction fn, const RegionRequest& q);

// Allocates the output by the operation's own rule for its type and size, then computes it
// as bands under the progress window titled q.title (Cancel stops every band). The output
// is freed on failure. Returns 0, 1, 11 or the region function's code.
int region_apply_in_bands(RegionFunction fn, const RegionRequest& q, void* settings);

} // namespace mv
