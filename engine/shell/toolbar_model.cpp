#include "toolbar_model.h"

#include "shell/command_table.h"

namespace mv {
namespace {

constexpr ToolButton kCommandButtons[] = {
    {"IDOPENPCD", "Open PhotoCD", kCmdOpenPhotoCd, 0},
    {"IDOPEN", "Open", kCmdOpen, 0},
    {"IDBROWSE", "Browse", kCmdBrowse, 0},
    {"IDSAVE", "Save", kCmdSaveAs, 0}, // the Save button saves under a new name
    {"IDACQUIRE", "Acquire image via TWAIN driver", kCmdAcquire, 0},
    {"IDZOOMIN", "Zoom In", kCmdZoomIn, 0},
    {"IDZOOMINRESIZE", "Zoom In and Expand Window", kCmdZoomInResize, 0},
    {"IDZOOM11", "Zoom to 1:1", kCmdZoom11, 0},
    {"IDZOOMOUT", "Zoom Out", kCmdZoomOut, 0},
    {"IDFIT", "Zoom Out to Fit Screen", kCmdFit, 0},
    {"IDNEXTWINDOW", "Cycle Through Windows", kCmdNext, 0},
};

constexpr ToolButton kToolButtons[] = {
    {"IDMASK", "Mask Tool", 0, kToolMask},
    {"IDZOOM", "Zoom Tool", kCmdZoomTool, kToolZoom},
    {"IDMAGNIFY", "Magnifier Tool", kCmdMagnifier, kToolMagnifier},
    {"IDREADOUT", "Readout Tool", kCmdReadout, kToolReadout},
    {"IDCLONE", "Clone Tool", kCmdClone, kToolClone},
    {"IDBRUSH", "Paint Tool", kCmdPaint, kToolPaint},
    {"IDARROW", "Line and Arrow Tool", kCmdLineArrow, kToolLineArrow},
    {"IDTOOLBOX", "Miscellaneous Retouching Tools", kCmdMiscellaneous, kToolMiscellaneous},
};

constexpr ToolButton kHelpButtons[] = {
    {"IDQUESTION", "Context Sensitive Help", 0, 0},
};

constexpr ToolGroup kGroups[] = {
    {kGroupCommands, false, kCommandButtons},
    {kGroupTools, true, kToolButtons},
    {kGroupHelp, false, kHelpButtons},
};

constexpr int kStripMargin = 2;
constexpr int kGroupGap = 4;

int group_length(int buttons) { return 2 + buttons * kButtonPitch; }

} // namespace

std::span<const ToolGroup> toolbar_groups() { return kGroups; }

const ToolGroup* toolbar_group(int id)
{
    for (const ToolGroup& g : kGroups)
        if (g.id == id)
            return &g;
    return nullptr;
}

ToolRect toolbar_group_rect(int index, bool left)
{
    if (index < 0 || index >= int(std::size(kGroups)))
        return {};
    int along = kStripMargin;
    for (int i = 0; i < index; ++i)
        along += group_length(int(kGroups[i].buttons.size())) + kGroupGap;
    const int length = group_length(int(kGroups[index].buttons.size()));
    const int across = group_length(1);
    if (left)
        return {kStripMargin, along, across, length};
    return {along, kStripMargin, length, across};
}

ToolRect toolbar_button_rect(int button, bool left)
{
    // Each button sits in a 22-pixel cell after the group's 1-pixel edge, 2 pixels in.
    const int along = 1 + button * kButtonPitch + 2;
    const int across = 1 + 2;
    if (left)
        return {across, along, kButtonSize, kButtonSize};
    return {along, across, kButtonSize, kButtonSize};
}

int toolbar_button_of_tool(int tool)
{
    for (int i = 0; i < int(std::size(kToolButtons)); ++i)
        if (kToolButtons[i].tool == tool)
            return i;
    return -1;
}

int tool_of_command(int command)
{
    for (const ToolButton& b : kToolButtons)
        if (b.command != 0 && b.command == command)
            return b.tool;
    return 0;
}

ToolbarAction toolbar_press(int group, int button, const ToolbarPressState& s)
{
    const ToolGroup* g = toolbar_group(group);
    if (!g || button < 0 || button >= int(g->buttons.size()))
        return {};
    const ToolButton& b = g->buttons[size_t(button)];
    switch (group) {
    case kGroupCommands:
        if (!s.command_enabled)
            return {ToolbarAction::kBeep, b.command, 0};
        return {ToolbarAction::kIssue, b.command, 0};
    case kGroupTools:
        if (b.tool == kToolMask) {
            if (s.current_tool == kToolMask && s.mask_window_active)
                return {ToolbarAction::kSetTool, 0, kToolNone};
            if (s.mask_window_open)
                return {ToolbarAction::kActivateMask, 0, kToolMask};
            return {ToolbarAction::kIssueMask, kCmdMaskNew, 0};
        }
        if (s.current_tool == b.tool)
            return {ToolbarAction::kSetTool, 0, kToolNone};
        return {ToolbarAction::kIssue, b.command, 0};
    default:
        return {ToolbarAction::kContextHelp, kCmdHelpContext, 0};
    }
}

} // namespace mv
