// The overview file of a saved slide show (".ss"): keyword lines "SlideShow 1.0",
// "nslides N", "duration D", per slide "caption I \"TEXT\" loop|single SECONDS", an optional
// "description I LENGTH" followed by LENGTH bytes of text and "palette I 768" followed by
// the 768 palette bytes, then "end". Lines end with carriage return and line feed. A double
// quote inside a caption is written as the byte 17 and turned back on reading.
#pragma once

#include "slide_show.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mv {

inline constexpr char kCaptionQuoteByte = 17;

struct OverviewSlide {
    std::string caption;
    std::string description;
    bool loop = false;
    int duration = 0;
    std::array<std::uint8_t, kPaletteBytes> palette{};
};

struct Overview {
    int duration = kShowDurationDefault;
    std::vector<OverviewSlide> slides;
};

// The overview of a show's slides (captions, descriptions, loops, durations, palettes).
Overview slideshow_overview(const SlideShow& show);

// Writes the overview file under the cancellable progress window "Writing Overview File"
// (one step per slide). A write failure shows "Error saving slide show (disk full?)" and
// returns kSlideShowShown; cancel 11; a file that cannot be created 3 or 37. A failed or
// cancelled write deletes the partial file.
int overview_write(const std::string& path, const Overview& overview);

// Reads an overview file. The first line must be the two tokens "SlideShow" and 1.0 and the
// file must reach "end"; otherwise "Illegal overview file" is shown and kSlideShowShown
// returned (also for an index outside 0..499 or counted bytes running past the end of the
// file). The slide count is the larger of "nslides" and the highest index named + 1.
// Unknown lines are ignored. 4 when the file cannot be opened.
int overview_read(const std::string& path, Overview& overview);

} // namespace mv
