#include "formats/save_commands.h"

#include "core/error.h"
#include "core/format.h"
#include "core/util.h"
#include "formats/file_dialogs.h"
#include "formats/file_io.h"
#include "formats/file_save.h"
#include "formats/file_types.h"
#include "formats/jpeg_save_dialog.h"
#include "formats/photocd_size_dialog.h"
#include "formats/recent_files.h"
#include "settings/preferences.h"
#include "shell/close_protocol.h"
#include "shell/image_changed.h"
#include "shell/image_window.h"
#include "shell/window_records.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QPointer>

#include <algorithm>

namespace save_commands {
namespace {

// "Only grayscale or color images can be saved in JPEG format".
constexpr int kJpegWrongType = 24;

struct SaveState {
    int lastFilter = 0; // the last save filter used since the start; 0 none
    JpegAsker jpegAsker;
    PhotoCdAsker photoCdAsker;
};

SaveState& state()
{
    static SaveState s;
    return s;
}

bool is16Bit(int type)
{
    return type == mv::IMAGE_GRAY16 || type == mv::IMAGE_COLOR48;
}

// The format's own options: JPEG asks for quality and sampling (Cancel gives false).
bool askOptions(ImageWindow* w, int filter, mv::SaveOptions& options)
{
    if (filter != mv::SAVE_JPEG)
        return true;
    const bool colour = w->record().image.type == mv::IMAGE_COLOR;
    if (state().jpegAsker)
        return state().jpegAsker(w, colour, options);
    return JpegSaveDialog::ask(w, colour, options);
}

// Writes the window's picture with a format's entry point; after a JPEG save the
// statistics box shows what the compression achieved.
int writePicture(ImageWindow* w, const std::string& path, int filter)
{
    const mv::Image& img = w->record().image;
    // JPEG takes only gray and colour pictures; the others are refused before the dialog.
    if (filter == mv::SAVE_JPEG && img.type != mv::IMAGE_GRAY && img.type != mv::IMAGE_COLOR)
        return kJpegWrongType;
    mv::SaveOptions options;
    if (!askOptions(w, filter, options))
        return mv::kAborted;
    const int err = mv::file_save_path(path, filter, img, options);
    if (err == 0 && filter == mv::SAVE_JPEG) {
        const long long bytes = (long long)img.height * img.row_bytes;
        const std::string text = mv::jpeg_statistics_text(path, options.jpeg_quality, bytes,
                                                          QFileInfo(QString::fromStdString(path)).size());
        mv::message_dialog("JPEG File Save Statistics", text, mv::kButtonsOk);
    }
    return err;
}

QList<ImageWindow*> otherWindowsWithPath(ImageWindow* w, const std::string& path)
{
    QList<ImageWindow*> list;
    if (!w->mdiArea())
        return list;
    for (QMdiSubWindow* sub : w->mdiArea()->subWindowList()) {
        auto* other = qobject_cast<ImageWindow*>(sub);
        if (other && other != w && mv::str_equal_nocase(other->record().path, path))
            list.append(other);
    }
    return list;
}

enum class Replace { kGoOn, kAskAgain };

// The checks before a file is replaced: windows showing it are closed (after their own
// question) or stand in the way; an existing file is only replaced when the user agrees.
Replace replaceCheck(ImageWindow* w, const std::string& path)
{
    const QList<ImageWindow*> holders = otherWindowsWithPath(w, path);
    for (const QPointer<ImageWindow> other : holders) {
        if (!other)
            continue;
        if (!other->usedBy().isEmpty() || !mv::save_modified_prompt(*other, mv::preferences().confirm)) {
            mv::message_dialog("Warning", "A file of this name is currently open and in use", mv::kButtonsOk);
            return Replace::kAskAgain;
        }
        if (mv::message_dialog("Warning",
                               "A file of this name is currently open.\nClose its window and replace the "
                               "existing file?",
                               mv::kButtonsYesNo) != mv::kResultYes)
            return Replace::kAskAgain;
        if (other)
            delete other.data();
    }
    if (holders.isEmpty() && mv::file_exists(path) &&
        mv::message_dialog("Warning", mv::format_text("Replace existing file: %s?", path), mv::kButtonsYesNo) !=
            mv::kResultYes)
        return Replace::kAskAgain;
    return Replace::kGoOn;
}

} // namespace

std::vector<int> offeredFilters(int imageType)
{
    std::vector<int> list = mv::save_filter_list(imageType);
    // No FlashPix codec exists on this system.
    std::erase(list, int(mv::SAVE_FLASHPIX));
    return list;
}

int preselectedFilter(int imageType, int fileType)
{
    if (is16Bit(imageType))
        return mv::SAVE_TIFF;
    const std::vector<int> offered = offeredFilters(imageType);
    const auto ok = [&](int f) { return std::find(offered.begin(), offered.end(), f) != offered.end(); };
    if (const int f = mv::file_type_save_filter(fileType); ok(f))
        return f;
    if (ok(state().lastFilter))
        return state().lastFilter;
    if (const int f = mv::preferences().default_save_type; ok(f))
        return f;
    return mv::SAVE_TIFF;
}

int fileSave(ImageWindow* w)
{
    mv::WindowRecord& r = w->record();
    const int filter = mv::file_type_save_filter(r.file_type);
    const std::vector<int> offered = offeredFilters(r.image.type);
    if (r.path.empty() || std::find(offered.begin(), offered.end(), filter) == offered.end())
        return fileSaveAs(w);
    if (const int err = writePicture(w, r.path, filter))
        return err;
    w->setModified(false);
    return 0;
}

int fileSaveAs(ImageWindow* w)
{
    mv::WindowRecord& r = w->record();
    file_dialogs::SaveRequest request;
    request.filters = offeredFilters(r.image.type);
    request.filter = preselectedFilter(r.image.type, r.file_type);
    request.name = QString::fromStdString(mv::path_replace_extension(
        r.path.empty() ? std::string("Untitled") : r.path, mv::save_default_extension(request.filter)));
    for (;;) {
        const std::optional<file_dialogs::SaveChoice> choice = file_dialogs::askSaveFile(w, request);
        if (!choice)
            return mv::kAborted;
        // The dialog comes again with what the user chose.
        request.filter = choice->filter;
        request.name = choice->path;
        std::string path, message;
        if (!mv::save_as_name(choice->path.toStdString(), choice->filter, path, message)) {
            mv::message_dialog("Error", message, mv::kButtonsOk);
            continue;
        }
        if (replaceCheck(w, path) == Replace::kAskAgain)
            continue;
        if (const int err = writePicture(w, path, choice->filter))
            return err;
        state().lastFilter = choice->filter;
        mv::recent_file_add(path);
        w->setModified(false);
        r.path = path;
        r.file_type = std::max(mv::save_filter_file_type(choice->filter), 0);
        w->updateTitle();
        notify_image_changed(w);
        return 0;
    }
}

bool fileCloseQuery(ImageWindow* w)
{
    if (!mv::preferences().confirm || !w->isModified())
        return true;
    switch (mv::message_dialog("Warning", "Save modified file?", mv::kButtonsYesNoCancel)) {
    case mv::kResultYes: {
        const int err = fileSave(w);
        if (err != mv::kAborted)
            mv::error_box(err);
        return err == 0;
    }
    case mv::kResultNo: return true;
    default: return false;
    }
}

int fileRevert(ImageWindow* w)
{
    mv::WindowRecord& r = w->record();
    if (r.file_type >= mv::FILE_TIFF && r.file_type <= mv::FILE_RLE && !r.path.empty()) {
        int resolution = 3;
        if (r.file_type == mv::FILE_PHOTOCD && (resolution = askPhotoCdResolution(w)) == 0)
            return mv::kAborted;
        // Read into a new picture so a failure leaves the window as it was.
        mv::Image fresh;
        if (const int err = mv::format_open(r.file_type, r.path, fresh, true, resolution))
            return err;
        r.image = std::move(fresh);
    }
    w->setModified(false);
    w->pictureChanged();
    notify_image_changed(w);
    return 0;
}

void setJpegAsker(JpegAsker asker)
{
    state().jpegAsker = std::move(asker);
}

void setPhotoCdAsker(PhotoCdAsker asker)
{
    state().photoCdAsker = std::move(asker);
}

int askPhotoCdResolution(QWidget* parent)
{
    return state().photoCdAsker ? state().photoCdAsker(parent) : PhotoCdSizeDialog::ask(parent);
}

void resetSaveState()
{
    state().lastFilter = 0;
}

} // namespace save_commands
