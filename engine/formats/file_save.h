// Saving an Image to a path, without dialogs: the engine side of Save and Save As and the
// batch tool's conversions.
#pragma once

#include "format_entry.h"
#include "core/image.h"

#include <string>

namespace mv {

// The name Save As settles on: `path` with the filter's default extension appended when it
// has none. False when the extension does not suit the filter, with the message to show in
// `message` ("TIFF files must have an extension of .tif or .tiff").
bool save_as_name(const std::string& path, int filter, std::string& name, std::string& message);

// Writes `img` to `path` with save filter `filter` (1..11). The picture goes to a temporary
// file in the same folder which replaces the target only once it is complete, so a failed
// or cancelled save leaves an existing file as it was. A symbolic link is followed and the
// file it names replaced; an existing file's permissions are kept. Returns the format's
// code (see format_entry.h), 3 or 37 when the folder cannot be written.
int file_save_path(const std::string& path, int filter, const Image& img,
                   const SaveOptions& options = {});

} // namespace mv
