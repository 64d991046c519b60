// A chain of transformations as the batch tool writes it, on the command line or in a recipe
// file: "OPERATION [key=value ...] [+ OPERATION [key=value ...]] ...". `chain` and `batch`
// parse and run it with the same code, so a recipe gives the bits the chain command gives.
//
//   resize width=50% height=50% + sharpen radius=2     two steps, each on the one before
//
// A recipe file holds the same text over any number of lines; '#' starts a comment that runs
// to the end of its line. Errors name the line: "web.recipe:3: unknown operation 'blurr'".
#pragma once

#include "core/image.h"
#include "transform/operation.h"

#include <string>
#include <vector>

namespace mv::batch {

struct ChainStep {
    const Operation* op = nullptr;
    OperationValues values;
};

// Parses tokens[first..]. False with the reason in `message` and the index of the token at
// fault in `at`.
bool chain_parse(const std::vector<std::string>& tokens, size_t first, std::vector<ChainStep>& steps,
                 std::string& message, size_t& at);

// Reads and parses a recipe file. False with "PATH:LINE: reason" (or "PATH: reason" when the
// file cannot be read or holds no operation) in `message`.
bool chain_read_recipe(const std::string& path, std::vector<ChainStep>& steps, std::string& message);

// Runs the steps in turn, each on the result of the one before, as Apply in the editor does;
// `picture` becomes the last result. 0 or the error code of the step that failed.
int chain_run(const std::vector<ChainStep>& steps, Image& picture);

} // namespace mv::batch
