// What the retouching tool windows share: while open, the window is the program's current
// tool (again whenever it is activated); opening and closing it empties the undo list. It
// turns the engine's tool results into redraws, the modified mark and change notices, and
// reads pen pressure from tablet events during a stroke.
#pragma once

#include "shell/child_window.h"
#include "shell/current_tool.h"
#include "tools/stroke.h"

class ImageWindow;
class QFormLayout;
class QLabel;
class Slider;

// The handle by which the engine's tools and the undo list know an image window.
const void* tool_handle(ImageWindow* window);
// The window's picture and the mask shown over it (if any) for the engine's tools.
mv::ToolWindow tool_target(ImageWindow* window);
// Tells the windows that read `window` that its picture changed.
void tool_notify_changed(ImageWindow* window);
// The image window of a handle in the same workspace as `near`, or null.
ImageWindow* tool_find_window(ImageWindow* near, const void* handle);

class ToolWindowBase : public ChildWindow, public ToolHandler {
    Q_OBJECT
public:
    ToolWindowBase(int kind, const QString& title, QWidget* parent = nullptr);
    ~ToolWindowBase() override;

    void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) override;

protected:
    // Passes one event at image point (x, y) to the engine's tool.
    virtual void handle(ImageWindow* window, const mv::ToolWindow& target, int x, int y,
                        int event, mv::ToolResult& result) = 0;
    // A pen pressure 0..1023 arrived during a stroke.
    virtual void pressure(int q) {}
    // The engine tool picked a colour from the picture.
    virtual void colorPicked() {}
    virtual bool stroking() const = 0;

    // A labelled slider row: label text set through `setText`, the slider below it.
    Slider* addSlider(QFormLayout* form, QLabel*& label, int position);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(ImageWindow* window, const mv::ToolResult& result);
};
