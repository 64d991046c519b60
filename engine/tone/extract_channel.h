// "Extract Channel": a gray picture of one channel of a colour picture: luminance, red,
// green, blue, or a component of HSV or HSL. 48-bit colour gives 16-bit gray on Apply.
#pragma once

#include "transform/region.h"

namespace mv {

inline constexpr int kExtractChannelKind = 10;
inline constexpr int kExtractChannelId = 100;
// Accepted input types as a bit set: colour and 48-bit colour.
inline constexpr int kExtractChannelInputTypes = 136;
// The popup's packed list; "-" items are disabled separators that count as indices.
inline constexpr char kExtractChannelItems[] =
    "Channel:\0Luminance\0-\0Red\0Green\0Blue\0-\0HSV Hue\0HSV Saturation\0HSV Value\0-\0"
    "HSL Hue\0HSL Saturation\0HSL Lightness\0\1";

enum ExtractChannel : int {
    kChannelLuminance = 0,
    kChannelRed = 2,
    kChannelGreen = 3,
    kChannelBlue = 4,
    kChannelHsvHue = 6,
    kChannelHsvSaturation = 7,
    kChannelHsvValue = 8,
    kChannelHslHue = 10,
    kChannelHslSaturation = 11,
    kChannelHslLightness = 12,
};

struct ExtractChannelSettings {
    int channel = kChannelLuminance;
};

// True for the indices of real channels (not separators, not out of range).
bool extract_channel_valid(int channel);

// One pixel's channel value, 8-bit components giving 0..255.
int extract_channel8(int channel, int r, int g, int b);
// The same for 16-bit components, 0..65535 (hues unscaled).
int extract_channel16(int channel, int r, int g, int b);

// The region function: error 14 for an input that is not colour or 48-bit colour, or a
// channel index that names no channel.
int extract_channel_region(const RegionRequest& q, void* settings);

} // namespace mv
