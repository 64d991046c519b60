#include "core/error.h"
#include "shell/close_protocol.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace mv {
namespace {

// Answers the questions in turn from a script and records them.
class ScriptedSink final : public MessageSink {
public:
    explicit ScriptedSink(std::deque<int> answers) : answers_(std::move(answers)), previous_(set_message_sink(this)) {}
    ~ScriptedSink() override { set_message_sink(previous_); }
    int show(std::string_view title, std::string_view text, int buttons) override
    {
        asked.push_back({std::string(title), std::string(text), buttons});
        if (answers_.empty())
            return kResultOk;
        const int a = answers_.front();
        answers_.pop_front();
        return a;
    }
    struct Question {
        std::string title, text;
        int buttons;
    };
    std::vector<Question> asked;

private:
    std::deque<int> answers_;
    MessageSink* previous_;
};

struct FakeChild final : CloseChild {
    bool image = true, is_modified = false, is_minimised = false;
    std::string user, name = "a.tif (1:1)";
    int save_result = 0, saves = 0, restores = 0;
    bool is_image_window() const override { return image; }
    std::string used_by() const override { return user; }
    bool modified() const override { return is_modified; }
    std::string title() const override { return name; }
    bool minimised() const override { return is_minimised; }
    void restore() override { ++restores; is_minimised = false; }
    int save() override { ++saves; return save_result; }
};

struct FakeHost final : CloseHost {
    bool transformation = false, mask = false, clipboard = false;
    int closed_transformation = 0, closed_mask = 0, emptied = 0;
    std::vector<CloseChild*> list;
    bool transformation_open() const override { return transformation; }
    void close_transformation() override { ++closed_transformation; transformation = false; }
    bool mask_tool_open() const override { return mask; }
    void close_mask_tool() override { ++closed_mask; mask = false; }
    bool clipboard_owned() const override { return clipboard; }
    void empty_clipboard() override { ++emptied; clipboard = false; }
    std::vector<CloseChild*> children() override { return list; }
};

TEST(SaveModifiedPrompt, AsksOnlyForModifiedWindowsWithConfirmOn)
{
    FakeChild w;
    {
        ScriptedSink sink({kResultCancel});
        EXPECT_TRUE(save_modified_prompt(w, true)); // not modified
        w.is_modified = true;
        EXPECT_TRUE(save_modified_prompt(w, false)); // confirm off
        EXPECT_TRUE(sink.asked.empty());
    }
    {
        ScriptedSink sink({kResultCancel, kResultNo, kResultYes, kResultYes});
        w.is_minimised = true;
        EXPECT_FALSE(save_modified_prompt(w, true));
        ASSERT_EQ(sink.asked.size(), 1u);
        EXPECT_EQ(sink.asked[0].title, "Warning");
        EXPECT_EQ(sink.asked[0].text, "Save Modified Image: a.tif (1:1)?");
        EXPECT_EQ(sink.asked[0].buttons, kButtonsYesNoCancel);
        EXPECT_EQ(w.restores, 1);
        EXPECT_EQ(w.saves, 0);

        EXPECT_TRUE(save_modified_prompt(w, true)); // No: closes without saving
        EXPECT_EQ(w.saves, 0);
        EXPECT_TRUE(save_modified_prompt(w, true)); // Yes and the save works
        w.save_result = 11;
        EXPECT_FALSE(save_modified_prompt(w, true)); // Yes but the save was cancelled
        EXPECT_EQ(w.saves, 2);
        EXPECT_EQ(w.restores, 1);
    }
    {
        // The title in the question is cut at 260 characters.
        ScriptedSink sink({kResultNo});
        w.name = std::string(300, 'x');
        EXPECT_TRUE(save_modified_prompt(w, true));
        EXPECT_EQ(sink.asked[0].text, "Save Modified Image: " + std::string(260, 'x') + "?");
    }
}

TEST(SaveModifiedPrompt, WindowInUseCannotClose)
{
    ScriptedSink sink({});
    FakeChild w;
    w.is_modified = true;
    w.user = "Blur";
    EXPECT_FALSE(image_window_may_close(w, true));
    ASSERT_EQ(sink.asked.size(), 1u);
    EXPECT_EQ(sink.asked[0].title, "Error");
    EXPECT_EQ(sink.asked[0].text, "Window in use by Blur - Cannot close");
    EXPECT_EQ(w.saves, 0);
    w.user.clear();
    w.is_modified = false;
    EXPECT_TRUE(image_window_may_close(w, true));
}

TEST(CloseProtocol, QuestionsInOrderAndTheFirstRefusalStops)
{
    FakeChild a, b, tool, c;
    tool.image = false;
    tool.is_modified = true;
    a.is_modified = b.is_modified = c.is_modified = true;
    a.name = "a";
    b.name = "b";
    c.name = "c";
    FakeHost host;
    host.list = {&a, &tool, &b, &c};
    host.transformation = host.mask = host.clipboard = true;
    {
        // No to the transformation question stops at once.
        ScriptedSink sink({kResultNo});
        EXPECT_FALSE(close_protocol(host, CloseScope::kFrame, true));
        ASSERT_EQ(sink.asked.size(), 1u);
        EXPECT_EQ(sink.asked[0].text, "Abort transformation in progress?");
        EXPECT_EQ(sink.asked[0].title, "");
        EXPECT_EQ(sink.asked[0].buttons, kButtonsYesNo);
        EXPECT_EQ(host.closed_transformation, 0);
    }
    {
        // Yes closes it; No to the mask question stops.
        ScriptedSink sink({kResultYes, kResultNo});
        EXPECT_FALSE(close_protocol(host, CloseScope::kFrame, true));
        ASSERT_EQ(sink.asked.size(), 2u);
        EXPECT_EQ(sink.asked[1].text, "Abort mask operation in progress?");
        EXPECT_EQ(host.closed_transformation, 1);
        EXPECT_EQ(host.closed_mask, 0);
    }
    {
        // a: No; the tool window is not asked; b: Cancel stops before c.
        ScriptedSink sink({kResultYes, kResultNo, kResultCancel});
        EXPECT_FALSE(close_protocol(host, CloseScope::kFrame, true));
        ASSERT_EQ(sink.asked.size(), 3u);
        EXPECT_EQ(sink.asked[1].text, "Save Modified Image: a?");
        EXPECT_EQ(sink.asked[2].text, "Save Modified Image: b?");
        EXPECT_EQ(host.closed_mask, 1);
        EXPECT_EQ(host.emptied, 0);
    }
    {
        // An image window in use refuses without a question.
        ScriptedSink sink({kResultNo});
        b.user = "Curves";
        EXPECT_FALSE(close_protocol(host, CloseScope::kAll, true));
        ASSERT_EQ(sink.asked.size(), 1u);
        b.user.clear();
    }
    {
        // Close All never asks about the clipboard.
        ScriptedSink sink({kResultNo, kResultNo, kResultNo});
        EXPECT_TRUE(close_protocol(host, CloseScope::kAll, true));
        EXPECT_EQ(sink.asked.size(), 3u);
        EXPECT_TRUE(host.clipboard);
    }
    {
        // Frame close with confirm off: only the clipboard question; Yes keeps it, No empties.
        ScriptedSink sink({kResultYes, kResultNo});
        EXPECT_TRUE(close_protocol(host, CloseScope::kFrame, false));
        EXPECT_EQ(host.emptied, 0);
        EXPECT_TRUE(close_protocol(host, CloseScope::kFrame, false));
        ASSERT_EQ(sink.asked.size(), 2u);
        EXPECT_EQ(sink.asked[1].text, "Retain image on clipboard?");
        EXPECT_EQ(sink.asked[1].buttons, kButtonsYesNo);
        EXPECT_EQ(host.emptied, 1);
    }
}

} // namespace
} // namespace mv
