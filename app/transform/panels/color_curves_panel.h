// The Color Curves window's own controls: "Color Space:" with the channel list of that space
// choosing which of the three curves the curve control edits, the window's "Options" menu
// ("&Reset", "&Load ...", "&Save As ..." of "ColorCurves 1.0" files) and the curve control.
// The colour space and the three curves go into the settings each time they are rebuilt.
#pragma once

#include "tone/curve_files.h"
#include "transform/curve_control.h"
#include "transform/operation_panel.h"
#include "transform/probe_tool.h"

#include <QList>

class CurveControl;
class PopupList;
class QMenu;

class ColorCurvesPanel : public OperationPanel {
    Q_OBJECT
public:
    explicit ColorCurvesPanel(TransformationWindow* window);

    CurveControl* curve() const { return curve_; }
    PopupList* spaceList() const { return space_; }
    // The channel list of a colour space (H S V, H S L, R G B).
    PopupList* channelList(int space) const { return channels_[space]; }
    QMenu* optionsMenu() const { return options_; }
    ProbeTool& probe() { return probe_; }
    const mv::ColorCurvesFile& curves() const { return data_; }
    int channel() const { return channel_; }

    // "&Reset": every curve (0, 0)-(255, 255).
    void reset();
    // "&Load ..." and "&Save As ...": result 0 or the error code shown.
    int load();
    int saveAs();

    void inputChanged() override;
    void settingsRebuilt(mv::OperationSettings& settings) override;

protected:
    // A closing (or minimised) window stops probing.
    void hideEvent(QHideEvent* event) override;

private:
    void setSpace(int space);
    void setChannel(int channel);
    void showAll();
    void probed(const mv::Rgb& color);

    mv::ColorCurvesFile data_;
    int channel_ = 0;
    bool showing_ = false; // the curve control is being loaded, not edited
    CurveControl* curve_;
    PopupList* space_;
    PopupList* channels_[3];
    QMenu* options_;
    ProbeTool probe_;
    mv::Rgb probed_{};
    bool hasProbe_ = false;
    // The three channel histograms of the input in the colour space.
    std::vector<CurveHistogram> histograms_;
    const void* histogramInput_ = nullptr;
    int histogramSpace_ = -1;
};
