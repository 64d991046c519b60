// Progress reporting for long loops: one current progress sink (the editor's progress
// window, the batch tool's terminal bar, a test sink) and the arithmetic the progress
// window shows: the bar's filled span and the time-left estimate.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

// Loops over fewer pixels than this show the wait cursor instead of a progress window.
inline constexpr long long kProgressPixelThreshold = 10000;

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void begin(int first, int last, std::string_view title, bool cancellable) = 0;
    // Returns 11 once the user has cancelled, else 0.
    virtual int update(int current) = 0;
    virtual void end() = 0;
    // The wait cursor for work too small for a progress window.
    virtual void wait_cursor(bool on) {}
    // Processes the application's pending events while no progress window is shown, so
    // long work without one keeps the program responsive.
    virtual void pump() {}
};

// Installs the sink (nullptr: progress is silently ignored). Returns the previous one.
ProgressSink* set_progress_sink(ProgressSink* sink);

void progress_begin(int first, int last, std::string_view title, bool cancellable);
int progress_update(int current);
void progress_end();
// Lets the sink process pending events (nothing without a sink).
void progress_pump();

// Where the progress calls of band work running on another thread go: while a relay is
// installed on a thread, that thread's progress calls reach no sink; they record the range
// and the current value here, and progress_update returns 11 once `cancel` is set.
struct ProgressRelay {
    std::atomic<int> first{0}, last{0}, current{0};
    std::atomic<bool> begun{false};
    const std::atomic<bool>* cancel = nullptr;
};

// Installs `relay` for the calling thread (nullptr removes it); returns the previous one.
ProgressRelay* progress_relay_install(ProgressRelay* relay);

// Shows a progress window for pictures of at least 10000 pixels and the wait cursor for
// smaller ones (which then cannot be cancelled). Ends whatever it began when destroyed.
class ProgressScope {
public:
    ProgressScope(long long pixels, int first, int last, std::string_view title, bool cancellable);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    int update(int current) { return shown_ ? progress_update(current) : 0; }

private:
    bool shown_;
};

struct TimeLeft {
    int hours = -1;
    int minutes = -1;
    int seconds = -1;
    bool operator==(const TimeLeft&) const = default;
};

// Estimated time left after `elapsed` seconds at `current` of first..last. The seconds
// field is the remainder plus one, so an estimate of 0 reads 00:00:01.
TimeLeft progress_time_left(double elapsed, int first, int last, int current);

// "Time left: hh:mm:ss"; hours of 100 or more show "**".
std::string progress_time_text(const TimeLeft& t);

// The state a progress window keeps: range, current value, the last time shown and the
// cancelled flag. Time comes from an injected millisecond clock so it can be tested.
class ProgressTracker {
public:
    ProgressTracker(int first, int last, std::int64_t start_ms);

    struct Span {
        int from = 0; // pixel columns within a bar of the given width, from <= to
        int to = 0;
    };
    // Moves to `current`; returns the bar columns newly filled in a bar `bar_width` wide.
    Span advance(int current, int bar_width);
    // Recomputes the estimate at `now_ms`; true when the text changed and must be redrawn.
    bool refresh_time(std::int64_t now_ms);

    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }
    int first() const { return first_; }
    int last() const { return last_; }
    int current() const { return current_; }
    const TimeLeft& shown() const { return shown_; }
    // Bar columns filled from first to current.
    int filled_width(int bar_width) const;

private:
    int first_, last_, current_;
    std::int64_t start_ms_;
    TimeLeft shown_;
    bool cancelled_ = false;
};

} // namespace mv
