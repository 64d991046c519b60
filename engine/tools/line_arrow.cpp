#include "line_arrow.h"

#include "core/error.h"
#include "core/product_table.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

namespace mv {
namespace {

bool line_type_ok(int type)
{
    return type == IMAGE_GRAY || type == IMAGE_COLOR || type == IMAGE_GRAY16 ||
           type == IMAGE_COLOR48;
}

double usable_width(double w)
{
    return std::isfinite(w) ? std::clamp(w, 0.0, 100.0) : 0.0;
}

// Barb distance L and shaft join distance S of a head, as multiples of the width.
void head_size(int style, double& barb, double& join)
{
    switch (style) {
    case kStyleBlunt:
        barb = 0.75;
        join = 0.75;
        break;
    case kStyleNarrow:
        barb = 2.0;
        join = 1.5;
        break;
    default:
        barb = 1.5;
        join = 1.5;
    }
}

struct Vertex {
    long long x = 0, y = 0; // quarter pixels
};

// Adds the covered sub-pixels lo..hi of one sub-scanline to the row's column counts.
void add_span(long long lo, long long hi, int first_column, int last_column, int* counts)
{
    lo = std::max(lo, 4LL * first_column);
    hi = std::min(hi, 4LL * last_column + 3);
    for (long long c = lo / 4; lo <= hi; ++c) {
        const long long end = std::min(hi, 4 * c + 3);
        counts[c - first_column] += int(end - lo + 1);
        lo = end + 1;
    }
}

long long floor_half(long long v)
{
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

} // namespace

void line_outline(double sx, double sy, double ex, double ey, double width, int head, int style,
                  std::vector<PointF>& out)
{
    out.clear();
    const double w = usable_width(width);
    const double dx = ex - sx, dy = ey - sy;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (w <= 0 || len <= 0 || !std::isfinite(len))
        return;
    double barb = 0, join = 0;
    head_size(style, barb, join);
    const double L = barb * w, S = join * w;
    auto put = [&](double ox, double oy, double u, double v) {
        out.push_back({ox + (u * dx - v * dy) / len, oy + (v * dx + u * dy) / len});
    };
    if (head & kHeadStart) {
        put(sx, sy, S, -w / 2);
        put(sx, sy, L, -w);
        put(sx, sy, 0, 0);
        put(sx, sy, L, w);
        put(sx, sy, S, w / 2);
    } else {
        put(sx, sy, 0, -w / 2);
        put(sx, sy, 0, w / 2);
    }
    if (head & kHeadEnd) {
        put(ex, ey, -S, w / 2);
        put(ex, ey, -L, w);
        put(ex, ey, 0, 0);
        put(ex, ey, -L, -w);
        put(ex, ey, -S, -w / 2);
    } else {
        put(ex, ey, 0, w / 2);
        put(ex, ey, 0, -w / 2);
    }
}

void line_coverage(const std::vector<PointF>& polygon, int image_width, int image_height,
                   int first_column, int first_row, int last_column, int last_row,
                   std::vector<std::uint8_t>& out)
{
    first_column = std::max(first_column, 0);
    first_row = std::max(first_row, 0);
    last_column = std::min(last_column, image_width - 1);
    last_row = std::min(last_row, image_height - 1);
    out.clear();
    if (first_column > last_column || first_row > last_row)
        return;
    const int cols = last_column - first_column + 1;
    out.assign(size_t(cols) * (last_row - first_row + 1), 0);
    if (polygon.size() < 3)
        return;

    std::vector<Vertex> v;
    v.reserve(polygon.size());
    double low = polygon[0].y, high = polygon[0].y;
    for (const PointF& p : polygon) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::fabs(p.x) > 1e8 ||
            std::fabs(p.y) > 1e8)
            return;
        v.push_back({round_nearest(p.x * 4), round_nearest(p.y * 4)});
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    const long long row0 = std::max<long long>(round_nearest(low) - 1, first_row);
    const long long row1 = std::min<long long>(round_nearest(high) + 1, last_row);
    std::vector<long long> crossings;
    std::vector<int> counts(static_cast<size_t>(cols));
    for (long long row = row0; row <= row1; ++row) {
        std::fill(counts.begin(), counts.end(), 0);
        for (int k = 0; k < 4; ++k) {
            const long long s2 = 2 * (4 * row + k);
            crossings.clear();
            for (size_t i = 0; i < v.size(); ++i) {
                const Vertex& a = v[i];
                const Vertex& b = v[(i + 1) % v.size()];
                if (a.y == b.y)
                    continue;
                const long long x1 = 2 * a.x + 1, y1 = 2 * a.y + 1;
                const long long x2 = 2 * b.x + 1, y2 = 2 * b.y + 1;
                if (s2 < std::min(y1, y2) || s2 > std::max(y1, y2))
                    continue;
                crossings.push_back(x1 + (x2 - x1) * (s2 - y1) / (y2 - y1));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2)
                add_span(floor_half(crossings[i]), floor_half(crossings[i + 1]), first_column,
                         last_column, counts.data());
        }
        std::uint8_t* o = out.data() + size_t(row - first_row) * cols;
        for (int c = 0; c < cols; ++c)
            o[c] = std::uint8_t(counts[c] * 255 / 16);
    }
}

int line_render(const ToolWindow& win, int sx, int sy, int ex, int ey,
                const LineSettings& settings, ToolResult& result)
{
    if (!win.image || win.image->empty() || !line_type_ok(win.image->type))
        return kCantPaintType;
    Image& img = *win.image;
    sx = tool_coordinate(sx);
    sy = tool_coordinate(sy);
    ex = tool_coordinate(ex);
    ey = tool_coordinate(ey);
    const double width = usable_width(settings.width);
    std::vector<PointF> outline;
    try {
        line_outline(sx, sy, ex, ey, width, settings.head, settings.style, outline);
        if (outline.empty())
            return kOk;
        if (int e = product_table_build())
            return e;
        const int k = int(width) + 1;
        const int fc = std::max(std::min(sx, ex) - k, 0);
        const int lc = std::min(std::max(sx, ex) + k, img.width - 1);
        const int fr = std::max(std::min(sy, ey) - k, 0);
        const int lr = std::min(std::max(sy, ey) + k, img.height - 1);
        if (fc > lc || fr > lr)
            return kOk;
        error_box(undo_save(win.window, img, fc, fr, lc, lr));

        std::vector<std::uint8_t> cover;
        line_coverage(outline, img.width, img.height, fc, fr, lc, lr, cover);
        const double t = std::isfinite(settings.transparency)
                             ? std::clamp(settings.transparency, 0.0, 100.0)
                             : 0.0;
        const int alpha = 255 - int(round_nearest(2.55 * t));
        const Image* mask = usable_mask(win.mask, img);
        const int r = clamp_byte(settings.color.red), g = clamp_byte(settings.color.green),
                  b = clamp_byte(settings.color.blue);
        const int gray = luminance(r, g, b);
        const int cols = lc - fc + 1;
        for (int row = fr; row <= lr; ++row) {
            const std::uint8_t* cv = cover.data() + size_t(row - fr) * cols;
            const std::uint8_t* m = mask ? mask->row(row) : nullptr;
            std::uint8_t* p8 = img.row(row);
            std::uint16_t* p16 = img.row16(row);
            for (int c = fc; c <= lc; ++c) {
                const int cov = cv[c - fc];
                if (!cov)
                    continue;
                int w = product(cov, alpha);
                if (m)
                    w = product(255 - m[c], w);
                switch (img.type) {
                case IMAGE_GRAY:
                    p8[c] = std::uint8_t(mix8(p8[c], gray, w));
                    break;
                case IMAGE_GRAY16:
                    p16[c] = std::uint16_t(mix16(p16[c], widen8(gray), w));
                    break;
                case IMAGE_COLOR:
                    p8[3 * c + 2] = std::uint8_t(mix8(p8[3 * c + 2], r, w));
                    p8[3 * c + 1] = std::uint8_t(mix8(p8[3 * c + 1], g, w));
                    p8[3 * c] = std::uint8_t(mix8(p8[3 * c], b, w));
                    break;
                default: // 48-bit colour
                    p16[3 * c + 2] = std::uint16_t(mix16(p16[3 * c + 2], widen8(r), w));
                    p16[3 * c + 1] = std::uint16_t(mix16(p16[3 * c + 1], widen8(g), w));
                    p16[3 * c] = std::uint16_t(mix16(p16[3 * c], widen8(b), w));
                }
            }
        }
        tool_result_add(result, win.window, fc, fr, lc, lr);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

void line_event(LineTool& t, const ToolWindow& win, int x, int y, int event, ToolResult& res)
{
    x = tool_coordinate(x);
    y = tool_coordinate(y);
    const bool usable = win.image && !win.image->empty() && line_type_ok(win.image->type);
    switch (event) {
    case kToolShiftPress: {
        if (t.drawing || !usable || x < 0 || y < 0 || x >= win.image->width ||
            y >= win.image->height)
            return;
        int rgb[3];
        pixel_read(*win.image, x, y, rgb);
        if (win.image->type == IMAGE_GRAY16 || win.image->type == IMAGE_COLOR48)
            for (int& v : rgb)
                v = narrow16(v);
        t.settings.color = {rgb[0], rgb[1], rgb[2]};
        res.color = true;
        return;
    }
    case kToolPress:
        t.drawing = false;
        if (!usable) {
            res.error = kCantPaintType;
            return;
        }
        error_box(undo_begin());
        t.target = win;
        t.start_x = t.end_x = x;
        t.start_y = t.end_y = y;
        t.drawing = true;
        res.rubber = true;
        return;
    case kToolMove:
    case kToolShiftMove:
        if (t.drawing && win.window == t.target.window && (x != t.end_x || y != t.end_y)) {
            t.end_x = x;
            t.end_y = y;
            res.rubber = true;
        }
        return;
    case kToolRelease: {
        if (!t.drawing)
            return;
        t.drawing = false;
        res.rubber = true;
        if (win.window == t.target.window) {
            t.end_x = x;
            t.end_y = y;
        }
        const int e = line_render(t.target, t.start_x, t.start_y, t.end_x, t.end_y, t.settings,
                                  res);
        if (e)
            res.error = e;
        if (res.changed)
            res.finished = true;
        t.target = {};
        return;
    }
    case kToolClosing:
        if (t.drawing && win.window == t.target.window) {
            t.drawing = false;
            t.target = {};
        }
        return;
    default:
        return;
    }
}

} // namespace mv
