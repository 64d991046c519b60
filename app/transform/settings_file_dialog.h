// The Load and Save As dialogs of the transformations' keyword settings files (curves, colour
// curves, colour balance): the dialog titles, the filter, the extension rule of Save As and
// the error messages. The dialog itself is reached through a replaceable function, so tests
// can answer it as a user would.
#pragma once

#include <QString>

#include <functional>

class QWidget;

struct SettingsFileKind {
    QString loadTitle;      // "Load Curve"
    QString saveTitle;      // "Save Curve"
    QString filterName;     // "Curve Files"
    QString extension;      // ".crv"
    QString wrongExtension; // "Curve files must have an extension of .crv"
};

// The kinds of the tone transformations.
const SettingsFileKind& curve_file_kind();
const SettingsFileKind& color_curves_file_kind();
const SettingsFileKind& color_balance_file_kind();

// Load: the chosen path, or empty when cancelled.
QString ask_settings_load(QWidget* parent, const SettingsFileKind& kind);
// Save As: the chosen path with the extension appended when the name has none; a name with
// another extension (compared ignoring case) is refused with the kind's message under
// "Error" and the dialog shown again. Empty when cancelled.
QString ask_settings_save(QWidget* parent, const SettingsFileKind& kind);

// Shows one dialog: title, filter text ("Curve Files (*.crv)"), save or load. Returns the
// path, or empty when cancelled.
using SettingsFileAsker =
    std::function<QString(QWidget* parent, const QString& title, const QString& filter, bool save)>;
// Replaces the dialog; an empty function restores it.
void set_settings_file_asker(SettingsFileAsker asker);
