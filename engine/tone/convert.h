// "Convert": changes the pixel type of a picture (binary, gray, colour; 16-bit pictures to
// 8 bits). Binary targets are set where the gray value is 128 or more; colour becomes gray
// through the luminance weights; 16-bit values narrow through the 16-to-8-bit table.
#pragma once

#include "transform/region.h"

namespace mv {

inline constexpr int kConvertKind = 61;
inline constexpr int kConvertInputId = 102;
inline constexpr int kConvertTargetId = 101;
// Accepted input types as a bit set (bit t for type t): binary, gray, colour, 16-bit gray,
// 48-bit colour.
inline constexpr int kConvertInputTypes = 206;
// The popup's packed list: label, items, closing byte 1.
inline constexpr char kConvertTargetItems[] = "Convert To:\0Binary\0Black and White\0Color\0\1";

struct ConvertSettings {
    // 0 binary, 1 gray, 2 colour, 3 16-bit gray, 4 48-bit colour; starts as the source's own.
    int target = 1;
};

// The index of a picture type (0..4), -1 for types Convert does not take.
int convert_source_index(int type);
// "Convert from: Binary", "Convert from: Black and White", "Convert from: Color",
// "Convert from: 16-bit Black and White", "Convert from: 48-bit Color"; empty for others.
const char* convert_source_label(int type);
// Settings for a new source: the target is the source's own index.
void convert_reset(ConvertSettings& s, int source_type);
// The type produced for a target index: 16-bit targets give 8 bits in the preview.
// 0 for an index outside 0..4.
int convert_target_type(int target, bool full);

// The region function. Error 14 for an input type outside the list or a 16-bit target the
// source cannot reach.
int convert_region(const RegionRequest& q, void* settings);

} // namespace mv
