// What `batch` tells the user while it runs: a progress bar on a terminal (files done of
// total, pictures per second, time left), plain lines otherwise, every failure with its file
// and message, a summary at the end, and with --log one JSON line per file:
//
//   {"input":"shoot/a.png","output":"web/a.jpg","status":"done","error":0,"message":"","seconds":0.084}
//
// Status is "done", "skipped" (output newer than its input), "failed" or "interrupted".
// Calls come from every worker thread; the report serialises them.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

namespace mv::batch {

struct FileResult {
    std::string input, output;
    enum Status { kDone, kSkipped, kFailed, kInterrupted } status = kDone;
    int error = 0;
    std::string message;
    double seconds = 0;
};

// `text` as the body of a JSON string (quotes, backslashes and control characters escaped).
std::string json_escape(const std::string& text);

// The log line of one file, without its newline.
std::string json_log_line(const FileResult& r);

class BatchReport {
public:
    // `log` may be null. The bar is drawn when standard error is a terminal and not `quiet`.
    BatchReport(int total, bool quiet, std::FILE* log);
    void finished(const FileResult& r);
    // Redraws the bar with the current rate and time left (called a few times a second).
    void tick();
    // Prints the summary; `not_started` counts files left when the run was stopped.
    void summary(int not_started);
    int failed() const { return failed_; }

private:
    void draw_bar();
    const int total_;
    const bool quiet_, bar_;
    std::FILE* log_;
    int done_ = 0, skipped_ = 0, failed_ = 0, interrupted_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
};

} // namespace mv::batch
