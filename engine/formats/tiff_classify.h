// Decides from a TIFF file's header and first directory whether the program's own reader
// can read it.
#pragma once

#include <string>

namespace mv {

// 1 when the own reader can read the file; 0 when it cannot (bad signature or version, an
// unreadable directory, or an entry it refuses), so the imaging library should try; 2 when
// it refuses an entry after having seen 16 bits per sample, so nobody should try.
int tiff_classify(const std::string& path);

} // namespace mv
