// "About Morvane": the program's icon, version and build date, each library it uses with its
// version, the display mode, the licence, and a link to the installed user manual.
#pragma once

#include <QDialog>
#include <QIcon>

class QLabel;

// The program's icon, for the windows and the About box.
QIcon programIcon();

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);

    // The label whose link opens the manual (tests click it).
    QLabel* manualLink() const { return manual_; }
    // The "name version" lines of the libraries shown.
    QStringList libraryLines() const { return libraries_; }

private:
    QLabel* manual_ = nullptr;
    QStringList libraries_;
};
