#include "command_files.h"

#include "batch_commands.h"

namespace mv::batch {

int open_input(const std::string& path, Image& img, OpenedFile& opened)
{
    const int r = file_open_path(path, -1, img, opened, true);
    if (r != 0)
        return fail(r);
    if (opened.missing)
        return kExitFailed; // "File does not exist" has been printed
    return kExitOk;
}

} // namespace mv::batch
