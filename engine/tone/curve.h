// Tone curves: up to 64 control points joined as a stair step, a broken line or a smooth
// monotone curve, evaluated into 8-bit (256 entries) or 16-bit (65536 entries) lookup
// tables. The monotone cubic Hermite spline is exposed on its own for other smooth curves
// (the monitor calibration curve).
#pragma once

#include <cstdint>

namespace mv {

enum CurveStyle : int { CURVE_STEP = 0, CURVE_LINEAR = 1, CURVE_SPLINE = 2 };

inline constexpr int kCurveMaxPoints = 64;

// A curve's points (input x, output y, levels 0..255, x strictly increasing) and style.
struct Curve {
    std::int32_t count = 2;
    std::int32_t x[kCurveMaxPoints] = {0, 255};
    std::int32_t y[kCurveMaxPoints] = {0, 255};
    std::int32_t style = CURVE_SPLINE;
};

// Two points (0, 0) and (255, 255), smooth.
void curve_reset(Curve& c);

// 2..64 points, levels 0..255, inputs strictly increasing, a known style.
bool curve_is_valid(int count, const std::int32_t* x, const std::int32_t* y, int style);

// The curve at every level 0..255. Levels below the first point take its output, levels
// above the last point the last output. Points that are not valid give the identity.
void curve_table8(int count, const std::int32_t* x, const std::int32_t* y, int style,
                  std::uint8_t* table);
// The same over levels 0..65535 with the points widened by 257.
void curve_table16(int count, const std::int32_t* x, const std::int32_t* y, int style,
                   std::uint16_t* table);

inline void curve_table8(const Curve& c, std::uint8_t* table)
{
    curve_table8(c.count, c.x, c.y, c.style, table);
}
inline void curve_table16(const Curve& c, std::uint16_t* table)
{
    curve_table16(c.count, c.x, c.y, c.style, table);
}

// True when the table maps every level to itself.
bool table8_is_identity(const std::uint8_t* table);

// Monotone piecewise cubic Hermite curve through n >= 2 points (X[k], Y[k]), X strictly
// increasing. spline_tangents fills m[0..n-1]: the averaged secant slopes, zeroed at flat
// segments and turning points and scaled down by the overshoot limiter of every segment.
void spline_tangents(int n, const double* X, const double* Y, double* m);

// The curve at t, X[0] <= t <= X[n-1]. `segment` is where the search for the segment holding
// t starts (forward only); it is left at that segment, so increasing t costs one pass.
double spline_value(int n, const double* X, const double* Y, const double* m, double t,
                    int& segment);

} // namespace mv
