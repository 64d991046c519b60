#include "formats/file_dialogs.h"

#include "formats/file_io.h"
#include "formats/file_types.h"
#include "settings/preferences.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

namespace file_dialogs {
namespace {

struct DialogState {
    bool first = true;     // no file dialog yet since the start
    QString lastDirectory; // where the last one ended
    OpenAsker openAsker;
    SaveAsker saveAsker;
    PhotoCdFileAsker photoCdAsker;
};

DialogState& state()
{
    static DialogState s;
    return s;
}

QString saveFilterText(int index)
{
    const mv::FileFilter* f = mv::save_filter(index);
    return f ? dialogFilter(f->name, f->pattern) : QString();
}

std::optional<OpenChoice> runOpenDialog(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("File Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    const QStringList filters = openFilters();
    dialog.setNameFilters(filters);
    const int preset = mv::preferences().default_open_type;
    if (preset >= 1 && preset <= filters.size())
        dialog.selectNameFilter(filters[preset - 1]);
    const QString start = startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    // The name field starts with the chosen filter's pattern and follows the filter.
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const auto showPattern = [&](const QString& filter) {
        const qsizetype at = filters.indexOf(filter);
        if (edit && at >= 0)
            edit->setText(openPattern(int(at) + 1));
    };
    showPattern(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, showPattern);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialogEnded(dialog.directory().absolutePath());
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return OpenChoice{dialog.selectedFiles(), int(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

std::optional<QString> runPhotoCdDialog(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Open Photo CD"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const mv::FileFilter* f = mv::open_filter(mv::FILE_PHOTOCD);
    dialog.setNameFilter(dialogFilter(f->name, f->pattern));
    const QString pcd = QString::fromStdString(mv::preferences().pcd_directory);
    const QString start = !pcd.isEmpty() && QDir(pcd).exists() ? pcd : startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialogEnded(dialog.directory().absolutePath());
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<SaveChoice> runSaveDialog(QWidget* parent, const SaveRequest& request)
{
    QFileDialog dialog(parent, QStringLiteral("File Save"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // Save As asks its own questions
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (int index : request.filters)
        filters << saveFilterText(index);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(saveFilterText(request.filter));
    const QString start = startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    dialog.selectFile(request.name);
    // A new filter puts its default extension on the name typed so far.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& text) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const qsizetype at = filters.indexOf(text);
        if (!edit || at < 0 || edit->text().isEmpty())
            return;
        const char* ext = mv::save_default_extension(request.filters[at]);
        edit->setText(QString::fromStdString(mv::path_replace_extension(edit->text().toStdString(), ext)));
    });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialogEnded(dialog.directory().absolutePath());
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const qsizetype at = filters.indexOf(dialog.selectedNameFilter());
    return SaveChoice{dialog.selectedFiles().first(), at >= 0 ? request.filters[at] : request.filter};
}

} // namespace

QString dialogFilter(const char* name, const char* pattern)
{
    QString p = QString::fromLatin1(pattern);
    // "*.*" would only match names with a point here; every file is meant.
    if (p == QLatin1String("*.*"))
        p = QStringLiteral("*");
    return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(name), p.replace(';', ' '));
}

QString openPattern(int type)
{
    const mv::FileFilter* f = mv::open_filter(type);
    return f ? QString::fromLatin1(f->pattern) : QString();
}

QStringList openFilters()
{
    QStringList list;
    for (int type = mv::FILE_UNKNOWN; type <= mv::FILE_RLE; ++type)
        if (const mv::FileFilter* f = mv::open_filter(type))
            list << dialogFilter(f->name, f->pattern);
    return list;
}

QString startDirectory()
{
    DialogState& s = state();
    if (s.first && !mv::preferences().startup_directory.empty())
        return QString::fromStdString(mv::preferences().startup_directory);
    return s.lastDirectory;
}

void dialogEnded(const QString& folder)
{
    state().first = false;
    state().lastDirectory = folder;
}

void resetDialogState()
{
    state().first = true;
    state().lastDirectory.clear();
}

std::optional<OpenChoice> askOpenFiles(QWidget* parent)
{
    return state().openAsker ? state().openAsker(parent) : runOpenDialog(parent);
}

std::optional<SaveChoice> askSaveFile(QWidget* parent, const SaveRequest& request)
{
    return state().saveAsker ? state().saveAsker(parent, request) : runSaveDialog(parent, request);
}

void setOpenAsker(OpenAsker asker)
{
    state().openAsker = std::move(asker);
}

std::optional<QString> askPhotoCdFile(QWidget* parent)
{
    return state().photoCdAsker ? state().photoCdAsker(parent) : runPhotoCdDialog(parent);
}

void setPhotoCdFileAsker(PhotoCdFileAsker asker)
{
    state().photoCdAsker = std::move(asker);
}

void setSaveAsker(SaveAsker asker)
{
    state().saveAsker = std::move(asker);
}

} // namespace file_dialogs
