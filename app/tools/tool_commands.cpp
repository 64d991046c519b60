#include "tools/tool_commands.h"

#include "core/undo.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/workspace_area.h"
#include "tools/clone_tool_window.h"
#include "tools/line_tool_window.h"
#include "tools/paint_tool_window.h"

#include <QMainWindow>
#include <QMenuBar>

ToolWindowBase* open_tool_window(WorkspaceArea* area, int kind)
{
    for (QMdiSubWindow* sub : area->subWindowList())
        if (auto* w = qobject_cast<ToolWindowBase*>(sub); w && w->kind() == kind) {
            area->setActiveSubWindow(w);
            set_current_tool(w);
            return w;
        }
    ToolWindowBase* w = nullptr;
    if (kind == CloneToolWindow::kKind)
        w = new CloneToolWindow;
    else if (kind == PaintToolWindow::kKind)
        w = new PaintToolWindow;
    else if (kind == LineToolWindow::kKind)
        w = new LineToolWindow;
    else
        return nullptr;
    area->addSubWindow(w);
    w->show();
    set_current_tool(w);
    return w;
}

void install_tool_menu(QMainWindow& frame, WorkspaceArea* area,
                       std::function<ImageWindow*()> active)
{
    const auto openTool = [area, active](int kind) {
        // A maximised or minimised picture is brought back first.
        if (ImageWindow* w = active ? active() : nullptr; w && (w->isMaximized() || w->isMinimized()))
            w->showNormal();
        open_tool_window(area, kind);
    };
    // The frame lists the tools in its Tools menu and tool bar; they are handed over there.
    if (auto* f = qobject_cast<FrameWindow*>(&frame)) {
        for (const int kind : {CloneToolWindow::kKind, PaintToolWindow::kKind, LineToolWindow::kKind})
            f->setCommandHandler(kind, [openTool, kind] { openTool(kind); });
        return;
    }
    QMenu* menu = frame.menuBar()->addMenu(QObject::tr("&Tools"));
    for (const auto& [text, kind] : {std::pair{QObject::tr("&Paint..."), int(PaintToolWindow::kKind)},
                                     std::pair{QObject::tr("&Clone..."), int(CloneToolWindow::kKind)},
                                     std::pair{QObject::tr("&Line and Arrow..."), int(LineToolWindow::kKind)}}) {
        const int k = kind;
        QObject::connect(menu->addAction(text), &QAction::triggered, area, [openTool, k] { openTool(k); });
    }
}

bool tools_undo_available()
{
    return mv::undo_available();
}

static void redraw_changes(WorkspaceArea* area, const std::vector<mv::UndoChange>& changes)
{
    QList<ImageWindow*> touched;
    for (const mv::UndoChange& c : changes)
        for (QMdiSubWindow* sub : area->subWindowList()) {
            auto* w = qobject_cast<ImageWindow*>(sub);
            if (!w || tool_handle(w) != c.window)
                continue;
            w->imageAreaChanged(c.first_column, c.first_row, c.last_column, c.last_row);
            if (!touched.contains(w))
                touched.append(w);
        }
    for (ImageWindow* w : touched)
        tool_notify_changed(w);
}

void tools_undo(WorkspaceArea* area)
{
    std::vector<mv::UndoChange> changes;
    mv::undo_undo(mv::undo_list(), &changes);
    redraw_changes(area, changes);
}

void tools_undo_all(WorkspaceArea* area)
{
    std::vector<mv::UndoChange> changes;
    mv::undo_all(mv::undo_list(), &changes);
    redraw_changes(area, changes);
}
