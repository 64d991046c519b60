// What the About box and `morvane-batch --version` tell about this build: the program's
// version, the day it was built, and each library it uses with that library's version.
#pragma once

#include <string>
#include <vector>

namespace mv {

struct LibraryVersion {
    std::string name;    // "libpng"
    std::string version; // "1.6.39"
    std::string use;     // what the program uses it for
};

const char* program_version(); // "2.5"
const char* build_date();      // "2026-12-06", the day the build was configured
const char* program_licence(); // SPDX identifier, "GPL-3.0-or-later"

// The libraries of the engine: those linked report the version they run with, those opened
// on first use (GraphicsMagick, FFmpeg) the version the program was built against.
std::vector<LibraryVersion> library_versions();

} // namespace mv
