#include "mask_rows.h"

#include "core/error.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {

std::uint8_t mask_row_state(const std::uint8_t* row, int width)
{
    if (width <= 0)
        return MASK_ROW_ZERO;
    const std::uint8_t first = row[0];
    if (first != 0 && first != 255)
        return MASK_ROW_MIXED;
    for (int x = 1; x < width; ++x)
        if (row[x] != first)
            return MASK_ROW_MIXED;
    return first == 0 ? MASK_ROW_ZERO : MASK_ROW_FULL;
}

int mask_rows_attach(MaskRows& m, Image& mask)
{
    if (mask.type != IMAGE_GRAY)
        return kIllegalImageType;
    try {
        m.states.assign(mask.height, MASK_ROW_ZERO);
    } catch (const std::bad_alloc&) {
        m.mask = nullptr;
        return kOutOfMemory;
    }
    m.mask = &mask;
    mask_rows_update_all(m);
    return kOk;
}

int mask_new(const Image& picture, Image& mask, MaskRows& m)
{
    if (!is_picture_type(picture.type) || picture.empty())
        return kIllegalImageType;
    if (const int err = image_alloc(mask, IMAGE_GRAY, picture.width, picture.height, 100.0))
        return err;
    for (int y = 0; y < mask.height; ++y)
        std::memset(mask.row(y), 0, mask.row_bytes);
    try {
        m.states.assign(mask.height, MASK_ROW_ZERO);
    } catch (const std::bad_alloc&) {
        image_free(mask);
        m.mask = nullptr;
        return kOutOfMemory;
    }
    m.mask = &mask;
    return kOk;
}

void mask_rows_update(MaskRows& m, int y)
{
    m.states[y] = mask_row_state(m.mask->row(y), m.mask->width);
}

void mask_rows_update_all(MaskRows& m)
{
    for (int y = 0; y < m.mask->height; ++y)
        mask_rows_update(m, y);
}

void mask_merge_values(MaskRows& m, int y, const std::uint8_t* r, int mode)
{
    if (mask_row_skipped(m.states[y], mode))
        return;
    std::uint8_t* p = m.mask->row(y);
    const int w = m.mask->width;
    switch (mode) {
    case MASK_ADD:
        for (int x = 0; x < w; ++x)
            p[x] = std::max(p[x], r[x]);
        break;
    case MASK_SUBTRACT:
        for (int x = 0; x < w; ++x)
            p[x] = p[x] > r[x] ? std::uint8_t(p[x] - r[x]) : 0;
        break;
    case MASK_OVERLAP:
        for (int x = 0; x < w; ++x)
            p[x] = std::min(p[x], r[x]);
        break;
    case MASK_INVERT:
        for (int x = 0; x < w; ++x)
            p[x] ^= r[x];
        break;
    default: return;
    }
    mask_rows_update(m, y);
}

namespace {

void fill_span(std::uint8_t* p, int x0, int x1, int mode)
{
    switch (mode) {
    case MASK_ADD: std::memset(p + x0, 255, x1 - x0 + 1); break;
    case MASK_SUBTRACT: std::memset(p + x0, 0, x1 - x0 + 1); break;
    case MASK_INVERT:
        for (int x = x0; x <= x1; ++x)
            p[x] = std::uint8_t(255 - p[x]);
        break;
    default: break;
    }
}

// Overlap within a reached row: zero every column outside the spans.
void clear_outside(std::uint8_t* p, int width, const std::vector<MaskSpan>& spans)
{
    int next = 0; // first column not yet handled
    for (const MaskSpan& s : spans) {
        const int x0 = std::max<int>(s.x0, 0), x1 = std::min<int>(s.x1, width - 1);
        if (x0 > x1)
            continue;
        if (x0 > next)
            std::memset(p + next, 0, x0 - next);
        next = std::max(next, x1 + 1);
    }
    if (next < width)
        std::memset(p + next, 0, width - next);
}

} // namespace

void mask_merge_region(MaskRows& m, const MaskRegion& region, int mode)
{
    if (mode < MASK_ADD || mode > MASK_INVERT)
        return;
    Image& mask = *m.mask;
    const int w = mask.width;
    const int first = region.first_row;
    const int last = first + int(region.rows.size()) - 1;
    // Overlap also clears the rows the region does not reach, so it walks the whole mask.
    const int y0 = mode == MASK_OVERLAP ? 0 : std::max(first, 0);
    const int y1 = mode == MASK_OVERLAP ? mask.height - 1 : std::min(last, mask.height - 1);
    for (int y = y0; y <= y1; ++y) {
        if (mask_row_skipped(m.states[y], mode))
            continue;
        std::uint8_t* p = mask.row(y);
        if (y < first || y > last) { // only Overlap gets here
            std::memset(p, 0, w);
            m.states[y] = MASK_ROW_ZERO;
            continue;
        }
        const std::vector<MaskSpan>& spans = region.rows[y - first];
        if (mode == MASK_OVERLAP) {
            clear_outside(p, w, spans);
        } else {
            if (spans.empty())
                continue;
            for (const MaskSpan& s : spans) {
                const int x0 = std::max<int>(s.x0, 0), x1 = std::min<int>(s.x1, w - 1);
                if (x0 <= x1)
                    fill_span(p, x0, x1, mode);
            }
        }
        mask_rows_update(m, y);
    }
}

} // namespace mv
