#include "shell/frame_window.h"

#include "core/error.h"
#include "core/util.h"
#include "formats/file_io.h"
#include "formats/file_open.h"
#include "formats/file_types.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "settings/preferences.h"
#include "shell/command_line.h"
#include "shell/workspace_area.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

FrameWindow::FrameWindow(QWidget* parent) : QMainWindow(parent), workspace_(new WorkspaceArea(this))
{
    setWindowTitle(QStringLiteral("Morvane 2.5"));
    setCentralWidget(workspace_);
    const mv::Rgb ws = mv::preferences().workspace;
    workspace_->setWorkspaceColor(QColor(ws.red, ws.green, ws.blue));
    setAcceptDrops(true);
    resize(1024, 720);
    createMenus();
}

QMenu* FrameWindow::addMenuRemovingSplash(const QString& title)
{
    QMenu* menu = menuBar()->addMenu(title);
    connect(menu, &QMenu::aboutToShow, workspace_, &WorkspaceArea::removeSplash);
    return menu;
}

void FrameWindow::createMenus()
{
    QMenu* file = addMenuRemovingSplash(tr("&File"));
    QAction* open = file->addAction(tr("&Open..."), this, &FrameWindow::openWithDialog);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"), this, &QWidget::close);
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* window = addMenuRemovingSplash(tr("&Window"));
    window->addAction(tr("Next"), QKeySequence(Qt::Key_Insert), workspace_, &QMdiArea::activateNextSubWindow);
    window->addAction(tr("Cascade"), workspace_, &QMdiArea::cascadeSubWindows);

    QMenu* view = addMenuRemovingSplash(tr("&View"));
    const auto zoom = [&](const QString& text, int command, QKeySequence key = {}) {
        QAction* a = view->addAction(text, this, [this, command] { runCommand(command); });
        a->setShortcut(key);
    };
    zoom(tr("&Expand"), 3003);
    zoom(tr("&Fit"), 3004);
    zoom(tr("Zoom In and Resize"), 3006, QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    zoom(tr("Zoom In"), 3005, QKeySequence(Qt::KeypadModifier | Qt::Key_Asterisk));
    zoom(tr("Zoom Out"), 3007, QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
    zoom(tr("Zoom &1:1"), 3015);
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
        w->setModified(false);
        delete w;
    }
    return true;
}

int FrameWindow::openPath(const QString& path, int type)
{
    workspace_->removeSplash();
    int index = -1;
    mv::WindowRecord* record = nullptr;
    if (const int err = mv::window_record_allocate(index, record))
        return err;
    const std::string name = mv::path_default_extension(
        path.toStdString(), mv::file_type_default_extension(mv::file_open_type(path.toStdString(), type)));
    if (!confirmReopen(QString::fromStdString(name))) {
        mv::window_record_release(index);
        return mv::kOk;
    }
    mv::OpenedFile opened;
    const int err = mv::file_open_path(path.toStdString(), type, record->image, opened);
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

void FrameWindow::runCommand(int command)
{
    ImageWindow* w = activeImageWindow();
    if (!w)
        return;
    switch (command) {
    case 3003: w->expand(); break;
    case 3004: w->fit(); break;
    case 3005: w->zoomIn(false); break;
    case 3006: w->zoomIn(true); break;
    case 3007: w->zoomOut(true); break;
    case 3015: w->zoomOneToOne(true); break;
    default: break;
    }
}

void FrameWindow::openWithDialog()
{
    const QStringList paths = QFileDialog::getOpenFileNames(this, tr("File Open"));
    for (const QString& path : paths)
        mv::error_box(openPath(path, -1));
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
