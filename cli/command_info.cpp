// morvane-batch info FILE...: the Window Info fields of each file, one per line.
#include "batch_commands.h"
#include "command_files.h"

#include "core/error.h"
#include "formats/window_info.h"

#include <cstdio>

namespace mv::batch {

int command_info(const std::vector<std::string>& args)
{
    if (args.empty())
        return usage_error("info needs at least one FILE");
    int status = kExitOk;
    bool first = true;
    for (const std::string& path : args) {
        Image img;
        OpenedFile opened;
        if (open_input(path, img, opened) != kExitOk) {
            status = kExitFailed;
            continue;
        }
        const WindowInfo info = window_info(img, opened.path, opened.file_type);
        if (!first)
            std::printf("\n");
        first = false;
        std::printf("Path: %s\n", info.path.c_str());
        std::printf("Image type: %s\n", info.type.c_str());
        std::printf("Memory: %s\n", info.bytes.c_str());
        std::printf("Size: %s\n", info.pixels.c_str());
        std::printf("Print size: %s\n", info.inches.c_str());
        std::printf("Resolution: %s\n", info.dpi.c_str());
        std::printf("File format: %s\n", info.format.c_str());
        std::printf("File date: %s\n", info.date.c_str());
    }
    return status;
}

} // namespace mv::batch
