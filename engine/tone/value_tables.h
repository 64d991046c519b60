// Fixed conversion tables between the 8-bit, 16-bit and 12-bit scales, and luminance.
#pragma once

#include <cstdint>

namespace mv {

struct ValueTables {
    std::uint16_t widen8[256];     // v * 257
    std::uint8_t narrow16[65536];  // (v * 255 + 32767) / 65535
    std::uint16_t to12[256];       // v * 4096 / 255
    std::uint8_t from12[4097];     // x * 255 / 4096
};

// The tables, built on first use and shared by the whole program.
const ValueTables& value_tables();

inline int widen8(int v) { return value_tables().widen8[v]; }
inline int narrow16(int v) { return value_tables().narrow16[v]; }
inline int to12(int v) { return value_tables().to12[v]; }
inline int from12(int x) { return value_tables().from12[x]; }

// (306 r + 601 g + 117 b) >> 10, for 8-bit and 16-bit components alike.
inline int luminance(int r, int g, int b) { return (306 * r + 601 * g + 117 * b) >> 10; }

} // namespace mv
