#include "display_build.h"

#include "core/error.h"
#include "core/util.h"
#include "mask/mask_overlay.h"
#include "tone/value_tables.h"

#include <vector>

namespace mv {
namespace {

// Picture row (from the top) and column shown at display offset d along an axis whose
// display position starts at `origin`.
int source_index(int origin, int d, int zoom)
{
    return zoom >= 1 ? (origin + d) / zoom : (origin + d) * -zoom;
}

void build_row(const Image& img, int src_row, const std::vector<int>& columns, int x0,
               std::uint8_t* out)
{
    const int n = int(columns.size());
    const std::uint8_t* in = img.row(src_row);
    const DisplayLookup& t = display_lookup();
    const std::uint8_t* narrow = value_tables().narrow16;
    switch (img.type) {
    case IMAGE_BINARY:
        for (int k = 0; k < n; ++k)
            bit_put(out, x0 + k, bit_test(in, columns[k]));
        break;
    case IMAGE_GRAY:
        for (int k = 0; k < n; ++k)
            out[x0 + k] = in[columns[k]];
        break;
    case IMAGE_GRAY16: {
        const auto* in16 = reinterpret_cast<const std::uint16_t*>(in);
        for (int k = 0; k < n; ++k)
            out[x0 + k] = narrow[in16[columns[k]]];
        break;
    }
    case IMAGE_COLOR:
        for (int k = 0; k < n; ++k) {
            const std::uint8_t* p = in + 3 * columns[k];
            std::uint8_t* q = out + 3 * (x0 + k);
            q[0] = t.blue[p[0]];
            q[1] = t.green[p[1]];
            q[2] = t.red[p[2]];
        }
        break;
    case IMAGE_COLOR48: {
        const auto* in16 = reinterpret_cast<const std::uint16_t*>(in);
        for (int k = 0; k < n; ++k) {
            const std::uint16_t* p = in16 + 3 * columns[k];
            std::uint8_t* q = out + 3 * (x0 + k);
            q[0] = t.blue[narrow[p[0]]];
            q[1] = t.green[narrow[p[1]]];
            q[2] = t.red[narrow[p[2]]];
        }
        break;
    }
    default: break;
    }
}

// Bytes of display columns x0..x1 within a row, for copying a repeated row.
void copy_span(const Image& d, const std::uint8_t* from, std::uint8_t* to, int x0, int x1)
{
    if (d.type == IMAGE_BINARY) {
        for (int x = x0; x <= x1; ++x)
            bit_put(to, x, bit_test(from, x));
        return;
    }
    const int bpp = image_pixel_bytes(d.type);
    std::copy(from + x0 * bpp, from + (x1 + 1) * bpp, to + x0 * bpp);
}

} // namespace

int display_type(int picture_type)
{
    switch (picture_type) {
    case IMAGE_BINARY: return IMAGE_BINARY;
    case IMAGE_GRAY:
    case IMAGE_GRAY16: return IMAGE_GRAY;
    case IMAGE_COLOR:
    case IMAGE_COLOR48: return IMAGE_COLOR;
    default: return IMAGE_EMPTY;
    }
}

int display_type(const WindowRecord& r)
{
    const int type = display_type(r.image.type);
    return type != IMAGE_EMPTY && mask_overlay_shown(r) ? IMAGE_COLOR : type;
}

int display_build(WindowRecord& r)
{
    const int type = display_type(r);
    if (type == IMAGE_EMPTY)
        return kIllegalImageType;
    if (const int err = image_alloc(r.display, type, r.visible_width, r.visible_height, 100.0))
        return err;
    if (!r.display.empty())
        display_build_region(r, 0, 0, r.visible_width - 1, r.visible_height - 1);
    return kOk;
}

void display_build_region(WindowRecord& r, int x0, int y0, int x1, int y1)
{
    Image& d = r.display;
    if (d.empty())
        return;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, d.width - 1);
    y1 = std::min(y1, d.height - 1);
    if (x0 > x1 || y0 > y1)
        return;
    std::vector<int> columns(x1 - x0 + 1);
    for (int x = x0; x <= x1; ++x)
        columns[x - x0] = std::min(source_index(r.display_rect.left, x, r.zoom), r.image.width - 1);
    const Image* mask = mask_overlay_shown(r) && d.type == IMAGE_COLOR ? overlay_mask(r)
                                                                        : nullptr;
    int previous_source = -1;
    for (int y = y0; y <= y1; ++y) {
        const int t = std::min(source_index(r.display_rect.top, y, r.zoom), r.image.height - 1);
        const int src_row = r.image.height - 1 - t;
        std::uint8_t* out = d.row(d.height - 1 - y);
        if (src_row == previous_source) // magnified: the row above shows the same picture row
            copy_span(d, d.row(d.height - y), out, x0, x1);
        else if (mask)
            mask_overlay_row(r.image, src_row, *mask, columns.data(), int(columns.size()), r,
                             out + 3 * x0);
        else
            build_row(r.image, src_row, columns, x0, out);
        previous_source = src_row;
    }
}

} // namespace mv
