#include "shell/data_paths.h"

#include "shell/data_folder.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>

QString dataFolder() { return QString::fromStdString(mv::data_folder().string()); }

QString manualFolder() { return QString::fromStdString(mv::manual_folder().string()); }

QUrl manualUrl(const QString& anchor)
{
    const std::filesystem::path page = mv::manual_page(mv::manual_folder(), anchor.toStdString());
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url;
}

bool openManual(const QString& anchor)
{
    const QUrl url = manualUrl(anchor);
    if (QFileInfo::exists(url.toLocalFile()) && QDesktopServices::openUrl(url))
        return true;
    QApplication::beep();
    return false;
}
