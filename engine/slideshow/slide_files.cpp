// The saved file set: name checks, viewer files, copying with progress, deleting and saving.
#include "slide_files.h"

#include "slide_overview.h"

#include "core/error.h"
#include "core/format.h"
#include "core/progress.h"
#include "core/util.h"
#include "formats/file_io.h"

#include <algorithm>
#include <vector>

namespace mv {
namespace {

constexpr std::size_t kCopyBlock = 65536;

bool ends_with_nocase(std::string_view path, std::string_view ext)
{
    return path.size() > ext.size() &&
           str_equal_nocase(path.substr(path.size() - ext.size()), ext);
}

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

int copy_blocks(FileHandle& in, FileHandle& out, std::int64_t bytes, std::string_view title)
{
    const int blocks = int((bytes + kCopyBlock - 1) / kCopyBlock);
    progress_begin(0, std::max(blocks - 1, 0), title, true);
    std::vector<std::uint8_t> buffer(kCopyBlock);
    int code = kOk;
    for (int b = 0; b < blocks && code == kOk; ++b) {
        const std::size_t n = std::size_t(std::min<std::int64_t>(kCopyBlock, bytes - std::int64_t(b) * kCopyBlock));
        code = file_read_exact(in, n, buffer.data());
        if (code == kOk)
            code = file_write(out, n, buffer.data());
        if (code == kOk)
            code = progress_update(b);
    }
    progress_end();
    return code;
}

} // namespace

bool slideshow_path_ok(std::string_view path, std::string& message)
{
    if (ends_with_nocase(path, ".ss"))
        return true;
    message = "Slide show pathnames must have an extension of .ss";
    return false;
}

bool avi_path_ok(std::string_view path, std::string& message)
{
    if (ends_with_nocase(path, ".avi"))
        return true;
    message = "AVI file pathnames must have an extension of .avi";
    return false;
}

std::vector<std::string> viewer_file_names(int save_with)
{
    switch (save_with) {
    case kSaveRunnableViewer: return {"morvane-viewer", "play-slideshow.sh"};
    case kSaveInstallableViewer:
        return {"morvane-viewer", "play-slideshow.sh", "morvane-viewer.desktop",
                "install-viewer.sh"};
    default: return {};
    }
}

int slideshow_copy_file(const std::string& from, const std::string& to, std::string_view title)
{
    FileHandle in;
    if (int code = file_open_read(from, in); code != kOk)
        return code;
    std::int64_t bytes = 0;
    if (file_size(in, bytes) != kOk)
        return kErrorReadingFile;
    FileHandle out;
    if (int code = file_create(to, out); code != kOk)
        return code;
    int code = copy_blocks(in, out, bytes, title);
    if (int closed = out.close(); code == kOk)
        code = closed;
    if (code != kOk)
        file_delete(to);
    return code;
}

int slideshow_copy_viewer(int save_with, const std::string& viewer_folder,
                          const std::string& destination_folder)
{
    for (const std::string& name : viewer_file_names(save_with)) {
        const std::string from = path_join(viewer_folder, name);
        if (!file_exists(from)) {
            error_message("Missing viewer file: %s", name);
            return kSlideShowShown;
        }
        const int code =
            slideshow_copy_file(from, path_join(destination_folder, name),
                                format_text("Copying viewer file: %s", name));
        if (code == kAborted)
            return code;
        if (code != kOk) {
            error_message("Error copying viewer file: %s", name);
            return kSlideShowShown;
        }
    }
    return kOk;
}

int slideshow_delete_files(const std::string& overview_path)
{
    const int result = file_delete(overview_path);
    for (int i = 0; i < kSlideMax; ++i) {
        const int t = file_delete(saved_slide_path(overview_path, i, 't'));
        const int s = file_delete(saved_slide_path(overview_path, i, 's'));
        const std::string w = saved_slide_path(overview_path, i, 'w');
        if (file_exists(w))
            file_delete(w);
        if (t != kOk || s != kOk)
            break;
    }
    return result;
}

int slideshow_save(SlideShow& show, const std::string& path, const std::string& viewer_folder)
{
    std::string message;
    if (!slideshow_path_ok(path, message)) {
        error_message("%s", message);
        return kSlideShowShown;
    }
    if (file_exists(path)) {
        if (message_dialog("Warning", "Slide show already exists; delete it?", kButtonsYesNo) !=
            kResultYes)
            return kAborted;
        slideshow_delete_files(path);
    }
    if (int code = slideshow_copy_viewer(show.save_with, viewer_folder, folder_of(path));
        code != kOk)
        return code;
    if (int code = overview_write(path, slideshow_overview(show)); code != kOk)
        return code;
    const int count = int(show.slides.size());
    for (int i = 0; i < count; ++i) {
        const int code = slideshow_copy_file(show.slides[i].thumbnail_file,
                                             saved_slide_path(path, i, 't'),
                                             format_text("Copying thumbnail %d", i + 1));
        if (code != kOk)
            return code;
    }
    for (int i = 0; i < count; ++i) {
        const Slide& slide = show.slides[i];
        int code = slideshow_copy_file(slide.slide_file, saved_slide_path(path, i, 's'),
                                       format_text("Copying slide %d", i + 1));
        if (code == kOk && slide_has_sound(slide))
            code = slideshow_copy_file(slide.sound_file, saved_slide_path(path, i, 'w'),
                                       format_text("Copying sound %d", i + 1));
        if (code != kOk)
            return code;
    }
    message_box("Save Slide Show", "Slide Show Save Completed Successfully");
    show.modified = false;
    return kOk;
}

} // namespace mv
