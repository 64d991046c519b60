#include "add_border.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "filters/resize_units.h"
#include "transform/row_reader.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace mv {
namespace {

bool is_gray(const AddBorderSettings& st)
{
    return st.red == st.green && st.green == st.blue;
}

bool no_border(const AddBorderSettings& st)
{
    return st.left == 0 && st.right == 0 && st.top == 0 && st.bottom == 0;
}

} // namespace

int add_border_output_type(int type, int red, int green, int blue, bool full)
{
    const bool gray = red == green && green == blue;
    int t;
    switch (type) {
    case IMAGE_BINARY:
        t = gray ? (red == 0 || red == 255 ? IMAGE_BINARY : IMAGE_GRAY) : IMAGE_COLOR;
        break;
    case IMAGE_GRAY: t = gray ? IMAGE_GRAY : IMAGE_COLOR; break;
    case IMAGE_GRAY16: t = gray ? IMAGE_GRAY16 : IMAGE_COLOR48; break;
    default: t = type; break;
    }
    return region_output_type(t, full);
}

void add_border_size(const AddBorderSettings& st, int width, int height, int& out_w, int& out_h)
{
    out_w = width + st.left + st.right;
    out_h = height + st.top + st.bottom;
}

void add_border_outline(const AddBorderSettings& st, int width, int height, int r[4])
{
    r[0] = -st.left;
    r[1] = -st.top;
    r[2] = width + st.right - 1;
    r[3] = height + st.bottom - 1;
}

bool add_border_parse_width(const AddBorderSettings& st, int side, const char* text, int width,
                            int height, double dpi, int& pixels)
{
    double v;
    if (!text || !parse_number(text, v) || v < 0)
        return false;
    long long px;
    if (st.unit == kUnitPercent)
        px = round_nearest(v * (side < 2 ? width : height) / 100.0);
    else
        px = length_to_pixels(v, dpi, st.unit);
    if (px > 1000000)
        return false;
    pixels = int(px);
    return true;
}

double add_border_width_in_unit(const AddBorderSettings& st, int side, int pixels, int width,
                                int height, double dpi)
{
    if (st.unit == kUnitPercent) {
        const int base = side < 2 ? width : height;
        return base > 0 ? pixels * 100.0 / base : 0.0;
    }
    return length_in_unit(pixels, dpi, st.unit);
}

int add_border_region(const RegionRequest& q, void* settings)
{
    const AddBorderSettings& st = *static_cast<const AddBorderSettings*>(settings);
    const Image& in = *q.input;
    if (!is_picture_type(in.type) || in.empty())
        return kIllegalImageType;
    if (no_border(st)) {
        if (int e = region_prepare_output(q, region_output_type(in.type, q.full)))
            return e;
        return region_copy_input(q);
    }
    const int out_type = add_border_output_type(in.type, st.red, st.green, st.blue, q.full);
    if (int e = region_prepare_output(q, out_type))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    const int s = q.zoom < -1 ? -q.zoom : 1;
    const bool in_wide = in.type == IMAGE_GRAY16 || in.type == IMAGE_COLOR48;
    const bool out_wide = out_type == IMAGE_GRAY16 || out_type == IMAGE_COLOR48;
    const int in_ch = in.type == IMAGE_COLOR || in.type == IMAGE_COLOR48 ? 3 : 1;
    const int out_ch = out_type == IMAGE_COLOR || out_type == IMAGE_COLOR48 ? 3 : 1;
    const int W = q.columns;
    // Background samples blue, green, red in the output's sample size.
    const int bg[3] = {out_wide ? st.blue * 257 : st.blue, out_wide ? st.green * 257 : st.green,
                       out_wide ? st.red * 257 : st.red};
    std::vector<int> line;
    std::vector<std::uint8_t> bytes;
    try {
        line.resize(size_t(W) * out_ch);
        bytes.resize(size_t(W));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    RowWriter out;
    row_writer_reset(out);
    if (int e = region_open_writer(q, out))
        return e;
    const ValueTables& vt = value_tables();
    // Output rows are stored bottom-up: input row = output row - bottom.
    const int first_in_col = q.x0 - st.left;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, "Add Border", true);
    for (int k = 0; k < q.rows; ++k) {
        const int in_row = q.y0 + k * s - st.bottom;
        const bool row_inside = in_row >= 0 && in_row < in.height;
        const std::uint8_t* src = row_inside ? in.row(in_row) : nullptr;
        for (int j = 0; j < W; ++j) {
            const int x = first_in_col + j * s;
            int* d = line.data() + size_t(j) * out_ch;
            if (!row_inside || x < 0 || x >= in.width) {
                if (out_ch == 3)
                    d[0] = bg[0], d[1] = bg[1], d[2] = bg[2];
                else
                    d[0] = bg[2];
                continue;
            }
            int v[3];
            if (in.type == IMAGE_BINARY) {
                v[0] = bit_test(src, x) ? 255 : 0;
            } else if (in_wide) {
                const std::uint16_t* p = reinterpret_cast<const std::uint16_t*>(src) + size_t(x) * in_ch;
                for (int c = 0; c < in_ch; ++c)
                    v[c] = out_wide ? p[c] : vt.narrow16[p[c]];
            } else {
                const std::uint8_t* p = src + size_t(x) * in_ch;
                for (int c = 0; c < in_ch; ++c)
                    v[c] = p[c];
            }
            for (int c = 0; c < out_ch; ++c)
                d[c] = v[in_ch == 3 ? c : 0];
        }
        if (std::uint8_t* dst = row_writer_row(out)) {
            const size_t n = size_t(W) * out_ch;
            if (out_type == IMAGE_BINARY) {
                for (int j = 0; j < W; ++j)
                    bytes[size_t(j)] = line[size_t(j)] ? 255 : 0;
                region_store_binary(out, dst, bytes.data(), W);
            } else if (out_wide) {
                std::uint16_t* d16 = reinterpret_cast<std::uint16_t*>(dst);
                for (size_t i = 0; i < n; ++i)
                    d16[i] = std::uint16_t(line[i]);
            } else {
                for (size_t i = 0; i < n; ++i)
                    dst[i] = std::uint8_t(line[i]);
            }
        }
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

} // namespace mv
