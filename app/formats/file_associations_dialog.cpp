#include "formats/file_associations_dialog.h"

#include "core/error.h"
#include "shell/data_paths.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>
#include <QVBoxLayout>

namespace associations {
namespace {

struct Row {
    const char* label;
    const char* types; // media types of the row's extensions, ';'-separated
};

constexpr Row kRows[kRowCount] = {
    {"Bitmap (.bmp)", "image/bmp"},
    {"FITS (.fit, .fits)", "image/fits;application/fits"},
    {"FlashPix (.fpx)", "image/x-fpx"},
    {"GIF (.gif)", "image/gif"},
    {"JPEG (.jpg, .jpeg)", "image/jpeg"},
    {"Photo CD (.pcd)", "image/x-photo-cd"},
    {"PCX (.pcx)", "image/vnd.zbrush.pcx"},
    {"PNG (.png)", "image/png"},
    {"RLE Bitmap (.rle)", "image/rle"},
    {"Targa (.tga)", "image/x-tga"},
    {"TIFF (.tif, .tiff)", "image/tiff"},
};

const QString kDesktopName = QStringLiteral("morvane.desktop");
const QString kDefaults = QStringLiteral("[Default Applications]");
const QString kAdded = QStringLiteral("[Added Associations]");

QString baseFolder(const char* variable, const QString& fallback)
{
    const QString env = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(env) ? env : QDir::home().filePath(fallback);
}

QStringList mediaTypesOf(const QList<int>& rows)
{
    QStringList types;
    for (int row : rows)
        if (row >= 0 && row < kRowCount)
            types << rowMediaTypes(row);
    return types;
}

bool writeText(const QString& path, const QString& text)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n');
}

// The media types the desktop entry names now.
QStringList desktopTypes()
{
    for (const QString& line : readLines(desktopEntryPath()))
        if (line.startsWith(QLatin1String("MimeType=")))
            return line.mid(9).split(';', Qt::SkipEmptyParts);
    return {};
}

QString desktopEntry(const QString& program, const QStringList& types)
{
    QString exec = program;
    exec.replace('\\', QLatin1String("\\\\")).replace('"', QLatin1String("\\\"")).replace('`', QLatin1String("\\`"))
        .replace('$', QLatin1String("\\$"));
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Morvane\nGenericName=Image Editor\n"
                          "Comment=Edit photographic images\nIcon=morvane\nExec=\"%1\" %F\nTerminal=false\n"
                          "Categories=Graphics;2DGraphics;RasterGraphics;\nMimeType=%2;\n")
        .arg(exec, types.join(';'));
}

// Rewrites the lines of one group of mimeapps.list: `change` gets each type's list of
// desktop entries and edits it; types it empties lose their line.
template <class Change>
void editGroup(QStringList& lines, const QString& group, const QStringList& types, Change change)
{
    qsizetype start = lines.indexOf(group);
    if (start < 0) {
        if (!lines.isEmpty() && !lines.last().isEmpty())
            lines << QString();
        lines << group;
        start = lines.size() - 1;
    }
    qsizetype end = start + 1;
    while (end < lines.size() && !lines[end].startsWith('['))
        ++end;
    for (const QString& type : types) {
        qsizetype at = -1;
        for (qsizetype i = start + 1; i < end; ++i)
            if (lines[i].section('=', 0, 0).trimmed() == type)
                at = i;
        QStringList entries = at >= 0 ? lines[at].section('=', 1).split(';', Qt::SkipEmptyParts) : QStringList();
        change(entries);
        const QString line = type + '=' + entries.join(';') + ';';
        if (at >= 0 && entries.isEmpty()) {
            lines.removeAt(at);
            --end;
        } else if (at >= 0) {
            lines[at] = line;
        } else if (!entries.isEmpty()) {
            // New lines go at the end of the group, before any blank lines.
            qsizetype insert = end;
            while (insert > start + 1 && lines[insert - 1].trimmed().isEmpty())
                --insert;
            lines.insert(insert, line);
            ++end;
        }
    }
}

QString joinLines(QStringList lines)
{
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join('\n') + '\n';
}

// Tells the desktop that associations changed, where it offers a way to.
void notifyDesktop()
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!tool.isEmpty())
        QProcess::startDetached(tool, {QFileInfo(desktopEntryPath()).absolutePath()});
}

} // namespace

QString rowLabel(int row)
{
    return row >= 0 && row < kRowCount ? QString::fromLatin1(kRows[row].label) : QString();
}

QStringList rowMediaTypes(int row)
{
    return row >= 0 && row < kRowCount ? QString::fromLatin1(kRows[row].types).split(';') : QStringList();
}

QString desktopEntryPath()
{
    return QDir(baseFolder("XDG_DATA_HOME", QStringLiteral(".local/share"))).filePath(QStringLiteral("applications/") + kDesktopName);
}

