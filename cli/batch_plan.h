// The files of a `batch` run and where each one goes: inputs expanded from files, folders
// and patterns, sorted, given their output names, and cut into shards.
//
//   inputs "shoot" (a folder, --recursive) holding a/1.png, a/2.png, b/3.jpg
//   --out web --name "{folder}/{n}-{name}.jpg" --shard 1/2
//   sorted list: shoot/a/1.png (n=1), shoot/a/2.png (n=2), shoot/b/3.jpg (n=3)
//   shard 1 of 2 takes positions 1, 3, ... counted from 0: web/a/2-2.jpg from shoot/a/2.png
//
// Shards are dealt round the sorted list (position p goes to shard p mod N), so N shards
// cover every input exactly once and each gets as many files as the others, give or take
// one. Names and shards depend only on the sorted list, so every machine computes the same
// plan and the outputs of all shards equal those of one run.
#pragma once

#include "command_files.h"

#include <string>
#include <vector>

namespace mv::batch {

struct PlanRequest {
    std::vector<std::string> inputs; // files, folders and patterns (*, ?, [...])
    bool recursive = false;          // folders include their sub-folders
    std::string out_dir;
    std::string name_pattern;        // empty: the input's folder and name in out_dir
    SaveChoice save;
    int shard = 0, shards = 1;       // this run takes shard `shard` of 0..shards-1
};

struct PlannedFile {
    std::string input;
    std::string output;
    int filter = 0; // save filter of the output
    int number = 0; // 1-based position in the whole sorted list
};

// "K/N" with 0 <= K < N.
bool parse_shard(const std::string& text, int& shard, int& shards);

// `pattern` with {name} (file name without extension), {ext} (its extension, no dot), {n}
// and {folder} replaced. False with the reason in `message` for an unknown or unclosed field.
bool expand_name(const std::string& pattern, const std::string& name, const std::string& ext, int n,
                 const std::string& folder, std::string& out, std::string& message);

// This shard's files in sorted order. False with the reason in `message`: an input that
// matches nothing, a name pattern fault, an output whose format cannot be told, two inputs
// given the same output or an output that would overwrite its input.
bool batch_plan(const PlanRequest& request, std::vector<PlannedFile>& files, std::string& message);

} // namespace mv::batch
