// Error codes, their fixed messages, and the pluggable message sink through which the
// engine shows errors and asks questions (the editor shows a dialog, the batch tool prints,
// tests record).
#pragma once

#include "format.h"

#include <string>
#include <string_view>

namespace mv {

// The error codes the engine returns. Every operation that can fail returns one of these
// (0 on success); the full list of messages lives in error.cpp.
enum ErrorCode : int {
    kOk = 0,
    kOutOfMemory = 1,
    kUnexpectedEof = 2,
    kCannotCreateFile = 3,
    kCannotOpenFile = 4,
    kErrorReadingFile = 5,
    kErrorWritingFile = 6,
    kAborted = 11,
    kErrorReadingHeader = 12,
    kTooManyImages = 13,
    kIllegalImageType = 14,
    kIllegalCurveFile = 16,
    kIllegalColorBalanceFile = 31,
    kWindowInUse = 36,
    kIllegalColorCurveFile = 42,
    kUnknownFileType = 71,
    kImageTooBigForClipboard = 101,
};

inline constexpr int kLastErrorCode = 101;

// The message of a code; "Unrecognized Error" for any code outside 0..101.
const char* error_text(int code);

// Button sets of the message dialog and the results it returns.
enum MessageButtons : int {
    kButtonsOk = 0,
    kButtonsOkCancel = 1,
    kButtonsYesNoCancel = 3,
    kButtonsYesNo = 4,
};
enum MessageResult : int { kResultOk = 1, kResultCancel = 2, kResultYes = 6, kResultNo = 7 };

// Where messages go. The sink returns the button the user chose.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual int show(std::string_view title, std::string_view text, int buttons) = 0;
};

// Installs the sink (nullptr restores the default, which prints to standard error and
// answers OK/Yes). Returns the previous sink.
MessageSink* set_message_sink(MessageSink* sink);

// Shows a message with the given buttons through the current sink; at most 340 characters
// of text and 80 of title are kept.
int message_dialog(std::string_view title, std::string_view text, int buttons);

// Shows nothing for 0; code 11 under the title "Attention"; any other code under "Error".
void error_box(int code);

// Formats and shows a message with an OK button.
template <class... Args>
void message_box(std::string_view title, std::string_view format, const Args&... args)
{
    message_dialog(title, format_text(format, args...), kButtonsOk);
}

// The same under the title "Error"; file readers use it for detailed messages.
template <class... Args>
void error_message(std::string_view format, const Args&... args)
{
    message_dialog("Error", format_text(format, args...), kButtonsOk);
}

} // namespace mv
