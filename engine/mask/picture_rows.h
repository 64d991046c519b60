// Picture rows at 8 bits for the mask operations that look at the picture: gray values of
// binary and gray pictures, blue-green-red triples of colour pictures, 16-bit samples reduced.
#pragma once

#include "core/image.h"

#include <cstdint>

namespace mv {

// True for binary, gray and 16-bit gray pictures, whose pixels are single levels.
inline bool picture_is_gray(int type)
{
    return type == IMAGE_BINARY || type == IMAGE_GRAY || type == IMAGE_GRAY16;
}

// Row y of a binary, gray or 16-bit gray picture as levels 0..255 (binary: 0 or 255).
void picture_gray_row(const Image& picture, int y, std::uint8_t* out);

// Row y of a colour or 48-bit colour picture as 8-bit blue, green, red triples.
void picture_color_row(const Image& picture, int y, std::uint8_t* out);

} // namespace mv
