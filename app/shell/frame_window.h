// The main window: title "Morvane 2.5", the workspace that holds every image, transformation
// and tool window, the menus, file drops and the start-up picture.
#pragma once

#include <QMainWindow>
#include <QStringList>

class WorkspaceArea;
class QMenu;
class QUrl;

class FrameWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit FrameWindow(QWidget* parent = nullptr);

    WorkspaceArea* workspace() const { return workspace_; }

    // Opens each path of the command line (already split by the system) in turn, or shows the
    // start-up picture when there are none.
    void openCommandLine(const QStringList& arguments);
    // Opens one file; shows the message of any error. Returns the error code.
    int openPath(const QString& path);
    // Opens every dropped local file in order, even after one of them fails.
    void openDroppedUrls(const QList<QUrl>& urls);

signals:
    // Emitted for each path the frame was asked to open (command line, drop, dialog).
    void openRequested(const QString& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void openWithDialog();
    QMenu* addMenuRemovingSplash(const QString& title);

    WorkspaceArea* workspace_;
};
