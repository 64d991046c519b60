// Writes a gray Image as a FITS file: one 2880-byte header block and the rows, top row
// first, as 8-bit bytes or big-endian 16-bit samples.
#pragma once

#include "core/image.h"

#include <string>

namespace mv {

// Creates the file and writes `img` (IMAGE_GRAY or IMAGE_GRAY16; any other type gives 46)
// under the cancellable "FITS Write" progress window. 16-bit samples are written as they
// are, 0..65535, without BZERO. A failed header write gives 85, a failed row write 6,
// Cancel 11 (the file keeps what was written so far).
int fits_write(const std::string& path, const Image& img);

} // namespace mv
