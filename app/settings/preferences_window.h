// The Preferences window: edits every preference in place. Colours and list choices apply
// at once; OK takes the fields, offers to save the preferences for future sessions and
// redraws; Cancel puts back what was there when the window opened.
#pragma once

#include "settings/preferences.h"
#include "shell/child_window.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class WorkspaceArea;

class PreferencesWindow : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int kKind = 30;

    explicit PreferencesWindow(WorkspaceArea* area);
    ~PreferencesWindow() override;

    // The open window, if any.
    static PreferencesWindow* current();
    // Opens the window centred in the workspace, or activates the open one.
    static PreferencesWindow* open(WorkspaceArea* area);

public slots:
    void accept();
    void reject();
    void defaultAction() { accept(); }
    void cancelAction() { reject(); }

private:
    void chooseColor(mv::Rgb& color, const QString& title, QPushButton* button);
    void browse(QLineEdit* edit, const QString& title);
    void refreshColorButtons();
    // The workspace, the frame and every image window show the settings now in force.
    void redrawAll();

    WorkspaceArea* area_;
    mv::Preferences saved_;
    QPushButton* workspaceColor_;
    QPushButton* borderColor_;
    QSpinBox* borderWidth_;
    QComboBox* confirm_;
    QLineEdit* resolution_;
    QComboBox* undo_;
    QSpinBox* fileListLength_;
    QComboBox* openType_;
    QComboBox* saveType_;
    QLineEdit* pcdDirectory_;
    QLineEdit* startupDirectory_;
    QLineEdit* tempDirectory_;
};
