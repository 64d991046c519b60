#include "mask_undo.h"

#include "core/error.h"

#include <cstring>
#include <new>

namespace mv {

int mask_undo_take(const MaskRows& m, MaskUndo& u)
{
    u.valid = false;
    if (const int err = image_clone(*m.mask, u.copy)) {
        image_free(u.copy);
        return err;
    }
    try {
        u.states = m.states;
    } catch (const std::bad_alloc&) {
        image_free(u.copy);
        return kOutOfMemory;
    }
    u.valid = true;
    return kOk;
}

void mask_undo_restore(MaskRows& m, const MaskUndo& u)
{
    Image& mask = *m.mask;
    if (!u.valid || u.copy.width != mask.width || u.copy.height != mask.height ||
        u.copy.type != mask.type)
        return;
    for (int y = 0; y < mask.height; ++y)
        std::memcpy(mask.row(y), u.copy.row(y), mask.width);
    m.states = u.states; // same size, so no allocation
}

} // namespace mv
