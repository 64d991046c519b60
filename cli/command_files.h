// Shared by the batch tool's file commands: opening an input file with the editor's rules.
#pragma once

#include "core/image.h"
#include "formats/file_open.h"

#include <string>

namespace mv::batch {

// Opens `path` with the type of its extension. Returns 0, or the exit status of the
// failure (its message already printed).
int open_input(const std::string& path, Image& img, OpenedFile& opened);

} // namespace mv::batch
