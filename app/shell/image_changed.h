// The image-changed notice: after a picture was edited in place or saved under a new name,
// the windows registered in the use list as its readers bring themselves up to date.
#pragma once

class ImageWindow;

// Sends the notice for `window` to every user in the use list: a transformation window
// reading it (as its input or through its Amount mask) recomputes its preview.
void notify_image_changed(ImageWindow* window);
