#include "picture_rows.h"

#include "core/util.h"
#include "tone/value_tables.h"

#include <cstring>

namespace mv {

void picture_gray_row(const Image& picture, int y, std::uint8_t* out)
{
    const int w = picture.width;
    switch (picture.type) {
    case IMAGE_BINARY: {
        const std::uint8_t* in = picture.row(y);
        for (int x = 0; x < w; ++x)
            out[x] = bit_test(in, x) ? 255 : 0;
        break;
    }
    case IMAGE_GRAY: std::memcpy(out, picture.row(y), w); break;
    case IMAGE_GRAY16: {
        const std::uint16_t* in = picture.row16(y);
        const std::uint8_t* narrow = value_tables().narrow16;
        for (int x = 0; x < w; ++x)
            out[x] = narrow[in[x]];
        break;
    }
    default: break;
    }
}

void picture_color_row(const Image& picture, int y, std::uint8_t* out)
{
    const int n = 3 * picture.width;
    if (picture.type == IMAGE_COLOR) {
        std::memcpy(out, picture.row(y), n);
    } else if (picture.type == IMAGE_COLOR48) {
        const std::uint16_t* in = picture.row16(y);
        const std::uint8_t* narrow = value_tables().narrow16;
        for (int i = 0; i < n; ++i)
            out[i] = narrow[in[i]];
    }
}

} // namespace mv
