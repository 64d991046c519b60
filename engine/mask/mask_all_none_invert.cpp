#include "mask_all_none_invert.h"

#include <cstring>

namespace mv {
namespace {

void fill(MaskRows& m, std::uint8_t value, std::uint8_t state)
{
    Image& mask = *m.mask;
    for (int y = 0; y < mask.height; ++y) {
        std::memset(mask.row(y), value, mask.width);
        m.states[y] = state;
    }
}

} // namespace

void mask_all(MaskRows& m)
{
    fill(m, 255, MASK_ROW_FULL);
}

void mask_none(MaskRows& m)
{
    fill(m, 0, MASK_ROW_ZERO);
}

void mask_invert(MaskRows& m)
{
    Image& mask = *m.mask;
    for (int y = 0; y < mask.height; ++y) {
        std::uint8_t* p = mask.row(y);
        for (int x = 0; x < mask.width; ++x)
            p[x] = std::uint8_t(255 - p[x]);
        if (m.states[y] != MASK_ROW_MIXED)
            m.states[y] = m.states[y] == MASK_ROW_ZERO ? MASK_ROW_FULL : MASK_ROW_ZERO;
    }
}

} // namespace mv
