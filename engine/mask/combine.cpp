#include "combine.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"

#include <new>
#include <vector>

namespace mv {

int mask_combine(MaskRows& m, const CombineSource& source, int mode)
{
    const Image& mask = *m.mask;
    const Image* other = source.image;
    if (other && (other->type != IMAGE_GRAY || other->width != mask.width ||
                  other->height != mask.height))
        return kIllegalImageType;
    std::vector<std::uint8_t> constant;
    if (!other) {
        try {
            constant.assign(mask.width, std::uint8_t(clamp_byte(source.level)));
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
    }
    ProgressScope progress(mask.pixels(), 0, mask.height - 1, "Combine", true);
    for (int y = 0; y < mask.height; ++y) {
        if (const int err = progress.update(y))
            return err;
        mask_merge_values(m, y, other ? other->row(y) : constant.data(), mode);
    }
    return kOk;
}

} // namespace mv
