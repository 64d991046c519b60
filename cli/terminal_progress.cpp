#include "terminal_progress.h"

#include <cstdio>
#include <unistd.h>

namespace mv::batch {

TerminalProgress::TerminalProgress() : tty_(isatty(STDERR_FILENO)), previous_(set_progress_sink(this)) {}

TerminalProgress::~TerminalProgress()
{
    set_progress_sink(previous_);
}

void TerminalProgress::begin(int first, int last, std::string_view title, bool)
{
    first_ = first;
    last_ = last;
    shown_ = -1;
    title_ = title;
    draw(first);
}

int TerminalProgress::update(int current)
{
    draw(current);
    return 0;
}

void TerminalProgress::end()
{
    if (tty_)
        std::fprintf(stderr, "\r\033[K");
}

void TerminalProgress::draw(int current)
{
    if (!tty_)
        return;
    constexpr int kWidth = 40;
    const int span = last_ - first_;
    const int filled = span > 0 ? int((long long)(current - first_) * kWidth / span) : kWidth;
    if (filled == shown_)
        return;
    shown_ = filled;
    std::fprintf(stderr, "\r%-24.24s [%.*s%*s]", title_.c_str(), filled,
                 "########################################", kWidth - filled, "");
    std::fflush(stderr);
}

BatchMessages::BatchMessages() : previous_(set_message_sink(this)) {}

BatchMessages::~BatchMessages()
{
    set_message_sink(previous_);
}

int BatchMessages::show(std::string_view title, std::string_view text, int buttons)
{
    std::fprintf(stderr, "morvane-batch: %.*s: %.*s\n", int(title.size()), title.data(),
                 int(text.size()), text.data());
    return buttons == kButtonsOk || buttons == kButtonsOkCancel ? kResultOk : kResultYes;
}

} // namespace mv::batch
