// morvane-batch chain IN OUT OPERATION [key=value ...] [+ OPERATION [key=value ...]] ...:
// runs several transformations one after the other over IN in memory, each on the result
// of the one before, exactly as Apply in the editor would, and saves the last result as
// OUT. The same as a series of `apply` commands, without the files in between.
#include "batch_commands.h"
#include "chain_steps.h"
#include "command_files.h"

#include "core/image.h"
#include "formats/file_save.h"
#include "formats/file_types.h"

namespace mv::batch {

int command_chain(const std::vector<std::string>& args)
{
    if (args.size() < 3)
        return usage_error("chain needs IN OUT OPERATION");
    std::vector<ChainStep> steps;
    std::string message;
    size_t at = 0;
    if (!chain_parse(args, 2, steps, message, at))
        return usage_error(message);
    const int filter = save_filter_from_extension(args[1]);
    if (!filter)
        return usage_error("cannot tell the format of '" + args[1] + "' from its extension");

    Image picture;
    OpenedFile opened;
    if (const int status = open_input(args[0], picture, opened))
        return status;
    if (const int err = chain_run(steps, picture))
        return fail(err);
    const int saved = file_save_path(args[1], filter, picture);
    return saved == 0 ? kExitOk : fail(saved);
}

} // namespace mv::batch
