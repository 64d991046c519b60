// Registers the geometry operations' own transformation-window controls.
#include "transform/operation_panel.h"
#include "transform/panels/add_border_panel.h"
#include "transform/panels/composite_panel.h"
#include "transform/panels/crop_panel.h"
#include "transform/panels/mirror_rotate_panel.h"
#include "transform/panels/resize_panel.h"

void install_geometry_panels()
{
    register_operation_panel("resize", [](TransformationWindow* w) -> OperationPanel* { return new ResizePanel(w); });
    register_operation_panel("mirror-rotate",
                             [](TransformationWindow* w) -> OperationPanel* { return new MirrorRotatePanel(w); });
    register_operation_panel("crop", [](TransformationWindow* w) -> OperationPanel* { return new CropPanel(w); });
    register_operation_panel("composite",
                             [](TransformationWindow* w) -> OperationPanel* { return new CompositePanel(w); });
    register_operation_panel("add-border",
                             [](TransformationWindow* w) -> OperationPanel* { return new AddBorderPanel(w); });
}
