#include "halftone_diffusion.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace mv {

void diffusion_drop(HalftoneDiffusion& d)
{
    for (Image& img : d.channel)
        image_free(img);
    d.channels = 0;
    d.source = nullptr;
    d.source_type = d.source_width = d.source_height = 0;
}

bool diffusion_matches(const HalftoneDiffusion& d, const Image& input)
{
    return d.channels > 0 && d.source == &input && d.source_type == input.type &&
           d.source_width == input.width && d.source_height == input.height;
}

namespace {

int diffuse(const Image& input, HalftoneDiffusion& d)
{
    const int type = input.type;
    const int channels = type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
    const bool wide = type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
    const int w = input.width, h = input.height;
    for (int c = 0; c < channels; ++c) {
        if (int e = image_alloc(d.channel[c], IMAGE_BINARY, w, h, input.resolution))
            return e;
        for (int y = 0; y < h; ++y)
            std::memset(d.channel[c].row(y), 0, size_t(d.channel[c].row_bytes));
    }
    d.channels = channels;

    // Error rows per channel: this row and the next, one value per pixel.
    std::vector<std::int16_t> current(size_t(w) * channels, 0), next(size_t(w) * channels, 0);
    std::vector<std::uint8_t> line(size_t(w) * channels);
    const std::uint8_t* narrow = value_tables().narrow16;
    ProgressScope progress(input.pixels(), 0, h - 1, "Error Diffusion", true);
    for (int y = 0; y < h; ++y) {
        const size_t n = size_t(w) * channels;
        if (wide) {
            const std::uint16_t* p = input.row16(y);
            for (size_t i = 0; i < n; ++i)
                line[i] = narrow[p[i]];
        } else {
            std::memcpy(line.data(), input.row(y), n);
        }
        const int dir = (y & 1) ? -1 : 1;
        for (int i = 0, x = dir > 0 ? 0 : w - 1; i < w; ++i, x += dir) {
            const int ahead = x + dir, behind = x - dir;
            const bool has_ahead = ahead >= 0 && ahead < w;
            const bool has_behind = behind >= 0 && behind < w;
            for (int c = 0; c < channels; ++c) {
                const int u = (255 - line[size_t(x) * channels + c]) + current[size_t(x) * channels + c];
                int e;
                if (u < 128) {
                    bit_set(d.channel[c].row(y), x);
                    e = u;
                } else {
                    e = u - 255;
                }
                const int e7 = e * 7 / 16, e1 = e / 16, e5 = e * 5 / 16;
                if (has_ahead) {
                    current[size_t(ahead) * channels + c] += std::int16_t(e7);
                    next[size_t(ahead) * channels + c] += std::int16_t(e1);
                }
                next[size_t(x) * channels + c] += std::int16_t(e5);
                if (has_behind)
                    next[size_t(behind) * channels + c] += std::int16_t(e - e7 - e1 - e5);
            }
        }
        std::swap(current, next);
        std::fill(next.begin(), next.end(), std::int16_t(0));
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace

int diffusion_compute(const Image& input, HalftoneDiffusion& d)
{
    diffusion_drop(d);
    const int type = input.type;
    if (type != IMAGE_GRAY && type != IMAGE_COLOR && type != IMAGE_GRAY16 && type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (input.empty())
        return kIllegalImageType;
    int rc;
    try {
        rc = diffuse(input, d);
    } catch (const std::bad_alloc&) {
        rc = kOutOfMemory;
    }
    if (rc != kOk) {
        diffusion_drop(d);
        return rc;
    }
    d.source = &input;
    d.source_type = type;
    d.source_width = input.width;
    d.source_height = input.height;
    return kOk;
}

} // namespace mv
