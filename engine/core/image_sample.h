// Sampling a picture at fractional coordinates: x along the row, y the row index, both in
// pixel units. Points outside 0 <= x <= width - 1, 0 <= y <= height - 1 (and images of the
// wrong type) give 0 in every channel.
//
// Gray and colour samples are bilinear with 8-bit weights: fx and fy are the fractions of
// x and y in 256ths, truncated. On the last column or row the cell steps back one pixel
// with weight 255, so (width - 1, y) still interpolates along y. An image only one pixel
// wide (or high) has no neighbour on that axis: it is sampled along the other axis only.
#pragma once

#include "image.h"

namespace mv {

// The bit at (round(x), round(y)), halves away from zero: 0 or 1.
int image_sample_binary(const Image& img, double x, double y);

int image_sample_gray(const Image& img, double x, double y);
int image_sample_gray16(const Image& img, double x, double y);

void image_sample_color(const Image& img, double x, double y, int& red, int& green, int& blue);
void image_sample_color48(const Image& img, double x, double y, int& red, int& green,
                          int& blue);

} // namespace mv
