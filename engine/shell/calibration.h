// The monitor calibration curve: five control points, each an optical density, the output
// level that makes a patch of that density look right and a colour balance, plus a white
// point. It builds the display lookup tables and is kept in the keyword file "morvane.cal".
#pragma once

#include "core/display_lookup.h"

#include <cstdint>
#include <string>

namespace mv {

inline constexpr int kCalibrationPoints = 5;
inline constexpr double kDefaultDisplayGamma = 2.2222222222222223;
inline constexpr const char* kCalibrationFileName = "morvane.cal";

struct CalibrationCurve {
    double gamma = kDefaultDisplayGamma;
    double density[kCalibrationPoints] = {1.99, 1.2, 0.74, 0.43, 0.2};
    // Levels and colours of the seven spline points; 0 and 6 are the fixed ends (0 and 255),
    // 1..5 belong to the control points 0..4.
    int level[7] = {0, 32, 74, 118, 163, 207, 255};
    std::uint8_t color[7][3] = {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255},
                                {255, 255, 255}, {255, 255, 255}, {255, 255, 255}};  // r, g, b
    std::uint8_t white[3] = {255, 255, 235};                                          // r, g, b

    bool operator==(const CalibrationCurve&) const = default;
};

// The defaults, levels computed from the densities: round(255 * 10^(-d / gamma)).
CalibrationCurve calibration_default(double gamma = kDefaultDisplayGamma);

// The program-wide curve (the defaults until a file is read or the window's OK).
CalibrationCurve& calibration_curve();

// The output level a patch of density d must show: round(255 * (10^-d)^(1 / gamma)).
int calibration_target(double density, double gamma);

// The tables the curve gives, before the white point: per channel a smooth monotone curve
// through the seven points (target of the point, its colour scaled by its level).
void calibration_build_tables(const CalibrationCurve& c, DisplayLookup& out);

// Scales every entry by the white point: entry * white div 255, per channel.
void calibration_apply_white(DisplayLookup& tables, const std::uint8_t white[3]);

// The complete tables: the curve's tables scaled by its white point.
DisplayLookup calibration_tables(const CalibrationCurve& c);

// Makes `c` the program-wide curve and installs its tables as the display lookup tables.
void calibration_install(const CalibrationCurve& c);

// Reads a calibration file into `c` (starting from its current values). 0 once "end" is
// read; the opening error when the file cannot be opened; 17 on a wrong first line, a
// malformed or out-of-range value, or a file that ends without "end"; 5 on a read error.
// On failure `c` is left unchanged.
int calibration_read(const std::string& path, CalibrationCurve& c);

// Writes the curve: header, white point, point count, the five points, "end". 0, 3 or 6.
int calibration_write(const std::string& path, const CalibrationCurve& c);

// Reads the file and, when it is sound, makes it the program-wide curve and installs its
// tables. Otherwise the current curve and tables stay; returns the error.
int calibration_load(const std::string& path);

// Start-up: loads "morvane.cal" from the configuration folder. 0 or the error (4: absent).
int calibration_startup(const std::string& config_dir);

// The calibration file's path in a configuration folder.
std::string calibration_path(const std::string& config_dir);

} // namespace mv
