#include "histogram.h"

#include "error.h"
#include "progress.h"
#include "tone/color_space.h"
#include "tone/value_tables.h"
#include "util.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace mv {

int histogram_store(const HistogramRecord& h, Image& img)
{
    static_assert(sizeof(HistogramRecord) == 1028, "a record is the pseudo-image's row");
    if (const int err = image_alloc(img, IMAGE_HISTOGRAM, 1, 1, 0.0))
        return err;
    std::memcpy(img.row(0), &h, sizeof h);
    return kOk;
}

HistogramSteps histogram_steps(long long width, long long height, long long limit)
{
    HistogramSteps s;
    limit = std::max(limit, 1LL);
    const long long pixels = width * height;
    while (pixels / ((long long)s.sx * s.sy) > limit) {
        if (s.sx != s.sy)
            ++s.sx;
        else
            ++s.sy;
    }
    return s;
}

namespace {

template <class Record>
void clear(std::initializer_list<Record*> records)
{
    for (Record* r : records)
        std::memset(r, 0, sizeof(Record));
}

template <class Record>
void set_largest(std::initializer_list<Record*> records)
{
    for (Record* r : records)
        r->largest = *std::max_element(std::begin(r->counts), std::end(r->counts));
}

// Visits every sampled pixel: `visit(row, x)` for every sx-th pixel of every sy-th row,
// both from 0, under the "Histogram" progress window.
template <class Visit>
void sample(const Image& img, long long limit, Visit visit)
{
    const HistogramSteps s = histogram_steps(img.width, img.height, limit);
    progress_begin(0, img.height - 1, "Histogram", false);
    for (int r = 0; r < img.height; r += s.sy) {
        progress_update(r);
        const std::uint8_t* row = img.row(r);
        for (int x = 0; x < img.width; x += s.sx)
            visit(row, x);
    }
    progress_end();
}

// Visits the sampled pixels of a colour or 48-bit colour image as 8-bit red, green, blue.
template <class Visit>
void sample_rgb8(const Image& img, long long limit, Visit visit)
{
    if (img.type == IMAGE_COLOR) {
        sample(img, limit, [&](const std::uint8_t* row, int x) {
            const std::uint8_t* p = row + 3 * x;
            visit(int(p[2]), int(p[1]), int(p[0]));
        });
    } else {
        const std::uint8_t* narrow = value_tables().narrow16;
        sample(img, limit, [&](const std::uint8_t* row, int x) {
            const std::uint16_t* p = reinterpret_cast<const std::uint16_t*>(row) + 3 * x;
            visit(int(narrow[p[2]]), int(narrow[p[1]]), int(narrow[p[0]]));
        });
    }
}

bool is_colour(const Image& img)
{
    return (img.type == IMAGE_COLOR || img.type == IMAGE_COLOR48) && !img.empty();
}

// One 8-bit level per pixel of a colour image.
template <class Level>
int colour_member(const Image& img, HistogramRecord& h, long long limit, Level level)
{
    if (!is_colour(img))
        return kIllegalImageType;
    clear({&h});
    sample_rgb8(img, limit, [&](int r, int g, int b) { ++h.counts[level(r, g, b)]; });
    set_largest({&h});
    return kOk;
}

// One 16-bit level per pixel of a 48-bit colour image.
template <class Level>
int colour16_member(const Image& img, HistogramRecord16& h, long long limit, Level level)
{
    if (img.type != IMAGE_COLOR48 || img.empty())
        return kIllegalImageType;
    clear({&h});
    sample(img, limit, [&](const std::uint8_t* row, int x) {
        const std::uint16_t* p = reinterpret_cast<const std::uint16_t*>(row) + 3 * x;
        ++h.counts[level(int(p[2]), int(p[1]), int(p[0]))];
    });
    set_largest({&h});
    return kOk;
}

// A 12-bit component (0..4096) as an 8-bit level.
int level12(int c)
{
    return (c * 255 + 2048) / 4096;
}

// Three records from a 12-bit conversion of each pixel.
template <class Convert>
int component_member(const Image& img, HistogramRecord& a, HistogramRecord& b,
                     HistogramRecord& c, long long limit, Convert convert)
{
    if (!is_colour(img))
        return kIllegalImageType;
    clear({&a, &b, &c});
    sample_rgb8(img, limit, [&](int red, int green, int blue) {
        int x, y, z;
        convert(red, green, blue, x, y, z);
        ++a.counts[level12(x)];
        ++b.counts[level12(y)];
        ++c.counts[level12(z)];
    });
    set_largest({&a, &b, &c});
    return kOk;
}

} // namespace

