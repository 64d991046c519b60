// Pixel helpers shared by the spatial filters: the working type of an input, sampled row
// loads in the working type, and storing working rows into 8-bit or 16-bit output rows.
#pragma once

#include "core/image.h"
#include "core/util.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mv {

// The type a filter computes in: binary becomes 8-bit gray, every other picture type stays.
inline int working_type(int type)
{
    return type == IMAGE_BINARY ? IMAGE_GRAY : type;
}

// The type a filter writes: the working type on Apply; in the preview 16-bit gray becomes
// 8-bit gray and 48-bit colour 24-bit colour.
inline int filter_output_type(int type, bool full)
{
    const int w = working_type(type);
    if (!full && w == IMAGE_GRAY16)
        return IMAGE_GRAY;
    if (!full && w == IMAGE_COLOR48)
        return IMAGE_COLOR;
    return w;
}

inline bool is_wide_type(int type)
{
    return type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
}

inline int channel_count(int type)
{
    return type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
}

// Loads W pixels of row `y` (held to the last row) at columns x0 + j*s (held to the last
// column) in the working type: T is std::uint8_t for binary, gray and colour, std::uint16_t
// for the 16-bit types; binary reads as 0/255.
template <class T, int C>
void load_sampled_row(const Image& img, int y, int x0, int s, int W, T* out)
{
    const std::uint8_t* row = img.row(std::clamp(y, 0, img.height - 1));
    const int last = img.width - 1;
    if (img.type == IMAGE_BINARY) {
        for (int j = 0; j < W; ++j)
            out[j] = T(bit_test(row, std::clamp(x0 + j * s, 0, last)) ? 255 : 0);
        return;
    }
    const T* src = reinterpret_cast<const T*>(row);
    for (int j = 0; j < W; ++j) {
        const T* p = src + size_t(std::clamp(x0 + j * s, 0, last)) * C;
        for (int c = 0; c < C; ++c)
            out[j * C + c] = p[c];
    }
}

// Stores W working pixels into an output row: unchanged when the output keeps the working
// sample size, narrowed 16 to 8 bits when a 16-bit working row goes to an 8-bit output.
template <class T, int C>
void store_row(const T* src, int W, bool narrow, std::uint8_t* dst)
{
    if constexpr (sizeof(T) == 2) {
        if (narrow) {
            const ValueTables& vt = value_tables();
            for (int i = 0; i < W * C; ++i)
                dst[i] = vt.narrow16[src[i]];
            return;
        }
    }
    std::memcpy(dst, src, size_t(W) * C * sizeof(T));
}

} // namespace mv
