// Crop: a rectangle of the picture, free or held to a print proportion. The rectangle's
// corners are inclusive input pixels, not necessarily ordered, with y counted from the top
// of the picture as it is shown (the region function turns it into stored rows, which run
// from the bottom).
#pragma once

#include "transform/region.h"

#include <string>

namespace mv {

enum CropMode : int { kCropArbitrary = 0, kCropCustom = 1, kCropFirstFixed = 2, kCropLastFixed = 20 };
enum CropOrientation : int { kCropPortrait = 0, kCropLandscape = 1 };

struct CropSettings {
    int mode = kCropArbitrary;
    int orientation = kCropPortrait;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double a = 1.0, b = 1.0; // width and height of the proportion
};

// Which handle the user dragged: the centre, or the corner made of one stored x (x1 or x2)
// and one stored y; the opposite corner stays put.
struct CropHandle {
    bool centre = true;
    bool moved_x1 = false; // the dragged corner's x is x1 (else x2)
    bool moved_y1 = false; // the dragged corner's y is y1 (else y2)
};

// The "Proportions:" list text of a mode (2..20) and its short and long sides.
const char* crop_proportion_text(int mode);
bool crop_fixed_sides(int mode, double& short_side, double& long_side);

// Sets (a, b) for a fixed mode and orientation ("Portrait": short by long).
void crop_set_fixed(CropSettings& st, int mode, int orientation);

// The rectangle's width and height.
int crop_width(const CropSettings& st);
int crop_height(const CropSettings& st);

// Holds the proportion a / b after a drag: keeps the diagonal, then puts the rectangle back
// inside the width x height picture.
void crop_fit(CropSettings& st, const CropHandle& handle, int width, int height);

// A fixed proportion or orientation chosen: (a, b) from the table, the rectangle reset to
// the whole picture and fitted centred.
void crop_choose(CropSettings& st, int mode, int orientation, int width, int height);

// Left, right, top and bottom margins.
void crop_margins(const CropSettings& st, int width, int height, int m[4]);

// The "Size:" text of a length in pixels: "%d" for pixels, "%2f" for physical units, and
// percent of the picture's `extent` for "%".
std::string crop_size_text(int pixels, int extent, double dpi, int unit);

// The region function: the output is the rectangle, pixels copied (binary output bits set
// for source bytes of 128 or more; 16-bit narrowed in the preview). Progress "Crop".
int crop_region(const RegionRequest& q, void* settings);

} // namespace mv
