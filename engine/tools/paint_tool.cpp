#include "paint_tool.h"

#include "core/error.h"
#include "core/util.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstdlib>

namespace mv {
namespace {

// Binary pixels: the blended value sets the bit from 128 on; Lighten Only only sets bits,
// Darken Only only clears them.
void stamp_binary(Image& dst, const Image& brush, const Image* mask, int x, int y, int fade,
                  int target, int mode)
{
    stamp_visit(dst, brush, mask, x, y, fade, true, true,
                [&](int column, int row, int, int, int w) {
                    std::uint8_t* p = dst.row(row);
                    const bool white = mix8(bit_test(p, column) ? 255 : 0, target, w) >= 128;
                    if (mode == kBlendLighten) {
                        if (white)
                            bit_set(p, column);
                    } else if (mode == kBlendDarken) {
                        if (!white)
                            bit_clear(p, column);
                    } else {
                        bit_put(p, column, white);
                    }
                });
}

void stamp_gray(Image& dst, const Image& brush, const Image* mask, int x, int y, int fade,
                int target, int mode)
{
    if (dst.type == IMAGE_GRAY) {
        stamp_visit(dst, brush, mask, x, y, fade, true, true,
                    [&](int column, int row, int, int, int w) {
                        std::uint8_t& p = dst.row(row)[column];
                        p = std::uint8_t(blend8(p, target, w, mode));
                    });
    } else {
        const int t16 = widen8(target);
        stamp_visit(dst, brush, mask, x, y, fade, true, true,
                    [&](int column, int row, int, int, int w) {
                        std::uint16_t& p = dst.row16(row)[column];
                        p = std::uint16_t(blend16(p, t16, w, mode));
                    });
    }
}

void stamp_color8(Image& dst, const Image& brush, const Image* mask, int x, int y, int fade,
                  const Rgb& c, int mode)
{
    if (blend_is_hue(mode)) {
        const HueSource hs = hue_source(mode, c.red, c.green, c.blue);
        stamp_visit(dst, brush, mask, x, y, fade, true, true,
                    [&](int column, int row, int, int, int w) {
                        std::uint8_t* p = dst.row(row) + 3 * column;
                        int tr = 0, tg = 0, tb = 0;
                        hue_target8(hs, p[2], p[1], p[0], tr, tg, tb);
                        p[2] = std::uint8_t(mix8(p[2], tr, w));
                        p[1] = std::uint8_t(mix8(p[1], tg, w));
                        p[0] = std::uint8_t(mix8(p[0], tb, w));
                    });
        return;
    }
    stamp_visit(dst, brush, mask, x, y, fade, true, true,
                [&](int column, int row, int, int, int w) {
                    std::uint8_t* p = dst.row(row) + 3 * column;
                    p[2] = std::uint8_t(blend8(p[2], c.red, w, mode));
                    p[1] = std::uint8_t(blend8(p[1], c.green, w, mode));
                    p[0] = std::uint8_t(blend8(p[0], c.blue, w, mode));
                });
}

void stamp_color48(Image& dst, const Image& brush, const Image* mask, int x, int y, int fade,
                   const Rgb& c, int mode)
{
    if (blend_is_hue(mode)) {
        const HueSource hs = hue_source(mode, c.red, c.green, c.blue);
        stamp_visit(dst, brush, mask, x, y, fade, true, true,
                    [&](int column, int row, int, int, int w) {
                        std::uint16_t* p = dst.row16(row) + 3 * column;
                        int tr = 0, tg = 0, tb = 0;
                        hue_target16(hs, p[2], p[1], p[0], tr, tg, tb);
                        p[2] = std::uint16_t(mix16(p[2], tr, w));
                        p[1] = std::uint16_t(mix16(p[1], tg, w));
                        p[0] = std::uint16_t(mix16(p[0], tb, w));
                    });
        return;
    }
    const int r = widen8(c.red), g = widen8(c.green), b = widen8(c.blue);
    stamp_visit(dst, brush, mask, x, y, fade, true, true,
                [&](int column, int row, int, int, int w) {
                    std::uint16_t* p = dst.row16(row) + 3 * column;
                    p[2] = std::uint16_t(blend16(p[2], r, w, mode));
                    p[1] = std::uint16_t(blend16(p[1], g, w, mode));
                    p[0] = std::uint16_t(blend16(p[0], b, w, mode));
                });
}

void paint_stamp(PaintTool& t, int x, int y, ToolResult& res)
{
    Image& dst = *t.target.image;
    int fc = 0, fr = 0, lc = 0, lr = 0;
    if (!stamp_rect(dst, x, y, t.brush.width, t.brush.height, fc, fr, lc, lr))
        return;
    error_box(undo_save(t.target.window, dst, fc, fr, lc, lr));
    const Image* mask = usable_mask(t.target.mask, dst);
    const Rgb c{clamp_byte(t.settings.color.red), clamp_byte(t.settings.color.green),
                clamp_byte(t.settings.color.blue)};
    const int mode = std::clamp(t.settings.blend, 0, 6);
    switch (dst.type) {
    case IMAGE_BINARY:
        stamp_binary(dst, t.brush, mask, x, y, t.fade, c.red, mode);
        break;
    case IMAGE_GRAY:
    case IMAGE_GRAY16:
        stamp_gray(dst, t.brush, mask, x, y, t.fade, c.red, mode);
        break;
    case IMAGE_COLOR:
        stamp_color8(dst, t.brush, mask, x, y, t.fade, c, mode);
        break;
    case IMAGE_COLOR48:
        stamp_color48(dst, t.brush, mask, x, y, t.fade, c, mode);
        break;
    default:
        return;
    }
    tool_result_add(res, t.target.window, fc, fr, lc, lr);
}

// Stamps along the path to (x, y), weakening each stamp by the fadeout; a stroke that has
// faded to nothing makes no more stamps.
void paint_path(PaintTool& t, int x, int y, ToolResult& res)
{
    std::vector<StrokePoint> points;
    stroke_points(t.last_x, t.last_y, x, y,
                  stroke_step(t.settings.brush.spacing, t.settings.brush.radius), points);
    const double f = std::clamp(t.settings.brush.fadeout, 0.0, 1.0);
    const double keep = 1.0 - f * f * f;
    for (const StrokePoint& p : points) {
        if (t.fade == 0)
            break;
        paint_stamp(t, p.x, p.y, res);
        t.fade_factor *= keep;
        t.fade = clamp_byte(round_nearest(255.0 * t.fade_factor));
    }
    t.last_x = x;
    t.last_y = y;
}

void paint_press(PaintTool& t, const ToolWindow& win, int x, int y, ToolResult& res)
{
    if (int e = product_table_build()) {
        res.error = e;
        return;
    }
    if (t.brush.empty()) {
        if (int e = paint_rebuild_brush(t)) {
            res.error = e;
            return;
        }
    }
    error_box(undo_begin());
    t.target = win;
    t.painting = true;
    t.fade_factor = 1.0;
    t.fade = 255;
    t.last_x = t.last_y = -1;
    paint_path(t, x, y, res);
}

void paint_move(PaintTool& t, int x, int y, ToolResult& res)
{
    if (t.settings.single)
        return;
    const int half = (t.brush.width / 2) / 2;
    if (std::abs(x - t.last_x) < half && std::abs(y - t.last_y) < half)
        return;
    paint_path(t, x, y, res);
}

void paint_end(PaintTool& t, ToolResult& res)
{
    t.painting = false;
    res.finished = true;
    res.window = t.target.window;
    t.target = {};
}

} // namespace

bool paint_type_ok(int type)
{
    return is_picture_type(type);
}

int paint_rebuild_brush(PaintTool& tool)
{
    return brush_build(tool.settings.brush, tool.brush);
}

bool probe_color(const Image& image, int x, int y, int n, Rgb& color)
{
    if (!is_picture_type(image.type) || image.empty() || x < 0 || y < 0 || x >= image.width ||
        y >= image.height)
        return false;
    const int h = std::max(n, 1) / 2;
    const int c0 = std::max(x - h, 0), c1 = std::min(x + h, image.width - 1);
    const int r0 = std::max(y - h, 0), r1 = std::min(y + h, image.height - 1);
    long long sum[3] = {0, 0, 0};
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            int rgb[3];
            pixel_read(image, c, r, rgb);
            for (int k = 0; k < 3; ++k)
                sum[k] += rgb[k];
        }
    const long long count = (long long)(c1 - c0 + 1) * (r1 - r0 + 1);
    int avg[3];
    for (int k = 0; k < 3; ++k)
        avg[k] = int((sum[k] + count / 2) / count);
    if (image.type == IMAGE_GRAY16 || image.type == IMAGE_COLOR48)
        for (int& v : avg)
            v = narrow16(v);
    color = {avg[0], avg[1], avg[2]};
    return true;
}

