// The row reader: feeds a region function its input rows, one call per output row, from a
// start column and row, every pixel at full size or every k-th pixel of every k-th row for a
// preview reduced 1:k. Binary pictures are delivered as one byte per pixel (255 for a set
// bit, 0 for a clear one), so region functions see them as 8-bit gray.
#pragma once

#include "core/image.h"

#include <cstdint>
#include <memory>

namespace mv {

struct RowReader {
    const Image* image = nullptr;
    int x0 = 0;          // first column read
    int row = 0;         // the next row to deliver
    int step = 1;        // k for a zoom of -k, else 1
    int count = 0;       // pixels per delivered row
    std::unique_ptr<std::uint8_t[]> buffer; // the gathered row, when one is needed
};

// Marks the reader as having no buffer, so that close is always safe.
void row_reader_reset(RowReader& r);

// Prepares `r` to read `img` from column x0 and row y0 with the step of `zoom`. A buffer of
// count pixels is allocated unless the step is 1, the picture is not binary and the row lies
// within the picture: result 1 when it cannot be allocated, 14 for a non-picture type or a
// picture without rows.
int row_reader_open(const Image& img, int x0, int y0, int zoom, int count, RowReader& r);

// The next row: row min(current, height - 1), after which the current row moves on by the
// step. Either the stored row from column x0 on, or the buffer holding `count` pixels from
// x0 stepping `step` columns (columns past the edge repeat the last one).
const std::uint8_t* row_reader_next(RowReader& r);

// Frees the buffer, if any.
void row_reader_close(RowReader& r);

} // namespace mv
