// morvane-batch chain IN OUT OPERATION [key=value ...] [+ OPERATION [key=value ...]] ...:
// runs several transformations one after the other over IN in memory, each on the result
// of the one before, exactly as Apply in the editor would, and saves the last result as
// OUT. The same as a series of `apply` commands, without the files in between.
#include "batch_commands.h"
#include "command_files.h"

#include "core/image.h"
#include "formats/file_save.h"
#include "formats/file_types.h"
#include "transform/operation.h"

#include <utility>

namespace mv::batch {
namespace {

struct Step {
    const Operation* op = nullptr;
    OperationValues values;
};

// Parses "OPERATION key=value ..." groups separated by "+"; 0 or a usage-error status.
int parse_steps(const std::vector<std::string>& args, size_t first, std::vector<Step>& steps)
{
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "+") {
            if (steps.empty() || i + 1 >= args.size() || args[i + 1] == "+")
                return usage_error("'+' must stand between two operations");
            continue;
        }
        if (steps.empty() || args[i - 1] == "+") {
            const Operation* op = operation_find(a);
            if (!op)
                return usage_error("unknown operation '" + a + "' (see morvane-batch list)");
            steps.push_back({op, operation_defaults(*op)});
            continue;
        }
        const size_t eq = a.find('=');
        if (eq == std::string::npos)
            return usage_error("expected key=value or '+' after " + steps.back().op->name + ", got '" + a + "'");
        std::string message;
        if (!operation_set(*steps.back().op, steps.back().values, a.substr(0, eq), a.substr(eq + 1), message))
            return usage_error(message);
    }
    return steps.empty() ? usage_error("chain needs IN OUT OPERATION") : kExitOk;
}

} // namespace

int command_chain(const std::vector<std::string>& args)
{
    if (args.size() < 3)
        return usage_error("chain needs IN OUT OPERATION");
    std::vector<Step> steps;
    if (const int status = parse_steps(args, 2, steps))
        return status;
    const int filter = save_filter_from_extension(args[1]);
    if (!filter)
        return usage_error("cannot tell the format of '" + args[1] + "' from its extension");

    Image picture;
    OpenedFile opened;
    if (const int status = open_input(args[0], picture, opened))
        return status;
    for (const Step& step : steps) {
        Image output;
        const int amount = step.op->signed_amount ? 512 : 1024;
        if (const int err = operation_apply(*step.op, step.values, picture, output, amount))
            return fail(err);
        picture = std::move(output);
    }
    const int saved = file_save_path(args[1], filter, picture);
    return saved == 0 ? kExitOk : fail(saved);
}

} // namespace mv::batch
