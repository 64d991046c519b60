// A progress sink for tests: installs itself for its lifetime, records every call, and can
// play a user who presses Cancel while a chosen update is being shown.
#pragma once

#include "core/progress.h"

#include <string>
#include <vector>

namespace mv::test {

class TestProgressSink final : public ProgressSink {
public:
    struct Begin {
        int first;
        int last;
        std::string title;
        bool cancellable;
    };

    TestProgressSink() : previous_(set_progress_sink(this)) {}
    ~TestProgressSink() override { set_progress_sink(previous_); }
    TestProgressSink(const TestProgressSink&) = delete;
    TestProgressSink& operator=(const TestProgressSink&) = delete;

    // Cancel is pressed while the update with this value is shown (at the `occurrence`-th
    // such update, counting from 1): that update still returns 0, the next one 11. Only a
    // cancellable window has a Cancel button.
    void cancel_during(int current, int occurrence = 1)
    {
        cancel_at_ = current;
        cancel_occurrence_ = occurrence;
    }

    void begin(int first, int last, std::string_view title, bool cancellable) override
    {
        begins.push_back({first, last, std::string(title), cancellable});
        cancellable_ = cancellable;
        cancelled_ = false;
        ++open;
    }

    int update(int current) override
    {
        updates.push_back(current);
        const int result = cancelled_ ? 11 : 0;
        if (current == cancel_at_ && cancellable_ && --cancel_occurrence_ == 0)
            cancelled_ = true;
        return result;
    }

    void end() override
    {
        ++ends;
        --open;
    }

    void wait_cursor(bool on) override { on ? ++wait_on : ++wait_off; }

    std::vector<std::string> titles() const
    {
        std::vector<std::string> t;
        for (const Begin& b : begins)
            t.push_back(b.title);
        return t;
    }

    std::vector<Begin> begins;
    std::vector<int> updates;
    int ends = 0;
    int open = 0; // begins not yet ended
    int wait_on = 0;
    int wait_off = 0;

private:
    ProgressSink* previous_;
    int cancel_at_ = -1;
    int cancel_occurrence_ = 0;
    bool cancellable_ = false;
    bool cancelled_ = false;
};

} // namespace mv::test
