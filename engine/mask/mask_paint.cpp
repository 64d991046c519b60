#include "mask_paint.h"

#include "core/error.h"
#include "tools/brush.h"
#include "tools/stroke.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mv {
namespace {

void rect_add(MaskRect& r, int c0, int r0, int c1, int r1)
{
    if (r.empty()) {
        r = {c0, r0, c1, r1};
        return;
    }
    r.first_column = std::min(r.first_column, c0);
    r.first_row = std::min(r.first_row, r0);
    r.last_column = std::max(r.last_column, c1);
    r.last_row = std::max(r.last_row, r1);
}

// Mask row y over columns x0..x1 := the row before the stroke merged with the coverage.
void merge_span(MaskRows& m, const MaskUndo& before, const Image& coverage, int mode, int y, int x0, int x1)
{
    const std::uint8_t* b = before.copy.row(y);
    const std::uint8_t* c = coverage.row(y);
    std::uint8_t* out = m.mask->row(y);
    switch (mode) {
    case MASK_ADD:
        for (int x = x0; x <= x1; ++x)
            out[x] = std::max(b[x], c[x]);
        break;
    case MASK_SUBTRACT:
        for (int x = x0; x <= x1; ++x)
            out[x] = std::uint8_t(b[x] > c[x] ? b[x] - c[x] : 0);
        break;
    case MASK_OVERLAP:
        for (int x = x0; x <= x1; ++x)
            out[x] = std::min(b[x], c[x]);
        break;
    default:
        for (int x = x0; x <= x1; ++x)
            out[x] = std::uint8_t(b[x] ^ c[x]);
        break;
    }
    mask_rows_update(m, y);
}

// One stamp centred on (x, y): the coverage takes the larger weight, then the rows the
// stamp touched are merged again. Rows the mode cannot change (judged by their state
// before the stroke) keep their values.
void stamp(MaskRows& m, const MaskUndo& before, MaskPaint& p, int x, int y, MaskRect& changed)
{
    int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    if (!stamp_rect(p.coverage, x, y, p.brush.width, p.brush.height, c0, r0, c1, r1))
        return;
    stamp_visit(p.coverage, p.brush, nullptr, x, y, 255, true, true,
                [&p](int column, int row, int, int, int w) {
                    std::uint8_t& c = p.coverage.row(row)[column];
                    if (w > c)
                        c = std::uint8_t(w);
                });
    for (int row = r0; row <= r1; ++row)
        if (!mask_row_skipped(before.states[size_t(row)], p.mode))
            merge_span(m, before, p.coverage, p.mode, row, c0, c1);
    rect_add(changed, c0, r0, c1, r1);
}

} // namespace

int mask_paint_begin(MaskRows& m, const MaskUndo& before, MaskPaint& p, const MaskBrushSettings& s,
                     int mode, int x, int y, MaskRect& changed)
{
    mask_paint_end(p);
    const Image& mask = *m.mask;
    if (!before.valid || before.copy.type != IMAGE_GRAY || before.copy.width != mask.width ||
        before.copy.height != mask.height || before.states.size() != size_t(mask.height))
        return kIllegalImageType;
    if (const int err = brush_build(s.radius, s.transparency, s.softness, p.brush))
        return err;
    if (const int err = image_alloc(p.coverage, IMAGE_GRAY, mask.width, mask.height, 100.0)) {
        mask_paint_end(p);
        return err;
    }
    for (int row = 0; row < mask.height; ++row)
        std::memset(p.coverage.row(row), 0, size_t(mask.width));
    p.mode = std::clamp(mode, int(MASK_ADD), int(MASK_INVERT));
    p.step = stroke_step(kMaskPaintSpacing, s.radius);
    p.painting = true;
    p.last_x = tool_coordinate(x);
    p.last_y = tool_coordinate(y);
    if (p.mode == MASK_OVERLAP) {
        // Nothing is covered yet: the whole mask becomes min(b, 0) = 0.
        for (int row = 0; row < mask.height; ++row) {
            std::memset(m.mask->row(row), 0, size_t(mask.width));
            m.states[size_t(row)] = MASK_ROW_ZERO;
        }
        rect_add(changed, 0, 0, mask.width - 1, mask.height - 1);
    }
    stamp(m, before, p, p.last_x, p.last_y, changed);
    return kOk;
}

void mask_paint_to(MaskRows& m, const MaskUndo& before, MaskPaint& p, int x, int y, MaskRect& changed)
{
    if (!p.painting)
        return;
    x = tool_coordinate(x);
    y = tool_coordinate(y);
    if (std::max(std::abs(x - p.last_x), std::abs(y - p.last_y)) < p.step)
        return;
    // The stepping treats a start of (-1, -1) as "no stamp yet"; the path is shifted by one
    // pixel so that a stroke really passing there still gets every stamp.
    const int shift = p.last_x == -1 && p.last_y == -1 ? 1 : 0;
    std::vector<StrokePoint> points;
    stroke_points(p.last_x + shift, p.last_y + shift, x + shift, y + shift, p.step, points);
    for (const StrokePoint& s : points)
        stamp(m, before, p, s.x - shift, s.y - shift, changed);
    p.last_x = x;
    p.last_y = y;
}

void mask_paint_end(MaskPaint& p)
{
    p.painting = false;
    image_free(p.coverage);
    image_free(p.brush);
}

} // namespace mv
