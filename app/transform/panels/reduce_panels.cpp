// Registers the reduce operations' own transformation-window controls.
#include "transform/operation_panel.h"

void install_reduce_panels()
{
}
