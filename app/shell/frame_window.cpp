#include "shell/frame_window.h"

#include "core/error.h"
#include "core/util.h"
#include "formats/file_associations_dialog.h"
#include "formats/file_dialogs.h"
#include "formats/file_io.h"
#include "formats/file_open.h"
#include "formats/file_types.h"
#include "formats/save_commands.h"
#include "settings/preferences.h"
#include "shell/cascade.h"
#include "shell/command_line.h"
#include "shell/image_window.h"
#include "shell/window_grid_dialog.h"
#include "shell/window_info_dialog.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "transform/operation.h"
#include "transform/transformation_window.h"
#include "shell/zoom_factor_dialog.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

// Windows other than image windows agree to close.
class OtherChild final : public mv::CloseChild {
public:
    bool is_image_window() const override { return false; }
    std::string used_by() const override { return {}; }
    bool modified() const override { return false; }
    std::string title() const override { return {}; }
    bool minimised() const override { return false; }
    void restore() override {}
    int save() override { return 0; }
};

} // namespace

FrameWindow::FrameWindow(QWidget* parent) : QMainWindow(parent), workspace_(new WorkspaceArea(this))
{
    setWindowTitle(QStringLiteral("Morvane 2.5"));
    setCentralWidget(workspace_);
    const mv::Rgb ws = mv::preferences().workspace;
    workspace_->setWorkspaceColor(QColor(ws.red, ws.green, ws.blue));
    setAcceptDrops(true);
    resize(1024, 720);
    createMenus();
    // Escape and Enter typed in a control of the active window reach that window's cancel
    // and default actions.
    qApp->installEventFilter(this);
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const char* action = key == Qt::Key_Escape                                           ? "cancelAction"
                         : (key == Qt::Key_Return || key == Qt::Key_Enter) && enterForwarding_ ? "defaultAction"
                                                                                          : nullptr;
    QWidget* focus = QApplication::focusWidget();
    QMdiSubWindow* active = workspace_->activeSubWindow();
    if (!action || !focus || !active || focus != watched || !active->isAncestorOf(focus))
        return false;
    // Only windows that have the action take the key; elsewhere it goes on as usual.
    if (active->metaObject()->indexOfMethod(QByteArray(action) + "()") < 0)
        return false;
    QMetaObject::invokeMethod(active, action);
    return true;
}

QMenu* FrameWindow::addMenuRemovingSplash(const QString& title)
{
    QMenu* menu = menuBar()->addMenu(title);
    connect(menu, &QMenu::aboutToShow, workspace_, &WorkspaceArea::removeSplash);
    return menu;
}

void FrameWindow::createMenus()
{
    QMenu* menu = nullptr;
    const auto item = [&](const QString& text, int command, QKeySequence key = {}) {
        QAction* a = menu->addAction(text, this, [this, command] { runCommand(command); });
        a->setShortcut(key);
        return a;
    };
    menu = addMenuRemovingSplash(tr("&File"));
    item(tr("&Open..."), 1002, QKeySequence(Qt::CTRL | Qt::Key_O));
    item(tr("&Save"), 1004, QKeySequence(Qt::CTRL | Qt::Key_S));
    item(tr("Save &As..."), 1005);
    item(tr("C&lose"), 1006);
    item(tr("&Revert"), 1007);
    menu->addSeparator();
    item(tr("Associations..."), 1018);
    menu->addSeparator();
    item(tr("E&xit"), 1013, QKeySequence(Qt::CTRL | Qt::Key_Q));

    menu = addMenuRemovingSplash(tr("&View"));
    item(tr("&Info..."), 3001, QKeySequence(Qt::CTRL | Qt::Key_W));
    item(tr("&Grid..."), 3002);
    menu->addSeparator();
    item(tr("&Expand"), 3003);
    item(tr("&Fit"), 3004);
    item(tr("Zoom In and Resize"), 3006, QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    item(tr("Zoom In"), 3005, QKeySequence(Qt::KeypadModifier | Qt::Key_Asterisk));
    item(tr("Zoom Out"), 3007, QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
    item(tr("&Zoom Factor..."), 3008);
    item(tr("Zoom &1:1"), 3015);

    createTransformationMenu();

    menu = addMenuRemovingSplash(tr("&Window"));
    item(tr("Next"), 3012, QKeySequence(Qt::Key_Insert));
    item(tr("Cascade"), 3016);
    item(tr("Close All"), 3014);
}

void FrameWindow::createTransformationMenu()
{
    QMenu* menu = addMenuRemovingSplash(tr("&Transformation"));
    for (const mv::Operation& op : mv::operations()) {
        QAction* a = menu->addAction(QString::fromStdString(op.title), this, [this, &op] { openTransformation(op); });
        a->setData(QString::fromStdString(op.name));
    }
    // An entry is enabled for an active picture it accepts, and while no transformation is open.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        ImageWindow* active = activeImageWindow();
        const bool busy = TransformationWindow::current() != nullptr;
        for (QAction* a : menu->actions()) {
            const mv::Operation* op = mv::operation_find(a->data().toString().toStdString());
            a->setEnabled(op && active && !busy && (op->accepted_types & (1u << active->record().image.type)));
        }
    });
}

