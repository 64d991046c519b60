#include "image_measure.h"

#include "error.h"
#include "progress.h"
#include "tone/value_tables.h"

#include <cstring>

namespace mv {

double image_area(const Image& img)
{
    if (img.type != IMAGE_GRAY || img.empty())
        return 0;
    ProgressScope progress(img.pixels(), 0, img.height - 1, "Area", false);
    double total = 0;
    for (int r = 0; r < img.height; ++r) {
        progress.update(r);
        const std::uint8_t* p = img.row(r);
        long long sum = 0;
        for (int x = 0; x < img.width; ++x)
            sum += p[x];
        total += double(sum) / 255.0;
    }
    return total;
}

namespace {

// Narrows `samples` 16-bit values of every row into the 8-bit picture `dst` of type
// `dst_type`, already checked for the right source type.
int reduce(const Image& src, Image& dst, int dst_type, int samples, bool show_progress)
{
    if (const int err = image_alloc(dst, dst_type, src.width, src.height, src.resolution))
        return err;
    const std::uint8_t* table = value_tables().narrow16;
    // Without show_progress the scope sees no pixels and only shows the wait cursor.
    ProgressScope progress(show_progress ? kProgressPixelThreshold : 0, 0, src.height - 1,
                           "Convert to 8-bit", true);
    for (int r = 0; r < src.height; ++r) {
        if (const int err = progress.update(r))
            return err;
        const std::uint16_t* in = src.row16(r);
        std::uint8_t* out = dst.row(r);
        for (int k = 0; k < samples; ++k)
            out[k] = table[in[k]];
        std::memset(out + samples, 0, size_t(dst.row_bytes - samples));
    }
    return kOk;
}

} // namespace

int image_reduce_gray16(const Image& src, Image& dst, bool show_progress)
{
    if (src.type != IMAGE_GRAY16)
        return kIllegalImageType;
    return reduce(src, dst, IMAGE_GRAY, src.width, show_progress);
}

int image_reduce_color48(const Image& src, Image& dst, bool show_progress)
{
    if (src.type != IMAGE_COLOR48)
        return kIllegalImageType;
    return reduce(src, dst, IMAGE_COLOR, 3 * src.width, show_progress);
}

} // namespace mv
