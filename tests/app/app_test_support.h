// Shared helpers for the editor's tests: a message sink that records instead of showing, and
// saving a widget's picture for inspection when MORVANE_SCREENSHOT_DIR is set.
#pragma once

#include "core/error.h"

#include <QDir>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

struct RecordedMessage {
    std::string title, text;
    int buttons;
};

class RecordingSink final : public mv::MessageSink {
public:
    RecordingSink() : previous_(mv::set_message_sink(this)) {}
    ~RecordingSink() override { mv::set_message_sink(previous_); }
    int show(std::string_view title, std::string_view text, int buttons) override
    {
        messages.push_back({std::string(title), std::string(text), buttons});
        return answer;
    }
    std::vector<RecordedMessage> messages;
    int answer = mv::kResultOk;

private:
    mv::MessageSink* previous_;
};

inline void save_screenshot(QWidget* w, const QString& name)
{
    const QByteArray dir = qgetenv("MORVANE_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name + ".png"));
}
