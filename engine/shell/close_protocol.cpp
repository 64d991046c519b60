#include "close_protocol.h"

#include "core/error.h"
#include "core/format.h"

namespace mv {
namespace {
constexpr size_t kTitleMax = 260;
} // namespace

bool save_modified_prompt(CloseChild& w, bool confirm)
{
    if (!confirm || !w.modified())
        return true;
    if (w.minimised())
        w.restore();
    std::string title = w.title();
    if (title.size() > kTitleMax)
        title.resize(kTitleMax);
    switch (message_dialog("Warning", format_text("Save Modified Image: %s?", title), kButtonsYesNoCancel)) {
    case kResultYes: return w.save() == 0;
    case kResultNo: return true;
    default: return false;
    }
}

bool image_window_may_close(CloseChild& w, bool confirm)
{
    const std::string user = w.used_by();
    if (!user.empty()) {
        message_dialog("Error", format_text("Window in use by %s - Cannot close", user), kButtonsOk);
        return false;
    }
    return save_modified_prompt(w, confirm);
}

bool close_protocol(CloseHost& host, CloseScope scope, bool confirm)
{
    if (host.transformation_open()) {
        if (message_dialog("", "Abort transformation in progress?", kButtonsYesNo) != kResultYes)
            return false;
        host.close_transformation();
    }
    if (host.mask_tool_open()) {
        if (message_dialog("", "Abort mask operation in progress?", kButtonsYesNo) != kResultYes)
            return false;
        host.close_mask_tool();
    }
    for (CloseChild* child : host.children()) {
        if (!child->is_image_window())
            continue;
        if (!child->used_by().empty() || !save_modified_prompt(*child, confirm))
            return false;
    }
    if (scope == CloseScope::kFrame && host.clipboard_owned() &&
        message_dialog("", "Retain image on clipboard?", kButtonsYesNo) == kResultNo)
        host.empty_clipboard();
    return true;
}

} // namespace mv
