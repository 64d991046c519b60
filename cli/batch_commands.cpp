#include "batch_commands.h"

#include "core/error.h"
#include "shell/build_info.h"
#include "shell/data_folder.h"
#include "terminal_progress.h"

#include <cstdio>
#include <map>

namespace mv::batch {
namespace {

constexpr const char* kUsage =
    "usage: morvane-batch COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  info FILE...              the Window Info fields of each file, one per line\n"
    "  convert IN OUT [--format NAME] [--quality Q] [--sampling 4:4:4|4:2:2|4:1:1]\n"
    "                            save IN as OUT; the format comes from OUT's extension\n"
    "                            or NAME (tiff, jpeg, bmp, targa, pcx, gif, eps, png,\n"
    "                            fits, rle); Q is the JPEG quality 0..100\n"
    "  count-colors FILE         the number of distinct colours\n"
    "  apply IN OUT OPERATION [key=value ...] [--amount P] [--mask MASK [--mask-amount LO..HI]]\n"
    "                            run one transformation over IN and save the result as OUT\n"
    "  chain IN OUT OPERATION [key=value ...] [+ OPERATION [key=value ...]] ...\n"
    "                            run several transformations in turn, in memory, and save\n"
    "                            the last result as OUT\n"
    "  batch --out DIR [options] INPUT... -- OPERATION [key=value ...] [+ OPERATION ...]\n"
    "                            run a chain over many pictures in parallel and save each\n"
    "                            result in DIR; INPUTs are files, folders and patterns\n"
    "      --recipe FILE         the chain from a file instead of after '--'\n"
    "      --recursive           folders include their sub-folders\n"
    "      --name PATTERN        output names from {name} {ext} {n} {folder}\n"
    "                            (default {folder}/{name}.{ext})\n"
    "      --format, --quality, --sampling   as convert takes them\n"
    "      --jobs N              files at a time (default: the number of cores)\n"
    "      --memory LIMIT        memory for the files in flight (800M, 4G; default half\n"
    "                            of the available memory)\n"
    "      --skip-existing       leave outputs newer than their input\n"
    "      --shard K/N           take part K of N (0 <= K < N) of the sorted inputs\n"
    "      --list                print the inputs this run would take, and stop\n"
    "      --log FILE            add one JSON line per file to FILE\n"
    "      --quiet               print only failures and the summary\n"
    "  slideshow build OUT.ss FILE... [--size WxH] [--quality normal|high|highest] [--duration N]\n"
    "                            make a slide show of the pictures and save it with its\n"
    "                            slide files\n"
    "  slideshow export IN.ss OUT.avi [--size WxH] [--compressor NAME]\n"
    "                            write a saved slide show as an AVI video (frames of the\n"
    "                            smallest slide size that holds every slide by default)\n"
    "  list                      every operation, its keys, values and defaults\n"
    "  --version                 the version, libraries and data folders\n"
    "  --help                    this text\n";

using Command = int (*)(const std::vector<std::string>&);

const std::map<std::string, Command>& commands()
{
    static const std::map<std::string, Command> table = {
        {"list", command_list},
        {"info", command_info},
        {"convert", command_convert},
        {"count-colors", command_count_colors},
        {"slideshow", command_slideshow},
        {"apply", command_apply},
        {"chain", command_chain},
        {"batch", command_batch},
    };
    return table;
}

// The version, the build date, the libraries and the folders the program reads its data and
// manual from; the folders show at once whether a moved install still finds them.
void print_version()
{
    std::printf("morvane-batch %s (built %s)\n", program_version(), build_date());
    for (const LibraryVersion& lib : library_versions())
        std::printf("  %s %s\n", lib.name.c_str(), lib.version.c_str());
    std::printf("data: %s\nmanual: %s\n", data_folder().c_str(), manual_folder().c_str());
}

} // namespace

int fail(int code)
{
    std::fprintf(stderr, "morvane-batch: %s (error %d)\n", error_text(code), code);
    return kExitFailed;
}

int usage_error(const std::string& reason)
{
    std::fprintf(stderr, "morvane-batch: %s\n\n%s", reason.c_str(), kUsage);
    return kExitUsage;
}

int run(const std::vector<std::string>& args)
{
    if (args.empty())
        return usage_error("no command given");
    const std::string& name = args[0];
    if (name == "--version") {
        print_version();
        return kExitOk;
    }
    if (name == "--help" || name == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    const auto it = commands().find(name);
    if (it == commands().end())
        return usage_error("unknown command '" + name + "'");
    TerminalProgress progress;
    BatchMessages messages;
    return it->second({args.begin() + 1, args.end()});
}

} // namespace mv::batch
