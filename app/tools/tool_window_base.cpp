#include "tools/tool_window_base.h"

#include "core/error.h"
#include "core/undo.h"
#include "shell/display_build.h"
#include "shell/image_changed.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/slider.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QMdiArea>
#include <QTabletEvent>
#include <cmath>

const void* tool_handle(ImageWindow* window)
{
    return static_cast<const void*>(static_cast<ChildWindow*>(window));
}

mv::ToolWindow tool_target(ImageWindow* window)
{
    mv::ToolWindow t;
    t.window = tool_handle(window);
    t.image = &window->record().image;
    // The mask shown over the picture limits and weights every stamp and line.
    t.mask = mv::overlay_mask(window->record());
    return t;
}

void tool_notify_changed(ImageWindow* window)
{
    notify_image_changed(window);
}

ImageWindow* tool_find_window(ImageWindow* near, const void* handle)
{
    if (!handle)
        return nullptr;
    if (near && tool_handle(near) == handle)
        return near;
    QMdiArea* area = near ? near->mdiArea() : nullptr;
    if (!area)
        return nullptr;
    for (QMdiSubWindow* sub : area->subWindowList())
        if (auto* w = qobject_cast<ImageWindow*>(sub); w && tool_handle(w) == handle)
            return w;
    return nullptr;
}

ToolWindowBase::ToolWindowBase(int kind, const QString& title, QWidget* parent)
    : ChildWindow(kind, -1, parent)
{
    setWindowTitle(title);
    mv::undo_clear();
    set_current_tool(this);
    connect(this, &QMdiSubWindow::aboutToActivate, this, [this] { set_current_tool(this); });
    qApp->installEventFilter(this);
}

ToolWindowBase::~ToolWindowBase()
{
    qApp->removeEventFilter(this);
    if (current_tool() == this)
        set_current_tool(nullptr);
    mv::undo_clear();
}

void ToolWindowBase::toolEvent(ImageWindow* window, int x, int y, int event, bool)
{
    const mv::ImagePoint p = mv::window_to_image(window->record(), x, y, false);
    mv::ToolResult result;
    handle(window, tool_target(window), p.column, p.row, event, result);
    apply(window, result);
}

void ToolWindowBase::apply(ImageWindow* window, const mv::ToolResult& result)
{
    if (result.error) {
        // A refused press changes nothing and leaves the windows without a tool.
        set_current_tool(nullptr);
        mv::error_box(result.error);
        return;
    }
    ImageWindow* changed = tool_find_window(window, result.window);
    if (changed && result.changed)
        changed->imageAreaChanged(result.first_column, result.first_row, result.last_column,
                                  result.last_row);
    if (changed && result.finished) {
        changed->setModified(true);
        tool_notify_changed(changed);
    }
    if (result.color)
        colorPicked();
    if (result.marker || result.rubber) {
        // Marks may sit on any window of the workspace: repaint the canvases.
        if (QMdiArea* area = window->mdiArea()) {
            for (QMdiSubWindow* sub : area->subWindowList())
                if (auto* w = qobject_cast<ImageWindow*>(sub))
                    w->canvas()->update();
        } else {
            window->canvas()->update();
        }
    }
}

Slider* ToolWindowBase::addSlider(QFormLayout* form, QLabel*& label, int position)
{
    label = new QLabel(form->parentWidget());
    auto* slider = new Slider(form->parentWidget());
    slider->setValues(position);
    form->addRow(label);
    form->addRow(slider);
    return slider;
}

bool ToolWindowBase::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if ((t == QEvent::TabletPress || t == QEvent::TabletMove) && stroking()) {
        const double p = static_cast<QTabletEvent*>(event)->pressure();
        pressure(std::clamp(int(std::lround(p * 1023.0)), 0, 1023));
    }
    // Never consumed: the pen's presses and moves still arrive as mouse events.
    return ChildWindow::eventFilter(watched, event);
}
