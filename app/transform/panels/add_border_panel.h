// Add Border's own controls: the "Background Color:" swatch, the four width fields "Left:",
// "Right:", "Top:", "Bottom:" and the "Units:" list. Typed widths are converted to pixels by
// the unit (physical units through the input's resolution); a text that is no number of at
// least 0 beeps and the field shows its previous value again. While the window is open the
// outline of the bordered picture is drawn around the picture on the input window.
#pragma once

#include "filters/add_border.h"
#include "shell/current_tool.h"
#include "shell/image_window.h"
#include "transform/operation_panel.h"

#include <QPointer>

class ColorSwatch;
class PopupList;
class QLineEdit;

class AddBorderPanel final : public OperationPanel, public ToolHandler {
    Q_OBJECT
public:
    explicit AddBorderPanel(TransformationWindow* window);
    ~AddBorderPanel() override;

    void inputChanged() override;

    const mv::AddBorderSettings& border() const { return st_; }
    ColorSwatch* background() const { return background_; }
    // Side 0 left, 1 right, 2 top, 3 bottom.
    QLineEdit* widthField(int side) const { return fields_[side]; }
    PopupList* unitList() const { return unit_; }
    // The outline on the input window, inclusive, counted from the picture's top-left.
    void outline(int r[4]) const;

    // ToolHandler: only the outline; the mouse does nothing here.
    void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) override;
    void paintMarks(ImageWindow* window, QPainter& painter) override;

private:
    void widthTyped(int side);
    void colorChosen(const QColor& color);
    // Shows the widths in the unit, redraws the outline and hands the settings to the window.
    void commit();
    void showFields();
    int pictureWidth() const;
    int pictureHeight() const;
    double pictureResolution() const;

    mv::AddBorderSettings st_;
    QPointer<ImageWindow> marked_;
    ColorSwatch* background_;
    QLineEdit* fields_[4];
    PopupList* unit_;
};
