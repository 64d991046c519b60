// Adding a slide: the thumbnail, the slide image, their working files and the palette.
#include "slide_show.h"

#include "core/error.h"
#include "core/util.h"
#include "filters/resize.h"
#include "formats/file_io.h"
#include "formats/file_open.h"
#include "formats/file_types.h"
#include "formats/format_entry.h"
#include "reduce/color_reducer.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>

namespace mv {
namespace {

// The size of a w x h picture fitted within box_w x box_h, keeping its proportions.
void fit_within(int w, int h, int box_w, int box_h, int& out_w, int& out_h)
{
    if ((long long)w * box_h >= (long long)h * box_w) {
        out_w = box_w;
        out_h = int(std::max<long long>(1, ((long long)h * box_w + w / 2) / w));
    } else {
        out_h = box_h;
        out_w = int(std::max<long long>(1, ((long long)w * box_h + h / 2) / h));
    }
}

// 16-bit pictures narrowed to 8 bits and binary pictures as 8-bit gray; `out` stays empty
// for pictures that are already 8-bit gray or colour.
int eight_bit_copy(const Image& src, Image& out)
{
    int type = 0;
    switch (src.type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY16: type = IMAGE_GRAY; break;
    case IMAGE_COLOR48: type = IMAGE_COLOR; break;
    default: return kOk;
    }
    if (image_alloc(out, type, src.width, src.height, src.resolution) != kOk)
        return kOutOfMemory;
    const std::uint8_t* narrow = value_tables().narrow16;
    const int samples = src.width * (type == IMAGE_COLOR ? 3 : 1);
    for (int y = 0; y < src.height; ++y) {
        std::uint8_t* d = out.row(y);
        if (src.type == IMAGE_BINARY) {
            for (int x = 0; x < src.width; ++x)
                d[x] = bit_test(src.row(y), x) ? 255 : 0;
        } else {
            const std::uint16_t* s = src.row16(y);
            for (int i = 0; i < samples; ++i)
                d[i] = narrow[s[i]];
        }
    }
    return kOk;
}

int save_jpeg(const std::string& path, const Image& img, int quality)
{
    SaveOptions options;
    options.jpeg_quality = quality;
    options.jpeg_sampling = kSampling444;
    return format_save(SAVE_JPEG, path, img, options);
}

int make_palette(const Image& slide, std::array<std::uint8_t, kPaletteBytes>& palette)
{
    if (slide.type == IMAGE_GRAY) {
        palette = gray_ramp_palette();
        return kOk;
    }
    Palette reduced;
    const int code = color_reduce(slide, nullptr, kPaletteMax, false, reduced, true);
    if (code != kOk)
        return code;
    palette.fill(0);
    std::memcpy(palette.data(), reduced.colors, std::size_t(reduced.size) * 3);
    return kOk;
}

struct WorkingFiles {
    std::string slide, thumbnail;
    bool keep = false;
    ~WorkingFiles()
    {
        if (keep)
            return;
        for (const std::string* p : {&slide, &thumbnail})
            if (!p->empty() && file_exists(*p))
                file_delete(*p);
    }
};

} // namespace

int slideshow_add_picture(SlideShow& show, const Image& picture, int position)
{
    if (slideshow_full(show)) {
        error_message("Too many slides");
        return kSlideShowShown;
    }
    if (!is_picture_type(picture.type) || picture.empty())
        return 24;

    Image eight;
    if (int code = eight_bit_copy(picture, eight); code != kOk)
        return code;
    const Image& source = eight.empty() ? picture : eight;

    Slide slide;
    int tw = 0, th = 0;
    fit_within(source.width, source.height, kThumbnailWidth, kThumbnailHeight, tw, th);
    if (int code = resize_image(source, slide.thumbnail, tw, th, source.resolution, kResizeSmooth);
        code != kOk)
        return code;
    if (slide.thumbnail.type != IMAGE_GRAY && slide.thumbnail.type != IMAGE_COLOR)
        return 24;

    slide.number = slideshow_next_number(show);
    WorkingFiles files;
    files.thumbnail = working_thumbnail_path(show.temp_dir, slide.number);
    files.slide = working_slide_path(show.temp_dir, slide.number);
    if (int code = save_jpeg(files.thumbnail, slide.thumbnail, kThumbnailQuality); code != kOk)
        return code;

    const SlideSize& box = slide_size(show.size_index);
    Image fitted;
    const Image* image = &source;
    if (source.width > box.width || source.height > box.height) {
        int sw = 0, sh = 0;
        fit_within(source.width, source.height, box.width, box.height, sw, sh);
        if (int code = resize_image(source, fitted, sw, sh, source.resolution, kResizeSmooth);
            code != kOk)
            return code;
        image = &fitted;
    }
    if (int code = save_jpeg(files.slide, *image, slide_quality_jpeg(show.quality)); code != kOk)
        return code;
    if (int code = make_palette(*image, slide.palette); code != kOk)
        return code;

    slide.slide_file = files.slide;
    slide.thumbnail_file = files.thumbnail;
    slide.sound_file = working_sound_path(show.temp_dir, slide.number);
    slide.gray = image->type == IMAGE_GRAY;
    slide.width = image->width;
    slide.height = image->height;
    slide_update_size(slide);
    files.keep = true;

    const int count = int(show.slides.size());
    const int at = position < 0 || position > count ? count : position;
    show.slides.insert(show.slides.begin() + at, std::move(slide));
    show.modified = true;
    return kOk;
}

int slideshow_add_file(SlideShow& show, const std::string& path, int position)
{
    if (slideshow_full(show)) {
        error_message("Too many slides");
        return kSlideShowShown;
    }
    if (!file_exists(path)) {
        error_message("File does not exist: %s", path);
        return kSlideShowShown;
    }
    Image picture;
    const int code = format_open(file_open_type(path, FILE_UNKNOWN), path, picture, true);
    if (code != kOk)
        return code;
    return slideshow_add_picture(show, picture, position);
}

} // namespace mv
