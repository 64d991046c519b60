// The File Open and File Save dialogs: their titles, filter lists, start folders and the
// name field's extension following the filter. Each dialog is reached through a replaceable
// function, so tests can answer it as a user would.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace file_dialogs {

// A filter as the dialog lists it: "TIFF (*.tif *.tiff)".
QString dialogFilter(const char* name, const char* pattern);
// The File Open filters, "All Files" first; entry i stands for file type i + 1.
QStringList openFilters();
// The pattern of the File Open filter for file type `type` ("*.tif;*.tiff"), as the name
// field shows it.
QString openPattern(int type);

// The folder the next dialog starts in: "startupdirectory" for the first dialog after the
// start (when set), the folder the last dialog ended in afterwards.
QString startDirectory();
// A dialog ended in `folder`; the first-dialog rule no longer applies.
void dialogEnded(const QString& folder);
// Back to the state at start (tests).
void resetDialogState();

struct OpenChoice {
    QStringList paths; // one or several files
    int type = 1;      // the chosen filter's file type
};
// File Open: nothing when cancelled.
std::optional<OpenChoice> askOpenFiles(QWidget* parent);

// Open Photo CD: one ".pcd" file, starting in the "PhotoCD Directory" preference when it is
// set. Nothing when cancelled.
std::optional<QString> askPhotoCdFile(QWidget* parent);

struct SaveRequest {
    std::vector<int> filters; // save filter indices offered, in order
    int filter = 1;           // the preselected one
    QString name;             // the suggested name
};
struct SaveChoice {
    QString path;
    int filter = 1;
};
// File Save: nothing when cancelled.
std::optional<SaveChoice> askSaveFile(QWidget* parent, const SaveRequest& request);

using OpenAsker = std::function<std::optional<OpenChoice>(QWidget*)>;
using SaveAsker = std::function<std::optional<SaveChoice>(QWidget*, const SaveRequest&)>;
// Replace the dialogs; an empty function restores them.
void setOpenAsker(OpenAsker asker);
void setSaveAsker(SaveAsker asker);
using PhotoCdFileAsker = std::function<std::optional<QString>(QWidget*)>;
void setPhotoCdFileAsker(PhotoCdFileAsker asker);

} // namespace file_dialogs
