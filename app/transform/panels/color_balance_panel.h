// The Color Balance window's own controls: for the highlight, the midtone and the shadow a
// row with its mode list and two swatches (the colour to remove, the colour to add), the
// "Probe:" list choosing which anchor a click in a picture sets, and the "Options" menu
// ("&Reset", "&Full Range", "&Load ...", "&Save As ...", "1x1 Color Probe" ..
// "9x9 Color Probe"). The modes are the catalogue's lists; the custom colours go into the
// settings each time they are rebuilt, and the swatches show the colours in effect.
#pragma once

#include "tone/color_balance.h"
#include "transform/operation_panel.h"
#include "transform/probe_tool.h"

class ColorSwatch;
class PopupList;
class QMenu;

class ColorBalancePanel : public OperationPanel {
    Q_OBJECT
public:
    enum Anchor { kHighlight = 0, kMidtone = 1, kShadow = 2 };

    explicit ColorBalancePanel(TransformationWindow* window);

    PopupList* modeList(int anchor) const { return modes_[anchor]; }
    ColorSwatch* removeSwatch(int anchor) const { return remove_[anchor]; }
    ColorSwatch* addSwatch(int anchor) const { return add_[anchor]; }
    PopupList* probeList() const { return probeList_; }
    QMenu* optionsMenu() const { return options_; }
    ProbeTool& probe() { return probe_; }
    // The settings as they were last rebuilt (modes applied, the colours in effect).
    const mv::ColorBalanceSettings& settings() const { return last_; }

    void reset();
    // The found highlight becomes white and the found shadow black: the picture's range is
    // stretched to the full scale, its casts removed at both ends.
    void fullRange();
    int load();
    int saveAs();

    void settingsRebuilt(mv::OperationSettings& settings) override;

protected:
    // A closing (or minimised) window stops probing.
    void hideEvent(QHideEvent* event) override;

private:
    // Sets the three modes through the window's lists (recomputing once at least).
    void setModes(int highlight, int midtone, int shadow);
    void colourChosen(int anchor, bool remove, const QColor& color);
    void probed(const mv::Rgb& color);
    int mode(int anchor) const;
    void showColours();
    void adoptColours();

    // The colours of each anchor: remove and add, red, green, blue.
    std::uint8_t colours_[3][2][3] = {};
    int probeSize_ = 2;
    bool batching_ = false;
    mv::ColorBalanceSettings last_;
    PopupList* modes_[3];
    ColorSwatch* remove_[3];
    ColorSwatch* add_[3];
    PopupList* probeList_;
    QMenu* options_;
    QAction* probeActions_[5];
    ProbeTool probe_;
};
