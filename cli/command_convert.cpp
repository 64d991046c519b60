// morvane-batch convert IN OUT [--format NAME] [--quality Q] [--sampling S]: reads IN and
// saves it as OUT with the editor's save rules.
#include "batch_commands.h"
#include "command_files.h"

#include "formats/file_save.h"

namespace mv::batch {

int command_convert(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    SaveChoice choice;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (const int taken = take_save_option(args, i, choice)) {
            if (taken != 1)
                return taken;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usage_error("unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2)
        return usage_error("convert needs IN and OUT");

    int filter = 0;
    std::string out, message;
    if (!save_target(choice, files[1], filter, out, message))
        return usage_error(message);

    Image img;
    OpenedFile opened;
    const int status = open_input(files[0], img, opened);
    if (status != kExitOk)
        return status;
    const int r = file_save_path(out, filter, img, choice.options);
    return r == 0 ? kExitOk : fail(r);
}

} // namespace mv::batch
