// A transformation's probe: while switched on it is the program's current tool, and a press
// (or a drag) in an image window reads the average colour of the probe square around the
// pixel under the pointer and reports it. Switching it off (or destroying it) leaves the
// image windows without a tool.
#pragma once

#include "settings/preferences.h"
#include "shell/current_tool.h"

#include <functional>

class ProbeTool final : public ToolHandler {
public:
    // `read` receives the window, the colour (red, green, blue, 8 bits) and the pixel.
    using Reader = std::function<void(ImageWindow* window, const mv::Rgb& color, int column, int row)>;
    explicit ProbeTool(Reader read);
    ~ProbeTool() override;

    void setOn(bool on);
    bool isOn() const;
    // Probe square size index 0..4 (1x1, 3x3, 5x5, 7x7, 9x9).
    void setSize(int size) { size_ = size; }
    int size() const { return size_; }

    // Reads the square at an image pixel of `window` and reports it; false outside the picture.
    bool probe(ImageWindow* window, int column, int row);

    void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) override;

private:
    Reader read_;
    int size_ = 1;
    bool pressed_ = false;
};
