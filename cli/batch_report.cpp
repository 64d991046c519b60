#include "batch_report.h"

#include "core/progress.h"

#include <cstdarg>

#include <unistd.h>

namespace mv::batch {
namespace {

// printf into a string (the program's own formatter reads backslashes as escapes).
std::string printed(const char* format, ...)
{
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, again);
    va_end(again);
    return out;
}

const char* status_name(FileResult::Status s)
{
    switch (s) {
    case FileResult::kDone: return "done";
    case FileResult::kSkipped: return "skipped";
    case FileResult::kFailed: return "failed";
    case FileResult::kInterrupted: return "interrupted";
    }
    return "";
}

} // namespace

std::string json_escape(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (u < 0x20)
            out += printed("\\u%04x", unsigned(u));
        else
            out += c;
    }
    return out;
}

std::string json_log_line(const FileResult& r)
{
    return printed("{\"input\":\"%s\",\"output\":\"%s\",\"status\":\"%s\",\"error\":%d,"
                   "\"message\":\"%s\",\"seconds\":%.3f}",
                   json_escape(r.input).c_str(), json_escape(r.output).c_str(), status_name(r.status), r.error,
                   json_escape(r.message).c_str(), r.seconds);
}

BatchReport::BatchReport(int total, bool quiet, std::FILE* log)
    : total_(total), quiet_(quiet), bar_(!quiet && ::isatty(STDERR_FILENO)), log_(log)
{
}

void BatchReport::finished(const FileResult& r)
{
    std::lock_guard<std::mutex> lock(mutex_);
    int& count = r.status == FileResult::kDone      ? done_
                 : r.status == FileResult::kSkipped ? skipped_
                 : r.status == FileResult::kFailed  ? failed_
                                                    : interrupted_;
    ++count;
    const int position = done_ + skipped_ + failed_ + interrupted_;
    if (bar_)
        std::fputs("\r\033[K", stderr);
    if (r.status == FileResult::kFailed)
        std::fprintf(stderr, "morvane-batch: %s: %s (error %d)\n", r.input.c_str(), r.message.c_str(), r.error);
    else if (!quiet_ && !bar_)
        std::fprintf(stderr, "%d/%d %s %s -> %s\n", position, total_, status_name(r.status), r.input.c_str(),
                     r.output.c_str());
    if (bar_)
        draw_bar();
    if (log_) {
        std::fprintf(log_, "%s\n", json_log_line(r).c_str());
        std::fflush(log_);
    }
}

void BatchReport::tick()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (bar_)
        draw_bar();
}

void BatchReport::draw_bar()
{
    constexpr int kWidth = 30;
    const int count = done_ + skipped_ + failed_ + interrupted_;
    const int filled = total_ > 0 ? int((long long)count * kWidth / total_) : kWidth;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const int worked = done_ + failed_;
    std::string rate = worked > 0 && elapsed > 0 ? printed("%.1f pictures/s", worked / elapsed) : "";
    std::string left = count > 0 && count < total_ && elapsed > 0
                           ? progress_time_text(progress_time_left(elapsed, 0, total_, count))
                           : "";
    std::fprintf(stderr, "\r\033[K[%.*s%*s] %d/%d  %s  %s", filled, "##############################",
                 kWidth - filled, "", count, total_, rate.c_str(), left.c_str());
    std::fflush(stderr);
}

void BatchReport::summary(int not_started)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (bar_)
        std::fputs("\r\033[K", stderr);
    std::string text = printed("morvane-batch: %d files: %d done, %d skipped, %d failed", total_, done_,
                               skipped_, failed_);
    if (interrupted_ + not_started > 0)
        text += printed(", %d interrupted, %d not started", interrupted_, not_started);
    const double rate = elapsed > 0 ? (done_ + failed_) / elapsed : 0;
    std::fprintf(stderr, "%s in %.1f s (%.1f pictures/s)\n", text.c_str(), elapsed, rate);
}

} // namespace mv::batch
