#include "brightness_curve_mask.h"

#include "picture_rows.h"

#include "core/error.h"
#include "core/progress.h"
#include "tone/value_tables.h"

#include <new>
#include <vector>

namespace mv {

int mask_brightness_curve(MaskRows& m, const Image& picture, const Curve& curve, int mode)
{
    const Image& mask = *m.mask;
    if (!is_picture_type(picture.type) || picture.width != mask.width ||
        picture.height != mask.height)
        return kIllegalImageType;
    const bool gray = picture_is_gray(picture.type);
    std::uint8_t table[256];
    curve_table8(curve, table);
    std::vector<std::uint8_t> source, r;
    try {
        source.resize(size_t(picture.width) * (gray ? 1 : 3));
        r.resize(picture.width);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    ProgressScope progress(picture.pixels(), 0, picture.height - 1, "Brightness Curve Mask", true);
    for (int y = 0; y < picture.height; ++y) {
        if (const int err = progress.update(y))
            return err;
        if (mask_row_skipped(m.states[y], mode))
            continue;
        if (gray) {
            picture_gray_row(picture, y, source.data());
            for (int x = 0; x < picture.width; ++x)
                r[x] = table[source[x]];
        } else {
            picture_color_row(picture, y, source.data());
            const std::uint8_t* p = source.data();
            for (int x = 0; x < picture.width; ++x, p += 3)
                r[x] = table[luminance(p[2], p[1], p[0])];
        }
        mask_merge_values(m, y, r.data(), mode);
    }
    return kOk;
}

} // namespace mv
