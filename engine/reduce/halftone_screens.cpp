#include "halftone_screens.h"

#include "core/util.h"

#include <cmath>

namespace mv {
namespace {

const char* const kMethodNames[kHalftoneMethodCount] = {
    "Custom",              "Ordered 8x8",         "Classical 6x6",       "Classical 8x8",
    "Classical 10x10",     "Horizontal 6x6",      "Horizontal 8x8",      "Horizontal 10x10",
    "Vertical 6x6",        "Vertical 8x8",        "Vertical 10x10",      "Left Diagonal 6x6",
    "Left Diagonal 8x8",   "Left Diagonal 10x10", "Right Diagonal 6x6",  "Right Diagonal 8x8",
    "Right Diagonal 10x10", "Spiral 6x6",         "Spiral 8x8",          "Spiral 10x10",
    "Error Diffusion",
};

const int kClassical6[] = {
    13, 7,  15, 21, 29, 23, //
    5,  1,  9,  27, 35, 31, //
    11, 3,  17, 19, 33, 25, //
    22, 30, 24, 14, 8,  16, //
    28, 36, 32, 6,  2,  10, //
    20, 34, 26, 12, 4,  18,
};

const int kClassical8[] = {
    27, 23, 25, 31, 38, 42, 40, 34, //
    9,  7,  5,  19, 56, 58, 60, 46, //
    11, 1,  3,  21, 54, 64, 62, 44, //
    17, 13, 15, 29, 48, 52, 50, 36, //
    37, 41, 39, 33, 28, 24, 26, 32, //
    55, 57, 59, 45, 10, 8,  6,  20, //
    53, 63, 61, 43, 12, 2,  4,  22, //
    47, 51, 49, 35, 18, 14, 16, 30,
};

const int kClassical10[] = {
    45, 39, 23, 31, 47, 53, 61, 79, 69, 55, //
    29, 13, 7,  15, 41, 67, 85, 95, 87, 63, //
    21, 5,  1,  9,  25, 77, 93, 99, 97, 81, //
    37, 11, 3,  17, 33, 59, 83, 91, 89, 71, //
    43, 27, 19, 35, 49, 51, 73, 75, 65, 57, //
    54, 62, 80, 70, 56, 46, 40, 24, 32, 48, //
    68, 86, 96, 88, 64, 30, 14, 8,  16, 42, //
    78, 94, 100, 98, 82, 22, 6, 2,  10, 26, //
    60, 84, 92, 90, 72, 38, 12, 4,  18, 34, //
    52, 74, 76, 66, 58, 44, 28, 20, 36, 50,
};

const int kHorizontal6[] = {
    1,  5,  3,  2,  6,  4,  //
    8,  16, 12, 10, 18, 14, //
    20, 28, 24, 22, 30, 26, //
    31, 35, 33, 32, 36, 34, //
    19, 27, 23, 21, 29, 25, //
    7,  15, 11, 9,  17, 13,
};

const int kHorizontal8[] = {
    1,  5,  3,  7,  2,  6,  4,  8,  //
    10, 18, 14, 22, 12, 20, 16, 24, //
    26, 34, 30, 38, 28, 36, 32, 40, //
    42, 50, 46, 54, 44, 52, 48, 56, //
    57, 61, 59, 63, 58, 62, 60, 64, //
    41, 49, 45, 53, 43, 51, 47, 55, //
    25, 33, 29, 37, 27, 35, 31, 39, //
    9,  17, 13, 21, 11, 19, 15, 23,
};

const int kHorizontal10[] = {
    1,  7,  3,  9,  5,  2,  8,  4,  10,  6,  //
    12, 24, 16, 28, 20, 14, 26, 18, 30,  22, //
    32, 44, 36, 48, 40, 34, 46, 38, 50,  42, //
    52, 64, 56, 68, 60, 54, 66, 58, 70,  62, //
    72, 84, 76, 88, 80, 74, 86, 78, 90,  82, //
    91, 97, 93, 99, 95, 92, 98, 94, 100, 96, //
    71, 83, 75, 87, 79, 73, 85, 77, 89,  81, //
    51, 63, 55, 67, 59, 53, 65, 57, 69,  61, //
    31, 43, 35, 47, 39, 33, 45, 37, 49,  41, //
    11, 23, 15, 27, 19, 13, 25, 17, 29,  21,
};

const int kLeftDiagonal6[] = {
    1,  7,  13, 19, 25, 31, //
    35, 5,  11, 17, 23, 29, //
    27, 33, 3,  9,  15, 21, //
    20, 26, 32, 2,  8,  14, //
    18, 24, 30, 36, 6,  12, //
    10, 16, 22, 28, 34, 4,
};

const int kLeftDiagonal8[] = {
    1,  9,  17, 25, 33, 41, 49, 57, //
    61, 5,  13, 21, 29, 37, 45, 53, //
    51, 59, 3,  11, 19, 27, 35, 43, //
    47, 55, 63, 7,  15, 23, 31, 39, //
    34, 42, 50, 58, 2,  10, 18, 26, //
    30, 38, 46, 54, 62, 6,  14, 22, //
    20, 28, 36, 44, 52, 60, 4,  12, //
    16, 24, 32, 40, 48, 56, 64, 8,
};

const int kLeftDiagonal10[] = {
    1,  11, 21, 31, 41, 51, 61, 71,  81, 91, //
    97, 7,  17, 27, 37, 47, 57, 67,  77, 87, //
    83, 93, 3,  13, 23, 33, 43, 53,  63, 73, //
    79, 89, 99, 9,  19, 29, 39, 49,  59, 69, //
    65, 75, 85, 95, 5,  15, 25, 35,  45, 55, //
    52, 62, 72, 82, 92, 2,  12, 22,  32, 42, //
    48, 58, 68, 78, 88, 98, 8,  18,  28, 38, //
    34, 44, 54, 64, 74, 84, 94, 4,   14, 24, //
    30, 40, 50, 60, 70, 80, 90, 100, 10, 20, //
    16, 26, 36, 46, 56, 66, 76, 86,  96, 6,
};

const int kSpiral6[] = {
    33, 25, 17, 18, 26, 34, //
    32, 13, 5,  6,  14, 27, //
    24, 12, 1,  2,  7,  19, //
    23, 11, 4,  3,  8,  20, //
    31, 16, 10, 9,  15, 28, //
    36, 30, 22, 21, 29, 35,
};

const int kSpiral8[] = {
    61, 53, 45, 33, 34, 46, 54, 62, //
    60, 41, 25, 17, 18, 26, 42, 55, //
    52, 32, 13, 5,  6,  14, 27, 47, //
    40, 24, 12, 1,  2,  7,  19, 35, //
    39, 23, 11, 4,  3,  8,  20, 36, //
    51, 31, 16, 10, 9,  15, 28, 48, //
    59, 44, 30, 22, 21, 29, 43, 56, //
    64, 58, 50, 38, 37, 49, 57, 63,
};

const int kSpiral10[] = {
    97,  89, 81, 69, 61, 62, 70, 82, 90, 98, //
    96,  77, 53, 45, 33, 34, 46, 54, 78, 91, //
    88,  60, 41, 25, 17, 18, 26, 42, 55, 83, //
    76,  52, 32, 13, 5,  6,  14, 27, 47, 71, //
    68,  40, 24, 12, 1,  2,  7,  19, 35, 63, //
    67,  39, 23, 11, 4,  3,  8,  20, 36, 64, //
    75,  51, 31, 16, 10, 9,  15, 28, 48, 72, //
    87,  59, 44, 30, 22, 21, 29, 43, 56, 84, //
    95,  80, 58, 50, 38, 37, 49, 57, 79, 92, //
    100, 94, 86, 74, 66, 65, 73, 85, 93, 99,
};

OrderMatrix from_table(const int* ranks, int n)
{
    OrderMatrix m;
    m.n = n;
    m.rank.assign(ranks, ranks + n * n);
    return m;
}

// The table of a screen family for size index 0, 1, 2 (6, 8, 10 cells).
OrderMatrix family(const int* const tables[3], int size_index)
{
    static const int sizes[3] = {6, 8, 10};
    return from_table(tables[size_index], sizes[size_index]);
}

const int* const kClassical[3] = {kClassical6, kClassical8, kClassical10};
const int* const kHorizontal[3] = {kHorizontal6, kHorizontal8, kHorizontal10};
const int* const kLeftDiagonal[3] = {kLeftDiagonal6, kLeftDiagonal8, kLeftDiagonal10};
const int* const kSpiral[3] = {kSpiral6, kSpiral8, kSpiral10};

// Doubled distance 1.414: a dot of radius 0.707 cells.
constexpr double kDotRadius = 1.414;
constexpr int kSamples = 32;

} // namespace

const char* halftone_method_name(int method)
{
    return method >= 0 && method < kHalftoneMethodCount ? kMethodNames[method] : "";
}

OrderMatrix bayer_matrix(int n)
{
    OrderMatrix m;
    m.n = 1;
    m.rank = {0};
    static const int quadrant[2][2] = {{0, 2}, {3, 1}};
    while (m.n < n) {
        const int k = m.n;
        OrderMatrix d;
        d.n = 2 * k;
        d.rank.assign(size_t(d.n) * d.n, 0);
        for (int r = 0; r < d.n; ++r)
            for (int c = 0; c < d.n; ++c)
                d.rank[size_t(r) * d.n + c] = 4 * m.at(r % k, c % k) + quadrant[r / k][c / k];
        m = std::move(d);
    }
    return m;
}

OrderMatrix transpose_matrix(const OrderMatrix& m)
{
    OrderMatrix t = m;
    for (int r = 0; r < m.n; ++r)
        for (int c = 0; c < m.n; ++c)
            t.rank[size_t(c) * m.n + r] = m.at(r, c);
    return t;
}

OrderMatrix mirror_matrix(const OrderMatrix& m)
{
    OrderMatrix t = m;
    for (int r = 0; r < m.n; ++r)
        for (int c = 0; c < m.n; ++c)
            t.rank[size_t(r) * m.n + (m.n - 1 - c)] = m.at(r, c);
    return t;
}

OrderMatrix halftone_screen(int method)
{
    if (method == kHalftoneOrdered8) {
        OrderMatrix m = bayer_matrix(8);
        for (int& v : m.rank)
            ++v;
        return m;
    }
    if (method >= kHalftoneClassical6 && method <= kHalftoneClassical10)
        return family(kClassical, method - kHalftoneClassical6);
    if (method >= kHalftoneHorizontal6 && method <= kHalftoneHorizontal10)
        return family(kHorizontal, method - kHalftoneHorizontal6);
    if (method >= kHalftoneVertical6 && method <= kHalftoneVertical10)
        return transpose_matrix(family(kHorizontal, method - kHalftoneVertical6));
    if (method >= kHalftoneLeftDiagonal6 && method <= kHalftoneLeftDiagonal10)
        return family(kLeftDiagonal, method - kHalftoneLeftDiagonal6);
    if (method >= kHalftoneRightDiagonal6 && method <= kHalftoneRightDiagonal10)
        return mirror_matrix(family(kLeftDiagonal, method - kHalftoneRightDiagonal6));
    if (method >= kHalftoneSpiral6 && method <= kHalftoneSpiral10)
        return family(kSpiral, method - kHalftoneSpiral6);
    return OrderMatrix{};
}

std::vector<std::uint8_t> halftone_thresholds(const OrderMatrix& m, double gamma)
{
    const int n = m.n;
    const int cells = n * n;
    std::vector<std::uint8_t> thresholds(size_t(cells), 0);
    // Where each rank sits; ranks outside 1..n*n are ignored.
    std::vector<int> cell_of(size_t(cells) + 1, -1);
    for (int i = 0; i < cells; ++i)
        if (m.rank[size_t(i)] >= 1 && m.rank[size_t(i)] <= cells)
            cell_of[size_t(m.rank[size_t(i)])] = i;

    const double s = (n - 1) / 15.5;
    std::vector<std::uint8_t> covered(kSamples * kSamples, 0);
    int area = 0;
    for (int k = 1; k <= cells; ++k) {
        const int cell = cell_of[size_t(k)];
        if (cell >= 0) {
            const double cx = 2.0 * (cell % n), cy = 2.0 * (cell / n);
            for (int i = 0; i < kSamples; ++i) {
                const double dy = std::fabs(cy - i * s);
                if (dy > kDotRadius)
                    continue;
                for (int j = 0; j < kSamples; ++j) {
                    std::uint8_t& c = covered[size_t(i) * kSamples + j];
                    const double dx = std::fabs(cx - j * s);
                    if (c || dx > kDotRadius || std::sqrt(dx * dx + dy * dy) > kDotRadius)
                        continue;
                    c = 1;
                    ++area;
                }
            }
        }
        const double level = 255.0 * std::pow(area / 1024.0, gamma);
        thresholds[size_t(k - 1)] = std::uint8_t(clamp_byte(round_nearest(level)));
    }
    return thresholds;
}

} // namespace mv
