#include "mask_overlay.h"

#include "core/display_lookup.h"
#include "core/error.h"
#include "core/product_table.h"
#include "core/util.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <new>

namespace mv {

OverlayColor overlay_color(int index)
{
    switch (index) {
    case 1: return {0, 255, 0};
    case 2: return {0, 0, 255};
    case 3: return {255, 255, 255};
    default: return {255, 0, 0};
    }
}

int mask_overlay_set(WindowRecord& r, void* mask_window, int amount, OverlayColor color)
{
    amount = std::clamp(amount, kOverlayMaskOnly, 255);
    if (const int err = product_table_build()) {
        mask_overlay_remove(r);
        return err;
    }
    try {
        r.overlay_table.resize(256);
    } catch (const std::bad_alloc&) {
        mask_overlay_remove(r);
        return kOutOfMemory;
    }
    for (int m = 0; m < 256; ++m)
        r.overlay_table[m] = amount < 0 ? std::uint8_t(m) : product(m, amount);
    r.mask_window = mask_window;
    r.overlay_mode = amount;
    r.overlay_red = color.red;
    r.overlay_green = color.green;
    r.overlay_blue = color.blue;
    return kOk;
}

void mask_overlay_remove(WindowRecord& r)
{
    r.mask_window = nullptr;
    r.overlay_table.clear();
    r.overlay_table.shrink_to_fit();
    r.overlay_mode = 255;
    r.overlay_red = r.overlay_green = r.overlay_blue = 0;
}

void mask_overlay_blend(const std::uint8_t* bgr, const std::uint8_t* mask, int n,
                        const WindowRecord& r, std::uint8_t* out)
{
    const DisplayLookup& lut = display_lookup();
    if (r.overlay_mode < 0) {
        for (int k = 0; k < n; ++k, out += 3) {
            const std::uint8_t m = mask[k];
            out[0] = lut.blue[m];
            out[1] = lut.green[m];
            out[2] = lut.red[m];
        }
        return;
    }
    product_table_build();
    // A record whose table was never built still blends by its mode.
    std::uint8_t own[256];
    const std::uint8_t* t = r.overlay_table.data();
    if (r.overlay_table.size() != 256) {
        const int amount = std::min<int>(r.overlay_mode, 255);
        for (int m = 0; m < 256; ++m)
            own[m] = product(m, amount);
        t = own;
    }
    const int ob = r.overlay_blue, og = r.overlay_green, orr = r.overlay_red;
    for (int k = 0; k < n; ++k, bgr += 3, out += 3) {
        const int w = t[mask[k]];
        out[0] = lut.blue[mix8(bgr[0], ob, w)];
        out[1] = lut.green[mix8(bgr[1], og, w)];
        out[2] = lut.red[mix8(bgr[2], orr, w)];
    }
}

void mask_overlay_row(const Image& picture, int picture_row, const Image& mask,
                      const int* columns, int n, const WindowRecord& r, std::uint8_t* out)
{
    // Pixels go through a small buffer so no allocation is needed per row.
    constexpr int kBatch = 256;
    std::uint8_t bgr[3 * kBatch], m[kBatch];
    const std::uint8_t* in = picture.row(picture_row);
    const std::uint16_t* in16 = picture.row16(picture_row);
    // A mask that does not match the picture (never expected) shows the picture unmasked.
    const bool matches = mask.type == IMAGE_GRAY && mask.width == picture.width &&
                         mask.height == picture.height;
    const std::uint8_t* mrow = matches ? mask.row(picture_row) : nullptr;
    const std::uint8_t* narrow = value_tables().narrow16;
    for (int start = 0; start < n; start += kBatch) {
        const int count = std::min(kBatch, n - start);
        const int* col = columns + start;
        for (int k = 0; k < count; ++k) {
            const int c = col[k];
            std::uint8_t* q = bgr + 3 * k;
            m[k] = mrow ? mrow[c] : 0;
            switch (picture.type) {
            case IMAGE_BINARY: q[0] = q[1] = q[2] = bit_test(in, c) ? 255 : 0; break;
            case IMAGE_GRAY: q[0] = q[1] = q[2] = in[c]; break;
            case IMAGE_GRAY16: q[0] = q[1] = q[2] = narrow[in16[c]]; break;
            case IMAGE_COLOR:
                q[0] = in[3 * c];
                q[1] = in[3 * c + 1];
                q[2] = in[3 * c + 2];
                break;
            case IMAGE_COLOR48:
                q[0] = narrow[in16[3 * c]];
                q[1] = narrow[in16[3 * c + 1]];
                q[2] = narrow[in16[3 * c + 2]];
                break;
            default: q[0] = q[1] = q[2] = 0; break;
            }
        }
        mask_overlay_blend(bgr, m, count, r, out + 3 * start);
    }
}

} // namespace mv
