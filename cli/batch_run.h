// Runs a planned `batch`: files in parallel on worker threads, each through the chain and
// saved atomically, within a memory budget, reported as they finish.
//
// Ctrl-C (SIGINT) or SIGTERM stops taking new files and lets the files in flight finish;
// a second one also cancels the work in flight, whose saves then remove their temporary
// files. Either way no output is left half-written, and the run exits 128 + the signal.
#pragma once

#include "batch_plan.h"
#include "chain_steps.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace mv::batch {

struct BatchSettings {
    std::vector<ChainStep> steps;
    SaveOptions save;
    int jobs = 1;
    std::uint64_t memory_limit = 0;
    bool skip_existing = false;
    bool quiet = false;
    std::FILE* log = nullptr;
};

// Band threads for each file when `files_running` files share `cores`: the cores split
// between them, at least one each.
int band_threads(int cores, int files_running);

// True when `output` exists and was written no earlier than `input` last changed.
bool output_is_current(const std::string& input, const std::string& output);

// Runs every file; returns 0, 1 when any failed, or 128 + the signal that stopped the run.
int batch_execute(const std::vector<PlannedFile>& files, const BatchSettings& settings);

} // namespace mv::batch
