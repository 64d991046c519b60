// "Combine Channels": builds a colour picture from three gray pictures (or solid colours)
// read as the channels of RGB, HSV, HSL or CMY. 16-bit gray sources give 48-bit colour on
// Apply.
#pragma once

#include "core/image.h"
#include "transform/region.h"

#include <cstdint>

namespace mv {

inline constexpr int kCombineChannelsKind = 49;
inline constexpr int kCombineSpaceId = 100;
inline constexpr int kCombineSourceIds[3] = {101, 102, 103};
// Accepted source types as a bit set: gray and 16-bit gray.
inline constexpr int kCombineSourceTypes = 68;
inline constexpr int kImagesNotSameType = 77;
inline constexpr char kCombineSpaceItems[] = "Color Space:\0RGB\0HSV\0HSL\0CMY\0\1";

enum CombineSpace : int { kCombineRgb = 0, kCombineHsv = 1, kCombineHsl = 2, kCombineCmy = 3 };

// One channel's source: a gray picture, or (without one) a solid colour whose red component
// is the channel's constant value.
struct CombineSource {
    const Image* image = nullptr;
    std::uint8_t red = 255, green = 255, blue = 255;
};

struct CombineChannelsSettings {
    int space = kCombineRgb;
    CombineSource sources[3];
};

// The type the chosen pictures share: 2 or 6; error 77 when none is chosen or their types
// differ, 14 when a picture is neither gray nor 16-bit gray.
int combine_source_type(const CombineChannelsSettings& s, int& type);

// One pixel from channel values c1, c2, c3; results red, green, blue.
void combine_pixel8(int space, int c1, int c2, int c3, int& r, int& g, int& b);
void combine_pixel16(int space, int c1, int c2, int c3, int& r, int& g, int& b);

// The region function. The request's input gives only the size and resolution; the pixels
// come from the sources, read at the same positions. Sources of another size than the input
// give error 77 too; a colour space outside 0..3 gives 14.
int combine_channels_region(const RegionRequest& q, void* settings);

} // namespace mv
