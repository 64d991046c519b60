// The program's own TIFF writer: one uncompressed strip in Intel byte order, in a file of
// at least 1024 bytes.
#pragma once

#include "core/image.h"

#include <string>

namespace mv {

// Writes `img` (binary, gray, colour, 16-bit gray or 48-bit colour) under a cancellable
// "TIFF Write" progress. Returns 0; 14 for other types; 3 or 37 when the file cannot be
// created; 1 when memory runs out; 57 when the header or directory cannot be written (or the
// image is too big for a TIFF); 6 when a row cannot be written; 9 when the file cannot be
// closed; 11 when cancelled. A file that was not completely written is deleted.
int tiff_write(const std::string& path, const Image& img);

} // namespace mv
