#include "convert.h"

#include "core/error.h"
#include "core/progress.h"
#include "tone/value_tables.h"
#include "transform/row_reader.h"

#include <algorithm>
#include <new>
#include <vector>

namespace mv {
namespace {

constexpr int kTypeOfIndex[5] = {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16,
                                 IMAGE_COLOR48};

// The gray byte of each pixel of a delivered row (binary rows arrive as 0/255 bytes).
void row_to_gray(int type, const std::uint8_t* src, std::uint8_t* dst, int count)
{
    const std::uint8_t* narrow = value_tables().narrow16;
    const auto* s16 = reinterpret_cast<const std::uint16_t*>(src);
    switch (type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY:
        std::copy(src, src + count, dst);
        break;
    case IMAGE_COLOR:
        for (int x = 0; x < count; ++x, src += 3)
            dst[x] = std::uint8_t(luminance(src[2], src[1], src[0]));
        break;
    case IMAGE_GRAY16:
        for (int x = 0; x < count; ++x)
            dst[x] = narrow[s16[x]];
        break;
    case IMAGE_COLOR48:
        for (int x = 0; x < count; ++x, s16 += 3)
            dst[x] = std::uint8_t(luminance(narrow[s16[2]], narrow[s16[1]], narrow[s16[0]]));
        break;
    }
}

// Colour pixels (blue, green, red) from a delivered row of a non-colour type or 48 bits.
void row_to_color(int type, const std::uint8_t* src, std::uint8_t* dst, int count)
{
    const std::uint8_t* narrow = value_tables().narrow16;
    const auto* s16 = reinterpret_cast<const std::uint16_t*>(src);
    switch (type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY:
        for (int x = 0; x < count; ++x, dst += 3)
            dst[0] = dst[1] = dst[2] = src[x];
        break;
    case IMAGE_GRAY16:
        for (int x = 0; x < count; ++x, dst += 3)
            dst[0] = dst[1] = dst[2] = narrow[s16[x]];
        break;
    case IMAGE_COLOR48:
        for (int x = 0; x < 3 * count; ++x)
            dst[x] = narrow[s16[x]];
        break;
    }
}

} // namespace

int convert_source_index(int type)
{
    for (int i = 0; i < 5; ++i)
        if (kTypeOfIndex[i] == type)
            return i;
    return -1;
}

const char* convert_source_label(int type)
{
    switch (type) {
    case IMAGE_BINARY: return "Convert from: Binary";
    case IMAGE_GRAY: return "Convert from: Black and White";
    case IMAGE_COLOR: return "Convert from: Color";
    case IMAGE_GRAY16: return "Convert from: 16-bit Black and White";
    case IMAGE_COLOR48: return "Convert from: 48-bit Color";
    default: return "";
    }
}

void convert_reset(ConvertSettings& s, int source_type)
{
    s.target = std::max(convert_source_index(source_type), 0);
}

int convert_target_type(int target, bool full)
{
    if (target < 0 || target > 4)
        return IMAGE_EMPTY;
    return region_output_type(kTypeOfIndex[target], full);
}

int convert_region(const RegionRequest& q, void* settings)
{
    const ConvertSettings& s = *static_cast<const ConvertSettings*>(settings);
    const int source = q.input->type;
    const int source_index = convert_source_index(source);
    if (source_index < 0 || s.target < 0 || s.target > 4)
        return kIllegalImageType;
    // The 16-bit targets are reachable only from themselves.
    if (s.target >= 3 && s.target != source_index)
        return kIllegalImageType;
    const int out_type = convert_target_type(s.target, q.full);
    if (int e = region_prepare_output(q, out_type))
        return e;
    if (s.target == source_index)
        return region_copy_input(q);

    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    if (int e = row_reader_open(*q.input, q.x0, q.y0, q.zoom, q.columns, in))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    std::vector<std::uint8_t> gray;
    try {
        gray.resize(size_t(std::max(q.columns, 1)));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int y = 0; y < q.rows; ++y) {
        const std::uint8_t* src = row_reader_next(in);
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        if (out_type == IMAGE_COLOR) {
            row_to_color(source, src, dst, q.columns);
        } else if (out_type == IMAGE_GRAY) {
            row_to_gray(source, src, dst, q.columns);
        } else {
            row_to_gray(source, src, gray.data(), q.columns);
            region_store_binary(out, dst, gray.data(), q.columns);
        }
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace mv
