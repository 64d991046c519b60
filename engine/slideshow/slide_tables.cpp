#include "slide_show.h"

#include "core/error.h"
#include "formats/file_io.h"
#include "formats/file_types.h"
#include "formats/format_entry.h"
#include "core/format.h"
#include "core/util.h"

namespace mv {
namespace {

constexpr SlideSize kSizes[kSlideSizeCount] = {
    {"320x240", 320, 240},   {"400x300", 400, 300},   {"500x375", 500, 375},
    {"600x450", 600, 450},   {"640x480", 640, 480},   {"700x525", 700, 525},
    {"800x600", 800, 600},   {"900x675", 900, 675},   {"1000x750", 1000, 750},
    {"1024x768", 1024, 768},
};

constexpr const char* kQualityLabels[kSlideQualityCount] = {"Normal", "High", "Highest"};
constexpr int kQualityJpeg[kSlideQualityCount] = {90, 95, 98};

constexpr const char* kSaveWithLabels[kSaveWithCount] = {"no viewer", "installable viewer",
                                                         "runnable viewer"};
constexpr long long kSaveWithBytes[kSaveWithCount] = {0, 133120, 254464};

int clamp_index(int i, int count) { return i < 0 ? 0 : i >= count ? count - 1 : i; }

char base36(int digit) { return char(digit < 10 ? '0' + digit : 'A' + digit - 10); }

} // namespace

const SlideSize& slide_size(int index) { return kSizes[clamp_index(index, kSlideSizeCount)]; }

int slide_size_index(std::string_view label)
{
    for (int i = 0; i < kSlideSizeCount; ++i)
        if (str_equal_nocase(label, kSizes[i].label))
            return i;
    return -1;
}

const char* slide_quality_label(int quality)
{
    return kQualityLabels[clamp_index(quality, kSlideQualityCount)];
}

int slide_quality_jpeg(int quality) { return kQualityJpeg[clamp_index(quality, kSlideQualityCount)]; }

int slide_quality_index(std::string_view label)
{
    for (int i = 0; i < kSlideQualityCount; ++i)
        if (str_equal_nocase(label, kQualityLabels[i]))
            return i;
    return -1;
}

const char* save_with_label(int save_with)
{
    return kSaveWithLabels[clamp_index(save_with, kSaveWithCount)];
}

long long save_with_bytes(int save_with)
{
    return kSaveWithBytes[clamp_index(save_with, kSaveWithCount)];
}

void slideshow_error_box(int code)
{
    if (code != kOk && code != kAborted && code != kSlideShowShown)
        error_box(code);
}

std::string slide_code(int index)
{
    const int k = index + 1;
    return {base36((k / 36) % 36), base36(k % 36)};
}

std::string saved_slide_path(std::string_view overview_path, int index, char kind)
{
    std::string_view base = overview_path;
    if (base.size() >= 3 && str_equal_nocase(base.substr(base.size() - 3), ".ss"))
        base.remove_suffix(3);
    std::string path(base);
    path += '.';
    path += kind;
    path += slide_code(index);
    return path;
}

std::string working_slide_path(std::string_view temp_dir, int n)
{
    return path_join(temp_dir, format_text("temp%d.s", n));
}

std::string working_thumbnail_path(std::string_view temp_dir, int n)
{
    return path_join(temp_dir, format_text("temp%d.t", n));
}

std::string working_sound_path(std::string_view temp_dir, int n)
{
    return path_join(temp_dir, format_text("temp%d.wav", n));
}

int slideshow_next_number(SlideShow& show)
{
    for (;;) {
        const int n = ++show.file_counter;
        if (!file_exists(working_slide_path(show.temp_dir, n)) &&
            !file_exists(working_thumbnail_path(show.temp_dir, n)) &&
            !file_exists(working_sound_path(show.temp_dir, n)))
            return n;
    }
}

std::array<std::uint8_t, kPaletteBytes> gray_ramp_palette()
{
    std::array<std::uint8_t, kPaletteBytes> p{};
    for (int i = 0; i < 256; ++i)
        p[3 * i] = p[3 * i + 1] = p[3 * i + 2] = std::uint8_t(i);
    return p;
}

int slide_read_image(const Slide& slide, Image& out)
{
    return format_open(FILE_JPEG, slide.slide_file, out, false);
}

int saved_slide_read_image(std::string_view overview_path, int index, Image& out)
{
    return format_open(FILE_JPEG, saved_slide_path(overview_path, index, 's'), out, false);
}

} // namespace mv
