// The main window: title "Morvane 2.5", the workspace that holds every image, transformation
// and tool window, the menus, file drops and the start-up picture.
#pragma once

#include <QMainWindow>
#include <QStringList>

class WorkspaceArea;
class QMenu;
class QUrl;
class ImageWindow;

class FrameWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit FrameWindow(QWidget* parent = nullptr);

    WorkspaceArea* workspace() const { return workspace_; }

    // Opens each path of the command line (already split by the system) in turn, or shows the
    // start-up picture when there are none.
    void openCommandLine(const QStringList& arguments);
    // Opens one file into a new image window (type 1 or -1: from the extension). A missing
    // file is reported here; other failures are returned for the caller to show.
    int openPath(const QString& path, int type = 1);
    // Runs a menu command on the active window (zoom commands and the like).
    void runCommand(int command);
    QList<ImageWindow*> imageWindows() const;
    ImageWindow* activeImageWindow() const;
    // Opens every dropped local file in order, even after one of them fails.
    void openDroppedUrls(const QList<QUrl>& urls);

signals:
    // A file was opened into a new image window.
    void imageOpened(ImageWindow* window);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void openWithDialog();
    // Asks about windows already showing `path`; false when the open must stop.
    bool confirmReopen(const QString& path);
    QMenu* addMenuRemovingSplash(const QString& title);

    WorkspaceArea* workspace_;
};
