// Opening a file into an Image by path, without dialogs: the engine side of File Open, the
// command line, dropped files and the batch tool.
#pragma once

#include "core/image.h"

#include <string>

namespace mv {

struct OpenedFile {
    std::string path;   // the path read, with the type's default extension when it had none
    int file_type = 0;  // the file type code it was read as
    bool missing = false;
};

// Reads `path` as file type `type` (1 or -1: the type of its extension, an unknown
// extension giving 1). The type's default extension is appended when the path has none.
// A file that does not exist shows "File does not exist: %s", leaves the recent-files list
// without it and returns 0 with `out.missing` set and `img` empty. Success puts the path at
// the front of the recent-files list and returns 0; failures return the format's code.
int file_open_path(const std::string& path, int type, Image& img, OpenedFile& out,
                   bool show_progress = true, int photocd_resolution = 3);

// The type a path opens as for `type` (1 and -1 mean: from the extension).
int file_open_type(const std::string& path, int type);

} // namespace mv