void FrameWindow::openTransformation(const mv::Operation& op)
{
    const int err = open_transformation(workspace_, op, activeImageWindow(), [this] { return imageWindows(); });
    mv::error_box(err);
    if (TransformationWindow* t = TransformationWindow::current()) {
        setTransformationWindow(t);
        connect(t, &TransformationWindow::resultCreated, this, [this](ImageWindow* result) {
            connect(result, &ImageWindow::commandRequested, this, &FrameWindow::runCommand);
        });
    }
}

void FrameWindow::openCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty()) {
        workspace_->showSplash();
        return;
    }
    std::vector<std::string> args;
    for (const QString& a : arguments)
        args.push_back(a.toStdString());
    for (const std::string& path : mv::command_line_paths(mv::command_line_join(args)))
        mv::error_box(openPath(QString::fromStdString(path)));
}

QList<ImageWindow*> FrameWindow::imageWindows() const
{
    QList<ImageWindow*> windows;
    for (QMdiSubWindow* w : workspace_->subWindowList())
        if (auto* image = qobject_cast<ImageWindow*>(w))
            windows.append(image);
    return windows;
}

ImageWindow* FrameWindow::activeImageWindow() const
{
    return qobject_cast<ImageWindow*>(workspace_->activeSubWindow());
}

bool FrameWindow::confirmReopen(const QString& path)
{
    for (ImageWindow* w : imageWindows()) {
        if (!mv::str_equal_nocase(w->record().path, path.toStdString()))
            continue;
        if (w->isModified()) {
            const int answer = mv::message_dialog(
                "", "File already open and modified\nDo you want to reopen it (changes will be lost)?",
                mv::kButtonsYesNoCancel);
            if (answer != mv::kResultYes)
                return false;
        } else {
            const int answer = mv::message_dialog(
                "", "File already open but not modified: do you want to reopen it?", mv::kButtonsYesNoCancel);
            if (answer == mv::kResultNo)
                workspace_->setActiveSubWindow(w);
            if (answer != mv::kResultYes)
                return false;
        }
        delete w;
    }
    return true;
}

int FrameWindow::openPath(const QString& path, int type, bool* sizeCancelled)
{
    if (sizeCancelled)
        *sizeCancelled = false;
    workspace_->removeSplash();
    int index = -1;
    mv::WindowRecord* record = nullptr;
    if (const int err = mv::window_record_allocate(index, record))
        return err;
    const int fileType = mv::file_open_type(path.toStdString(), type);
    const std::string name =
        mv::path_default_extension(path.toStdString(), mv::file_type_default_extension(fileType));
    if (!confirmReopen(QString::fromStdString(name))) {
        mv::window_record_release(index);
        return mv::kOk;
    }
    int resolution = mv::program_state().default_pcd_resolution;
    if (fileType == mv::FILE_PHOTOCD && mv::file_exists(name) &&
        (resolution = save_commands::askPhotoCdResolution(this)) == 0) {
        mv::window_record_release(index);
        if (sizeCancelled)
            *sizeCancelled = true;
        return mv::kOk;
    }
    mv::OpenedFile opened;
    const int err = mv::file_open_path(path.toStdString(), type, record->image, opened, true, resolution);
    if (err || opened.missing) {
        mv::window_record_release(index);
        return err;
    }
    record->path = opened.path;
    record->file_type = opened.file_type;
    mv::ViewMetrics m;
    m.area_width = workspace_->viewport()->width();
    m.area_height = workspace_->viewport()->height();
    m.border = mv::preferences().border_width;
    m.frame_width = 8;
    m.frame_height = 30;
    record->zoom = mv::initial_zoom(record->image.width, record->image.height, m);
    auto* window = new ImageWindow(workspace_, index, activeImageWindow());
    connect(window, &ImageWindow::commandRequested, this, &FrameWindow::runCommand);
    window->show();
    window->pictureChanged();
    workspace_->setActiveSubWindow(window);
    emit imageOpened(window);
    return mv::kOk;
}

int FrameWindow::openWithDialog()
{
    for (;;) {
        const std::optional<file_dialogs::OpenChoice> choice = file_dialogs::askOpenFiles(workspace_);
        if (!choice)
            return mv::kOk;
        if (choice->paths.size() > 1) {
            for (const QString& path : choice->paths)
                if (const int err = openPath(path, -1))
                    return err;
            return mv::kOk;
        }
        // Cancelling the Photo CD size brings the File Open dialog back.
        bool sizeCancelled = false;
        const int err = openPath(choice->paths.first(), choice->type, &sizeCancelled);
        if (!sizeCancelled)
            return err;
    }
}

