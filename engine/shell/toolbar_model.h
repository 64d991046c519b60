// The tool bar: three groups of 17-pixel bitmap buttons (commands, tools, help), their
// layout in a strip along the top or the left of the frame, the button each tool lights and
// what a press does.
#pragma once

#include <span>

namespace mv {

enum ToolGroupId : int { kGroupCommands = 101, kGroupTools = 102, kGroupHelp = 103 };

// Tool numbers of the editor.
enum ToolNumber : int {
    kToolNone = 0,
    kToolReadout = 1,
    kToolZoom = 2,
    kToolPaint = 3,
    kToolClone = 4,
    kToolMiscellaneous = 5,
    kToolMask = 6,
    kToolMagnifier = 14,
    kToolLineArrow = 17,
};

struct ToolButton {
    const char* bitmap; // resource name of the button picture
    const char* tip;    // tool tip
    int command;        // command issued; 0 for the mask button and the help button
    int tool;           // tool the button stands for (tool group), else 0
};

struct ToolGroup {
    int id;
    bool radio; // radio buttons show the current tool pressed
    std::span<const ToolButton> buttons;
};

std::span<const ToolGroup> toolbar_groups();
const ToolGroup* toolbar_group(int id);

// Thickness of the strip: frame width x 28 at the top, 28 x frame height on the left.
inline constexpr int kToolbarThickness = 28;
inline constexpr int kButtonSize = 17;
inline constexpr int kButtonPitch = 22; // button plus 5 pixels between buttons

struct ToolRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const ToolRect&) const = default;
};

// The rectangle of group `index` (0..2) in the strip: groups start at 2, 2 and follow each
// other 4 pixels apart, in a row at the top (one row of buttons each) or in a column on
// the left (one column each). A group of c columns and r rows is 2 + 22c by 2 + 22r.
ToolRect toolbar_group_rect(int index, bool left);
// The 17-pixel square of button `button` inside its group's rectangle.
ToolRect toolbar_button_rect(int button, bool left);

// The button of the tool group shown pressed for a tool; -1 releases all eight.
int toolbar_button_of_tool(int tool);
// The tool a Tools menu command makes current; 0 for other commands.
int tool_of_command(int command);

// What a press of a button leads to.
struct ToolbarAction {
    enum Kind {
        kIssue,       // issue `command`
        kBeep,        // the command's menu item is disabled
        kSetTool,     // make `tool` current (0: the button toggles off)
        kActivateMask,// activate the open Mask Tool window, set tool 6, press the button
        kIssueMask,   // issue 4500; release the button when it is refused
        kContextHelp, // context help for the active child
        kNothing,
    } kind = kNothing;
    int command = 0;
    int tool = 0;
};

struct ToolbarPressState {
    int current_tool = 0;
    bool mask_window_open = false;
    bool mask_window_active = false;
    bool command_enabled = true; // enabling of the button's command after refreshing the menus
};

ToolbarAction toolbar_press(int group, int button, const ToolbarPressState& s);

} // namespace mv
