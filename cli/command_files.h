// Shared by the batch tool's file commands: opening an input file with the editor's rules and
// the save options `convert` and `batch` take (--format, --quality, --sampling).
#pragma once

#include "core/image.h"
#include "formats/file_open.h"
#include "formats/format_entry.h"

#include <string>
#include <vector>

namespace mv::batch {

// Opens `path` with the type of its extension. Returns 0, or the exit status of the
// failure (its message already printed).
int open_input(const std::string& path, Image& img, OpenedFile& opened);

// The save options given on the command line; quality and sampling start from the
// program's saved state, as Save As does.
struct SaveChoice {
    std::string format_name; // empty: the format of the output's extension
    SaveOptions options;
    SaveChoice();
};

// When args[i] is a save option, takes it and its value (moving i to the value) and returns
// 1; 0 when it is not one; kExitUsage (usage printed) for a missing or wrong value.
int take_save_option(const std::vector<std::string>& args, size_t& i, SaveChoice& choice);

// The save filter for writing `out` with `choice`, and the name it is written under (the
// format's extension appended when it has none). False with the reason in `message`.
bool save_target(const SaveChoice& choice, const std::string& out, int& filter, std::string& name,
                 std::string& message);

} // namespace mv::batch
