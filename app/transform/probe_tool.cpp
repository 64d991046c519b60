#include "transform/probe_tool.h"

#include "shell/image_view.h"
#include "shell/image_window.h"
#include "tools/paint_tool.h"

#include <algorithm>

ProbeTool::ProbeTool(Reader read) : read_(std::move(read)) {}

ProbeTool::~ProbeTool()
{
    setOn(false);
}

void ProbeTool::setOn(bool on)
{
    if (on)
        set_current_tool(this);
    else if (current_tool() == this)
        set_current_tool(nullptr);
    pressed_ = false;
}

bool ProbeTool::isOn() const
{
    return current_tool() == this;
}

bool ProbeTool::probe(ImageWindow* window, int column, int row)
{
    mv::Rgb color;
    const int n = 2 * std::clamp(size_, 0, 4) + 1;
    if (!window || !mv::probe_color(window->record().image, column, row, n, color))
        return false;
    if (read_)
        read_(window, color, column, row);
    return true;
}

void ProbeTool::toolEvent(ImageWindow* window, int x, int y, int event, bool)
{
    switch (event) {
    case kToolPress:
    case kToolShiftPress:
        pressed_ = true;
        break;
    case kToolMove:
    case kToolShiftMove:
        if (!pressed_)
            return;
        break;
    case kToolRelease:
        pressed_ = false;
        return;
    default:
        return;
    }
    const mv::ImagePoint p = mv::window_to_image(window->record(), x, y, false);
    probe(window, p.column, p.row);
}
