// The shared 256 x 256 product table P[i][j] = (i*j + 127) / 255 and the blends built on it.
#pragma once

#include <cstdint>

namespace mv {

// Builds the table once (later calls do nothing). Result 1 when it cannot be allocated.
int product_table_build();
// Row i of the table; valid after product_table_build().
const std::uint8_t* product_row(int i);
inline std::uint8_t product(int i, int j) { return product_row(i)[j]; }

// Moves a towards b by w/255 through the product table (8-bit values).
inline int mix8(int a, int b, int w)
{
    return b >= a ? a + product(b - a, w) : a - product(a - b, w);
}

// The same for 16-bit values: a + (b - a) * w / 255, the division truncating toward zero.
inline int mix16(int a, int b, int w)
{
    return a + ((b - a) * w) / 255;
}

} // namespace mv
