// morvane-batch batch --out DIR [options] INPUT... -- OPERATION [key=value ...] [+ ...]:
// runs one chain of transformations over many pictures, several at a time, and saves each
// result in DIR. The chain may come from a recipe file instead (--recipe FILE).
#include "batch_commands.h"
#include "batch_memory.h"
#include "batch_plan.h"
#include "batch_run.h"
#include "chain_steps.h"
#include "command_files.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <thread>

namespace mv::batch {
namespace {

struct BatchArgs {
    PlanRequest plan;
    std::string recipe, log, jobs_text, memory_text, shard_text;
    std::vector<std::string> chain;
    bool has_chain = false, skip_existing = false, quiet = false, list = false;
};

// Splits the arguments at the first "--" into options with inputs, and the chain.
int parse_args(const std::vector<std::string>& args, BatchArgs& b)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            b.has_chain = true;
            b.chain.assign(args.begin() + long(i) + 1, args.end());
            break;
        }
        if (const int taken = take_save_option(args, i, b.plan.save)) {
            if (taken != 1)
                return taken;
            continue;
        }
        std::string* value = a == "--out"      ? &b.plan.out_dir
                             : a == "--name"   ? &b.plan.name_pattern
                             : a == "--recipe" ? &b.recipe
                             : a == "--log"    ? &b.log
                             : a == "--jobs"   ? &b.jobs_text
                             : a == "--memory" ? &b.memory_text
                             : a == "--shard"  ? &b.shard_text
                                               : nullptr;
        if (value) {
            if (i + 1 >= args.size())
                return usage_error(a + " needs a value");
            *value = args[++i];
        } else if (a == "--recursive") {
            b.plan.recursive = true;
        } else if (a == "--skip-existing") {
            b.skip_existing = true;
        } else if (a == "--quiet") {
            b.quiet = true;
        } else if (a == "--list") {
            b.list = true;
        } else if (a.rfind("--", 0) == 0) {
            return usage_error("unknown option '" + a + "'");
        } else {
            b.plan.inputs.push_back(a);
        }
    }
    return kExitOk;
}

int parse_numbers(const BatchArgs& b, BatchSettings& settings, PlanRequest& plan)
{
    settings.jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    if (!b.jobs_text.empty()) {
        const char* end = b.jobs_text.data() + b.jobs_text.size();
        const auto [p, ec] = std::from_chars(b.jobs_text.data(), end, settings.jobs);
        if (ec != std::errc() || p != end || settings.jobs < 1 || settings.jobs > 1024)
            return usage_error("--jobs takes a whole number from 1 to 1024");
    }
    settings.memory_limit = default_memory_limit();
    if (!b.memory_text.empty() && (!parse_memory(b.memory_text, settings.memory_limit) || !settings.memory_limit))
        return usage_error("--memory takes a size such as 800M or 4G");
    if (!b.shard_text.empty() && !parse_shard(b.shard_text, plan.shard, plan.shards))
        return usage_error("--shard takes K/N with 0 <= K < N, such as 0/4");
    return kExitOk;
}

} // namespace

int command_batch(const std::vector<std::string>& args)
{
    BatchArgs b;
    if (const int status = parse_args(args, b))
        return status;
    BatchSettings settings;
    if (const int status = parse_numbers(b, settings, b.plan))
        return status;
    if (b.plan.out_dir.empty())
        return usage_error("batch needs --out DIR");
    if (b.plan.inputs.empty())
        return usage_error("batch needs at least one INPUT");
    if (b.has_chain == !b.recipe.empty())
        return usage_error("batch needs either '-- OPERATION ...' or --recipe FILE");

    std::string message;
    size_t at = 0;
    if (b.has_chain ? !chain_parse(b.chain, 0, settings.steps, message, at)
                    : !chain_read_recipe(b.recipe, settings.steps, message))
        return usage_error(message);

    std::vector<PlannedFile> files;
    if (!batch_plan(b.plan, files, message))
        return usage_error(message);
    if (b.list) {
        for (const PlannedFile& f : files)
            std::printf("%s\n", f.input.c_str());
        return kExitOk;
    }

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(nullptr, std::fclose);
    if (!b.log.empty()) {
        log.reset(std::fopen(b.log.c_str(), "a"));
        if (!log)
            return usage_error("cannot write the log file '" + b.log + "'");
    }
    settings.save = b.plan.save.options;
    settings.skip_existing = b.skip_existing;
    settings.quiet = b.quiet;
    settings.log = log.get();
    return batch_execute(files, settings);
}

} // namespace mv::batch
