#include "tools/tool_commands.h"

#include "core/undo.h"
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
    QMenu* menu = frame.menuBar()->addMenu(QObject::tr("&Tools"));
    const auto item = [&](const QString& text, int kind) {
        QAction* a = menu->addAction(text);
        QObject::connect(a, &QAction::triggered, area, [area, kind] { open_tool_window(area, kind); });
        return a;
    };
    QAction* paint = item(QObject::tr("&Paint..."), PaintToolWindow::kKind);
    QAction* clone = item(QObject::tr("&Clone..."), CloneToolWindow::kKind);
    QAction* line = item(QObject::tr("&Line and Arrow..."), LineToolWindow::kKind);
    // The tools need a picture to work on: enabled while an image window is open.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [=] {
        bool any = active && active();
        if (!any)
            for (QMdiSubWindow* sub : area->subWindowList())
                any = any || qobject_cast<ImageWindow*>(sub);
        for (QAction* a : {paint, clone, line})
            a->setEnabled(any);
    });
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
