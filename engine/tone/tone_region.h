// The row loop shared by the tone transformations: reads the region's input rows, hands
// them to the transformation as 8-bit rows (16-bit input narrowed first in the preview) or,
// on Apply of 16-bit input, as 16-bit rows, writes the result rows and reports progress.
#pragma once

#include "core/error.h"
#include "core/progress.h"
#include "tone/value_tables.h"
#include "transform/region.h"
#include "transform/row_reader.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace mv {

// Samples per pixel of a picture type as the region function sees it (binary arrives as
// bytes).
inline int tone_samples(int type)
{
    return type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
}

// True when the run computes 16-bit samples: 16-bit input on Apply.
inline bool tone_is_wide(const RegionRequest& q)
{
    return q.full && (q.input->type == IMAGE_GRAY16 || q.input->type == IMAGE_COLOR48);
}

// Runs the region with `row8(src, dst)` over 8-bit rows or `row16(src, dst)` over 16-bit
// rows (q.columns pixels each). The output must already be prepared. `before_row()` is
// called once per row ahead of the row function (for the amount mask's reader).
template <class BeforeRow, class Row8, class Row16>
int tone_region_run(const RegionRequest& q, std::string_view title, BeforeRow before_row,
                    Row8 row8, Row16 row16)
{
    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    if (int e = row_reader_open(*q.input, q.x0, q.y0, q.zoom, q.columns, in))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    const int type = q.input->type;
    const bool wide = tone_is_wide(q);
    const bool narrowing = !wide && (type == IMAGE_GRAY16 || type == IMAGE_COLOR48);
    const std::size_t n = std::size_t(q.columns) * tone_samples(type);
    std::vector<std::uint8_t> narrowed;
    try {
        if (narrowing)
            narrowed.resize(n);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    const std::uint8_t* narrow = value_tables().narrow16;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, title, true);
    for (int y = 0; y < q.rows; ++y) {
        const std::uint8_t* src = row_reader_next(in);
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        before_row();
        if (wide) {
            row16(reinterpret_cast<const std::uint16_t*>(src), reinterpret_cast<std::uint16_t*>(dst));
        } else {
            if (narrowing) {
                const std::uint16_t* s16 = reinterpret_cast<const std::uint16_t*>(src);
                for (std::size_t i = 0; i < n; ++i)
                    narrowed[i] = narrow[s16[i]];
                src = narrowed.data();
            }
            row8(src, dst);
        }
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

// The output type of a tone transformation: binary becomes gray, 16-bit types stay on Apply
// and become 8-bit in the preview.
inline int tone_output_type(int type, bool full)
{
    return type == IMAGE_BINARY ? IMAGE_GRAY : region_output_type(type, full);
}

// The result of neutral settings: a copy of the input, where binary input becomes gray
// bytes (0 or 255) as the tone transformations produce it.
inline int tone_copy_input(const RegionRequest& q)
{
    if (q.input->type != IMAGE_BINARY)
        return region_copy_input(q);
    const std::size_t n = std::size_t(q.columns);
    return tone_region_run(
        q, q.title, [] {},
        [n](const std::uint8_t* src, std::uint8_t* dst) { std::memcpy(dst, src, n); },
        [](const std::uint16_t*, std::uint16_t*) {});
}

} // namespace mv
