// The keyword files of tone curves: "Curve 1.0" (.crv) holds one curve, "ColorCurves 1.0"
// (.cc) the colour space and three curves of Color Curves.
#pragma once

#include "curve.h"

#include <string>

namespace mv {

// Colour spaces of Color Curves and Brightness Curve.
enum CurveColorSpace : int { CURVE_SPACE_HSV = 0, CURVE_SPACE_HSL = 1, CURVE_SPACE_RGB = 2 };

struct ColorCurvesFile {
    std::int32_t color_space = CURVE_SPACE_HSV;
    Curve curves[3];
};

// Writes the curve; 0, 3 when the file cannot be created, 6 on a write error.
int curve_file_write(const std::string& path, const Curve& c);
// Reads a curve; 0, 4 when the file cannot be opened, or 16 ("Illegal curve file") for a
// file that breaks any rule, and then `c` is reset to the default curve.
int curve_file_read(const std::string& path, Curve& c);

int color_curves_file_write(const std::string& path, const ColorCurvesFile& cc);
// 0, 4, or 42 ("Illegal color curve file") with all three curves reset to the identity
// (the colour space is kept).
int color_curves_file_read(const std::string& path, ColorCurvesFile& cc);

} // namespace mv
