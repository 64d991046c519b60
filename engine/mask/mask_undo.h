// The Mask Tool's one-step undo: a copy of the mask taken before every operation, put back by
// the Undo button and whenever an operation fails or is cancelled. The same copy serves as
// the saved rows of an existing mask, which Cancel puts back.
#pragma once

#include "mask_rows.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace mv {

struct MaskUndo {
    Image copy;                        // the mask's rows when taken
    std::vector<std::uint8_t> states;  // and their states
    bool valid = false;
};

// Copies the mask and its row states into `u`. 1 when out of memory (`u` then holds nothing).
int mask_undo_take(const MaskRows& m, MaskUndo& u);

// Puts the copied rows and states back; nothing when no copy is held or its size differs.
void mask_undo_restore(MaskRows& m, const MaskUndo& u);

// Runs one mask operation: takes the undo copy, runs `op` (returning an error code) and, when
// it fails or is cancelled, restores the mask from the copy. Returns the operation's code, or
// 1 when the copy cannot be taken (the operation then does not run).
template <class Operation>
int mask_operation(MaskRows& m, MaskUndo& u, Operation&& op)
{
    if (const int err = mask_undo_take(m, u))
        return err;
    const int err = std::forward<Operation>(op)();
    if (err)
        mask_undo_restore(m, u);
    return err;
}

} // namespace mv
