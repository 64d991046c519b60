#include "filter_region.h"

#include "core/error.h"
#include "core/progress.h"
#include "filters/working_pixels.h"

#include <new>
#include <vector>

namespace mv {
namespace {

template <class T, int C>
int copy_rows(const RegionRequest& q, std::string_view title)
{
    const Image& in = *q.input;
    const int s = region_step(q), W = q.columns;
    const bool narrow = q.output->type != working_type(in.type);
    std::vector<T> row;
    RowWriter out;
    row_writer_reset(out);
    try {
        row.resize(size_t(W) * C);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (int e = region_open_writer(q, out))
        return e;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, title, true);
    for (int k = 0; k < q.rows; ++k) {
        load_sampled_row<T, C>(in, q.y0 + k * s, q.x0, s, W, row.data());
        if (std::uint8_t* dst = row_writer_row(out))
            store_row<T, C>(row.data(), W, narrow, dst);
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

} // namespace

int filter_copy_region(const RegionRequest& q, std::string_view title)
{
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    switch (q.input->type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY: return copy_rows<std::uint8_t, 1>(q, title);
    case IMAGE_COLOR: return copy_rows<std::uint8_t, 3>(q, title);
    case IMAGE_GRAY16: return copy_rows<std::uint16_t, 1>(q, title);
    case IMAGE_COLOR48: return copy_rows<std::uint16_t, 3>(q, title);
    default: return kIllegalImageType;
    }
}

} // namespace mv
