// The mask being edited and its row states, and the four ways an operation's result is merged
// into it. A mask is an 8-bit gray image of the picture's size; each row carries a state that
// says whether it is all 0, all 255 or mixed, so merges can skip rows they cannot change.
#pragma once

#include "core/image.h"

#include <cstdint>
#include <vector>

namespace mv {

enum MaskRowState : std::uint8_t { MASK_ROW_ZERO = 0, MASK_ROW_FULL = 1, MASK_ROW_MIXED = 2 };

enum MaskCombineMode : int { MASK_ADD = 0, MASK_SUBTRACT = 1, MASK_OVERLAP = 2, MASK_INVERT = 3 };

// The mask image (owned elsewhere: it is the picture of the mask window) and one state per row.
struct MaskRows {
    Image* mask = nullptr;
    std::vector<std::uint8_t> states;
};

// An inclusive run of columns within one row.
struct MaskSpan {
    std::int32_t x0 = 0, x1 = 0;
};

// The inside of a shape as runs of columns, row by row from `first_row` upwards (rows count
// from the bottom like the picture's). Spans of a row are sorted and do not overlap; a row
// may have none.
struct MaskRegion {
    std::int32_t first_row = 0;
    std::vector<std::vector<MaskSpan>> rows;
};

// State of a row of `width` values: 0 when all are 0, 1 when all are 255, else 2.
std::uint8_t mask_row_state(const std::uint8_t* row, int width);

// Attaches `mask` (which must be 8-bit gray) and computes every row state. 14 for another
// type, 1 when the states cannot be allocated.
int mask_rows_attach(MaskRows& m, Image& mask);

// Allocates a new mask for a picture: 8-bit gray of the picture's size, resolution 100.0,
// every value 0, every state 0. 14 for a picture that is not of a picture type, 1 when out of
// memory (the mask is then empty).
int mask_new(const Image& picture, Image& mask, MaskRows& m);

// Recomputes the state of row `y` from its values.
void mask_rows_update(MaskRows& m, int y);
// Recomputes every row state.
void mask_rows_update_all(MaskRows& m);

// True when a merge in `mode` cannot change a row of state `state`: Add leaves full rows,
// Subtract and Overlap leave empty rows as they are.
inline bool mask_row_skipped(std::uint8_t state, int mode)
{
    return mode == MASK_ADD ? state == MASK_ROW_FULL
         : (mode == MASK_SUBTRACT || mode == MASK_OVERLAP) ? state == MASK_ROW_ZERO
                                                          : false;
}

// Merges per-pixel values r[0..width-1] into mask row `y`: Add max(m, r), Subtract m - r (at
// least 0), Overlap min(m, r), Invert m XOR r. Skips rows the mode cannot change and
// recomputes the row's state otherwise.
void mask_merge_values(MaskRows& m, int y, const std::uint8_t* r, int mode);

// Merges a region: Add sets the inside to 255, Subtract to 0, Invert inverts it, Overlap sets
// everything outside it to 0, including every row the region does not reach. Spans are
// limited to the mask; rows are skipped as for value merges.
void mask_merge_region(MaskRows& m, const MaskRegion& region, int mode);

} // namespace mv
