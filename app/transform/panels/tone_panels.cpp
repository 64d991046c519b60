// Registers the tone operations' own transformation-window controls.
#include "transform/operation_panel.h"

void install_tone_panels()
{
}
