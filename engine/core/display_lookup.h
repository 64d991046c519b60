// The three 256-entry display lookup tables through which every value shown on the screen
// passes, one per colour channel. They are the identity until a monitor calibration installs
// its own; the display image build and the preview row writer both read them.
#pragma once

#include <cstdint>

namespace mv {

struct DisplayLookup {
    std::uint8_t blue[256], green[256], red[256];
};

const DisplayLookup& display_lookup();
void set_display_lookup(const DisplayLookup& tables);
void reset_display_lookup();

} // namespace mv
