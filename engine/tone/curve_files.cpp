#include "curve_files.h"

#include "settings_tokenizer.h"

#include "core/error.h"
#include "core/format.h"
#include "formats/file_io.h"

#include <string>
#include <vector>

namespace mv {

namespace {

const char* const kStyleNames[3] = {"step", "linear", "spline"};

// A curve being read: which points were given, so that a missing one is noticed.
struct CurveReading {
    Curve curve;
    bool count_seen = false;
    bool point_seen[kCurveMaxPoints] = {};
};

int write_curve_lines(FileHandle& f, const Curve& c, std::string_view suffix)
{
    int err = settings_write_line(f, format_text("npts%s %d", suffix, c.count));
    const int style = c.style >= 0 && c.style <= 2 ? c.style : CURVE_SPLINE;
    if (!err)
        err = settings_write_line(f, format_text("style%s %s", suffix, kStyleNames[style]));
    for (int k = 0; k < c.count && k < kCurveMaxPoints && !err; ++k)
        err = settings_write_line(f, format_text("point%s %d %d %d", suffix, k, c.x[k], c.y[k]));
    return err;
}

bool parse_all(const std::vector<std::string>& t, int first, int* values, int count)
{
    if (int(t.size()) != first + count)
        return false;
    for (int i = 0; i < count; ++i)
        if (!settings_parse_int(t[first + i], values[i]))
            return false;
    return true;
}

// Handles one "npts", "style" or "point" line (keywords already stripped of their suffix);
// false when the line is malformed.
bool read_curve_line(const std::string& key, const std::vector<std::string>& t, CurveReading& r)
{
    if (key == "npts") {
        int n;
        if (!parse_all(t, 1, &n, 1) || n < 2 || n > kCurveMaxPoints)
            return false;
        r.curve.count = n;
        r.count_seen = true;
        return true;
    }
    if (key == "style") {
        if (t.size() != 2)
            return false;
        for (int s = 0; s < 3; ++s)
            if (settings_keyword_is(t[1], kStyleNames[s])) {
                r.curve.style = s;
                return true;
            }
        return false;
    }
    if (key == "point") {
        int v[3];
        if (!parse_all(t, 1, v, 3) || v[0] < 0 || v[0] >= kCurveMaxPoints)
            return false;
        r.curve.x[v[0]] = v[1];
        r.curve.y[v[0]] = v[2];
        r.point_seen[v[0]] = true;
        return true;
    }
    return false;
}

// Every point up to the count given, none beyond it, and a curve that can be drawn.
bool curve_complete(const CurveReading& r)
{
    if (!r.count_seen)
        return false;
    for (int k = 0; k < kCurveMaxPoints; ++k)
        if (r.point_seen[k] != (k < r.curve.count))
            return false;
    return curve_is_valid(r.curve.count, r.curve.x, r.curve.y, r.curve.style);
}

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

// Reads the header line and checks it is exactly `name` and "1.0".
bool read_header(FileHandle& f, std::string_view name)
{
    std::string line;
    std::vector<std::string> t;
    if (settings_read_line(f, line) != kOk)
        return false;
    return settings_tokenize(line, t) == 2 && settings_keyword_is(t[0], name) && t[1] == "1.0";
}

// Reads keyword lines until "end"; `handle` returns false for a line that breaks a rule.
template <class Handle>
bool read_body(FileHandle& f, Handle handle)
{
    std::string line;
    std::vector<std::string> t;
    while (settings_read_line(f, line) == kOk) {
        if (settings_tokenize(line, t) == 0)
            return false;
        const std::string key = lower(t[0]);
        if (key == "end")
            return true;
        if (!handle(key, t))
            return false;
    }
    return false; // the file ended (or failed) before "end"
}

int finish_write(FileHandle& f, int err)
{
    if (!err)
        err = settings_write_line(f, "end");
    const int closed = f.close();
    return err ? err : closed ? kErrorWritingFile : kOk;
}

} // namespace

int curve_file_write(const std::string& path, const Curve& c)
{
    FileHandle f;
    if (file_create(path, f) != kOk)
        return kCannotCreateFile;
    int err = settings_write_line(f, "Curve 1.0");
    if (!err)
        err = write_curve_lines(f, c, "");
    return finish_write(f, err);
}

int curve_file_read(const std::string& path, Curve& c)
{
    FileHandle f;
    if (file_open_read(path, f) != kOk)
        return kCannotOpenFile;
    CurveReading r;
    const bool ok = read_header(f, "Curve") &&
                    read_body(f, [&r](const std::string& key, const std::vector<std::string>& t) {
                        return read_curve_line(key, t, r);
                    }) &&
                    curve_complete(r);
    if (!ok) {
        curve_reset(c);
        return kIllegalCurveFile;
    }
    c = r.curve;
    return kOk;
}

int color_curves_file_write(const std::string& path, const ColorCurvesFile& cc)
{
    FileHandle f;
    if (file_create(path, f) != kOk)
        return kCannotCreateFile;
    int err = settings_write_line(f, "ColorCurves 1.0");
    if (!err)
        err = settings_write_line(f, format_text("colorspace %d", cc.color_space));
    for (int i = 0; i < 3 && !err; ++i)
        err = write_curve_lines(f, cc.curves[i], std::to_string(i + 1));
    return finish_write(f, err);
}

int color_curves_file_read(const std::string& path, ColorCurvesFile& cc)
{
    FileHandle f;
    if (file_open_read(path, f) != kOk)
        return kCannotOpenFile;
    CurveReading r[3];
    int space = -1;
    const auto handle = [&](const std::string& key, const std::vector<std::string>& t) {
        if (key == "colorspace")
            return parse_all(t, 1, &space, 1) && space >= 0 && space <= 2;
        const char last = key.empty() ? 0 : key.back();
        if (last < '1' || last > '3')
            return false;
        return read_curve_line(key.substr(0, key.size() - 1), t, r[last - '1']);
    };
    const bool ok = read_header(f, "ColorCurves") && read_body(f, handle) && space >= 0 &&
                    curve_complete(r[0]) && curve_complete(r[1]) && curve_complete(r[2]);
    if (!ok) {
        for (Curve& c : cc.curves)
            curve_reset(c);
        return kIllegalColorCurveFile;
    }
    cc.color_space = space;
    for (int i = 0; i < 3; ++i)
        cc.curves[i] = r[i].curve;
    return kOk;
}

} // namespace mv
