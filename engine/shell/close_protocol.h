// The questions asked before windows close: the save-modified prompt of one image window,
// closing one image window, and the protocol run when the frame closes or on Close All.
// The windows are seen through two small interfaces so the decisions run without a
// window system; every question goes through message_dialog.
#pragma once

#include <string>
#include <vector>

namespace mv {

// One child window of the workspace as the close protocol sees it.
class CloseChild {
public:
    virtual ~CloseChild() = default;
    // Image windows are asked about their picture; every other kind agrees to close.
    virtual bool is_image_window() const = 0;
    // The name of a transformation reading this window; empty when none does.
    virtual std::string used_by() const = 0;
    virtual bool modified() const = 0;
    virtual std::string title() const = 0;
    virtual bool minimised() const = 0;
    virtual void restore() = 0;
    // Saves as the Save command does (Save As when there is no file yet); 0 on success.
    // The save shows its own messages.
    virtual int save() = 0;
};

// The frame around the children.
class CloseHost {
public:
    virtual ~CloseHost() = default;
    virtual bool transformation_open() const = 0;
    virtual void close_transformation() = 0;
    virtual bool mask_tool_open() const = 0;
    virtual void close_mask_tool() = 0;
    virtual bool clipboard_owned() const = 0;
    virtual void empty_clipboard() = 0;
    // The children, in window order (asked after the transformation and mask windows closed).
    virtual std::vector<CloseChild*> children() = 0;
};

// True when the window may close. With `confirm` on and the window modified, restores it
// when minimised and asks "Save Modified Image: %s?" (title "Warning", Yes/No/Cancel):
// Cancel refuses, Yes saves and refuses when the save fails, No allows.
bool save_modified_prompt(CloseChild& w, bool confirm);

// Closing one image window: while a transformation uses it, "Window in use by %s - Cannot
// close" (title "Error") and refusal; otherwise the save-modified prompt decides.
bool image_window_may_close(CloseChild& w, bool confirm);

enum class CloseScope { kFrame, kAll };

// Steps 1 to 4 of closing the frame or Close All: the transformation and mask questions
// ("Abort transformation in progress?", "Abort mask operation in progress?", Yes/No: Yes
// closes that window, No stops), every child in order (an image window in use refuses,
// else its save-modified prompt; the first refusal stops), and for the frame only "Retain
// image on clipboard?" when the clipboard holds our picture (No empties it). True when the
// caller may destroy every child.
bool close_protocol(CloseHost& host, CloseScope scope, bool confirm);

} // namespace mv
