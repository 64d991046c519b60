// The editor's side of the data lookup (engine/shell/data_folder.h): the folder of shipped
// pictures and the address of a manual section, as Qt types. The help window and every Help
// button go through manualUrl so the manual has one location.
#pragma once

#include <QString>
#include <QUrl>

// <binary>/../share/morvane (or the build tree's copy).
QString dataFolder();

// The manual's folder, <binary>/../share/doc/morvane/manual.
QString manualFolder();

// The file URL of the manual page holding `anchor`, with the anchor as its fragment; the
// contents page for an empty anchor or one no page holds.
QUrl manualUrl(const QString& anchor = {});

// Opens manualUrl(anchor) in the desktop's browser; false (after a beep) when the manual is
// not there or no browser takes it.
bool openManual(const QString& anchor = {});
