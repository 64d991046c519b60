#include "slideshow/viewer_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString& programOverride()
{
    static QString path;
    return path;
}

const char* const kPlayScript =
    "#!/bin/sh\n"
    "# Plays the slide show saved in this folder.\n"
    "here=$(dirname \"$0\")\n"
    "exec \"$here/morvane-viewer\" \"$@\"\n";

// Exec and Path are filled in by the install script with the folder the show lives in.
const char* const kDesktopEntry =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Slide Show\n"
    "Comment=Plays a slide show made with Morvane\n"
    "Exec=morvane-viewer\n"
    "Path=\n"
    "Terminal=false\n"
    "Categories=Graphics;Viewer;\n";

const char* const kInstallScript =
    "#!/bin/sh\n"
    "# Adds the slide show in this folder to the application menu of the current user.\n"
    "set -e\n"
    "here=$(cd \"$(dirname \"$0\")\" && pwd)\n"
    "name=$(basename \"$here\")\n"
    "apps=\"${XDG_DATA_HOME:-$HOME/.local/share}/applications\"\n"
    "mkdir -p \"$apps\"\n"
    "chmod +x \"$here/morvane-viewer\" \"$here/play-slideshow.sh\"\n"
    "entry=\"$apps/morvane-slideshow-$(printf '%s' \"$name\" | tr -c 'A-Za-z0-9_-' '_').desktop\"\n"
    "HERE=\"$here\" NAME=\"$name\" awk '\n"
    "  /^Exec=/ { print \"Exec=\\\"\" ENVIRON[\"HERE\"] \"/morvane-viewer\\\"\"; next }\n"
    "  /^Path=/ { print \"Path=\" ENVIRON[\"HERE\"]; next }\n"
    "  /^Name=/ { print \"Name=Slide Show \" ENVIRON[\"NAME\"]; next }\n"
    "  { print }' \"$here/morvane-viewer.desktop\" > \"$entry\"\n"
    "chmod +x \"$entry\"\n"
    "echo \"Installed $entry\"\n";

bool writeText(const QString& path, const char* text, bool executable)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes(text);
    if (file.write(bytes) != bytes.size())
        return false;
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                            QFileDevice::ExeOther);
    return true;
}

} // namespace

QString viewer_program()
{
    if (!programOverride().isEmpty())
        return programOverride();
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("morvane-viewer"));
}

void set_viewer_program(const QString& path)
{
    programOverride() = path;
}

bool stage_viewer_files(const QString& folder, QString& error)
{
    const QDir dir(folder);
    const QFileInfo program(viewer_program());
    if (program.isFile() && program.isExecutable() &&
        !QFile::link(program.absoluteFilePath(), dir.filePath(QStringLiteral("morvane-viewer")))) {
        error = QStringLiteral("Cannot prepare the viewer program %1").arg(program.absoluteFilePath());
        return false;
    }
    if (!writeText(dir.filePath(QStringLiteral("play-slideshow.sh")), kPlayScript, true) ||
        !writeText(dir.filePath(QStringLiteral("morvane-viewer.desktop")), kDesktopEntry, false) ||
        !writeText(dir.filePath(QStringLiteral("install-viewer.sh")), kInstallScript, true)) {
        error = QStringLiteral("Cannot write the viewer files in %1").arg(folder);
        return false;
    }
    return true;
}

void make_viewer_files_executable(const QString& folder, const QStringList& names)
{
    const QDir dir(folder);
    for (const QString& name : names) {
        if (name.endsWith(QLatin1String(".desktop")))
            continue;
        QFile file(dir.filePath(name));
        if (file.exists())
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                QFileDevice::ExeOther);
    }
}
