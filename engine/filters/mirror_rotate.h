// Mirror/Rotate: the eight right-angle orientations of a picture. Pixels move unchanged
// (bits for binary); the resolution is kept. Orientations that swap width and height move
// 64 x 64 tiles so that reads and writes stay local.
#pragma once

#include "core/image.h"
#include "transform/region.h"

namespace mv {

enum Orientation : int {
    kOrientCopy = 200,          // (x, y)
    kOrientRotateCcw = 201,     // (y, w-1-x), h x w
    kOrientRotate180 = 202,     // (w-1-x, h-1-y)
    kOrientRotateCw = 203,      // (h-1-y, x), h x w
    kOrientMirror = 204,        // (w-1-x, y)
    kOrientAntiDiagonal = 205,  // (h-1-y, w-1-x), h x w
    kOrientFlip = 206,          // (x, h-1-y)
    kOrientDiagonal = 207,      // (y, x), h x w
};

inline constexpr int kOrientFirst = 200;
inline constexpr int kOrientLast = 207;
inline constexpr int kOrientTile = 64;

// True for the orientations whose output is h x w.
bool orientation_swaps(int selection);

// The progress title: "Copy", "Rotate", "Reflect" or "Rotate CW".
const char* orientation_title(int selection);

// Where input pixel (x, y) of a w x h picture lands, both counted from the top-left as the
// picture is shown (the operations convert to stored rows, which run from the bottom).
void orientation_map(int selection, int w, int h, int x, int y, int& out_x, int& out_y);

// Writes the orientation `selection` (200..207) of `input` into `output`, allocated here.
// With `show_progress` a window is shown from 10000 pixels on, one update per output row (or
// per kOrientTile output rows for the swapping orientations). Errors: 14 for a type that is not a picture or a
// selection outside 200..207, 1, 11 (output freed).
int orientation_apply(int selection, const Image& input, Image& output, bool show_progress);

// The eight thumbnails of the window: thumbs[0] is the input reduced to fit 128 x 128
// (nearest pixel, type kept), thumbs[i] its orientation 200 + i. Errors 1 or 14.
int orientation_thumbnails(const Image& input, Image thumbs[8]);

// The orientation that undoes `selection` (90 degrees one way undoes the other; every other
// orientation undoes itself).
int orientation_inverse(int selection);

struct OrientationSettings {
    int selection = kOrientCopy;
};

// Allocates the output of an orientation of `input` (its type and resolution, width and height
// swapped when the orientation swaps them) for an Apply computed in bands of output rows.
// Errors: 14, 1.
int orientation_prepare_output(const OrientationSettings& settings, const Image& input,
                               Image& output);

// The region function: the region is in output pixels, and each of its pixels is fetched
// from the input through the inverse orientation, so a preview moves only what it shows.
// Apply of the whole output runs orientation_apply; on Apply, a band of whole output rows of
// an output allocated by orientation_prepare_output is computed straight into it (such calls
// share nothing, so bands can run at the same time). Errors: 14, 1, 11.
int orientation_region(const RegionRequest& q, void* settings);

} // namespace mv
