// The batch tool's progress bar and message sink: a bar redrawn on standard error when it is
// a terminal, and messages printed as "morvane-batch: TITLE: TEXT".
#pragma once

#include "core/error.h"
#include "core/progress.h"

#include <string>

namespace mv::batch {

class TerminalProgress final : public ProgressSink {
public:
    TerminalProgress();
    ~TerminalProgress() override;
    void begin(int first, int last, std::string_view title, bool cancellable) override;
    int update(int current) override;
    void end() override;

private:
    void draw(int current);
    bool tty_;
    int first_ = 0, last_ = 0, shown_ = -1;
    std::string title_;
    ProgressSink* previous_;
};

// Detailed messages go to standard error; questions take their first answer.
class BatchMessages final : public MessageSink {
public:
    BatchMessages();
    ~BatchMessages() override;
    int show(std::string_view title, std::string_view text, int buttons) override;

private:
    MessageSink* previous_;
};

} // namespace mv::batch
