// A message sink for tests: installs itself for its lifetime, records every message shown
// and answers with a chosen button.
#pragma once

#include "core/error.h"

#include <string>
#include <vector>

namespace mv::test {

class RecordingMessageSink final : public MessageSink {
public:
    struct Message {
        std::string title;
        std::string text;
        int buttons;
    };

    explicit RecordingMessageSink(int answer = kResultOk)
        : answer_(answer), previous_(set_message_sink(this))
    {
    }
    ~RecordingMessageSink() override { set_message_sink(previous_); }
    RecordingMessageSink(const RecordingMessageSink&) = delete;
    RecordingMessageSink& operator=(const RecordingMessageSink&) = delete;

    int show(std::string_view title, std::string_view text, int buttons) override
    {
        messages.push_back({std::string(title), std::string(text), buttons});
        return answer_;
    }

    std::vector<Message> messages;

private:
    int answer_;
    MessageSink* previous_;
};

} // namespace mv::test
