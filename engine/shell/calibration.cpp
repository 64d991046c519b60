#include "calibration.h"

#include "core/error.h"
#include "core/format.h"
#include "core/util.h"
#include "formats/file_io.h"
#include "tone/curve.h"
#include "tone/settings_tokenizer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace mv {

namespace {

constexpr int kIllegalCalibrationFile = 17;

// A finite real filling the whole token (a leading "+" allowed).
bool parse_real(std::string_view t, double& value)
{
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    if (t.empty() || t.front() == '+')
        return false;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    return ec == std::errc() && end == t.data() + t.size() && std::isfinite(value);
}

bool parse_byte(std::string_view t, int& value)
{
    return settings_parse_int(t, value) && value >= 0 && value <= 255;
}

// "white r g b", each 0.0 .. 1.0 of full scale.
bool read_white(const std::vector<std::string>& t, CalibrationCurve& c)
{
    if (t.size() != 4)
        return false;
    std::uint8_t white[3];
    for (int ch = 0; ch < 3; ++ch) {
        double v;
        if (!parse_real(t[1 + ch], v) || v < 0.0 || v > 1.0)
            return false;
        white[ch] = std::uint8_t(round_nearest(v * 255.0));
    }
    for (int ch = 0; ch < 3; ++ch)
        c.white[ch] = white[ch];
    return true;
}

// "point index density level red green blue".
bool read_point(const std::vector<std::string>& t, CalibrationCurve& c)
{
    if (t.size() != 7)
        return false;
    int index, level, rgb[3];
    double density;
    if (!settings_parse_int(t[1], index) || index < 0 || index >= kCalibrationPoints ||
        !parse_real(t[2], density) || !parse_byte(t[3], level))
        return false;
    for (int ch = 0; ch < 3; ++ch)
        if (!parse_byte(t[4 + ch], rgb[ch]))
            return false;
    c.density[index] = density;
    c.level[index + 1] = level;
    for (int ch = 0; ch < 3; ++ch)
        c.color[index + 1][ch] = std::uint8_t(rgb[ch]);
    return true;
}

// One channel's table through the seven points. Points whose target does not lie strictly
// between the previous one and 255 (densities out of order) are left out so the inputs
// stay increasing.
void build_channel(const int* target, const int* value, std::uint8_t* table)
{
    double X[7], Y[7], m[7];
    int n = 0;
    X[n] = 0;
    Y[n++] = value[0];
    for (int i = 1; i <= 5; ++i) {
        if (target[i] <= X[n - 1] || target[i] >= 255)
            continue;
        X[n] = target[i];
        Y[n++] = value[i];
    }
    X[n] = 255;
    Y[n++] = value[6];
    spline_tangents(n, X, Y, m);
    int segment = 0;
    for (int v = 0; v < 256; ++v)
        table[v] = std::uint8_t(clamp_byte(round_nearest(spline_value(n, X, Y, m, v, segment))));
}

} // namespace

int calibration_target(double density, double gamma)
{
    if (!(gamma > 0))
        gamma = kDefaultDisplayGamma;
    return clamp_byte(round_nearest(255.0 * std::pow(std::pow(10.0, -density), 1.0 / gamma)));
}

CalibrationCurve calibration_default(double gamma)
{
    CalibrationCurve c;
    c.gamma = gamma;
    for (int k = 0; k < kCalibrationPoints; ++k)
        c.level[k + 1] = clamp_byte(round_nearest(255.0 * std::pow(10.0, -c.density[k] / gamma)));
    return c;
}

CalibrationCurve& calibration_curve()
{
    static CalibrationCurve curve = calibration_default();
    return curve;
}

