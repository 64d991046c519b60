// Small shared helpers: rounding, clamping, bits of binary rows, case-blind strings,
// string lists, the date and time as numbers, the program's random generator and
// segment clipping.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

// Rounds to the nearest integer, halves away from zero.
long long round_nearest(double x);

inline int clamp_byte(long long v) { return v < 0 ? 0 : v > 255 ? 255 : int(v); }
inline int clamp_word(long long v) { return v < 0 ? 0 : v > 65535 ? 65535 : int(v); }

// Pixel x of a binary row: bit 0x80 >> (x mod 8) of byte x / 8; a set bit is white.
inline constexpr std::uint8_t kBitMask[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
inline bool bit_test(const std::uint8_t* row, int x) { return row[x >> 3] & kBitMask[x & 7]; }
inline void bit_set(std::uint8_t* row, int x) { row[x >> 3] |= kBitMask[x & 7]; }
inline void bit_clear(std::uint8_t* row, int x) { row[x >> 3] &= std::uint8_t(~kBitMask[x & 7]); }
inline void bit_toggle(std::uint8_t* row, int x) { row[x >> 3] ^= kBitMask[x & 7]; }
inline void bit_put(std::uint8_t* row, int x, bool white)
{
    white ? bit_set(row, x) : bit_clear(row, x);
}

bool str_equal_nocase(std::string_view a, std::string_view b);

// `ext` includes its point (".tif"). False when `name` is longer than `ext` and ends with
// it ignoring case; true otherwise.
bool extension_differs(std::string_view name, std::string_view ext);

// A list is a run of zero-terminated strings closed by a byte of value 1.
int list_count(const char* list);
std::string_view list_item(const char* list, int n);
// A multi-string is a run of zero-terminated strings closed by an empty string.
int multi_count(const char* list);
const char* multi_skip(const char* list, int n);

// Local date as year*10000 + month*100 + day, and time as hour*10000 + minute*100 + second.
int today_number();
int time_number();

// Park-Miller generator (multiplier 41358 modulo 2^31 - 1, Schrage's method), seeded with
// 1234567 when the program starts.
std::int32_t random_next();
double random_unit();
void random_reset(std::int32_t seed = 1234567);

struct PointF {
    double x = 0, y = 0;
};

// Clips the segment p1-p2 to the closed rectangle; false when both ends lie beyond the same
// edge. Ends beyond an edge move onto it along the segment, edges taken left, right,
// bottom, top.
bool clip_segment(PointF p1, PointF p2, double left, double bottom, double right, double top,
                  PointF& out1, PointF& out2);

} // namespace mv
