#include "shell/frame_window.h"

#include "core/error.h"
#include "formats/file_io.h"
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
        openPath(QString::fromStdString(path));
}

int FrameWindow::openPath(const QString& path)
{
    workspace_->removeSplash();
    if (!mv::file_exists(path.toStdString())) {
        mv::error_message("File does not exist: %s", path.toStdString());
        return mv::kOk;
    }
    emit openRequested(path);
    return mv::kOk;
}

void FrameWindow::openWithDialog()
{
    const QStringList paths = QFileDialog::getOpenFileNames(this, tr("File Open"));
    for (const QString& path : paths)
        openPath(path);
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
            openPath(url.toLocalFile());
}
