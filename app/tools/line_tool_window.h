// The "Line & Arrow Tool" window: width and transparency sliders, arrow head and style lists
// and the line colour. While open, a drag in an image window shows a rubber line and the
// release draws the line (with its heads) into the picture.
#pragma once

#include "tools/line_arrow.h"
#include "tools/tool_window_base.h"

class ColorControl;
class PopupList;
class QLabel;
class Slider;

class LineToolWindow : public ToolWindowBase {
    Q_OBJECT
public:
    static constexpr int kKind = 6005;
    explicit LineToolWindow(QWidget* parent = nullptr);

    mv::LineTool& tool() { return tool_; }
    PopupList* headList() const { return head_; }
    PopupList* styleList() const { return style_; }

    void paintMarks(ImageWindow* window, QPainter& painter) override;

protected:
    void handle(ImageWindow* window, const mv::ToolWindow& target, int x, int y, int event,
                mv::ToolResult& result) override;
    void colorPicked() override;
    bool stroking() const override { return false; }

private:
    void updateLabels();
    mv::LineTool tool_;
    QLabel *widthLabel_, *transparencyLabel_;
    Slider *width_, *transparency_;
    PopupList *head_, *style_;
    ColorControl* color_;
};