int histogram_binary(const Image& img, HistogramRecord& h, long long limit)
{
    if (img.type != IMAGE_BINARY || img.empty())
        return kIllegalImageType;
    clear({&h});
    sample(img, limit, [&](const std::uint8_t* row, int x) {
        ++h.counts[bit_test(row, x) ? 255 : 0];
    });
    set_largest({&h});
    return kOk;
}

int histogram_gray(const Image& img, HistogramRecord& h, long long limit)
{
    if ((img.type != IMAGE_GRAY && img.type != IMAGE_GRAY16) || img.empty())
        return kIllegalImageType;
    clear({&h});
    if (img.type == IMAGE_GRAY) {
        sample(img, limit, [&](const std::uint8_t* row, int x) { ++h.counts[row[x]]; });
    } else {
        const std::uint8_t* narrow = value_tables().narrow16;
        sample(img, limit, [&](const std::uint8_t* row, int x) {
            ++h.counts[narrow[reinterpret_cast<const std::uint16_t*>(row)[x]]];
        });
    }
    set_largest({&h});
    return kOk;
}

int histogram_gray16(const Image& img, HistogramRecord16& h, long long limit)
{
    if (img.type != IMAGE_GRAY16 || img.empty())
        return kIllegalImageType;
    clear({&h});
    sample(img, limit, [&](const std::uint8_t* row, int x) {
        ++h.counts[reinterpret_cast<const std::uint16_t*>(row)[x]];
    });
    set_largest({&h});
    return kOk;
}

int histogram_rgb(const Image& img, HistogramRecord& red, HistogramRecord& green,
                  HistogramRecord& blue, long long limit)
{
    if (!is_colour(img))
        return kIllegalImageType;
    clear({&red, &green, &blue});
    sample_rgb8(img, limit, [&](int r, int g, int b) {
        ++red.counts[r];
        ++green.counts[g];
        ++blue.counts[b];
    });
    set_largest({&red, &green, &blue});
    return kOk;
}

int histogram_average(const Image& img, HistogramRecord& h, long long limit)
{
    return colour_member(img, h, limit, [](int r, int g, int b) { return (r + g + b) / 3; });
}

int histogram_luminance(const Image& img, HistogramRecord& h, long long limit)
{
    return colour_member(img, h, limit, [](int r, int g, int b) { return luminance(r, g, b); });
}

int histogram_hsv(const Image& img, HistogramRecord& hue, HistogramRecord& saturation,
                  HistogramRecord& value, long long limit)
{
    return component_member(img, hue, saturation, value, limit, rgb8_to_hsv12);
}

int histogram_hsl(const Image& img, HistogramRecord& hue, HistogramRecord& saturation,
                  HistogramRecord& lightness, long long limit)
{
    return component_member(img, hue, saturation, lightness, limit, rgb8_to_hsl12);
}

int histogram_value(const Image& img, HistogramRecord& h, long long limit)
{
    return colour_member(img, h, limit, color_max);
}

int histogram_value16(const Image& img, HistogramRecord16& h, long long limit)
{
    return colour16_member(img, h, limit, color_max);
}

int histogram_saturation_hsv(const Image& img, HistogramRecord& h, long long limit)
{
    return colour_member(img, h, limit, hsv_saturation8);
}

int histogram_lightness(const Image& img, HistogramRecord& h, long long limit)
{
    return colour_member(img, h, limit, hsl_lightness);
}

int histogram_lightness16(const Image& img, HistogramRecord16& h, long long limit)
{
    return colour16_member(img, h, limit, hsl_lightness);
}

int histogram_saturation_hsl(const Image& img, HistogramRecord& h, long long limit)
{
    return colour_member(img, h, limit, hsl_saturation8);
}

} // namespace mv
