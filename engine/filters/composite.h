// Composite: combines the base picture with an overlay (a second picture aligned to it by
// point pairs, or a single colour) by one of ten per-channel operations, weighted by the
// overlay amount and finally by the window's amount. Alignment points are given in pixels
// with y counted from the top of each picture as it is shown.
#pragma once

#include "core/util.h"
#include "filters/alignment.h"
#include "transform/amount.h"
#include "transform/region.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum CompositeOperation : int {
    kCompBlend = 0, kCompLighten, kCompDarken, kCompFilter, kCompSubtractiveFilter,
    kCompNegative, kCompAdd, kCompSubtract, kCompDifference, kCompRegister,
};

inline constexpr const char kCompositeOperationList[] =
    "Operation:\0Blend\0Lighten\0Darken\0Filter\0Subtractive Filter\0Negative\0Add\0"
    "Subtract\0Absolute Difference\0Register\0\1";

struct CompositeSettings {
    AmountBlock amount;             // the final blend with the base
    int operation = kCompBlend;
    int alignment = kAlignNone;
    int point_count = 0;
    int red = 255, green = 255, blue = 255; // the overlay colour without an overlay picture
    PointF base_points[kAlignMaxPoints];
    PointF overlay_points[kAlignMaxPoints];
    const Image* overlay = nullptr; // the overlay picture, or none
    AmountBlock overlay_amount;     // its mask belongs to the overlay
};

// Default points: 1-4 at the corners (0,0), (w-1,0), (0,h-1), (w-1,h-1), the rest at the
// centre.
void composite_default_points(PointF* points, int width, int height);
// Settings for a base picture: defaults, the overlay amount labelled "Overlay Amount: ".
void composite_init(CompositeSettings& st, int base_width, int base_height);
// Chooses an overlay picture (or none) and resets its points.
void composite_set_overlay(CompositeSettings& st, const Image* overlay);
void composite_set_alignment(CompositeSettings& st, int alignment);

// The output type for a base type and the overlay (picture or colour), on Apply.
int composite_output_type(int base_type, const CompositeSettings& st);

// One resampled overlay row: samples (in the overlay's own sample size and channels),
// coverage 0..255 and the covered span (first > last when none).
struct OverlayRow {
    std::vector<int> values;
    std::vector<std::uint8_t> coverage;
    int first = 0, last = -1;
};

// Samples `overlay` through `map` (in stored-row coordinates) for base row `row`, columns
// x0 + j*s, j < W. When the map is the identity and `same_size` holds, the row is read as it
// is. Otherwise positions are bilinear with 8-bit weights and the overlay's border is
// antialiased through the coverage. Binary overlays read as 0/255. Result 1 when the row
// buffers cannot be allocated.
int overlay_sample_row(const Image& overlay, const AlignmentMap& map, bool same_size, int row,
                       int x0, int s, int W, OverlayRow& out);

// The map in stored-row coordinates from the settings' points. Result 0 or 61.
int composite_map(const CompositeSettings& st, int base_height, AlignmentMap& map);

// The region function. Errors: 14, 61, 1, 11.
int composite_region(const RegionRequest& q, void* settings);

// "Refine": moves the overlay points to the best match around each base point in three
// passes (steps 1, 1/3, 1/9 overlay pixels). Shows "No alignment points to adjust" or "No
// overlay image to align" when it cannot run (result 0), warns "Unable to refine alignment
// point %s" when the first pass ends on the border of the search square. Result 0, 11 when
// cancelled (the points moved so far stay), or an error of the composite.
int composite_refine(CompositeSettings& st, const Image& base);

// Point pairs as text: "x,y,u,v" per pair (base point, then its overlay partner, in pixels
// from the top-left), pairs separated by ';', at most 61. Numbers are written in their
// shortest exact form, so a text read back gives the same doubles.
std::string composite_points_text(const PointF* base, const PointF* overlay, int count);
// Reads such a text into the first `count` entries of both lists. False, with the reason in
// `message`, for anything else.
bool composite_parse_points(std::string_view text, PointF* base, PointF* overlay, int& count,
                            std::string& message);

} // namespace mv
