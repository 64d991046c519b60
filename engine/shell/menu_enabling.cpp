#include "menu_enabling.h"

#include "shell/command_table.h"

namespace mv {
namespace {

bool type_in(int type, std::initializer_list<int> types)
{
    for (int t : types)
        if (t == type)
            return true;
    return false;
}

constexpr int kMaskTitleLength = 80;
constexpr int kMaskItemCount = kCmdMaskLast - kCmdMaskFirst + 1;

} // namespace

bool condition_met(int condition, const ActiveChild& child)
{
    const bool image = child.kind == 0;
    const int t = child.type;
    switch (condition) {
    case kCondAlways: return true;
    case kCondAnyChild: return child.kind >= 0;
    case kCondImageNot16: return image && t != 6 && t != 7;
    case kCondColor: return image && t == 3;
    case kCondGrayOrColor: return image && type_in(t, {2, 3});
    case kCondBinaryOrGray: return image && type_in(t, {1, 2});
    case kCondImageOrPreview: return child.kind == 0 || child.kind == 1;
    case kCondGray: return image && t == 2;
    case kCondAnyImage: return image;
    case kCondAnyColor: return image && type_in(t, {3, 7});
    case kCondNotBinary: return image && type_in(t, {2, 3, 6, 7});
    case kCondAnyGray: return image && type_in(t, {2, 6});
    default: return false;
    }
}

bool revert_enabled(const MenuState& s)
{
    return s.transformation == 0 && s.child.kind == 0 && s.child.modified && s.child.has_path;
}

bool mask_new_offered(const MenuState& s)
{
    return !s.mask_running && s.child.kind == 0 && type_in(s.child.type, {2, 3, 6, 7});
}

bool command_enabled(int id, const MenuState& s)
{
    const CommandInfo* c = command_find(id);
    if (!c)
        return true;
    if (c->busy && s.transformation != 0)
        return false;
    switch (c->condition) {
    case kNotListed: return true;
    case kCondRevert: return revert_enabled(s);
    case kCondUndo: return s.undo_available;
    case kCondPaste: return s.clipboard_has_bitmap;
    case kCondMaskNew: return mask_new_offered(s);
    case kCondMaskItem: return true;   // present only while listed
    case kCondRecentFile: return true; // an empty slot's item is disabled when it is built
    default: return condition_met(c->condition, s.child);
    }
}

bool transformation_submenu_enabled(int position, const MenuState& s)
{
    for (const SubmenuRule& r : transformation_submenu_rules())
        if (r.position == position)
            return !(r.busy && s.transformation != 0) && condition_met(r.condition, s.child);
    return true;
}

bool command_checked(int id, const MenuState& s)
{
    const int position = s.toolbar_visible ? s.toolbar_position : -1;
    switch (id) {
    case kCmdNoToolBar: return position == -1;
    case kCmdToolBarTop: return position == 0;
    case kCmdToolBarLeft: return position == 1;
    case kCmdZoomTool: return s.current_tool == 2;
    case kCmdReadout: return s.readout_open;
    case kCmdPaint: return s.paint_open;
    case kCmdLineArrow: return s.line_arrow_open;
    case kCmdClone: return s.clone_open;
    case kCmdMiscellaneous: return s.miscellaneous_open;
    default: return false;
    }
}

std::vector<MaskMenuItem> mask_menu_build(const MenuState& s, const std::vector<MaskCandidate>& windows,
                                          int active)
{
    std::vector<MaskMenuItem> items;
    if (!mask_new_offered(s))
        return items;
    items.push_back({kCmdMaskNew, 0, "&New"});
    if (active < 0 || active >= int(windows.size()))
        return items;
    const MaskCandidate& picture = windows[size_t(active)];
    int listed = 0;
    for (size_t i = 0; i < windows.size() && listed < kMaskItemCount; ++i) {
        const MaskCandidate& w = windows[i];
        if (int(i) == active || w.type != 2 || w.width != picture.width || w.height != picture.height)
            continue;
        if (listed == 0)
            items.push_back({0, 0, {}});
        items.push_back({kCmdMaskFirst + listed, w.window, w.title.substr(0, kMaskTitleLength)});
        ++listed;
    }
    return items;
}

} // namespace mv
