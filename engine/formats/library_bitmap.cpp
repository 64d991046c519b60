#include "library_bitmap.h"

#include "core/util.h"
#include "settings/preferences.h"

#include <cmath>
#include <cstring>

namespace mv {
namespace {

bool is_black_or_white(const PaletteEntry& e)
{
    return (e.red == 0 && e.green == 0 && e.blue == 0) ||
           (e.red == 255 && e.green == 255 && e.blue == 255);
}

bool black_and_white(const std::vector<PaletteEntry>& palette)
{
    for (const PaletteEntry& e : palette)
        if (!is_black_or_white(e))
            return false;
    return true;
}

bool gray_palette(const std::vector<PaletteEntry>& palette)
{
    for (const PaletteEntry& e : palette)
        if (e.red != e.green || e.green != e.blue)
            return false;
    return true;
}

} // namespace

int bitmap_image_type(const BitmapInfo& info)
{
    if (info.bits == 24)
        return IMAGE_COLOR;
    if (info.bits < 1 || info.bits > 8)
        return IMAGE_EMPTY;
    if (info.bits == 1 && (black_and_white(info.palette) || info.declared_colors == 0))
        return IMAGE_BINARY;
    return gray_palette(info.palette) ? IMAGE_GRAY : IMAGE_COLOR;
}

double bitmap_resolution(double file_dpi)
{
    if (!(file_dpi > 0) || !std::isfinite(file_dpi))
        return preferences().default_resolution;
    const double whole = std::round(file_dpi);
    return std::fabs(file_dpi - whole) < 0.03 ? whole : file_dpi;
}

void bitmap_put_indices(Image& img, int r, const std::uint8_t* indices, const BitmapInfo& info)
{
    std::uint8_t* out = img.row(r);
    const std::vector<PaletteEntry>& pal = info.palette;
    const int n = int(pal.size());
    const int w = img.width;
    switch (img.type) {
    case IMAGE_BINARY: {
        const bool by_colour = n > 0 && black_and_white(pal);
        std::memset(out, 0, size_t(img.row_bytes));
        for (int x = 0; x < w; ++x) {
            const int i = indices[x];
            const bool white = by_colour ? (i < n && pal[i].red == 255) : (i & 1) != 0;
            if (white)
                bit_set(out, x);
        }
        break;
    }
    case IMAGE_GRAY:
        for (int x = 0; x < w; ++x)
            out[x] = indices[x] < n ? pal[indices[x]].blue : 0;
        break;
    case IMAGE_COLOR:
        for (int x = 0; x < w; ++x, out += 3) {
            const PaletteEntry e = indices[x] < n ? pal[indices[x]] : PaletteEntry{};
            out[0] = e.blue;
            out[1] = e.green;
            out[2] = e.red;
        }
        break;
    default:
        break;
    }
}

} // namespace mv
