// Registers the tone operations' own transformation-window controls.
#include "transform/operation_panel.h"
#include "transform/panels/brightness_curve_panel.h"
#include "transform/panels/color_balance_panel.h"
#include "transform/panels/color_curves_panel.h"
#include "transform/panels/levels_panel.h"

namespace {

template <class Panel>
OperationPanel* make_panel(TransformationWindow* window)
{
    return new Panel(window);
}

} // namespace

void install_tone_panels()
{
    register_operation_panel("brightness-curve", make_panel<BrightnessCurvePanel>);
    register_operation_panel("color-curves", make_panel<ColorCurvesPanel>);
    register_operation_panel("levels-and-color", make_panel<LevelsPanel>);
    register_operation_panel("color-balance", make_panel<ColorBalancePanel>);
}
