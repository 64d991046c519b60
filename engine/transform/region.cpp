#include "region.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "tone/value_tables.h"
#include "transform/row_reader.h"

#include <cstring>

namespace mv {

bool region_is_whole(const RegionRequest& q)
{
    return q.first_column == 0 && q.first_row == 0 && q.last_column == q.output_width - 1 &&
           q.last_row == q.output_height - 1;
}

int region_output_type(int type, bool full)
{
    if (!full && type == IMAGE_GRAY16)
        return IMAGE_GRAY;
    if (!full && type == IMAGE_COLOR48)
        return IMAGE_COLOR;
    return type;
}

int region_prepare_output(const RegionRequest& q, int type)
{
    if (!q.output)
        return kIllegalImageType;
    if (!region_is_whole(q))
        return kOk;
    return image_alloc(*q.output, type, q.output_width, q.output_height, q.input->resolution);
}

int region_open_writer(const RegionRequest& q, RowWriter& w)
{
    return row_writer_open(*q.output, q.zoom >= 2 ? q.zoom : 1, q.first_column, q.last_column,
                           q.first_row, q.full, w);
}

void region_store_binary(const RowWriter& w, std::uint8_t* dst, const std::uint8_t* bytes,
                         int count)
{
    const int offset = w.buffer ? 0 : (w.first_column & 7);
    for (int i = 0; i < count; ++i)
        bit_put(dst, offset + i, bytes[i] >= 128);
}

namespace {

// Apply with neutral settings: every stored row of the input, padding included.
int copy_whole(const RegionRequest& q)
{
    const Image& in = *q.input;
    Image& out = *q.output;
    if (out.type != in.type || out.width != in.width || out.height != in.height)
        return kIllegalImageType;
    ProgressScope progress(in.pixels(), 0, in.height - 1, q.title, true);
    for (int y = 0; y < in.height; ++y) {
        std::memcpy(out.row(y), in.row(y), size_t(in.row_bytes));
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace

int region_copy_input(const RegionRequest& q)
{
    if (!q.input || !q.output || !is_picture_type(q.input->type))
        return kIllegalImageType;
    if (q.full && region_is_whole(q) && q.zoom == 1)
        return copy_whole(q);

    const int in_type = q.input->type;
    const int out_type = q.output->type;
    if (out_type != region_output_type(in_type, q.full))
        return kIllegalImageType;
    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    if (int e = row_reader_open(*q.input, q.x0, q.y0, q.zoom, q.columns, in))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    const std::uint8_t* narrow = value_tables().narrow16;
    const int samples = in_type == IMAGE_COLOR || in_type == IMAGE_COLOR48 ? 3 : 1;
    const size_t n = size_t(q.columns) * samples;
    const bool narrowing = in_type != out_type;
    const size_t bytes = n * (in_type == IMAGE_GRAY16 || in_type == IMAGE_COLOR48 ? 2 : 1);
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int y = 0; y < q.rows; ++y) {
        const std::uint8_t* src = row_reader_next(in);
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        if (in_type == IMAGE_BINARY) {
            region_store_binary(out, dst, src, q.columns);
        } else if (narrowing) {
            const std::uint16_t* s16 = reinterpret_cast<const std::uint16_t*>(src);
            for (size_t i = 0; i < n; ++i)
                dst[i] = narrow[s16[i]];
        } else {
            std::memcpy(dst, src, bytes);
        }
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

RegionRequest region_full_request(const Image& input, Image& output, std::string_view title)
{
    RegionRequest q;
    q.input = &input;
    q.output = &output;
    q.full = true;
    q.output_width = input.width;
    q.output_height = input.height;
    q.zoom = 1;
    q.last_column = input.width - 1;
    q.last_row = input.height - 1;
    q.columns = input.width;
    q.rows = input.height;
    q.title = title;
    return q;
}

int transformation_apply(RegionFunction fn, void* settings, const Image& input, Image& output,
                         std::string_view title, int width, int height)
{
    RegionRequest q = region_full_request(input, output, title);
    if (width >= 0 && height >= 0) {
        q.output_width = q.columns = width;
        q.output_height = q.rows = height;
        q.last_column = width - 1;
        q.last_row = height - 1;
    }
    int e = kIllegalImageType;
    if (fn && is_picture_type(input.type) && !input.empty())
        e = fn(q, settings);
    if (e)
        image_free(output);
    return e;
}

} // namespace mv
