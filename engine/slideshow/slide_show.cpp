#include "slide_show.h"

#include "slide_files.h"
#include "wav_file.h"

#include "core/error.h"
#include "formats/file_io.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace mv {
namespace {

bool valid_index(const SlideShow& show, int index)
{
    return index >= 0 && index < int(show.slides.size());
}

void delete_working_files(const Slide& slide)
{
    for (const std::string* path : {&slide.slide_file, &slide.thumbnail_file, &slide.sound_file})
        if (!path->empty() && file_exists(*path))
            file_delete(*path);
}

long long file_bytes(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return 0;
    return st.st_size;
}

// Keeps at most `limit` bytes, never cutting a UTF-8 character in two.
std::string cut_utf8(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return std::string(text);
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

} // namespace

SlideShow& SlideShow::operator=(SlideShow&& other) noexcept
{
    if (this != &other) {
        slideshow_clear(*this);
        slides = std::move(other.slides);
        other.slides.clear();
        size_index = other.size_index;
        quality = other.quality;
        duration = other.duration;
        save_with = other.save_with;
        modified = other.modified;
        file_counter = other.file_counter;
        temp_dir = std::move(other.temp_dir);
    }
    return *this;
}

SlideShow::~SlideShow() { slideshow_clear(*this); }

void slideshow_clear(SlideShow& show)
{
    for (const Slide& slide : show.slides)
        delete_working_files(slide);
    show.slides.clear();
}

bool slideshow_full(const SlideShow& show) { return show.slides.size() >= kSlideMax; }

void slideshow_remove(SlideShow& show, int index)
{
    if (!valid_index(show, index))
        return;
    delete_working_files(show.slides[index]);
    show.slides.erase(show.slides.begin() + index);
    show.modified = true;
}

void slideshow_move(SlideShow& show, int from, int to)
{
    if (!valid_index(show, from) || !valid_index(show, to) || from == to)
        return;
    auto first = show.slides.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    show.modified = true;
}

void slideshow_set_caption(SlideShow& show, int index, std::string_view caption)
{
    if (!valid_index(show, index))
        return;
    std::string text(caption);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    show.slides[index].caption = cut_utf8(text, kCaptionMax);
    show.modified = true;
}

void slideshow_set_description(SlideShow& show, int index, std::string_view text)
{
    if (!valid_index(show, index))
        return;
    show.slides[index].description = std::string(text);
    show.modified = true;
}

void slideshow_set_slide_duration(SlideShow& show, int index, int seconds)
{
    if (!valid_index(show, index))
        return;
    show.slides[index].duration = std::clamp(seconds, 0, kSlideDurationMax);
    show.modified = true;
}

void slideshow_set_loop(SlideShow& show, int index, bool loop)
{
    if (!valid_index(show, index))
        return;
    show.slides[index].loop = loop;
    show.modified = true;
}

void slideshow_set_size_index(SlideShow& show, int size_index)
{
    show.size_index = std::clamp(size_index, 0, kSlideSizeCount - 1);
    show.modified = true;
}

void slideshow_set_quality(SlideShow& show, int quality)
{
    show.quality = std::clamp(quality, 0, kSlideQualityCount - 1);
    show.modified = true;
}

void slideshow_set_duration(SlideShow& show, int seconds)
{
    show.duration = std::clamp(seconds, kShowDurationMin, kShowDurationMax);
    show.modified = true;
}

void slideshow_set_save_with(SlideShow& show, int save_with)
{
    show.save_with = std::clamp(save_with, 0, kSaveWithCount - 1);
    show.modified = true;
}

int slideshow_set_sound(SlideShow& show, int index, const std::string& wav_path)
{
    if (!valid_index(show, index))
        return kOk;
    WavFormat format;
    std::string problem;
    const int code = wav_read_format(wav_path, format, problem);
    if (code == kErrorReadingFile) {
        error_message("Illegal WAV file: %s", problem);
        return kSlideShowShown;
    }
    if (code != kOk)
        return code;
    Slide& slide = show.slides[index];
    std::error_code same_error;
    if (std::filesystem::equivalent(wav_path, slide.sound_file, same_error))
        return kOk; // already the slide's sound
    const int copied = slideshow_copy_file(wav_path, slide.sound_file, "Copying WAV file");
    if (copied != kOk) {
        if (file_exists(slide.sound_file))
            file_delete(slide.sound_file);
    }
    slide_update_size(slide);
    show.modified = true;
    return copied;
}

void slideshow_reset_sound(SlideShow& show, int index)
{
    if (!valid_index(show, index))
        return;
    Slide& slide = show.slides[index];
    if (file_exists(slide.sound_file))
        file_delete(slide.sound_file);
    slide_update_size(slide);
    show.modified = true;
}

bool slide_has_sound(const Slide& slide)
{
    return !slide.sound_file.empty() && file_exists(slide.sound_file);
}

long long slide_round_size(long long bytes)
{
    return (bytes + kSizeUnit - 1) / kSizeUnit * kSizeUnit;
}

void slide_update_size(Slide& slide)
{
    slide.size = slide_round_size(file_bytes(slide.slide_file)) +
                 slide_round_size(file_bytes(slide.thumbnail_file)) +
                 slide_round_size(file_bytes(slide.sound_file));
}

long long slideshow_overview_estimate(const SlideShow& show)
{
    long long bytes = std::string_view("Slideshow 1.0xx").size();
    for (const Slide& slide : show.slides) {
        bytes += std::string_view("caption xx xx xx").size() + slide.caption.size();
        bytes += std::string_view("palette xx xx xx").size() + kPaletteBytes;
        if (!slide.description.empty())
            bytes += std::string_view("description xx xx xx").size() + slide.description.size();
    }
    return slide_round_size(bytes);
}

long long slideshow_total_bytes(const SlideShow& show)
{
    long long bytes = save_with_bytes(show.save_with);
    for (const Slide& slide : show.slides)
        bytes += slide.size;
    return bytes + slideshow_overview_estimate(show);
}

double slideshow_total_megabytes(const SlideShow& show)
{
    return double(slideshow_total_bytes(show)) / 1000000.0;
}

int slideshow_fitting_size_index(const SlideShow& show)
{
    if (show.slides.empty())
        return kSlideSizeDefault;
    int width = 0, height = 0;
    for (const Slide& slide : show.slides) {
        width = std::max(width, slide.width);
        height = std::max(height, slide.height);
    }
    for (int i = 0; i < kSlideSizeCount; ++i)
        if (slide_size(i).width >= width && slide_size(i).height >= height)
            return i;
    return kSlideSizeCount - 1;
}

int slide_seconds(const SlideShow& show, const Slide& slide)
{
    return slide.duration > 0 ? slide.duration : show.duration;
}

} // namespace mv
