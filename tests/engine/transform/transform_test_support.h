// Small pictures for the transformation framework tests.
#pragma once

#include "core/image.h"
#include "core/util.h"

#include <cstdint>
#include <functional>

namespace mv::transform_test {

// A picture whose sample s of pixel (x, y) is f(x, y, s); binary pictures set the bit when f
// is odd. 16-bit types store f as it is.
inline Image make_image(int type, int w, int h, const std::function<int(int, int, int)>& f)
{
    Image img;
    image_alloc(img, type, w, h, 72.0);
    const int samples = type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = img.row(y);
        for (int x = 0; x < w; ++x)
            for (int s = 0; s < samples; ++s) {
                const int v = f(x, y, s);
                if (type == IMAGE_BINARY)
                    bit_put(row, x, v & 1);
                else if (type == IMAGE_GRAY16 || type == IMAGE_COLOR48)
                    img.row16(y)[x * samples + s] = std::uint16_t(v);
                else
                    row[x * samples + s] = std::uint8_t(v);
            }
    }
    return img;
}

// Sample s of pixel (x, y), whatever the type (binary as 0/1).
inline int sample_at(const Image& img, int x, int y, int s = 0)
{
    const int samples = img.type == IMAGE_COLOR || img.type == IMAGE_COLOR48 ? 3 : 1;
    switch (img.type) {
    case IMAGE_BINARY: return bit_test(img.row(y), x) ? 1 : 0;
    case IMAGE_GRAY16:
    case IMAGE_COLOR48: return img.row16(y)[x * samples + s];
    default: return img.row(y)[x * samples + s];
    }
}

} // namespace mv::transform_test
