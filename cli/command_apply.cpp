// morvane-batch apply IN OUT OPERATION [key=value ...] [--amount P] [--mask MASK
// [--mask-amount LO..HI]]: runs one transformation over the whole of IN, exactly as Apply in
// the editor, and saves the result as OUT (format from OUT's extension).
#include "batch_commands.h"
#include "command_files.h"

#include "core/image.h"
#include "core/util.h"
#include "formats/file_save.h"
#include "formats/file_types.h"
#include "transform/operation.h"

#include <charconv>
#include <cstdio>

namespace mv::batch {
namespace {

bool parse_percent(std::string_view text, int& percent)
{
    if (!text.empty() && text.back() == '%')
        text.remove_suffix(1);
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, percent);
    return ec == std::errc() && p == end && !text.empty();
}

// A percentage to the amount block's scale: 0..100 -> 0..1024, or for signed operations
// -100..100 -> 0..1024 with 512 as 0%.
bool amount_value(const Operation& op, int percent, int& value)
{
    if (op.signed_amount) {
        if (percent < -100 || percent > 100)
            return false;
        value = 512 + int(round_nearest(percent * 512 / 100.0));
    } else {
        if (percent < 0 || percent > 100)
            return false;
        value = int(round_nearest(percent * 1024 / 100.0));
    }
    value = std::min(value, 1024);
    return true;
}

} // namespace

int command_apply(const std::vector<std::string>& args)
{
    std::vector<std::string> positional, settings;
    std::string amount_text, mask_path, mask_range;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--amount" || a == "--mask" || a == "--mask-amount") {
            if (i + 1 >= args.size())
                return usage_error(a + " needs a value");
            (a == "--amount" ? amount_text : a == "--mask" ? mask_path : mask_range) = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return usage_error("unknown option '" + a + "'");
        } else if (positional.size() >= 3 && a.find('=') != std::string::npos) {
            settings.push_back(a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 3)
        return usage_error("apply needs IN OUT OPERATION");
    const Operation* op = operation_find(positional[2]);
    if (!op)
        return usage_error("unknown operation '" + positional[2] + "' (see morvane-batch list)");

    OperationValues values = operation_defaults(*op);
    for (const std::string& s : settings) {
        const size_t eq = s.find('=');
        std::string message;
        if (!operation_set(*op, values, s.substr(0, eq), s.substr(eq + 1), message))
            return usage_error(message);
    }
    int low = op->signed_amount ? 512 : 1024;
    if (!amount_text.empty()) {
        int percent = 0;
        if (!parse_percent(amount_text, percent) || !amount_value(*op, percent, low))
            return usage_error(op->signed_amount ? "--amount takes a percentage from -100 to 100"
                                                 : "--amount takes a percentage from 0 to 100");
    }
    int mask_low = op->signed_amount ? 512 : 0, mask_high = op->signed_amount ? 512 : 1024;
    if (!mask_range.empty()) {
        const size_t dots = mask_range.find("..");
        int lo = 0, hi = 0;
        if (dots == std::string::npos || !parse_percent(mask_range.substr(0, dots), lo) ||
            !parse_percent(mask_range.substr(dots + 2), hi) || !amount_value(*op, lo, mask_low) ||
            !amount_value(*op, hi, mask_high))
            return usage_error("--mask-amount takes LO..HI, two percentages");
    }
    if (!mask_range.empty() && mask_path.empty())
        return usage_error("--mask-amount needs --mask");

    const int filter = save_filter_from_extension(positional[1]);
    if (!filter)
        return usage_error("cannot tell the format of '" + positional[1] + "' from its extension");

    Image input, mask;
    OpenedFile opened;
    if (const int status = open_input(positional[0], input, opened))
        return status;
    if (!mask_path.empty()) {
        OpenedFile mask_opened;
        if (const int status = open_input(mask_path, mask, mask_opened))
            return status;
    }
    Image output;
    const int err = operation_apply(*op, values, input, output, low, mask_path.empty() ? nullptr : &mask,
                                    mask_low, mask_high);
    if (err)
        return fail(err);
    const int saved = file_save_path(positional[1], filter, output);
    return saved == 0 ? kExitOk : fail(saved);
}

int command_list(const std::vector<std::string>& args)
{
    if (!args.empty())
        return usage_error("list takes no arguments");
    for (const Operation& op : operations()) {
        std::printf("%s%s\n", op.name.c_str(),
                    op.signed_amount ? "  (--amount -100..100, default 0)"
                    : op.has_amount  ? "  (--amount 0..100, default 100)"
                                     : "");
        for (const OperationParam& p : op.params) {
            switch (p.kind) {
            case OperationParam::kList: {
                std::string list;
                for (const std::string& v : p.values)
                    if (v != "-")
                        list += (list.empty() ? "" : "|") + operation_key(v);
                std::printf("  %s=%s  (default %s)\n", p.key.c_str(), list.c_str(),
                            operation_key(p.values[size_t(p.default_value)]).c_str());
                break;
            }
            case OperationParam::kInteger:
                std::printf("  %s=%d..%d  (default %d)\n", p.key.c_str(), p.minimum, p.maximum, p.default_value);
                break;
            case OperationParam::kPercent:
                std::printf("  %s=%d..%d%%  (default %d%%)\n", p.key.c_str(), p.minimum * 100 / 1024,
                            p.maximum * 100 / 1024, (p.default_value * 100 + 512) / 1024);
                break;
            case OperationParam::kFile:
                std::printf("  %s=FILE\n", p.key.c_str());
                break;
            case OperationParam::kText:
                std::printf("  %s=TEXT\n", p.key.c_str());
                break;
            }
        }
    }
    return kExitOk;
}

} // namespace mv::batch
