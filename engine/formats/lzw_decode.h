// Decoder of one LZW-compressed TIFF strip (codes of 9 to 12 bits, most significant bit
// first, Clear 256, End of Information 257, code width growing one code early).
#pragma once

#include <cstddef>
#include <cstdint>

namespace mv {

// Decodes `src` into `dst`. Decoding ends with success at End of Information, when the
// input is used up or when `dst` is full; bytes of `dst` not reached are left as they are.
// Returns 0, 56 for a corrupt stream (no leading Clear, a code not yet defined, a table
// grown past 4097 entries, the old reversed-bit variant) or 1 when the table cannot be
// allocated.
int lzw_decode(const std::uint8_t* src, std::size_t src_length, std::uint8_t* dst,
               std::size_t dst_length);

} // namespace mv