QString mimeAppsPath()
{
    return QDir(baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config"))).filePath(QStringLiteral("mimeapps.list"));
}

QString installedDesktopEntry()
{
    QStringList dirs = qEnvironmentVariable("XDG_DATA_DIRS").split(':', Qt::SkipEmptyParts);
    if (dirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    // The share folder beside the program comes first: that is the entry of this very install.
    dirs.prepend(QDir(dataFolder()).filePath(QStringLiteral("..")));
    for (const QString& dir : dirs) {
        const QString entry = QDir(dir).filePath(QStringLiteral("applications/") + kDesktopName);
        if (QFileInfo::exists(entry))
            return QDir::cleanPath(entry);
    }
    return {};
}

int add(const QList<int>& rows, const QString& program)
{
    const QStringList types = mediaTypesOf(rows);
    if (types.isEmpty())
        return 0;
    // An installed program has its desktop entry already; a program run from its build folder
    // gets one in the user's folder, naming the types it was made default for.
    if (installedDesktopEntry().isEmpty()) {
        QStringList all = desktopTypes();
        for (const QString& t : types)
            if (!all.contains(t))
                all << t;
        if (!writeText(desktopEntryPath(), desktopEntry(program, all)))
            return mv::kCannotCreateFile;
    }
    QStringList lines = readLines(mimeAppsPath());
    const auto first = [](QStringList& entries) {
        entries.removeAll(kDesktopName);
        entries.prepend(kDesktopName);
    };
    editGroup(lines, kDefaults, types, first);
    editGroup(lines, kAdded, types, first);
    if (!writeText(mimeAppsPath(), joinLines(lines)))
        return mv::kCannotCreateFile;
    notifyDesktop();
    return 0;
}

int remove(const QList<int>& rows)
{
    const QStringList types = mediaTypesOf(rows);
    if (types.isEmpty())
        return 0;
    QStringList left = desktopTypes();
    for (const QString& t : types)
        left.removeAll(t);
    const QString entry = desktopEntryPath();
    if (QFileInfo::exists(entry)) {
        if (left.isEmpty()) {
            if (!QFile::remove(entry))
                return mv::kCannotCreateFile;
        } else {
            // Only the list of types changes; the rest of the entry stays as it is.
            QStringList lines = readLines(entry);
            for (QString& line : lines)
                if (line.startsWith(QLatin1String("MimeType=")))
                    line = QStringLiteral("MimeType=") + left.join(';') + ';';
            if (!writeText(entry, joinLines(lines)))
                return mv::kCannotCreateFile;
        }
    }
    if (QFileInfo::exists(mimeAppsPath())) {
        QStringList lines = readLines(mimeAppsPath());
        const auto drop = [](QStringList& entries) { entries.removeAll(kDesktopName); };
        if (lines.contains(kDefaults))
            editGroup(lines, kDefaults, types, drop);
        if (lines.contains(kAdded))
            editGroup(lines, kAdded, types, drop);
        if (!writeText(mimeAppsPath(), joinLines(lines)))
            return mv::kCannotCreateFile;
    }
    notifyDesktop();
    return 0;
}

} // namespace associations

FileAssociationsDialog::FileAssociationsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("File Associations"));
    auto* grid = new QGridLayout;
    for (int row = 0; row < associations::kRowCount; ++row) {
        auto* box = new QCheckBox(associations::rowLabel(row), this);
        boxes_.append(box);
        grid->addWidget(box, row % 6, row / 6);
    }
    const auto button = [this](const QString& text) { return new QPushButton(text, this); };
    QPushButton* all = button(tr("Select All"));
    QPushButton* none = button(tr("Select None"));
    QPushButton* help = button(tr("Help"));
    QPushButton* addButton = button(tr("Add"));
    QPushButton* removeButton = button(tr("Remove"));
    QPushButton* cancel = button(tr("Cancel"));
    connect(all, &QPushButton::clicked, this, [this] { for (QCheckBox* b : boxes_) b->setChecked(true); });
    connect(none, &QPushButton::clicked, this, [this] { for (QCheckBox* b : boxes_) b->setChecked(false); });
    connect(help, &QPushButton::clicked, this, [] { openManual(QStringLiteral("file-associations")); });
    connect(addButton, &QPushButton::clicked, this, &FileAssociationsDialog::addChecked);
    connect(removeButton, &QPushButton::clicked, this, &FileAssociationsDialog::removeChecked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* selection = new QHBoxLayout;
    selection->addWidget(all);
    selection->addWidget(none);
    selection->addStretch();
    selection->addWidget(help);
    auto* actions = new QHBoxLayout;
    actions->addStretch();
    actions->addWidget(addButton);
    actions->addWidget(removeButton);
    actions->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(selection);
    layout->addLayout(actions);
}

QList<int> FileAssociationsDialog::checkedRows() const
{
    QList<int> rows;
    for (int row = 0; row < boxes_.size(); ++row)
        if (boxes_[row]->isChecked())
            rows.append(row);
    return rows;
}

void FileAssociationsDialog::addChecked()
{
    mv::error_box(associations::add(checkedRows(), QCoreApplication::applicationFilePath()));
    accept();
}

void FileAssociationsDialog::removeChecked()
{
    mv::error_box(associations::remove(checkedRows()));
    accept();
}
