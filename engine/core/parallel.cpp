#include "parallel.h"

#include "error.h"
#include "progress.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace mv {
namespace {

std::atomic<int> g_threads{0};

int machine_threads()
{
    const unsigned n = std::thread::hardware_concurrency();
    return std::clamp(int(n), 1, 8);
}

struct Band {
    int begin = 0, end = 0;
    int result = kOk;
    bool on_thread = false;
    ProgressRelay relay;
};

// Rows of a band done so far, from the last progress its work reported.
int band_done(const Band& b)
{
    if (!b.relay.begun)
        return 0;
    const long long first = b.relay.first, last = b.relay.last, current = b.relay.current;
    if (last <= first)
        return 0;
    const long long rows = b.end - b.begin;
    return int(std::clamp((current - first) * rows / (last - first), 0LL, rows));
}

} // namespace

int parallel_threads()
{
    const int n = g_threads.load();
    return n > 0 ? n : machine_threads();
}

int set_parallel_threads(int threads)
{
    return g_threads.exchange(std::max(threads, 0));
}

int parallel_bands(int count, BandFunction fn, void* context, long long pixels,
                   std::string_view title)
{
    const int n = std::min(parallel_threads(), count / 2);
    if (n <= 1)
        return fn(0, count, context);

    std::unique_ptr<Band[]> bands;
    std::vector<std::thread> workers;
    try {
        bands.reset(new Band[size_t(n)]);
        workers.reserve(size_t(n));
    } catch (const std::bad_alloc&) {
        return fn(0, count, context);
    }
    std::atomic<bool> stop{false}; // set on Cancel or when a band fails
    bool cancelled = false;
    std::mutex mutex;
    std::condition_variable finished_cv;
    int finished = 0, started = 0;
    for (int i = 0; i < n; ++i) {
        Band& b = bands[size_t(i)];
        b.begin = int((long long)count * i / n);
        b.end = int((long long)count * (i + 1) / n);
        b.relay.cancel = &stop;
        try {
            workers.emplace_back([&b, fn, context, &stop, &mutex, &finished, &finished_cv] {
                progress_relay_install(&b.relay);
                b.result = fn(b.begin, b.end, context);
                progress_relay_install(nullptr);
                if (b.result != kOk)
                    stop = true;
                std::lock_guard<std::mutex> lock(mutex);
                ++finished;
                finished_cv.notify_one();
            });
            b.on_thread = true;
            ++started;
        } catch (const std::system_error&) {
            // No thread to spare: this band runs on the calling thread afterwards.
        }
    }

    {
        ProgressScope progress(pixels, 0, count - 1, title, true);
        int shown = 0;
        std::unique_lock<std::mutex> lock(mutex);
        while (finished < started) {
            finished_cv.wait_for(lock, std::chrono::milliseconds(40));
            lock.unlock();
            int done = 0;
            for (int i = 0; i < n; ++i)
                done += band_done(bands[size_t(i)]);
            if (done > shown && !cancelled) {
                shown = done;
                if (progress.update(std::min(done, count - 1)) != kOk)
                    cancelled = stop = true;
            }
            lock.lock();
        }
    }
    for (std::thread& w : workers)
        w.join();
    for (int i = 0; i < n; ++i) {
        Band& b = bands[size_t(i)];
        if (!b.on_thread && !stop)
            b.result = fn(b.begin, b.end, context);
    }
    if (cancelled)
        return kAborted;
    // A failing band stops the others, which then report 11: its own error counts.
    int result = kOk;
    for (int i = 0; i < n; ++i) {
        const int e = bands[size_t(i)].result;
        if (e != kOk && e != kAborted)
            return e;
        if (e != kOk)
            result = e;
    }
    return result;
}

} // namespace mv
