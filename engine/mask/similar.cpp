#include "similar.h"

#include "picture_rows.h"

#include "core/error.h"
#include "core/progress.h"
#include "tone/color_space.h"

#include <algorithm>
#include <new>

namespace mv {

int similar_domain(int space)
{
    return space == SIMILAR_HSV || space == SIMILAR_HSL ? 4096 : 255;
}

int similar_limit_from_control(int space, int control)
{
    return similar_domain(space) == 4096 ? control * 4 : control * 255 / 1024;
}

int similar_control_from_limit(int space, int limit)
{
    const int domain = similar_domain(space);
    limit = std::clamp(limit, 0, domain);
    return std::min(domain == 4096 ? limit / 4 : (limit * 1024 + 254) / 255, 1024);
}

namespace {

// Linear fall from 255 at `from` to 0 at `to` (from < to), at x within from..to.
int falling(int x, int from, int to)
{
    return (to - x) * 255 / (to - from);
}

// Linear rise from 0 at `from` to 255 at `to` (from < to), at x within from..to.
int rising(int x, int from, int to)
{
    return (x - from) * 255 / (to - from);
}

} // namespace

void similar_table(const SimilarLimits& limits, int domain, std::uint8_t* table)
{
    const int a = std::clamp<int>(limits.outer_low, 0, domain);
    const int b = std::clamp<int>(limits.inner_low, 0, domain);
    const int c = std::clamp<int>(limits.inner_high, 0, domain);
    const int e = std::clamp<int>(limits.outer_high, 0, domain);
    if (b <= c) {
        const int lo = std::min(a, b), hi = std::max(c, e);
        for (int x = 0; x <= domain; ++x) {
            int v = 0;
            if (x >= b && x <= c)
                v = 255;
            else if (x >= lo && x < b)
                v = rising(x, lo, b);
            else if (x > c && x <= hi)
                v = falling(x, c, hi);
            table[x] = std::uint8_t(v);
        }
        return;
    }
    // Wrapping range: full outside the gap c..b, shoulders inside it.
    const int fall_end = std::clamp(e, c, b), rise_start = std::clamp(a, c, b);
    for (int x = 0; x <= domain; ++x) {
        int v = 255;
        if (x > c && x < b) {
            v = 0;
            if (x < fall_end)
                v = falling(x, c, fall_end);
            if (x > rise_start)
                v = std::max(v, rising(x, rise_start, b));
        }
        table[x] = std::uint8_t(v);
    }
}

namespace {

// The picked colour's level on each channel of the space.
void channel_levels(int space, int red, int green, int blue, int level[3])
{
    switch (space) {
    case SIMILAR_HSV: rgb8_to_hsv12(red, green, blue, level[0], level[1], level[2]); break;
    case SIMILAR_HSL: rgb8_to_hsl12(red, green, blue, level[0], level[1], level[2]); break;
    case SIMILAR_RGB:
        level[0] = red;
        level[1] = green;
        level[2] = blue;
        break;
    default: level[0] = level[1] = level[2] = color_max(red, green, blue); break;
    }
}

void pick_channel(SimilarLimits& l, int level, int domain, bool hue)
{
    const int half = domain / 32;
    const int low_shoulder = std::max(l.inner_low - l.outer_low, 0);
    const int high_shoulder = std::max(l.outer_high - l.inner_high, 0);
    if (!hue) {
        l.inner_low = std::max(level - half, 0);
        l.inner_high = std::min(level + half, domain);
        l.outer_low = std::max(l.inner_low - low_shoulder, 0);
        l.outer_high = std::min(l.inner_high + high_shoulder, domain);
        return;
    }
    // Hue is a circle of 4096 levels: the inner range may wrap past red.
    l.inner_low = ((level - half) % 4096 + 4096) % 4096;
    l.inner_high = (level + half) % 4096;
    if (l.inner_low <= l.inner_high) {
        l.outer_low = std::max(l.inner_low - low_shoulder, 0);
        l.outer_high = std::min(l.inner_high + high_shoulder, domain);
    } else {
        l.outer_low = std::clamp(l.inner_low - low_shoulder, l.inner_high, l.inner_low);
        l.outer_high = std::clamp(l.inner_high + high_shoulder, l.inner_high, l.inner_low);
    }
}

} // namespace

void similar_pick(SimilarSettings& s, int red, int green, int blue)
{
    int level[3];
    channel_levels(s.space, red, green, blue, level);
    const int domain = similar_domain(s.space);
    const bool has_hue = s.space == SIMILAR_HSV || s.space == SIMILAR_HSL;
    const int channels = s.space == SIMILAR_V ? 1 : 3;
    for (int i = 0; i < channels; ++i)
        pick_channel(s.channel[i], level[i], domain, has_hue && i == 0);
}

namespace {

// Membership of a colour row (blue, green, red triples) as the minimum over the channels.
void color_membership(const std::uint8_t* bgr, int width, int space,
                      const std::vector<std::uint8_t> (&tables)[3], std::uint8_t* r)
{
    const std::uint8_t* t0 = tables[0].data();
    const std::uint8_t* t1 = tables[1].data();
    const std::uint8_t* t2 = tables[2].data();
    for (int x = 0; x < width; ++x, bgr += 3) {
        int c0, c1, c2;
        switch (space) {
        case SIMILAR_HSV: rgb8_to_hsv12(bgr[2], bgr[1], bgr[0], c0, c1, c2); break;
        case SIMILAR_HSL: rgb8_to_hsl12(bgr[2], bgr[1], bgr[0], c0, c1, c2); break;
        case SIMILAR_RGB:
            c0 = bgr[2];
            c1 = bgr[1];
            c2 = bgr[0];
            break;
        default: // V alone: the gray value of a colour pixel is its largest component
            r[x] = t0[color_max(bgr[2], bgr[1], bgr[0])];
            continue;
        }
        r[x] = std::min({t0[c0], t1[c1], t2[c2]});
    }
}

} // namespace

int mask_similar(MaskRows& m, const Image& picture, const SimilarSettings& s, int mode)
{
    const Image& mask = *m.mask;
    if (!is_picture_type(picture.type) || picture.width != mask.width ||
        picture.height != mask.height)
        return kIllegalImageType;
    const bool gray = picture_is_gray(picture.type);
    const int space = gray ? SIMILAR_V : std::clamp<int>(s.space, SIMILAR_HSV, SIMILAR_V);
    const int domain = similar_domain(space);
    const int channels = space == SIMILAR_V ? 1 : 3;
    std::vector<std::uint8_t> tables[3];
    std::vector<std::uint8_t> source, r;
    try {
        for (int i = 0; i < channels; ++i) {
            tables[i].resize(domain + 1);
            similar_table(s.channel[i], domain, tables[i].data());
        }
        source.resize(size_t(picture.width) * (gray ? 1 : 3));
        r.resize(picture.width);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    ProgressScope progress(picture.pixels(), 0, picture.height - 1, "Range", true);
    for (int y = 0; y < picture.height; ++y) {
        if (const int err = progress.update(y))
            return err;
        if (mask_row_skipped(m.states[y], mode))
            continue;
        if (gray) {
            picture_gray_row(picture, y, source.data());
            const std::uint8_t* t = tables[0].data();
            for (int x = 0; x < picture.width; ++x)
                r[x] = t[source[x]];
        } else {
            picture_color_row(picture, y, source.data());
            color_membership(source.data(), picture.width, space, tables, r.data());
        }
        mask_merge_values(m, y, r.data(), mode);
    }
    return kOk;
}

} // namespace mv
