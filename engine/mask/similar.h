// Similar: selects pixels whose colour lies within ranges on each channel of a colour space,
// with linear shoulders, and merges the membership into the mask with the combine mode.
#pragma once

#include "mask_rows.h"

#include <cstdint>
#include <vector>

namespace mv {

// Colour spaces of Similar. Gray pictures always use V (the gray value).
enum SimilarSpace : int { SIMILAR_HSV = 0, SIMILAR_HSL = 1, SIMILAR_RGB = 2, SIMILAR_V = 3 };

// Four limits of one channel: outer low a, inner low b, inner high c, outer high e. With
// b <= c the channel selects b..c fully; with b > c (a range wrapping round the hue scale)
// it selects x >= b and x <= c.
struct SimilarLimits {
    std::int32_t outer_low = 0, inner_low = 0, inner_high = 0, outer_high = 0;
};

// The space and the limits of its channels: hue, saturation, value (HSV); hue, saturation,
// lightness (HSL); red, green, blue (RGB); the gray value alone (V, channel 0).
struct SimilarSettings {
    std::int32_t space = SIMILAR_HSV;
    SimilarLimits channel[3];
};

// The largest level of a space's channels: 4096 for HSV and HSL (the 12-bit scale), 255 for
// RGB and V.
int similar_domain(int space);

// A control's value as a limit: HSV and HSL controls hold quarter values (x 4); RGB and V
// controls run 0..1024 (x 255 div 1024).
int similar_limit_from_control(int space, int control);
// The control position that shows a limit: the smallest control giving that limit (HSV and
// HSL: limit div 4; RGB and V: limit * 1024 / 255 rounded up), held within 0..1024.
int similar_control_from_limit(int space, int limit);

// The membership of every level 0..domain (table of domain + 1 entries). Limits are first
// held within 0..domain. With b <= c: 255 on b..c; rising from 0 at lo = min(a, b) to 255 at
// b as (x - lo) * 255 div (b - lo); falling from 255 at c to 0 at hi = max(c, e) as
// (hi - x) * 255 div (hi - c); 0 elsewhere. With b > c: 255 on x >= b and x <= c; in the gap
// between them a fall from 255 at c to 0 at e and a rise from 0 at a to 255 at b, a and e
// held within the gap, the larger of the two where they meet.
void similar_table(const SimilarLimits& limits, int domain, std::uint8_t* table);

// Centres the inner limits of each channel on the picked colour (8-bit red, green, blue; a
// gray pick gives equal components): the inner range becomes the level +- domain / 32 and
// the outer limits keep their distance from the inner ones. Hue ranges wrap round the hue
// scale (a pick near red gives b > c); other channels are held within 0..domain.
void similar_pick(SimilarSettings& s, int red, int green, int blue);

// Computes the membership of every pixel of `picture` (the mask's size; 16-bit samples are
// reduced to 8 bits first; gray and binary pictures use V on channel 0, colour pictures the
// chosen space with the minimum of the three channel memberships) and merges it with the
// combine mode, skipping rows the mode cannot change. Cancellable progress window "Range"
// from 10000 pixels on (11 on cancel, the mask then partly changed). 14 for a picture of
// another type or size, 1 when out of memory.
int mask_similar(MaskRows& m, const Image& picture, const SimilarSettings& s, int mode);

} // namespace mv
