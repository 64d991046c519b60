// morvane-batch: the editor's transformations and file handling from the command line.
#include "batch_commands.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return mv::batch::run(args);
}
