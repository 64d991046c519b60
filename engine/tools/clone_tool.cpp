#include "clone_tool.h"

#include "core/error.h"
#include "tone/value_tables.h"
#include "tools/blend_modes.h"

#include <cstdlib>

namespace mv {
namespace {

bool is_gray(int type)
{
    return type == IMAGE_GRAY || type == IMAGE_GRAY16;
}

bool is_wide(int type)
{
    return type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
}

bool inside(const Image& img, int x, int y)
{
    return x >= 0 && y >= 0 && x < img.width && y < img.height;
}

int wrap(int v, int n)
{
    v %= n;
    return v < 0 ? v + n : v;
}

void set_source(CloneTool& t, const ToolWindow& win, int x, int y, ToolResult& res)
{
    t.source_window = win.window;
    t.source_image = win.image;
    t.source_x = x;
    t.source_y = y;
    t.anchored = false; // a new source starts a new offset
    res.marker = true;
}

// The source centre for a stamp centred on (x, y).
void source_centre(const CloneTool& t, int x, int y, int& sx, int& sy)
{
    switch (t.settings.source_mode) {
    case kCloneOneToOne:
        sx = x;
        sy = y;
        break;
    case kCloneFixed:
        sx = t.anchor_source_x;
        sy = t.anchor_source_y;
        break;
    default: // Free and Linked follow the pointer from the anchors
        sx = t.anchor_source_x + (x - t.anchor_x);
        sy = t.anchor_source_y + (y - t.anchor_y);
    }
}

// Converts source channel values to the destination's depth.
void to_depth(int src_type, int dst_type, int rgb[3])
{
    if (is_wide(src_type) == is_wide(dst_type))
        return;
    for (int c = 0; c < 3; ++c)
        rgb[c] = is_wide(src_type) ? narrow16(rgb[c]) : widen8(rgb[c]);
}

void put_pixel(Image& dst, int column, int row, const int rgb[3], int w, int mode)
{
    switch (dst.type) {
    case IMAGE_GRAY: {
        std::uint8_t& p = dst.row(row)[column];
        p = std::uint8_t(blend8(p, rgb[0], w, mode));
        break;
    }
    case IMAGE_COLOR: {
        std::uint8_t* p = dst.row(row) + 3 * column;
        p[2] = std::uint8_t(blend8(p[2], rgb[0], w, mode));
        p[1] = std::uint8_t(blend8(p[1], rgb[1], w, mode));
        p[0] = std::uint8_t(blend8(p[0], rgb[2], w, mode));
        break;
    }
    case IMAGE_GRAY16: {
        std::uint16_t& p = dst.row16(row)[column];
        p = std::uint16_t(blend16(p, rgb[0], w, mode));
        break;
    }
    case IMAGE_COLOR48: {
        std::uint16_t* p = dst.row16(row) + 3 * column;
        p[2] = std::uint16_t(blend16(p[2], rgb[0], w, mode));
        p[1] = std::uint16_t(blend16(p[1], rgb[1], w, mode));
        p[0] = std::uint16_t(blend16(p[0], rgb[2], w, mode));
        break;
    }
    default:
        break;
    }
}

// One stamp centred on (x, y) of the destination, taking pixels around (sx, sy) of the
// source.
void clone_stamp(CloneTool& t, int x, int y, int sx, int sy, ToolResult& res)
{
    Image& dst = *t.target.image;
    const Image& src = *t.source_image;
    int fc = 0, fr = 0, lc = 0, lr = 0;
    if (!stamp_rect(dst, x, y, t.brush.width, t.brush.height, fc, fr, lc, lr))
        return;
    error_box(undo_save(t.target.window, dst, fc, fr, lc, lr));

    const int hw = t.brush.width / 2, hh = t.brush.height / 2;
    const bool same = t.source_window == t.target.window;
    const bool overlap = same && std::abs(sx - x) <= hw && std::abs(sy - y) <= hh;
    const bool tiled = t.settings.tiled;
    const int mode = t.settings.blend;
    const Image* mask = usable_mask(t.target.mask, dst);
    stamp_visit(dst, t.brush, mask, x, y, 255, sy >= y, sx >= x,
                [&](int column, int row, int i, int j, int w) {
                    int scol = sx + i - hw, srow = sy + j - hh;
                    if (tiled) {
                        scol = wrap(scol, src.width);
                        srow = wrap(srow, src.height);
                    } else if (!inside(src, scol, srow)) {
                        return;
                    }
                    int rgb[3];
                    if (!overlap || !undo_saved_value(t.mark, t.source_window, scol, srow, rgb))
                        pixel_read(src, scol, srow, rgb);
                    to_depth(src.type, dst.type, rgb);
                    put_pixel(dst, column, row, rgb, w, mode);
                });
    tool_result_add(res, t.target.window, fc, fr, lc, lr);
}

// Stamps along the path to (x, y); without Tiled the segment stops at the first stamp whose
// source or destination centre lies outside its picture.
void clone_path(CloneTool& t, int x, int y, ToolResult& res)
{
    std::vector<StrokePoint> points;
    stroke_points(t.last_x, t.last_y, x, y,
                  stroke_step(t.settings.brush.spacing, t.settings.brush.radius), points);
    for (const StrokePoint& p : points) {
        if (t.source_image->empty() || !clone_type_ok(t.source_image->type) ||
            t.source_image->type != t.source_type)
            break; // the source picture was replaced under the stroke
        int sx = 0, sy = 0;
        source_centre(t, p.x, p.y, sx, sy);
        if (t.settings.tiled) {
            sx = wrap(sx, t.source_image->width);
            sy = wrap(sy, t.source_image->height);
        } else if (!inside(*t.source_image, sx, sy) || !inside(*t.target.image, p.x, p.y)) {
            break;
        }
        clone_stamp(t, p.x, p.y, sx, sy, res);
        if (t.source_x != sx || t.source_y != sy) {
            t.source_x = sx;
            t.source_y = sy;
            res.marker = true;
        }
    }
    t.last_x = x;
    t.last_y = y;
}

void clone_press(CloneTool& t, const ToolWindow& win, int x, int y, ToolResult& res)
{
    if (!t.source_window || !t.source_image || t.source_image->empty() ||
        !clone_type_ok(t.source_image->type)) {
        set_source(t, win, x, y, res);
        return;
    }
    if (!is_gray(t.source_image->type) && is_gray(win.image->type)) {
        res.error = kCantCloneColorOverGray;
        return;
    }
    if (int e = product_table_build()) {
        res.error = e;
        return;
    }
    if (t.brush.empty()) {
        if (int e = clone_rebuild_brush(t)) {
            res.error = e;
            return;
        }
    }
    error_box(undo_begin());
    t.mark = undo_mark();
    t.target = win;
    t.painting = true;
    t.anchored = true;
    t.anchor_x = x;
    t.anchor_y = y;
    t.anchor_source_x = t.source_x;
    t.anchor_source_y = t.source_y;
    t.source_type = t.source_image->type;
    t.last_x = t.last_y = -1;
    clone_path(t, x, y, res);
}

// Between strokes the source marker follows the pointer as the source mode says.
void clone_follow(CloneTool& t, int x, int y, ToolResult& res)
{
    if (!t.source_window)
        return;
    int sx = t.source_x, sy = t.source_y;
    switch (t.settings.source_mode) {
    case kCloneLinked:
        if (!t.anchored)
            return;
        sx = t.anchor_source_x + (x - t.anchor_x);
        sy = t.anchor_source_y + (y - t.anchor_y);
        break;
    case kCloneOneToOne:
        sx = x;
        sy = y;
        break;
    case kCloneFixed:
        if (!t.anchored)
            return;
        sx = t.anchor_source_x;
        sy = t.anchor_source_y;
        break;
    default:
        return;
    }
    if (sx != t.source_x || sy != t.source_y) {
        t.source_x = sx;
        t.source_y = sy;
        res.marker = true;
    }
}

void clone_end(CloneTool& t, ToolResult& res)
{
    t.painting = false;
    res.finished = true;
    res.window = t.target.window;
    if (t.settings.source_mode == kCloneFree && t.source_window) {
        t.source_x = t.anchor_source_x;
        t.source_y = t.anchor_source_y;
        res.marker = true;
    }
    t.target = {};
}

} // namespace

bool clone_type_ok(int type)
{
    return type == IMAGE_GRAY || type == IMAGE_COLOR || type == IMAGE_GRAY16 ||
           type == IMAGE_COLOR48;
}

int clone_rebuild_brush(CloneTool& tool)
{
    return brush_build(tool.settings.brush, tool.brush);
}

void clone_event(CloneTool& t, const ToolWindow& win, int x, int y, int event, ToolResult& res)
{
    x = tool_coordinate(x);
    y = tool_coordinate(y);
    const bool usable = win.image && clone_type_ok(win.image->type) && !win.image->empty();
    switch (event) {
    case kToolShiftPress:
        if (t.painting)
            return;
        if (!usable) {
            res.error = kCantCloneType;
            return;
        }
        set_source(t, win, x, y, res);
        return;
    case kToolPress:
        if (t.painting) // a release that never arrived ends the old stroke
            clone_end(t, res);
        if (!usable) {
            res.error = kCantCloneType;
            return;
        }
        clone_press(t, win, x, y, res);
        return;
    case kToolMove:
    case kToolShiftMove:
        if (!usable)
            return;
        if (!t.painting)
            clone_follow(t, x, y, res);
        else if (win.window == t.target.window && !t.settings.single)
            clone_path(t, x, y, res);
        return;
    case kToolRelease:
        if (t.painting)
            clone_end(t, res);
        return;
    case kToolClosing:
        if (t.painting && (win.window == t.target.window || win.window == t.source_window))
            clone_end(t, res);
        if (win.window && win.window == t.source_window) {
            t.source_window = nullptr;
            t.source_image = nullptr;
            t.anchored = false;
            res.marker = true;
        }
        return;
    case kToolViewChanged:
        if (win.window && win.window == t.source_window)
            res.marker = true;
        return;
    default:
        return;
    }
}

bool clone_pressure(CloneTool& t, int q)
{
    if (!t.painting)
        return false;
    const double v = transparency_from_pressure(q);
    if (v == t.settings.brush.transparency)
        return false;
    t.settings.brush.transparency = v;
    if (clone_rebuild_brush(t))
        error_box(kOutOfMemory);
    return true;
}

int clone_marker_radius(int brush_radius, int zoom)
{
    long long r = brush_radius;
    if (zoom > 1)
        r *= zoom;
    else if (zoom < -1)
        r /= -zoom;
    return r < 1 ? 1 : r > 1000000 ? 1000000 : int(r);
}

} // namespace mv
