// Alignment maps between a base picture and an overlay, from pairs of points: a shift, a
// rotation, a similarity, an affine map or a perspective map taking base pixel (x, y) to
// overlay position (u, v) = ((a x + b y + c) / (g x + h y + 1), (d x + e y + f) / (g x + h y + 1)).
#pragma once

#include "core/util.h"

namespace mv {

enum Alignment : int {
    kAlignNone = 0,        // "none"
    kAlignShift = 1,       // "1-point (shift)"
    kAlignRotate = 2,      // "2-point (shift/rotate)"
    kAlignSimilarity = 3,  // "2-point (shift/rotate/scale)"
    kAlignAffine = 4,      // "3-point (shift/rotate/scale/shear)"
    kAlignPerspective = 5, // "4-point (perspective warp)"
};

inline constexpr int kAlignMaxPoints = 61;

inline constexpr const char kAlignmentList[] =
    "Alignment:\0none\0001-point (shift)\0002-point (shift/rotate)\0"
    "2-point (shift/rotate/scale)\0003-point (shift/rotate/scale/shear)\0"
    "4-point (perspective warp)\0\1";

struct AlignmentMap {
    double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0, g = 0, h = 0;
};

// Point pairs each alignment uses: 0, 1, 2, 2, 3, 4.
int alignment_point_count(int alignment);

// The label of point i (0-based): "1".."9", "a".."z", "A".."Z".
char alignment_point_label(int i);

// Solves the map from the first `count` points of each list. Result 0, or 61 ("All
// alignment points must be distinct") when two points of one list coincide or the system is
// singular.
int alignment_solve(int alignment, int count, const PointF* base, const PointF* overlay,
                    AlignmentMap& map);

// Solves n x n (n <= 8) by LU decomposition with partial pivoting (the first of equal
// largest pivots) and back substitution; false when a pivot is exactly 0. `a` is row-major
// and is overwritten.
bool solve_linear(int n, double* a, double* rhs, double* x);

bool alignment_is_identity(const AlignmentMap& m);

// The overlay position of base pixel (x, y); false when the perspective denominator is 0.
bool alignment_map_point(const AlignmentMap& m, double x, double y, double& u, double& v);

} // namespace mv