void calibration_build_tables(const CalibrationCurve& c, DisplayLookup& out)
{
    int target[7];
    target[0] = 0;
    target[6] = 255;
    for (int k = 0; k < kCalibrationPoints; ++k)
        target[k + 1] = calibration_target(c.density[k], c.gamma);
    int scaled[3][7];
    for (int i = 0; i < 7; ++i) {
        const int v = std::clamp(c.level[i], 0, 255);
        for (int ch = 0; ch < 3; ++ch)
            scaled[ch][i] = v == 0 ? 0 : v == 255 ? c.color[i][ch] : c.color[i][ch] * v / 255;
    }
    build_channel(target, scaled[0], out.red);
    build_channel(target, scaled[1], out.green);
    build_channel(target, scaled[2], out.blue);
}

void calibration_apply_white(DisplayLookup& tables, const std::uint8_t white[3])
{
    std::uint8_t* channel[3] = {tables.red, tables.green, tables.blue};
    for (int ch = 0; ch < 3; ++ch)
        for (int v = 0; v < 256; ++v)
            channel[ch][v] = std::uint8_t(channel[ch][v] * white[ch] / 255);
}

DisplayLookup calibration_tables(const CalibrationCurve& c)
{
    DisplayLookup t;
    calibration_build_tables(c, t);
    calibration_apply_white(t, c.white);
    return t;
}

void calibration_install(const CalibrationCurve& c)
{
    calibration_curve() = c;
    set_display_lookup(calibration_tables(c));
}

int calibration_read(const std::string& path, CalibrationCurve& c)
{
    FileHandle f;
    if (int err = file_open_read(path, f))
        return err;
    CalibrationCurve reading = c;
    std::string line;
    std::vector<std::string> t;
    int err = settings_read_line(f, line);
    if (err)
        return err == 5 ? err : kIllegalCalibrationFile;
    settings_tokenize(line, t);
    if (t.size() < 2 || !settings_keyword_is(t[0], "MonitorCalibrationCurve") || t[1] != "1.0")
        return kIllegalCalibrationFile;
    for (;;) {
        err = settings_read_line(f, line);
        if (err == 2)
            return kIllegalCalibrationFile;  // no "end": nothing is taken from the file
        if (err)
            return err;
        if (settings_tokenize(line, t) == 0)
            continue;
        bool ok = true;
        if (settings_keyword_is(t[0], "white")) {
            ok = read_white(t, reading);
        } else if (settings_keyword_is(t[0], "npts")) {
            int n;
            ok = t.size() == 2 && settings_parse_int(t[1], n) && n == kCalibrationPoints;
        } else if (settings_keyword_is(t[0], "point")) {
            ok = read_point(t, reading);
        } else if (settings_keyword_is(t[0], "end")) {
            c = reading;
            return 0;
        }
        if (!ok)
            return kIllegalCalibrationFile;
    }
}

int calibration_write(const std::string& path, const CalibrationCurve& c)
{
    FileHandle f;
    if (int err = file_create(path, f))
        return err;
    int err = settings_write_line(f, "MonitorCalibrationCurve 1.0");
    if (!err)
        err = settings_write_line(f, format_text("white %3f %3f %3f", c.white[0] / 255.0,
                                                 c.white[1] / 255.0, c.white[2] / 255.0));
    if (!err)
        err = settings_write_line(f, format_text("npts %d", kCalibrationPoints));
    for (int k = 0; k < kCalibrationPoints && !err; ++k)
        err = settings_write_line(f, format_text("point %d %3f %d %d %d %d", k, c.density[k],
                                                 c.level[k + 1], int(c.color[k + 1][0]),
                                                 int(c.color[k + 1][1]), int(c.color[k + 1][2])));
    if (!err)
        err = settings_write_line(f, "end");
    return err;
}

int calibration_load(const std::string& path)
{
    CalibrationCurve c = calibration_curve();
    if (int err = calibration_read(path, c))
        return err;
    calibration_install(c);
    return 0;
}

std::string calibration_path(const std::string& config_dir)
{
    if (config_dir.empty())
        return kCalibrationFileName;
    std::string path = config_dir;
    if (path.back() != '/')
        path += '/';
    return path + kCalibrationFileName;
}

int calibration_startup(const std::string& config_dir)
{
    return calibration_load(calibration_path(config_dir));
}

} // namespace mv
