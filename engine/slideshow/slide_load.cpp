// Loading a saved show into new working files.
#include "slide_files.h"
#include "slide_overview.h"

#include "core/error.h"
#include "core/format.h"
#include "formats/file_io.h"
#include "formats/file_types.h"
#include "formats/format_entry.h"

#include <cstring>

namespace mv {
namespace {

// The size and component count of a JPEG file from its start-of-frame marker; false when
// none is found.
bool jpeg_frame_size(const std::string& path, int& width, int& height, int& components)
{
    FileHandle f;
    if (file_open_read(path, f) != kOk)
        return false;
    std::uint8_t b[9];
    if (file_read_exact(f, 2, b) != kOk || b[0] != 0xFF || b[1] != 0xD8)
        return false;
    for (;;) {
        if (file_read_exact(f, 4, b) != kOk || b[0] != 0xFF)
            return false;
        const int marker = b[1];
        const int length = b[2] << 8 | b[3];
        if (length < 2)
            return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                           marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8 || file_read_exact(f, 6, b) != kOk)
                return false;
            height = b[1] << 8 | b[2];
            width = b[3] << 8 | b[4];
            components = b[5];
            return true;
        }
        std::int64_t at = 0;
        if (file_tell(f, at) != kOk || file_seek(f, at + length - 2) != kOk)
            return false;
    }
}

// Shows `text` with the slide number and returns kSlideShowShown, or passes a cancel on.
int slide_failure(int code, const char* text, int index)
{
    if (code == kAborted)
        return code;
    error_message(text, index + 1);
    return kSlideShowShown;
}

int load_slide(SlideShow& show, const std::string& path, int i, const OverviewSlide& from,
               Slide& slide)
{
    slide.number = slideshow_next_number(show);
    slide.thumbnail_file = working_thumbnail_path(show.temp_dir, slide.number);
    slide.slide_file = working_slide_path(show.temp_dir, slide.number);
    slide.sound_file = working_sound_path(show.temp_dir, slide.number);
    int code = slideshow_copy_file(saved_slide_path(path, i, 't'), slide.thumbnail_file,
                                   format_text("Loading Thumbnail %d", i + 1));
    if (code != kOk)
        return slide_failure(code, "Error copying thumbnail for slide %d", i);
    if (format_open(FILE_JPEG, slide.thumbnail_file, slide.thumbnail, false) != kOk)
        return slide_failure(kErrorReadingFile, "Error reading thumbnail image for slide %d", i);
    code = slideshow_copy_file(saved_slide_path(path, i, 's'), slide.slide_file,
                               format_text("Loading Slide %d", i + 1));
    if (code != kOk)
        return slide_failure(code, "Error copying image for slide %d", i);
    const std::string sound = saved_slide_path(path, i, 'w');
    if (file_exists(sound)) {
        code = slideshow_copy_file(sound, slide.sound_file, format_text("Loading Sound %d", i + 1));
        if (code != kOk)
            return slide_failure(code, "Error copying sound for slide %d", i);
    }
    int components = 0;
    if (!jpeg_frame_size(slide.slide_file, slide.width, slide.height, components))
        return slide_failure(kErrorReadingFile, "Error copying image for slide %d", i);
    slide.gray = components == 1;
    slide.caption = from.caption;
    slide.description = from.description;
    slide.loop = from.loop;
    slide.duration = from.duration;
    slide.palette = from.palette;
    slide_update_size(slide);
    return kOk;
}

} // namespace

int slideshow_load(SlideShow& show, const std::string& path)
{
    if (!show.slides.empty() &&
        message_dialog("Warning",
                       "Loading a slide show will delete all existing slides.\nDo you wish to "
                       "continue?",
                       kButtonsYesNo) != kResultYes)
        return kAborted;
    std::string message;
    if (!slideshow_path_ok(path, message)) {
        error_message("Slide Show pathnames must have an extension of .ss");
        return kSlideShowShown;
    }
    Overview overview;
    if (int code = overview_read(path, overview); code != kOk)
        return code;

    // The new slides live in a show of their own until all are loaded, so a failure
    // deletes their working files and leaves the current show as it was.
    SlideShow loaded(show.temp_dir);
    loaded.file_counter = show.file_counter;
    loaded.slides.resize(overview.slides.size());
    for (std::size_t i = 0; i < overview.slides.size(); ++i) {
        const int code = load_slide(loaded, path, int(i), overview.slides[i], loaded.slides[i]);
        if (code != kOk) {
            show.file_counter = loaded.file_counter;
            return code;
        }
    }
    slideshow_clear(show);
    show.slides = std::move(loaded.slides);
    loaded.slides.clear();
    show.duration = overview.duration;
    show.size_index = slideshow_fitting_size_index(show);
    show.file_counter = loaded.file_counter;
    show.modified = false;
    return kOk;
}

} // namespace mv
