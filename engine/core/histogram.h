// Histograms of a picture's levels, shown by the curve, levels, colour balance and mask
// windows. Large pictures are sampled: the column and row steps grow, alternately, until
// width * height / (column step * row step) no longer exceeds the sample limit (callers
// pass 500000). Every member clears its records, counts, sets each record's largest count,
// and shows a progress window titled "Histogram" that cannot be cancelled. 48-bit colour
// and 16-bit gray are reduced to 8 bits first except by the 16-bit members. A source of
// another type gives 14 and leaves the records untouched.
#pragma once

#include "image.h"

#include <cstdint>

namespace mv {

inline constexpr long long kHistogramSampleLimit = 500000;

// The layout of the histogram pseudo-image: the largest count, then the counts of levels
// 0..255.
struct HistogramRecord {
    std::uint32_t largest;
    std::uint32_t counts[256];
};

// The 16-bit form: the largest count, then the counts of levels 0..65535.
struct HistogramRecord16 {
    std::uint32_t largest;
    std::uint32_t counts[65536];
};

// Stores a record as a histogram pseudo-image (type 5): 257 counts in one row. Result 1
// when the row cannot be allocated.
int histogram_store(const HistogramRecord& h, Image& img);

// The column and row steps that bring width * height down to `limit` samples.
struct HistogramSteps {
    int sx = 1;
    int sy = 1;
};
HistogramSteps histogram_steps(long long width, long long height, long long limit);

// Binary: a clear bit counts as level 0, a set bit as 255.
int histogram_binary(const Image& img, HistogramRecord& h, long long limit);
// 8-bit or 16-bit gray, as 8-bit levels.
int histogram_gray(const Image& img, HistogramRecord& h, long long limit);
// 16-bit gray, 65536 levels.
int histogram_gray16(const Image& img, HistogramRecord16& h, long long limit);

// Colour and 48-bit colour members.
int histogram_rgb(const Image& img, HistogramRecord& red, HistogramRecord& green,
                  HistogramRecord& blue, long long limit);
// (red + green + blue) / 3.
int histogram_average(const Image& img, HistogramRecord& h, long long limit);
// (306 red + 601 green + 117 blue) >> 10.
int histogram_luminance(const Image& img, HistogramRecord& h, long long limit);
// The 12-bit HSV (or HSL) components, each c counted at level (c * 255 + 2048) / 4096.
int histogram_hsv(const Image& img, HistogramRecord& hue, HistogramRecord& saturation,
                  HistogramRecord& value, long long limit);
int histogram_hsl(const Image& img, HistogramRecord& hue, HistogramRecord& saturation,
                  HistogramRecord& lightness, long long limit);
// The largest component.
int histogram_value(const Image& img, HistogramRecord& h, long long limit);
// The largest 16-bit component of 48-bit colour, 65536 levels.
int histogram_value16(const Image& img, HistogramRecord16& h, long long limit);
// (max - min) * 255 / max.
int histogram_saturation_hsv(const Image& img, HistogramRecord& h, long long limit);
// (min + max) / 2.
int histogram_lightness(const Image& img, HistogramRecord& h, long long limit);
// (min + max) / 2 of 48-bit colour, 65536 levels.
int histogram_lightness16(const Image& img, HistogramRecord16& h, long long limit);
// The lightness-based saturation.
int histogram_saturation_hsl(const Image& img, HistogramRecord& h, long long limit);

} // namespace mv
