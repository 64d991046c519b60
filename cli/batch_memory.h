// Memory for `batch`: how much a file will need, the limit (--memory) and the budget the
// files in flight share. A file whose estimate does not fit waits until others finish; one
// that would not fit even alone is refused, so the run fails it cleanly with "Out of memory"
// instead of being killed by the system half-way.
//
//   limit 100 MB, files in flight need 60 MB: a file of 30 MB starts, one of 50 MB waits,
//   one of 120 MB fails at once.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace mv::batch {

// "512M", "2G", "800k", "1000000" (bytes; K, M, G count 1024s). False for anything else.
bool parse_memory(const std::string& text, std::uint64_t& bytes);

// Half the memory the system reports available (all of physical memory's half when it does
// not say).
std::uint64_t default_memory_limit();

// Bytes a file needs while it is worked on: its picture read from the JPEG or PNG header
// (other formats: the file's size), times three for the input, the result and the
// encoder's working rows.
std::uint64_t estimate_file_memory(const std::string& path);

class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t limit) : limit_(limit) {}
    enum Result { kTaken, kTooLarge, kStopped };
    // Waits until `bytes` fit beside the files in flight, or `stopped()` turns true (it is
    // polled, so a signal handler can set what it reads).
    Result acquire(std::uint64_t bytes, bool (*stopped)());
    void release(std::uint64_t bytes);

private:
    std::uint64_t limit_, used_ = 0;
    std::mutex mutex_;
    std::condition_variable freed_;
};

} // namespace mv::batch
