#include "color_space.h"

#include "value_tables.h"

#include <algorithm>
#include <cstdint>

namespace mv {
namespace {

using i64 = long long;

// from12 for any value the arithmetic can produce, held to the table's range.
int from12_safe(i64 x)
{
    return from12(int(std::clamp<i64>(x, 0, 4096)));
}

// The hue of components in a scale where F stands for 1, with max, min and d = max - min
// (d > 0). The maximum is tested red first, then blue, then green, each with a tie-break on
// the minimum.
int hue(i64 r, i64 g, i64 b, i64 max, i64 min, i64 d, i64 F)
{
    if (max == r)
        return int(g != min ? (F - (max - g) * F / d) / 6 : ((max - b) * F / d + 5 * F) / 6);
    if (max != g)
        return int(r != min ? (5 * F - (max - r) * F / d) / 6 : ((max - g) * F / d + 3 * F) / 6);
    return int(b != min ? (3 * F - (max - b) * F / d) / 6 : ((max - r) * F / d + F) / 6);
}

// Places the three sector values: sector 0 (and 6, a full turn) is (a0, b0, c0)...
void by_sector(int sector, i64 v, i64 p, i64 q, i64 t, i64& r, i64& g, i64& b)
{
    switch (sector) {
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    case 5: r = v, g = p, b = q; break;
    default: r = v, g = t, b = p; break; // 0 and 6
    }
}

// The HSL sectors in terms of m1, m2 and the rising and falling values.
void hsl_by_sector(int sector, i64 m1, i64 m2, i64 up, i64 down, i64& r, i64& g, i64& b)
{
    switch (sector) {
    case 1: r = down, g = m2, b = m1; break;
    case 2: r = m1, g = m2, b = up; break;
    case 3: r = m1, g = down, b = m2; break;
    case 4: r = up, g = m1, b = m2; break;
    case 5: r = m2, g = m1, b = down; break;
    default: r = m2, g = up, b = m1; break; // 0 and 6
    }
}

// Components ordered by the fixed comparison rules of the saturation changes.
struct Roles {
    int* max;
    int* mid;
    int* min;
};

Roles roles(int& r, int& g, int& b)
{
    if (r < g) {
        if (b <= r)
            return {&g, &r, &b};
        if (g <= b)
            return {&b, &g, &r};
        return {&g, &b, &r};
    }
    if (r >= b)
        return b < g ? Roles{&r, &g, &b} : Roles{&r, &b, &g};
    return {&b, &r, &g};
}

// Moves the middle component so that it keeps its place between the new extremes.
int new_middle(int max, int mid, int min, int new_max, int new_min)
{
    return new_max - (new_max - new_min) * (max - mid) / (max - min);
}

} // namespace

int color_max(int r, int g, int b)
{
    return std::max({r, g, b});
}

int hsv_saturation8(int r, int g, int b)
{
    const int max = std::max({r, g, b}), min = std::min({r, g, b});
    return max == 0 ? 0 : (max - min) * 255 / max;
}

int hsv_saturation16(int r, int g, int b)
{
    const i64 max = std::max({r, g, b}), min = std::min({r, g, b});
    return max == 0 ? 0 : int((max - min) * 65535 / max);
}

int hsl_lightness(int r, int g, int b)
{
    return (std::min({r, g, b}) + std::max({r, g, b})) / 2;
}

int hsl_saturation8(int r, int g, int b)
{
    const int max = std::max({r, g, b}), min = std::min({r, g, b}), sum = max + min;
    if (sum == 0 || sum == 510)
        return 0;
    return (max - min) * 255 / (sum <= 255 ? sum : 510 - sum);
}

int hsl_saturation16(int r, int g, int b)
{
    const i64 max = std::max({r, g, b}), min = std::min({r, g, b}), sum = max + min;
    if (sum == 0 || sum == 131070)
        return 0;
    return int((max - min) * 65535 / (sum <= 65535 ? sum : 131070 - sum));
}

void rgb8_to_hsv12(int r8, int g8, int b8, int& h, int& s, int& v)
{
    const i64 r = to12(r8), g = to12(g8), b = to12(b8);
    const i64 max = std::max({r, g, b}), min = std::min({r, g, b}), d = max - min;
    v = int(max);
    if (max == 0 || d == 0) {
        h = s = 0;
        return;
    }
    s = int((d << 12) / max);
    h = hue(r, g, b, max, min, d, 4096);
}

void hsv12_to_rgb8(int h, int s, int v, int& r, int& g, int& b)
{
    if (v == 0) {
        r = g = b = 0;
        return;
    }
    if (s == 0) {
        r = g = b = from12_safe(v);
        return;
    }
    const i64 six = 6LL * h, f = six & 4095, V = v, S = s;
    const i64 p = V * (4096 - S) >> 12;
    const i64 q = V * (4096 - (S * f >> 12)) >> 12;
    const i64 t = V * (4096 - (S * (4096 - f) >> 12)) >> 12;
    i64 R, G, B;
    by_sector(int(six >> 12), V, p, q, t, R, G, B);
    r = from12_safe(R);
    g = from12_safe(G);
    b = from12_safe(B);
}

void rgb16_to_hsv16(int r, int g, int b, int& h, int& s, int& v)
{
    const i64 max = std::max({r, g, b}), min = std::min({r, g, b}), d = max - min;
    v = int(max);
    if (max == 0 || d == 0) {
        h = s = 0;
        return;
    }
    s = int(d * 65535 / max);
    h = hue(r, g, b, max, min, d, 65535);
}

void hsv16_to_rgb16(int h, int s, int v, int& r, int& g, int& b)
{
    if (v == 0) {
        r = g = b = 0;
        return;
    }
    if (s == 0) {
        r = g = b = v;
        return;
    }
    const i64 six = 6LL * h, f = six % 65535, V = v, S = s;
    const i64 p = V * (65535 - S) / 65535;
    const i64 q = V * (65535 - S * f / 65535) / 65535;
    const i64 t = V * (65535 - S * (65535 - f) / 65535) / 65535;
    i64 R, G, B;
    by_sector(int(six / 65535), V, p, q, t, R, G, B);
    r = int(R);
    g = int(G);
    b = int(B);
}

void rgb8_to_hsl12(int r8, int g8, int b8, int& h, int& s, int& l)
{
    const i64 r = to12(r8), g = to12(g8), b = to12(b8);
    const i64 max = std::max({r, g, b}), min = std::min({r, g, b}), d = max - min;
    l = int((min + max) >> 1);
    if (d == 0) {
        h = s = 0;
        return;
    }
    h = hue(r, g, b, max, min, d, 4096);
    s = int(l <= 2048 ? (d << 12) / (max + min) : (d << 12) / (8192 - max - min));
}

void hsl12_to_rgb8(int h, int s, int l, int& r, int& g, int& b)
{
    if (l <= 0) {
        r = g = b = 0;
        return;
    }
    if (l >= 4096) {
        r = g = b = 255;
        return;
    }
    if (s == 0) {
        r = g = b = from12_safe(l);
        return;
    }
    const i64 L = l, S = s;
    const i64 m2 = L > 2048 ? L + S - (L * S >> 12) : L * (S + 4096) >> 12;
    if (m2 == 0) {
        r = g = b = 0;
        return;
    }
    const i64 m1 = 2 * L - m2, six = 6LL * h, f = six & 4095;
    const i64 x = (m2 - L) * 2 * f >> 12;
    i64 R, G, B;
    hsl_by_sector(int(six >> 12), m1, m2, m1 + x, m2 - x, R, G, B);
    r = from12_safe(R);
    g = from12_safe(G);
    b = from12_safe(B);
}

void rgb16_to_hsl16(int r, int g, int b, int& h, int& s, int& l)
{
    const i64 max = std::max({r, g, b}), min = std::min({r, g, b}), d = max - min;
    l = int((min + max) >> 1);
    if (d == 0) {
        h = s = 0;
        return;
    }
    h = hue(r, g, b, max, min, d, 65535);
    s = int(l <= 32767 ? d * 65535 / (max + min) : d * 65535 / (131070 - max - min));
}

void hsl16_to_rgb16(int h, int s, int l, int& r, int& g, int& b)
{
    if (l <= 0) {
        r = g = b = 0;
        return;
    }
    if (l >= 65535) {
        r = g = b = 65535;
        return;
    }
    if (s == 0) {
        r = g = b = l;
        return;
    }
    const i64 L = l, S = s;
    const i64 m2 = L < 32768 ? (S + 65535) * L / 65535 : L + S - L * S / 65535;
    if (m2 == 0) {
        r = g = b = 0;
        return;
    }
    const i64 m1 = 2 * L - m2, six = 6LL * h, f = six % 65535;
    const i64 x = (m2 - m1) * f / 65535;
    i64 R, G, B;
    hsl_by_sector(int(six / 65535), m1, m2, m1 + x, m2 - x, R, G, B);
    r = int(std::clamp<i64>(R, 0, 65535));
    g = int(std::clamp<i64>(G, 0, 65535));
    b = int(std::clamp<i64>(B, 0, 65535));
}

namespace {

// Division by a 16-bit divisor d >= 1 as a multiply: for x < 2^32, floor(x / d) equals the
// high 64 bits of x * m with m = floor((2^64 - 1) / d) + 1, because the multiply's error
// stays below x / 2^64 < 1 / d. A picture scaled by its value divides three times per pixel,
// and a hardware division costs many times a multiply.
class Reciprocals {
public:
    Reciprocals()
    {
        for (std::uint32_t d = 2; d < 65536; ++d)
            m_[d] = ~std::uint64_t(0) / d + 1;
    }
    std::uint32_t divide(std::uint32_t x, std::uint32_t d) const
    {
        return d == 1 ? x : std::uint32_t((unsigned __int128)x * m_[d] >> 64);
    }

private:
    std::uint64_t m_[65536] = {};
};

const Reciprocals& reciprocals()
{
    static const Reciprocals table;
    return table;
}

bool is_sample(int v)
{
    return v >= 0 && v <= 65535;
}

} // namespace

void set_value(int& r, int& g, int& b, int old_value, int new_value)
{
    if (new_value == old_value)
        return;
    if (old_value == 0 || new_value == 0) {
        r = g = b = new_value;
        return;
    }
    if (is_sample(r) && is_sample(g) && is_sample(b) && is_sample(old_value) &&
        is_sample(new_value)) {
        const Reciprocals& div = reciprocals();
        const std::uint32_t n = std::uint32_t(new_value), d = std::uint32_t(old_value);
        r = int(div.divide(std::uint32_t(r) * n, d));
        g = int(div.divide(std::uint32_t(g) * n, d));
        b = int(div.divide(std::uint32_t(b) * n, d));
        return;
    }
    r = int(i64(r) * new_value / old_value);
    g = int(i64(g) * new_value / old_value);
    b = int(i64(b) * new_value / old_value);
}

void set_lightness8(int& r, int& g, int& b, int /*old_lightness*/, int new_lightness)
{
    int h, s, l;
    rgb8_to_hsl12(r, g, b, h, s, l);
    hsl12_to_rgb8(h, s, new_lightness * 4096 / 255, r, g, b);
}

void set_lightness16(int& r, int& g, int& b, int /*old_lightness*/, int new_lightness)
{
    int h, s, l;
    rgb16_to_hsl16(r, g, b, h, s, l);
    hsl16_to_rgb16(h, s, new_lightness, r, g, b);
}

void set_hsv_saturation8(int& r, int& g, int& b, const std::uint8_t* table)
{
    const Roles c = roles(r, g, b);
    const int max = *c.max, mid = *c.mid, min = *c.min;
    if (max == 0)
        return;
    const int s = table[(max - min) * 255 / max];
    const int new_min = max * (255 - s) / 255;
    if (max != min)
        *c.mid = new_middle(max, mid, min, max, new_min);
    *c.min = new_min;
}

void set_hsl_saturation8(int& r, int& g, int& b, const std::uint8_t* table)
{
    const Roles c = roles(r, g, b);
    const int max = *c.max, mid = *c.mid, min = *c.min, sum = max + min;
    if (sum == 0 || sum == 510)
        return;
    const int s = table[(max - min) * 255 / (sum <= 255 ? sum : 510 - sum)];
    const int new_max = sum > 255 ? s + (255 - s) * sum / 510 : (s + 255) * sum / 510;
    const int new_min = sum - new_max;
    if (max != min)
        *c.mid = new_middle(max, mid, min, new_max, new_min);
    *c.max = new_max;
    *c.min = new_min;
}

void set_hsv_saturation16(int& r, int& g, int& b, const std::uint16_t* table)
{
    int h, s, v;
    rgb16_to_hsv16(r, g, b, h, s, v);
    hsv16_to_rgb16(h, table[s], v, r, g, b);
}

void set_hsl_saturation16(int& r, int& g, int& b, const std::uint16_t* table)
{
    int h, s, l;
    rgb16_to_hsl16(r, g, b, h, s, l);
    hsl16_to_rgb16(h, table[s], l, r, g, b);
}

} // namespace mv
