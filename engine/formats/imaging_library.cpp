#include "imaging_library.h"

#include "library_bitmap.h"
#include "file_io.h"
#include "core/error.h"

#include <algorithm>
#include <cmath>

namespace mv {
namespace {

enum class Sniffed { kOther, kJpeg, kPng };

// What a file's first bytes say it is, for the formats with codecs of their own.
Sniffed sniff(const std::string& path)
{
    FileHandle f;
    unsigned char head[8] = {};
    std::size_t n = sizeof head;
    if (file_open_read(path, f) != 0 || file_read(f, n, head) != 0)
        return Sniffed::kOther;
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (n == 8 && std::equal(head, head + 8, png))
        return Sniffed::kPng;
    if (n >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff)
        return Sniffed::kJpeg;
    return Sniffed::kOther;
}

} // namespace

int jpeg_quality_factor(int quality)
{
    quality = std::clamp(quality, 0, 100);
    return (100 - quality) * 253 / 100 + 2;
}

int jpeg_library_quality(int factor)
{
    factor = std::clamp(factor, 2, 255);
    const int quality = 100 - int((long long)(factor - 2) * 100 * 2 + 253) / (2 * 253);
    return std::max(quality, 1);
}

int library_load(const std::string& path, int format, Image& img, bool show_progress,
                 int photocd_resolution)
{
    // Like the file information step of any imaging library, the contents decide the codec;
    // the format named by the caller only matters for files without a signature.
    switch (sniff(path)) {
    case Sniffed::kPng: return png_load(path, img, show_progress);
    case Sniffed::kJpeg: return library_load_jpeg(path, img, show_progress);
    default: return magick_load(path, format, img, show_progress, photocd_resolution);
    }
}

int library_save(const std::string& path, const Image& img, int format)
{
    if (format == LIB_PNG)
        return png_save(path, img);
    return magick_save(path, img, nullptr, format);
}

int library_save_palette(const std::string& path, const Image& indices, const Palette& palette,
                         int format)
{
    return magick_save(path, indices, &palette, format);
}

} // namespace mv
