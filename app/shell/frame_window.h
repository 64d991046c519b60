// The main window: title "Morvane 2.5", the workspace that holds every image, transformation
// and tool window, the menus and their commands, file drops, the start-up picture and the
// questions asked before windows close.
#pragma once

#include "core/image.h"
#include "shell/close_protocol.h"
#include "shell/new_image.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>

class ChildWindow;
class WorkspaceArea;
class QMenu;
namespace mv {
struct Operation;
}
class QUrl;
class ImageWindow;
class QAction;
class QBoxLayout;
class ToolBarStrip;
class BrowseWindow;
namespace mv {
struct MenuState;
struct MenuTitle;
}

class FrameWindow : public QMainWindow, private mv::CloseHost {
    Q_OBJECT
public:
    explicit FrameWindow(QWidget* parent = nullptr);
    ~FrameWindow() override;

    WorkspaceArea* workspace() const { return workspace_; }

    // Opens each path of the command line (already split by the system) in turn, or shows the
    // start-up picture when there are none.
    void openCommandLine(const QStringList& arguments);
    // Opens one file into a new image window (type 1 or -1: from the extension). A missing
    // file is reported here; other failures are returned for the caller to show. A Photo CD
    // size question answered with Cancel opens nothing and sets `sizeCancelled`.
    int openPath(const QString& path, int type = 1, bool* sizeCancelled = nullptr);
    // File Open: the dialog, then each chosen file. Returns the first failure.
    int openWithDialog();
    // Runs a menu command (its number, as the menus and the image windows' menu send them).
    void runCommand(int command);
    QList<ImageWindow*> imageWindows() const;
    ImageWindow* activeImageWindow() const;
    // The tool bar strip and its position (-1 none, 0 top, 1 left, kept with the state).
    ToolBarStrip* toolBar() const { return toolBar_; }
    int toolBarPosition() const;
    void setToolBarPosition(int position);
    // The menus' view of the editor now, and whether a command may run in it (commands
    // the editor does not offer count as disabled).
    mv::MenuState menuState() const;
    bool commandAvailable(int command) const;
    // Whether the editor carries out a command of the table (the others stay out of the menus).
    bool commandOffered(int command) const;
    // Lets another area of the editor carry out a command of the table (Slide Show, the tools):
    // the command's menu item appears and runCommand calls `handler`.
    void setCommandHandler(int command, std::function<void()> handler);
    // Brings every item of `menu` up to date: enabling, check marks, the recent files.
    void refreshMenu(QMenu* menu);
    // The menu with the given title position in the menu bar's data (File 0, Edit 1, ...).
    QMenu* commandMenu(int position) const;
    // The address of the user manual for a section anchor (empty: the contents).
    static QString manualUrl(const QString& anchor);
    // Opens every dropped local file in order, even after one of them fails.
    void openDroppedUrls(const QList<QUrl>& urls);

    // File > New without the dialog: an untitled, modified window holding a new picture.
    int newImage(const mv::NewImageChoice& choice);
    // Copy and Negative: a new window at the cascade place after `source`, with its zoom.
    int copyPicture(ImageWindow* source, bool negative);
    // Browse: a browse window over `folder`.
    BrowseWindow* openBrowseWindow(const QString& folder);
    // Arrange Icons: the minimised windows in rows along the bottom of the workspace.
    void arrangeIcons();
    // The current tool's number (0 none, 2 zoom, 3 paint, 4 clone, 6 mask, 17 line).
    int currentTool() const;

    // Close All: the close questions, then every child goes. False when a question stopped it.
    bool closeAll();
    // Places every child in cascade, the active (topmost) one last.
    void cascade();

    // The windows the close protocol asks about first, and whether our picture is on the
    // clipboard; set by the transformation, mask and clipboard code.
    void setTransformationWindow(ChildWindow* window) { transformation_ = window; }
    void setMaskToolWindow(ChildWindow* window) { maskTool_ = window; }
    void setClipboardOwned(bool owned) { clipboardOwned_ = owned; }
    // Whether Enter is passed on to the active window as its default action (transformation
    // windows switch it off around controls that need the key themselves).
    void setEnterForwarding(bool on) { enterForwarding_ = on; }
    bool enterForwarding() const { return enterForwarding_; }

signals:
    // A file was opened into a new image window.
    void imageOpened(ImageWindow* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void newImageWithDialog();
    void openPhotoCd();
    void browse();
    void refreshToolButtons();
    // Count Colors: the number of distinct colours of the active picture in a small box.
    void countColors();
    void buildMenu(QMenu* menu, const mv::MenuTitle& title);
    QAction* addCommand(QMenu* menu, int id, const char* text);
    void refreshRecentFiles(QMenu* menu);
    void openRecent(int slot);
    void toolBarPressed(int group, int button);
    void copyToClipboard();
    void pasteFromClipboard();
    void undo(bool all);
    void showHelp(const QString& anchor);
    // A new image window for a picture made here (Paste), titled `title`.
    // An empty title: the usual "Untitled" title. Zoom 0: the opening zoom for the size.
    int addPictureWindow(mv::Image& image, const QString& title, int zoom = 0);
    void openTransformation(const mv::Operation& op);
    // Asks about windows already showing `path`; false when the open must stop.
    bool confirmReopen(const QString& path);
    QMenu* addMenuRemovingSplash(const QString& title);
    void destroyChildren();
    void showWindowInfo();
    void showWindowGrid();
    void showZoomFactor();

    // mv::CloseHost
    bool transformation_open() const override { return !transformation_.isNull(); }
    void close_transformation() override;
    bool mask_tool_open() const override;
    void close_mask_tool() override;
    bool clipboard_owned() const override { return clipboardOwned_; }
    void empty_clipboard() override;
    std::vector<mv::CloseChild*> children() override;

    WorkspaceArea* workspace_;
    QBoxLayout* centralLayout_ = nullptr;
    ToolBarStrip* toolBar_ = nullptr;
    QHash<QMenu*, int> transformationSubmenus_; // submenu -> position in Transformation
    QList<QMenu*> commandMenus_;
    QHash<int, QAction*> commandActions_;
    QHash<int, std::function<void()>> handlers_;
    QAction* recentSeparator_ = nullptr;
    QPointer<ChildWindow> transformation_;
    QPointer<ChildWindow> maskTool_;
    bool clipboardOwned_ = false;
    bool enterForwarding_ = true;
    // Stand-ins through which windows other than image windows answer the close questions.
    std::vector<std::unique_ptr<mv::CloseChild>> otherChildren_;
};
