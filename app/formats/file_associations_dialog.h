// "File Associations": makes this program the user's default for the checked picture types,
// or takes that back, the freedesktop way: default-application lines in
// $XDG_CONFIG_HOME/mimeapps.list (else ~/.config/mimeapps.list) naming morvane.desktop. An
// installed program uses its installed desktop entry; run uninstalled, it writes one into the
// user's applications folder ($XDG_DATA_HOME/applications, else ~/.local/share/applications).
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QCheckBox;

namespace associations {

inline constexpr int kRowCount = 11;

// The label of a row ("TIFF (.tif, .tiff)") and the media types of its extensions.
QString rowLabel(int row);
QStringList rowMediaTypes(int row);

QString desktopEntryPath();
QString mimeAppsPath();

// The desktop entry installed with the program (in the share folder beside it, else in
// $XDG_DATA_DIRS/applications); empty when the program runs uninstalled.
QString installedDesktopEntry();

// Adds or removes the rows' types; 0, or 3 when a file cannot be written.
int add(const QList<int>& rows, const QString& program);
int remove(const QList<int>& rows);

} // namespace associations

class FileAssociationsDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileAssociationsDialog(QWidget* parent);

    QCheckBox* box(int row) const { return boxes_[row]; }
    QList<int> checkedRows() const;
    // Add and Remove act on the checked rows and close the dialog; failures are shown.
    void addChecked();
    void removeChecked();

private:
    QList<QCheckBox*> boxes_;
};
