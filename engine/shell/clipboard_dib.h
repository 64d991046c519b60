// The clipboard's picture format: a device-independent bitmap (a 40-byte information header,
// a palette for 1- and 8-bit pictures, then rows bottom first, each padded to 4 bytes).
// Copy builds the exact bytes from an Image; paste turns such a bitmap into an Image.
#pragma once

#include "core/image.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mv {

inline constexpr int kUnsupportedClipboardCompression = 70;
inline constexpr int kDibHeaderSize = 40;
inline constexpr int kDibPixelsPerMetre = 11811;
// A bitmap of this many bytes or more is refused with error 101.
inline constexpr long long kClipboardByteLimit = 16000000;

// Builds the bitmap of a binary (1 bit, palette black and white), gray (8 bits, palette of
// 256 grays) or colour (24 bits) Image; other types give 14. Each row is the Image's row
// bytes long; padding bytes and unused bits are zero. Header, palette and pixels reaching
// 16000000 bytes give 101. Runs the "Copy to Clipboard" progress for 10000 pixels or more
// (11 when cancelled). On any error `dib` is left empty.
int clipboard_dib_copy(const Image& img, std::vector<std::uint8_t>& dib);

// Reads a bitmap with a 40-byte header and no compression (otherwise 70) at 1, 4, 8, 16
// (5-5-5), 24 or 32 bits per pixel. A 1-bit bitmap with a black and white palette becomes a
// binary Image, one whose palette entries are all gray an 8-bit gray Image, any other a
// colour Image. Rows may be stored bottom first (positive height) or top first. Data that
// ends early gives 2. The Image gets `resolution`; runs the "Paste" progress for 10000
// pixels or more. `out` is replaced only on success.
int clipboard_dib_paste(std::span<const std::uint8_t> dib, double resolution, Image& out);

} // namespace mv
