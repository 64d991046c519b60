// morvane-batch count-colors FILE: the number of distinct pixel values.
#include "batch_commands.h"
#include "command_files.h"

#include "core/format.h"
#include "reduce/count_colors.h"

#include <cstdio>

namespace mv::batch {

int command_count_colors(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usage_error("count-colors needs one FILE");
    Image img;
    OpenedFile opened;
    const int status = open_input(args[0], img, opened);
    if (status != kExitOk)
        return status;
    std::int64_t count = 0;
    const int r = count_colors(img, count);
    if (r != 0)
        return fail(r);
    std::printf("%s\n", format_text("Unique Colors: %,", (long long)count).c_str());
    return kExitOk;
}

} // namespace mv::batch