void paint_event(PaintTool& t, const ToolWindow& win, int x, int y, int event, ToolResult& res)
{
    x = tool_coordinate(x);
    y = tool_coordinate(y);
    const bool usable = win.image && paint_type_ok(win.image->type) && !win.image->empty();
    switch (event) {
    case kToolShiftPress: {
        if (t.painting || !win.image)
            return;
        const int n = 2 * std::clamp(t.settings.probe, 1, 5) - 1;
        if (probe_color(*win.image, x, y, n, t.settings.color))
            res.color = true;
        return;
    }
    case kToolPress:
        if (t.painting) // a release that never arrived ends the old stroke
            paint_end(t, res);
        if (!usable) {
            res.error = kCantPaintType;
            return;
        }
        paint_press(t, win, x, y, res);
        return;
    case kToolMove:
    case kToolShiftMove:
        if (t.painting && win.window == t.target.window)
            paint_move(t, x, y, res);
        return;
    case kToolRelease:
        if (t.painting)
            paint_end(t, res);
        return;
    case kToolClosing:
        if (t.painting && win.window == t.target.window)
            paint_end(t, res);
        return;
    default:
        return;
    }
}

bool paint_pressure(PaintTool& t, int q)
{
    if (!t.painting)
        return false;
    const double v = transparency_from_pressure(q);
    if (v == t.settings.brush.transparency)
        return false;
    t.settings.brush.transparency = v;
    if (paint_rebuild_brush(t))
        error_box(kOutOfMemory);
    return true;
}

} // namespace mv
