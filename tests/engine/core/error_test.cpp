#include "core/error.h"

#include "test_messages.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(ErrorText, FixedMessagesAndUnrecognizedCodes)
{
    EXPECT_STREQ(error_text(0), "OK");
    EXPECT_STREQ(error_text(1), "Out of memory");
    EXPECT_STREQ(error_text(11), "Operation Aborted");
    EXPECT_STREQ(error_text(13), "Too many images");
    EXPECT_STREQ(error_text(14), "Illegal input image type");
    EXPECT_STREQ(error_text(36), "Window in use - cannot close");
    EXPECT_STREQ(error_text(71), "Unknown file type");
    EXPECT_STREQ(error_text(101), "Image too big for clipboard");
    EXPECT_STREQ(error_text(102), "Unrecognized Error");
    EXPECT_STREQ(error_text(-1), "Unrecognized Error");
}

TEST(ErrorBox, AbortIsAnAttentionOtherCodesAreErrorsAndZeroShowsNothing)
{
    test::RecordingMessageSink sink;
    error_box(0);
    EXPECT_TRUE(sink.messages.empty());
    error_box(11);
    error_box(14);
    error_box(500);
    ASSERT_EQ(sink.messages.size(), 3u);
    EXPECT_EQ(sink.messages[0].title, "Attention");
    EXPECT_EQ(sink.messages[0].text, "Operation Aborted");
    EXPECT_EQ(sink.messages[0].buttons, kButtonsOk);
    EXPECT_EQ(sink.messages[1].title, "Error");
    EXPECT_EQ(sink.messages[1].text, "Illegal input image type");
    EXPECT_EQ(sink.messages[2].text, "Unrecognized Error");
}

TEST(MessageDialog, FormatsTruncatesAndReturnsTheChosenButton)
{
    test::RecordingMessageSink sink(kResultNo);
    EXPECT_EQ(message_dialog("Question", "Save?", kButtonsYesNoCancel), kResultNo);
    error_message("Bad header in %s at %,", "a.tif", 12345);
    message_dialog(std::string(100, 't'), std::string(400, 'x'), kButtonsOk);
    ASSERT_EQ(sink.messages.size(), 3u);
    EXPECT_EQ(sink.messages[0].buttons, kButtonsYesNoCancel);
    EXPECT_EQ(sink.messages[1].title, "Error");
    EXPECT_EQ(sink.messages[1].text, "Bad header in a.tif at 12,345");
    EXPECT_EQ(sink.messages[2].title.size(), 80u);
    EXPECT_EQ(sink.messages[2].text.size(), 340u);
}