void FrameWindow::runCommand(int command)
{
    ImageWindow* w = activeImageWindow();
    switch (command) {
    case 1002: mv::error_box(openWithDialog()); return;
    case 1013: close(); return;
    case 1018: {
        FileAssociationsDialog dialog(this);
        dialog.exec();
        return;
    }
    case 3001: showWindowInfo(); return;
    case 3012: workspace_->activateNextSubWindow(); return;
    case 3014: closeAll(); return;
    case 3016: cascade(); return;
    case 1006:
        if (QMdiSubWindow* active = workspace_->activeSubWindow())
            active->close();
        return;
    default: break;
    }
    if (!w)
        return;
    switch (command) {
    case 1004:
    case 1005: {
        const int err = command == 1004 ? save_commands::fileSave(w) : save_commands::fileSaveAs(w);
        if (err != mv::kAborted)
            mv::error_box(err);
        break;
    }
    case 1007:
        if (!w->record().path.empty())
            mv::error_box(save_commands::fileRevert(w));
        break;
    case 3002: showWindowGrid(); break;
    case 3003: w->expand(); break;
    case 3004: w->fit(); break;
    case 3005: w->zoomIn(false); break;
    case 3006: w->zoomIn(true); break;
    case 3007: w->zoomOut(true); break;
    case 3008: showZoomFactor(); break;
    case 3015: w->zoomOneToOne(true); break;
    default: break;
    }
}

void FrameWindow::showWindowInfo()
{
    ImageWindow* w = activeImageWindow();
    WindowInfoDialog dialog(this, w ? &w->record() : nullptr);
    dialog.exec();
}

void FrameWindow::showWindowGrid()
{
    if (ImageWindow* w = activeImageWindow()) {
        WindowGridDialog dialog(this, w);
        dialog.exec();
    }
}

void FrameWindow::showZoomFactor()
{
    ImageWindow* w = activeImageWindow();
    if (!w)
        return;
    ZoomFactorDialog dialog(this, w->record().zoom);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int zoom = dialog.chosenZoom();
    if (zoom != 0 && zoom != w->record().zoom)
        w->setZoom(zoom, true);
    w->updateTitle();
    w->canvas()->update();
}

void FrameWindow::cascade()
{
    // Window order is topmost first; the last window is placed first, at the origin.
    QList<QMdiSubWindow*> windows = workspace_->subWindowList(QMdiArea::StackingOrder);
    std::reverse(windows.begin(), windows.end());
    const std::vector<mv::CascadePoint> at =
        mv::cascade_positions(int(windows.size()), workspaceCascadeMetrics(workspace_));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMinimized() || windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->move(at[i].x, at[i].y);
    }
}

std::vector<mv::CloseChild*> FrameWindow::children()
{
    otherChildren_.clear();
    std::vector<mv::CloseChild*> list;
    QList<QMdiSubWindow*> windows = workspace_->subWindowList(QMdiArea::StackingOrder);
    std::reverse(windows.begin(), windows.end());
    for (QMdiSubWindow* w : windows) {
        if (auto* image = qobject_cast<ImageWindow*>(w)) {
            list.push_back(image);
        } else {
            otherChildren_.push_back(std::make_unique<OtherChild>());
            list.push_back(otherChildren_.back().get());
        }
    }
    return list;
}

void FrameWindow::close_transformation()
{
    delete transformation_.data();
}

void FrameWindow::close_mask_tool()
{
    delete maskTool_.data();
}

void FrameWindow::empty_clipboard()
{
    QGuiApplication::clipboard()->clear();
    clipboardOwned_ = false;
}

void FrameWindow::destroyChildren()
{
    workspace_->setUpdatesEnabled(false);
    for (;;) {
        const QList<QMdiSubWindow*> windows = workspace_->subWindowList();
        if (windows.isEmpty())
            break;
        delete windows.first();
    }
    workspace_->setUpdatesEnabled(true);
}

bool FrameWindow::closeAll()
{
    const bool allowed = mv::close_protocol(*this, mv::CloseScope::kAll, mv::preferences().confirm);
    otherChildren_.clear();
    if (allowed)
        destroyChildren();
    return allowed;
}

void FrameWindow::closeEvent(QCloseEvent* event)
{
    const bool allowed = mv::close_protocol(*this, mv::CloseScope::kFrame, mv::preferences().confirm);
    otherChildren_.clear();
    if (!allowed) {
        event->ignore();
        return;
    }
    destroyChildren();
    event->accept();
}

void FrameWindow::changeEvent(QEvent* event)
{
    // Minimising the frame brings every minimised child back to its normal size.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        for (QMdiSubWindow* w : workspace_->subWindowList())
            if (w->isMinimized())
                w->showNormal();
    QMainWindow::changeEvent(event);
}

void FrameWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FrameWindow::dropEvent(QDropEvent* event)
{
    openDroppedUrls(event->mimeData()->urls());
    event->acceptProposedAction();
}

void FrameWindow::openDroppedUrls(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            mv::error_box(openPath(url.toLocalFile()));
}
