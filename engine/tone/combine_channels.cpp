#include "combine_channels.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "tone/color_space.h"
#include "tone/value_tables.h"
#include "transform/row_reader.h"

#include <algorithm>
#include <new>
#include <vector>

namespace mv {

int combine_source_type(const CombineChannelsSettings& s, int& type)
{
    type = IMAGE_EMPTY;
    for (const CombineSource& src : s.sources) {
        if (!src.image)
            continue;
        const int t = src.image->type;
        if (t != IMAGE_GRAY && t != IMAGE_GRAY16)
            return kIllegalImageType;
        if (type != IMAGE_EMPTY && t != type)
            return kImagesNotSameType;
        type = t;
    }
    return type == IMAGE_EMPTY ? kImagesNotSameType : kOk;
}

void combine_pixel8(int space, int c1, int c2, int c3, int& r, int& g, int& b)
{
    switch (space) {
    case kCombineHsv: hsv12_to_rgb8(to12(c1), to12(c2), to12(c3), r, g, b); break;
    case kCombineHsl: hsl12_to_rgb8(to12(c1), to12(c2), to12(c3), r, g, b); break;
    case kCombineCmy:
        b = clamp_byte(c1 + c2 - c3);
        g = clamp_byte(c1 + c3 - c2);
        r = clamp_byte(c2 + c3 - c1);
        break;
    default:
        r = c1;
        g = c2;
        b = c3;
        break;
    }
}

void combine_pixel16(int space, int c1, int c2, int c3, int& r, int& g, int& b)
{
    switch (space) {
    case kCombineHsv: hsv16_to_rgb16(c1, c2, c3, r, g, b); break;
    case kCombineHsl: hsl16_to_rgb16(c1, c2, c3, r, g, b); break;
    case kCombineCmy:
        b = clamp_word(c1 + c2 - c3);
        g = clamp_word(c1 + c3 - c2);
        r = clamp_word(c2 + c3 - c1);
        break;
    default:
        r = c1;
        g = c2;
        b = c3;
        break;
    }
}

namespace {

// The channel values of one source for the current row: read from its picture, or the
// constant of its solid colour (widened for 16-bit work). Values are 8-bit unless `wide`.
struct Channel {
    RowReader reader;
    std::vector<std::uint16_t> values;
    bool constant = false;
};

int open_channel(const RegionRequest& q, const CombineSource& src, bool wide, Channel& ch)
{
    row_reader_reset(ch.reader);
    try {
        ch.values.assign(size_t(std::max(q.columns, 1)), 0);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (!src.image) {
        ch.constant = true;
        std::fill(ch.values.begin(), ch.values.end(),
                  std::uint16_t(wide ? widen8(src.red) : src.red));
        return kOk;
    }
    return row_reader_open(*src.image, q.x0, q.y0, q.zoom, q.columns, ch.reader);
}

void read_channel(Channel& ch, int type, bool wide, int count)
{
    if (ch.constant)
        return;
    const std::uint8_t* src = row_reader_next(ch.reader);
    std::uint16_t* v = ch.values.data();
    if (type == IMAGE_GRAY) {
        for (int x = 0; x < count; ++x)
            v[x] = src[x];
        return;
    }
    const auto* s16 = reinterpret_cast<const std::uint16_t*>(src);
    if (wide) {
        std::copy(s16, s16 + count, v);
        return;
    }
    const std::uint8_t* narrow = value_tables().narrow16;
    for (int x = 0; x < count; ++x)
        v[x] = narrow[s16[x]];
}

} // namespace

int combine_channels_region(const RegionRequest& q, void* settings)
{
    const CombineChannelsSettings& s = *static_cast<const CombineChannelsSettings*>(settings);
    if (s.space < kCombineRgb || s.space > kCombineCmy)
        return kIllegalImageType;
    int type = IMAGE_EMPTY;
    if (int e = combine_source_type(s, type))
        return e;
    for (const CombineSource& src : s.sources)
        if (src.image && (src.image->width != q.input->width ||
                          src.image->height != q.input->height || src.image->empty()))
            return kImagesNotSameType;
    // 16-bit sources are worked at 16 bits on Apply; the preview narrows them first.
    const bool wide = type == IMAGE_GRAY16 && q.full;
    if (int e = region_prepare_output(q, wide ? IMAGE_COLOR48 : IMAGE_COLOR))
        return e;

    Channel ch[3];
    for (int i = 0; i < 3; ++i)
        if (int e = open_channel(q, s.sources[i], wide, ch[i]))
            return e;
    RowWriter out;
    row_writer_reset(out);
    if (int e = region_open_writer(q, out))
        return e;
    const int space = s.space;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int y = 0; y < q.rows; ++y) {
        for (Channel& c : ch)
            read_channel(c, type, wide, q.columns);
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        const std::uint16_t *c1 = ch[0].values.data(), *c2 = ch[1].values.data(),
                            *c3 = ch[2].values.data();
        int r = 0, g = 0, b = 0;
        if (wide) {
            auto* d16 = reinterpret_cast<std::uint16_t*>(dst);
            for (int x = 0; x < q.columns; ++x, d16 += 3) {
                combine_pixel16(space, c1[x], c2[x], c3[x], r, g, b);
                d16[0] = std::uint16_t(b);
                d16[1] = std::uint16_t(g);
                d16[2] = std::uint16_t(r);
            }
        } else {
            for (int x = 0; x < q.columns; ++x, dst += 3) {
                combine_pixel8(space, c1[x], c2[x], c3[x], r, g, b);
                dst[0] = std::uint8_t(b);
                dst[1] = std::uint8_t(g);
                dst[2] = std::uint8_t(r);
            }
        }
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace mv
