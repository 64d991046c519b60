// The output row writer: every transformation stores its result rows through it, either at
// full size (step 1, computed straight into the image) or for a reduced preview at one
// computed pixel per block of step x step pixels, which the writer replicates across the
// block. 24-bit colour rows pass through the display channel tables unless the writer is
// told not to.
#pragma once

#include "image.h"

#include <cstdint>
#include <memory>

namespace mv {

struct RowWriter {
    Image* image = nullptr;
    int step = 1;
    int first_column = 0;
    int last_column = 0; // inclusive
    int row_bytes = 0;
    int current_row = 0;
    int column_offset = 0; // byte of the first column within a row
    std::unique_ptr<std::uint8_t[]> buffer; // the packed computed row when step > 1
    bool no_display_tables = false;
};

// Marks the writer as having no buffer, so that close is always safe.
void row_writer_reset(RowWriter& w);

// Prepares `w` to write `img` from row `first_row` on, columns first_column..last_column
// (held to the image), one computed pixel per `step` (below 2 counts as 1). With a step
// above 1 a buffer of row_bytes is allocated: result 1 when that fails, else 0.
int row_writer_open(Image& img, int step, int first_column, int last_column, int first_row,
                    bool no_display_tables, RowWriter& w);

// Where the caller computes the next row: the buffer (pixels packed from its start) when
// there is one, else the image row at the current row from the first column on. Null once
// the current row has passed the image.
std::uint8_t* row_writer_row(RowWriter& w);

// Stores the computed row at the current row and advances by the step; with a step above 1
// each buffer pixel fills `step` columns and the written span is copied into the following
// step - 1 rows. Nothing happens once the current row has reached the height.
void row_writer_commit(RowWriter& w);

// Frees the buffer, if any.
void row_writer_close(RowWriter& w);

} // namespace mv
