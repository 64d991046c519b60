#include "row_writer.h"

#include "display_lookup.h"
#include "error.h"
#include "util.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {
namespace {

// Passes the 24-bit pixels of columns first..last of `row` through the display tables.
void apply_display_tables(std::uint8_t* row, int first, int last)
{
    const DisplayLookup& t = display_lookup();
    for (int x = first; x <= last; ++x) {
        std::uint8_t* p = row + 3 * x;
        p[0] = t.blue[p[0]];
        p[1] = t.green[p[1]];
        p[2] = t.red[p[2]];
    }
}

// Spreads the packed buffer pixels over columns first..last of `row`, each over `step`
// columns, the buffer index held below the width.
void spread(const RowWriter& w, std::uint8_t* row)
{
    const Image& img = *w.image;
    const std::uint8_t* buf = w.buffer.get();
    const int S = w.step, last_k = img.width - 1;
    int k = 0, run = 0;
    if (img.type == IMAGE_BINARY) {
        for (int c = w.first_column; c <= w.last_column; ++c) {
            bit_put(row, c, bit_test(buf, k));
            if (++run == S) {
                run = 0;
                k = std::min(k + 1, last_k);
            }
        }
        return;
    }
    const int bpp = image_pixel_bytes(img.type);
    const bool tables = img.type == IMAGE_COLOR && !w.no_display_tables;
    const DisplayLookup& t = display_lookup();
    for (int c = w.first_column; c <= w.last_column; ++c) {
        std::uint8_t* p = row + size_t(c) * bpp;
        const std::uint8_t* q = buf + size_t(k) * bpp;
        if (tables) {
            p[0] = t.blue[q[0]];
            p[1] = t.green[q[1]];
            p[2] = t.red[q[2]];
        } else {
            std::memcpy(p, q, size_t(bpp));
        }
        if (++run == S) {
            run = 0;
            k = std::min(k + 1, last_k);
        }
    }
}

// The bytes of a row that hold columns first..last, limited to the row.
void written_span(const RowWriter& w, int& from, int& to)
{
    const int type = w.image->type;
    if (type == IMAGE_BINARY) {
        from = w.first_column / 8;
        to = w.last_column / 8;
    } else {
        const int bpp = image_pixel_bytes(type);
        from = w.first_column * bpp;
        to = (w.last_column + 1) * bpp - 1;
    }
    to = std::min(to, w.row_bytes - 1);
}

} // namespace

void row_writer_reset(RowWriter& w)
{
    w.buffer.reset();
}

int row_writer_open(Image& img, int step, int first_column, int last_column, int first_row,
                    bool no_display_tables, RowWriter& w)
{
    w.image = &img;
    w.step = std::max(step, 1);
    w.first_column = std::max(first_column, 0);
    w.last_column = std::min(last_column, img.width - 1);
    w.row_bytes = img.row_bytes;
    w.current_row = first_row;
    w.column_offset = img.type == IMAGE_BINARY ? w.first_column / 8
                                               : w.first_column * image_pixel_bytes(img.type);
    w.no_display_tables = no_display_tables;
    w.buffer.reset();
    if (w.step > 1) {
        try {
            w.buffer.reset(new std::uint8_t[size_t(std::max(img.row_bytes, 1))]());
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
    }
    return kOk;
}

std::uint8_t* row_writer_row(RowWriter& w)
{
    if (w.buffer)
        return w.buffer.get();
    if (!w.image || w.current_row < 0 || w.current_row >= int(w.image->rows.size()))
        return nullptr;
    return w.image->row(w.current_row) + w.column_offset;
}

void row_writer_commit(RowWriter& w)
{
    if (!w.image)
        return;
    Image& img = *w.image;
    const int r = w.current_row;
    if (r >= img.height)
        return;
    w.current_row = r + w.step;
    if (r < 0 || r >= int(img.rows.size()) || w.first_column > w.last_column)
        return;
    std::uint8_t* row = img.row(r);
    if (!w.buffer) {
        if (img.type == IMAGE_COLOR && !w.no_display_tables)
            apply_display_tables(row, w.first_column, w.last_column);
        return;
    }
    spread(w, row);
    int from, to;
    written_span(w, from, to);
    const int end = std::min(r + w.step, int(img.rows.size()));
    for (int t = r + 1; t < end; ++t)
        std::memcpy(img.row(t) + from, row + from, size_t(to - from + 1));
}

void row_writer_close(RowWriter& w)
{
    w.buffer.reset();
}

} // namespace mv
