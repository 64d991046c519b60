// The small pictures of the Mask Tool's radio buttons (combine mode, overlay colour, overlay
// amount, operation), drawn rather than loaded, one per bitmap resource name.
#pragma once

#include <QIcon>

// The 17-pixel picture for a resource name such as "IDORMASK"; an empty picture for a name
// it does not know.
QIcon mask_button_icon(const char* bitmap);

inline constexpr int kMaskButtonSize = 17;
