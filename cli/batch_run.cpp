#include "batch_run.h"

#include "batch_memory.h"
#include "batch_report.h"

#include "core/error.h"
#include "core/parallel.h"
#include "core/progress.h"
#include "formats/file_io.h"
#include "formats/file_open.h"
#include "formats/file_save.h"
#include "formats/format_entry.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace mv::batch {
namespace {

// Set from the signal handler: the first signal stops new files, a second cancels work.
std::atomic<int> g_signal{0};
std::atomic<bool> g_cancel{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

extern "C" void on_stop_signal(int sig)
{
    int none = 0;
    if (!g_signal.compare_exchange_strong(none, sig))
        g_cancel = true;
}

// Installs the stop handlers for the run and puts the previous ones back after it.
class StopSignals {
public:
    StopSignals()
    {
        g_signal = 0;
        g_cancel = false;
        struct sigaction sa{};
        sa.sa_handler = on_stop_signal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGINT, &sa, &old_int_);
        ::sigaction(SIGTERM, &sa, &old_term_);
    }
    ~StopSignals()
    {
        ::sigaction(SIGINT, &old_int_, nullptr);
        ::sigaction(SIGTERM, &old_term_, nullptr);
    }
    static bool stopping() { return g_signal.load() != 0; }

private:
    struct sigaction old_int_{}, old_term_{};
};

// The detailed message the engine shows for the file worked on by this thread, in place of
// printing it; messages from other threads go to the sink that was there before.
thread_local std::string* t_captured = nullptr;

class CapturedMessages final : public MessageSink {
public:
    CapturedMessages() : previous_(set_message_sink(this)) {}
    ~CapturedMessages() override { set_message_sink(previous_); }
    int show(std::string_view title, std::string_view text, int buttons) override
    {
        if (!t_captured && previous_)
            return previous_->show(title, text, buttons);
        if (!t_captured) {
            std::fprintf(stderr, "morvane-batch: %.*s: %.*s\n", int(title.size()), title.data(),
                         int(text.size()), text.data());
            return kResultOk;
        }
        t_captured->assign(text);
        return buttons == kButtonsOk || buttons == kButtonsOkCancel ? kResultOk : kResultYes;
    }

private:
    MessageSink* previous_;
};

struct Shared {
    const std::vector<PlannedFile>& files;
    const BatchSettings& settings;
    MemoryBudget budget;
    BatchReport report;
    std::atomic<size_t> next{0};
    std::atomic<int> finished{0};
    const int cores;
};

// Opens, transforms and saves one file; 0 or an error code, the detail in `message`.
int work_file(const PlannedFile& f, const BatchSettings& settings, std::string& message)
{
    if (!file_exists(f.input)) {
        message = "File does not exist: " + f.input;
        return kCannotOpenFile;
    }
    Image picture;
    if (const int err = format_open(file_open_type(f.input, -1), f.input, picture, false))
        return err;
    if (const int err = chain_run(settings.steps, picture))
        return err;
    std::error_code ec;
    const fs::path folder = fs::path(f.output).parent_path();
    if (!folder.empty())
        fs::create_directories(folder, ec);
    return file_save_path(f.output, f.filter, picture, settings.save);
}

FileResult run_file(const PlannedFile& f, Shared& s)
{
    const auto start = std::chrono::steady_clock::now();
    FileResult r;
    r.input = f.input;
    r.output = f.output;
    if (s.settings.skip_existing && output_is_current(f.input, f.output)) {
        r.status = FileResult::kSkipped;
        return r;
    }
    const std::uint64_t need = estimate_file_memory(f.input);
    switch (s.budget.acquire(need, &StopSignals::stopping)) {
    case MemoryBudget::kTooLarge:
        r.error = kOutOfMemory;
        break;
    case MemoryBudget::kStopped:
        r.error = kAborted;
        break;
    case MemoryBudget::kTaken: {
        const int unfinished = int(s.files.size()) - s.finished.load();
        set_parallel_threads(band_threads(s.cores, std::min(s.settings.jobs, unfinished)));
        ProgressRelay relay;
        relay.cancel = &g_cancel;
        progress_relay_install(&relay);
        t_captured = &r.message;
        r.error = work_file(f, s.settings, r.message);
        t_captured = nullptr;
        progress_relay_install(nullptr);
        s.budget.release(need);
        break;
    }
    }
    if (r.error != 0) {
        r.status = r.error == kAborted ? FileResult::kInterrupted : FileResult::kFailed;
        if (r.message.empty())
            r.message = error_text(r.error);
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r;
}

void worker(Shared& s)
{
    while (!StopSignals::stopping()) {
        const size_t i = s.next++;
        if (i >= s.files.size())
            return;
        s.report.finished(run_file(s.files[i], s));
        ++s.finished;
    }
}

} // namespace

int band_threads(int cores, int files_running)
{
    return std::max(1, cores / std::max(1, files_running));
}

bool output_is_current(const std::string& input, const std::string& output)
{
    std::error_code ein, eout;
    const auto in_time = fs::last_write_time(input, ein);
    const auto out_time = fs::last_write_time(output, eout);
    return !ein && !eout && out_time >= in_time;
}

int batch_execute(const std::vector<PlannedFile>& files, const BatchSettings& settings)
{
    StopSignals signals;
    CapturedMessages messages;
    const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    Shared s{files, settings, MemoryBudget(settings.memory_limit),
             BatchReport(int(files.size()), settings.quiet, settings.log), {}, {}, cores};
    const int previous_threads = set_parallel_threads(0);

    std::vector<std::thread> workers;
    const int jobs = std::clamp(settings.jobs, 1, std::max(1, int(files.size())));
    for (int j = 1; j < jobs; ++j) {
        try {
            workers.emplace_back(worker, std::ref(s));
        } catch (const std::system_error&) {
            break; // fewer threads than asked: the others share the files
        }
    }
    // The calling thread works too; while workers run it also keeps the bar moving.
    std::thread ticker;
    std::atomic<bool> all_done{false};
    try {
        ticker = std::thread([&] {
            while (!all_done) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                s.report.tick();
            }
        });
    } catch (const std::system_error&) {
    }
    worker(s);
    for (std::thread& w : workers)
        w.join();
    all_done = true;
    if (ticker.joinable())
        ticker.join();
    set_parallel_threads(previous_threads);

    const int not_started = int(files.size()) - s.finished.load();
    s.report.summary(not_started);
    if (const int sig = g_signal.load())
        return 128 + sig;
    return s.report.failed() > 0 ? 1 : 0;
}

} // namespace mv::batch
