// The built-in halftone screens: order matrices whose cells hold the rank (1 .. n * n) in
// which the dots of a cell grow, and the threshold each rank gets from the area a growing
// round dot covers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mv {

// Methods of the "Method:" list, in list order.
enum HalftoneMethod : int {
    kHalftoneCustom = 0,
    kHalftoneOrdered8 = 1,
    kHalftoneClassical6 = 2,
    kHalftoneClassical8 = 3,
    kHalftoneClassical10 = 4,
    kHalftoneHorizontal6 = 5,
    kHalftoneHorizontal8 = 6,
    kHalftoneHorizontal10 = 7,
    kHalftoneVertical6 = 8,
    kHalftoneVertical8 = 9,
    kHalftoneVertical10 = 10,
    kHalftoneLeftDiagonal6 = 11,
    kHalftoneLeftDiagonal8 = 12,
    kHalftoneLeftDiagonal10 = 13,
    kHalftoneRightDiagonal6 = 14,
    kHalftoneRightDiagonal8 = 15,
    kHalftoneRightDiagonal10 = 16,
    kHalftoneSpiral6 = 17,
    kHalftoneSpiral8 = 18,
    kHalftoneSpiral10 = 19,
    kHalftoneErrorDiffusion = 20,
};
inline constexpr int kHalftoneMethodCount = 21;

// The list text of a method ("Custom", "Ordered 8x8", ..., "Error Diffusion"); "" outside
// 0..20.
const char* halftone_method_name(int method);

// The program-wide display gamma (1 / 0.45) that corrects the dot areas.
inline constexpr double kHalftoneGamma = 2.2222222222222223;

// An order matrix: n rows of n ranks, rows from top to bottom.
struct OrderMatrix {
    int n = 0;
    std::vector<int> rank; // rank[row * n + column]
    int at(int row, int column) const { return rank[std::size_t(row) * n + column]; }
};

// The n x n Bayer index matrix (n a power of two, at least 1), built from 0 2; 3 1 by
// M(2k) = 4 M(k) plus 0, 2, 3, 1 in the top-left, top-right, bottom-left and bottom-right
// quadrants. Values 0 .. n * n - 1.
OrderMatrix bayer_matrix(int n);

// Row i of `m` becomes column i.
OrderMatrix transpose_matrix(const OrderMatrix& m);
// Each row reversed, left to right.
OrderMatrix mirror_matrix(const OrderMatrix& m);

// The order matrix of a screen method (1 .. 19); an empty matrix for the others.
OrderMatrix halftone_screen(int method);

// One threshold 0..255 per rank (index rank - 1): the fraction of 32 x 32 sample points of
// the cell square covered once the dots of ranks 1..k (discs of radius 0.707 cells centred on
// their cells) have grown, raised to `gamma` and scaled to 255, rounded half away from zero.
// Throws std::bad_alloc.
std::vector<std::uint8_t> halftone_thresholds(const OrderMatrix& m, double gamma = kHalftoneGamma);

} // namespace mv
