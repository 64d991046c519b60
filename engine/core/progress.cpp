#include "progress.h"

#include "format.h"
#include "util.h"

#include <algorithm>

namespace mv {
namespace {
ProgressSink* g_sink = nullptr;
thread_local ProgressRelay* t_relay = nullptr;
} // namespace

ProgressRelay* progress_relay_install(ProgressRelay* relay)
{
    ProgressRelay* previous = t_relay;
    t_relay = relay;
    return previous;
}

ProgressSink* set_progress_sink(ProgressSink* sink)
{
    ProgressSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void progress_begin(int first, int last, std::string_view title, bool cancellable)
{
    if (t_relay) {
        t_relay->first = first;
        t_relay->last = last;
        t_relay->current = first;
        t_relay->begun = true;
    } else if (g_sink) {
        g_sink->begin(first, last, title, cancellable);
    }
}

int progress_update(int current)
{
    if (t_relay) {
        t_relay->current = current;
        return t_relay->cancel && t_relay->cancel->load() ? 11 : 0;
    }
    return g_sink ? g_sink->update(current) : 0;
}

void progress_end()
{
    if (!t_relay && g_sink)
        g_sink->end();
}

void progress_pump()
{
    if (!t_relay && g_sink)
        g_sink->pump();
}

ProgressScope::ProgressScope(long long pixels, int first, int last, std::string_view title,
                             bool cancellable)
    : shown_(pixels >= kProgressPixelThreshold)
{
    if (shown_)
        progress_begin(first, last, title, cancellable);
    else if (!t_relay && g_sink)
        g_sink->wait_cursor(true);
}

ProgressScope::~ProgressScope()
{
    if (shown_)
        progress_end();
    else if (!t_relay && g_sink)
        g_sink->wait_cursor(false);
}

TimeLeft progress_time_left(double elapsed, int first, int last, int current)
{
    const double total = double(last - first) * elapsed / double(current - first);
    const long long remaining = round_nearest(total - elapsed);
    TimeLeft t;
    t.seconds = int(remaining % 60 + 1);
    t.minutes = int((remaining / 60) % 60);
    t.hours = int(remaining / 3600);
    return t;
}

std::string progress_time_text(const TimeLeft& t)
{
    return format_text("Time left: %2d:%2d:%2d", t.hours, t.minutes, t.seconds);
}

ProgressTracker::ProgressTracker(int first, int last, std::int64_t start_ms)
    : first_(first), last_(last), current_(first), start_ms_(start_ms)
{
}

int ProgressTracker::filled_width(int bar_width) const
{
    if (last_ <= first_)
        return 0;
    const int c = std::clamp(current_, first_, last_);
    return int((long long)(c - first_) * bar_width / (last_ - first_));
}

ProgressTracker::Span ProgressTracker::advance(int current, int bar_width)
{
    Span span;
    if (last_ > first_) {
        const int a = std::clamp(current_, first_, last_);
        const int b = std::clamp(current, first_, last_);
        const int lower = std::min(a, b), upper = std::max(a, b);
        if (lower < upper) {
            span.from = int((long long)(lower - first_) * bar_width / (last_ - first_));
            span.to = int((long long)(upper - first_) * bar_width / (last_ - first_));
        }
    }
    current_ = current;
    return span;
}

bool ProgressTracker::refresh_time(std::int64_t now_ms)
{
    if (current_ == first_)
        return false;
    const TimeLeft t = progress_time_left(double(now_ms - start_ms_) * 0.001, first_, last_, current_);
    if (t == shown_)
        return false;
    shown_ = t;
    return true;
}

} // namespace mv
