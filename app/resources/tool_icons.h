// The pictures of the tool bar buttons, drawn as small vector icons (crisp at any screen
// scale) and looked up by the button's resource name ("IDOPEN", "IDCLONE", ...).
#pragma once

#include <QIcon>

// The icon for a button picture name; a null icon for an unknown name.
QIcon tool_icon(const char* bitmap);
// The same picture rendered at `size` x `size` device-independent pixels.
QPixmap tool_pixmap(const char* bitmap, int size, qreal dpr = 2.0);
