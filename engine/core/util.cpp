#include "util.h"

#include <cctype>
#include <cmath>
#include <ctime>
#include <limits>

namespace mv {

long long round_nearest(double x)
{
    // std::round is exact; adding 0.5 and flooring is not (0.49999999999999994 + 0.5
    // rounds up to 1). Values beyond the integer range are held to it, NaN gives 0.
    if (!(x == x))
        return 0;
    const double r = std::round(x);
    if (r >= 9.2233720368547758e18)
        return std::numeric_limits<long long>::max();
    if (r <= -9.2233720368547758e18)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(r);
}

bool str_equal_nocase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) !=
            std::tolower(static_cast<unsigned char>(b[k])))
            return false;
    return true;
}

bool extension_differs(std::string_view name, std::string_view ext)
{
    if (name.size() <= ext.size())
        return true;
    return !str_equal_nocase(name.substr(name.size() - ext.size()), ext);
}

int list_count(const char* list)
{
    int n = 0;
    for (const char* p = list; *p != 1; p += std::char_traits<char>::length(p) + 1)
        ++n;
    return n;
}

std::string_view list_item(const char* list, int n)
{
    const char* p = list;
    for (int k = 0; k < n; ++k) {
        if (*p == 1)
            return {};
        p += std::char_traits<char>::length(p) + 1;
    }
    return *p == 1 ? std::string_view{} : std::string_view{p};
}

int multi_count(const char* list)
{
    int n = 0;
    for (const char* p = list; *p; p += std::char_traits<char>::length(p) + 1)
        ++n;
    return n;
}

const char* multi_skip(const char* list, int n)
{
    const char* p = list;
    for (int k = 0; k < n && *p; ++k)
        p += std::char_traits<char>::length(p) + 1;
    return p;
}

int today_number()
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return (t.tm_year + 1900) * 10000 + (t.tm_mon + 1) * 100 + t.tm_mday;
}

int time_number()
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t.tm_hour * 10000 + t.tm_min * 100 + t.tm_sec;
}

namespace {
std::int32_t g_seed = 1234567;
}

void random_reset(std::int32_t seed)
{
    g_seed = seed;
}

std::int32_t random_next()
{
    constexpr std::int32_t a = 41358, q = 51924, r = 10855;
    const std::int32_t k = g_seed / q;
    std::int32_t s = (g_seed - k * q) * a - k * r;
    if (s < 0)
        s += 2147483647;
    g_seed = s;
    return s;
}

double random_unit()
{
    return random_next() / 2147483648.0;
}

namespace {

// Outcode bits for the clipping rectangle.
enum : int { kLeft = 1, kRight = 2, kBottom = 4, kTop = 8 };

int outcode(PointF p, double left, double bottom, double right, double top)
{
    int code = 0;
    if (p.x < left)
        code |= kLeft;
    else if (p.x > right)
        code |= kRight;
    if (p.y < bottom)
        code |= kBottom;
    else if (p.y > top)
        code |= kTop;
    return code;
}

// Moves `p` onto the first edge it lies beyond, along the line through p and `other`.
PointF move_onto_edge(PointF p, PointF other, int code, double left, double bottom, double right,
                      double top)
{
    const double dx = other.x - p.x, dy = other.y - p.y;
    if (code & kLeft)
        return {left, p.y + dy * (left - p.x) / dx};
    if (code & kRight)
        return {right, p.y + dy * (right - p.x) / dx};
    if (code & kBottom)
        return {p.x + dx * (bottom - p.y) / dy, bottom};
    return {p.x + dx * (top - p.y) / dy, top};
}

} // namespace

bool clip_segment(PointF p1, PointF p2, double left, double bottom, double right, double top,
                  PointF& out1, PointF& out2)
{
    for (;;) {
        const int c1 = outcode(p1, left, bottom, right, top);
        const int c2 = outcode(p2, left, bottom, right, top);
        if (c1 & c2)
            return false;
        if (!(c1 | c2)) {
            out1 = p1;
            out2 = p2;
            return true;
        }
        if (c1)
            p1 = move_onto_edge(p1, p2, c1, left, bottom, right, top);
        else
            p2 = move_onto_edge(p2, p1, c2, left, bottom, right, top);
    }
}

} // namespace mv
