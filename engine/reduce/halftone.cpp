#include "halftone.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "tone/value_tables.h"
#include "transform/row_reader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace mv {

void halftone_set_method(HalftoneSettings& s, int method)
{
    s.method = std::clamp(method, 0, kHalftoneMethodCount - 1);
    s.matrix = halftone_screen(s.method);
}

void halftone_input_changed(HalftoneSettings& s)
{
    diffusion_drop(s.diffusion);
}

bool halftone_is_bilevel(const HalftoneSettings& s)
{
    return !amount_has_mask(s.amount) && amount_scale(s.amount.low, s.amount.is_signed != 0) == 255;
}

int halftone_output_type(const HalftoneSettings& s, int input_type, bool full)
{
    switch (input_type) {
    case IMAGE_GRAY:
    case IMAGE_GRAY16:
        return halftone_is_bilevel(s) ? IMAGE_BINARY : region_output_type(input_type, full);
    case IMAGE_COLOR:
    case IMAGE_COLOR48:
        return halftone_is_bilevel(s) ? IMAGE_COLOR : region_output_type(input_type, full);
    default:
        return 0;
    }
}

namespace {

bool valid_matrix(const OrderMatrix& m)
{
    if (m.n < 1 || m.rank.size() != size_t(m.n) * m.n)
        return false;
    for (int v : m.rank)
        if (v < 1 || v > m.n * m.n)
            return false;
    return true;
}

// Where the black-and-white decision of each pixel comes from.
class Screen {
public:
    Screen(const HalftoneSettings& s, const Image& input) : s_(s), input_(input) {}

    // Prepares the thresholds, checks the screen image or computes the diffusion.
    int prepare(HalftoneSettings& s)
    {
        if (s.method == kHalftoneCustom) {
            if (!s.screen || s.screen->empty())
                return kNoHalftoneScreen;
            if (s.screen->type != IMAGE_GRAY)
                return kIllegalImageType;
            return kOk;
        }
        if (s.method == kHalftoneErrorDiffusion) {
            if (diffusion_matches(s.diffusion, input_))
                return kOk;
            return diffusion_compute(input_, s.diffusion);
        }
        matrix_ = valid_matrix(s.matrix) ? s.matrix : halftone_screen(s.method);
        if (!valid_matrix(matrix_))
            matrix_ = halftone_screen(kHalftoneOrdered8);
        thresholds_ = halftone_thresholds(matrix_);
        row_thresholds_.assign(size_t(matrix_.n), 0);
        return kOk;
    }

    // Moves to input row y (counted from the bottom, held inside the picture).
    void set_row(int y)
    {
        y_ = y;
        const int from_top = input_.height - 1 - y;
        if (s_.method == kHalftoneCustom) {
            const Image& sc = *s_.screen;
            screen_row_ = sc.row(sc.height - 1 - from_top % sc.height);
        } else if (s_.method != kHalftoneErrorDiffusion) {
            const int r = from_top % matrix_.n;
            for (int c = 0; c < matrix_.n; ++c)
                row_thresholds_[size_t(c)] = thresholds_[size_t(matrix_.at(r, c) - 1)];
        }
    }

    // True when channel c of the pixel at column x with 8-bit value v is white.
    bool white(int x, int c, int v) const
    {
        switch (s_.method) {
        case kHalftoneErrorDiffusion:
            return bit_test(s_.diffusion.channel[c].row(y_), x);
        case kHalftoneCustom:
            return 255 - v < screen_row_[x % s_.screen->width];
        default:
            return 255 - v < row_thresholds_[size_t(x % matrix_.n)];
        }
    }

private:
    const HalftoneSettings& s_;
    const Image& input_;
    OrderMatrix matrix_;
    std::vector<std::uint8_t> thresholds_;
    std::vector<std::uint8_t> row_thresholds_;
    const std::uint8_t* screen_row_ = nullptr;
    int y_ = 0;
};

int run(const RegionRequest& q, HalftoneSettings& s, int out_type)
{
    const Image& input = *q.input;
    Screen screen(s, input);
    if (int e = screen.prepare(s))
        return e;

    const int type = input.type;
    const int channels = type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
    const bool wide_in = type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
    const bool wide_out = out_type == IMAGE_GRAY16 || out_type == IMAGE_COLOR48;
    const int step = q.zoom <= -2 ? -q.zoom : 1;
    const size_t n = size_t(q.columns) * channels;

    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    if (int e = row_reader_open(input, q.x0, q.y0, q.zoom, q.columns, in))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    if (int e = amount_begin(s.amount, q, amount))
        return e;

    std::vector<std::uint8_t> in8(n), bw(n);
    std::vector<std::uint16_t> bw16(wide_in ? n : 0);
    std::vector<int> columns(size_t(q.columns));
    for (int j = 0; j < q.columns; ++j)
        columns[size_t(j)] = std::clamp(q.x0 + j * step, 0, input.width - 1);
    const std::uint8_t* narrow = value_tables().narrow16;

    ProgressScope progress(region_pixels(q), 0, q.rows - 1, "Halftone", true);
    for (int k = 0; k < q.rows; ++k) {
        const std::uint8_t* src = row_reader_next(in);
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        const std::uint16_t* src16 = reinterpret_cast<const std::uint16_t*>(src);
        const std::uint8_t* v8 = src;
        if (wide_in) {
            for (size_t i = 0; i < n; ++i)
                in8[i] = narrow[src16[i]];
            v8 = in8.data();
        }
        screen.set_row(std::clamp(q.y0 + k * step, 0, input.height - 1));
        for (int j = 0; j < q.columns; ++j) {
            const int x = columns[size_t(j)];
            for (int c = 0; c < channels; ++c) {
                const size_t i = size_t(j) * channels + c;
                bw[i] = screen.white(x, c, v8[i]) ? 255 : 0;
            }
        }
        amount_next_row(amount);
        if (out_type == IMAGE_BINARY) {
            region_store_binary(out, dst, bw.data(), q.columns);
        } else if (wide_in) {
            for (size_t i = 0; i < n; ++i)
                bw16[i] = bw[i] ? 65535 : 0;
            if (wide_out) {
                std::uint16_t* d16 = reinterpret_cast<std::uint16_t*>(dst);
                std::memcpy(d16, bw16.data(), n * sizeof(std::uint16_t));
                amount_blend_row16(amount, src16, d16, q.columns, channels);
            } else if (out_type == IMAGE_COLOR && halftone_is_bilevel(s)) {
                std::memcpy(dst, bw.data(), n);
            } else {
                amount_blend_row16_to8(amount, src16, bw16.data(), dst, q.columns, channels);
            }
        } else {
            std::memcpy(dst, bw.data(), n);
            amount_blend_row(amount, src, dst, q.columns, channels);
        }
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

} // namespace

int halftone_region(const RegionRequest& q, void* settings)
{
    HalftoneSettings& s = *static_cast<HalftoneSettings*>(settings);
    if (!q.input || q.input->empty())
        return kIllegalImageType;
    const int out_type = halftone_output_type(s, q.input->type, q.full);
    if (out_type == 0)
        return kIllegalImageType;
    try {
        if (amount_is_identity(s.amount)) {
            if (int e = region_prepare_output(q, region_output_type(q.input->type, q.full)))
                return e;
            return region_copy_input(q);
        }
        if (int e = region_prepare_output(q, out_type))
            return e;
        if (q.columns <= 0 || q.rows <= 0)
            return kOk;
        return run(q, s, out_type);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

} // namespace mv
