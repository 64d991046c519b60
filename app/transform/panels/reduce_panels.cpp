// Registers the own controls of the colour reductions and of the pixel-type and channel
// transformations.
#include "transform/operation_panel.h"
#include "transform/panels/combine_channels_panel.h"
#include "transform/panels/convert_panel.h"
#include "transform/panels/halftone_panel.h"
#include "transform/panels/posterize_panel.h"

void install_reduce_panels()
{
    register_operation_panel("posterize", [](TransformationWindow* w) -> OperationPanel* { return new PosterizePanel(w); });
    register_operation_panel("halftone", [](TransformationWindow* w) -> OperationPanel* { return new HalftonePanel(w); });
    register_operation_panel("combine-channels",
                             [](TransformationWindow* w) -> OperationPanel* { return new CombineChannelsPanel(w); });
    register_operation_panel("convert", [](TransformationWindow* w) -> OperationPanel* { return new ConvertPanel(w); });
}
