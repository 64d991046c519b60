#include "amount.h"

#include "core/error.h"
#include "core/format.h"
#include "core/product_table.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {

int amount_percent(int value, bool is_signed)
{
    return is_signed ? (value - 512) * 200 / 1024 : (value * 100 + 512) / 1024;
}

std::string amount_label_text(const AmountBlock& b)
{
    const bool s = b.is_signed != 0;
    if (b.high >= 0)
        return format_text("%s%d\\% .. %d\\%", b.label, amount_percent(b.low, s),
                           amount_percent(b.high, s));
    return format_text("%s%d\\%", b.label, amount_percent(b.low, s));
}

void amount_select_mask(AmountBlock& b, const void* window, const Image* image)
{
    b.mask_window = window;
    b.mask_image = image;
    b.low = b.is_signed ? 512 : 0;
    b.high = b.is_signed ? 512 : 1024;
}

void amount_clear_mask(AmountBlock& b)
{
    b.mask_window = nullptr;
    b.mask_image = nullptr;
    b.low = 1024;
    b.high = -1;
}

int amount_scale(int value, bool is_signed)
{
    return is_signed ? value * 255 / 1024 : (value * 255 + 512) / 1024;
}

bool amount_is_identity(const AmountBlock& b)
{
    const bool s = b.is_signed != 0;
    return amount_scale(b.low, s) == 0 && (!amount_has_mask(b) || amount_scale(b.high, s) == 0);
}

bool amount_is_direct(const AmountBlock& b)
{
    const bool s = b.is_signed != 0;
    return amount_scale(b.low, s) == 255 &&
           (!amount_has_mask(b) || amount_scale(b.high, s) == 255);
}

int amount_begin(const AmountBlock& b, const RegionRequest& q, AmountRun& run)
{
    if (product_table_build())
        return kOutOfMemory;
    const bool s = b.is_signed != 0;
    run.low = std::clamp(amount_scale(b.low, s), 0, 255);
    run.high = amount_has_mask(b) ? std::clamp(amount_scale(b.high, s), 0, 255) : -1;
    run.identity = amount_is_identity(b);
    run.direct = amount_is_direct(b);
    run.masked = amount_has_mask(b) && !run.identity && !run.direct;
    run.count = q.columns;
    row_reader_reset(run.mask);
    for (int d = 0; d < 256; ++d)
        run.uniform[d] = product(d, run.low);
    if (!run.masked)
        return kOk;
    if (b.mask_image->type != IMAGE_GRAY)
        return kIllegalImageType;
    for (int m = 0; m < 256; ++m)
        run.by_mask[m] = std::uint8_t(mix8(run.low, run.high, m));
    try {
        run.weights.assign(size_t(std::max(q.columns, 0)), 0);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return row_reader_open(*b.mask_image, q.x0, q.y0, q.zoom, q.columns, run.mask);
}

void amount_next_row(AmountRun& run)
{
    if (!run.masked)
        return;
    const std::uint8_t* m = row_reader_next(run.mask);
    std::uint8_t* w = run.weights.data();
    for (int i = 0; i < run.count; ++i)
        w[i] = run.by_mask[m[i]];
}

namespace {

inline std::uint8_t blend8(std::uint8_t c, std::uint8_t v, const std::uint8_t* step_of)
{
    return std::uint8_t(v >= c ? c + step_of[v - c] : c - step_of[c - v]);
}

inline std::uint8_t blend8_at(std::uint8_t c, std::uint8_t v, int a)
{
    return std::uint8_t(v >= c ? c + product(v - c, a) : c - product(c - v, a));
}

} // namespace

void amount_blend_row(const AmountRun& run, const std::uint8_t* in, std::uint8_t* out,
                      int count, int channels)
{
    if (run.direct)
        return;
    const size_t n = size_t(count) * channels;
    if (run.identity) {
        std::memmove(out, in, n);
        return;
    }
    if (!run.masked) {
        for (size_t i = 0; i < n; ++i)
            out[i] = blend8(in[i], out[i], run.uniform);
        return;
    }
    const std::uint8_t* w = run.weights.data();
    for (int x = 0; x < count; ++x) {
        const int a = w[x];
        for (int c = 0; c < channels; ++c, ++in, ++out)
            *out = blend8_at(*in, *out, a);
    }
}

void amount_blend_row16(const AmountRun& run, const std::uint16_t* in, std::uint16_t* out,
                        int count, int channels)
{
    if (run.direct)
        return;
    const size_t n = size_t(count) * channels;
    if (run.identity) {
        std::memmove(out, in, n * sizeof(std::uint16_t));
        return;
    }
    if (!run.masked) {
        for (size_t i = 0; i < n; ++i)
            out[i] = std::uint16_t(mix16(in[i], out[i], run.low));
        return;
    }
    const std::uint8_t* w = run.weights.data();
    for (int x = 0; x < count; ++x) {
        const int a = w[x];
        for (int c = 0; c < channels; ++c, ++in, ++out)
            *out = std::uint16_t(mix16(*in, *out, a));
    }
}

void amount_blend_row16_to8(const AmountRun& run, const std::uint16_t* in,
                            const std::uint16_t* computed, std::uint8_t* out, int count,
                            int channels)
{
    const std::uint8_t* narrow = value_tables().narrow16;
    const size_t n = size_t(count) * channels;
    if (run.direct || run.identity) {
        const std::uint16_t* src = run.direct ? computed : in;
        for (size_t i = 0; i < n; ++i)
            out[i] = narrow[src[i]];
        return;
    }
    if (!run.masked) {
        for (size_t i = 0; i < n; ++i)
            out[i] = narrow[mix16(in[i], computed[i], run.low)];
        return;
    }
    const std::uint8_t* w = run.weights.data();
    for (int x = 0; x < count; ++x) {
        const int a = w[x];
        for (int c = 0; c < channels; ++c, ++in, ++computed, ++out)
            *out = narrow[mix16(*in, *computed, a)];
    }
}

} // namespace mv
