#include "shell/command_table.h"
#include "shell/help_context.h"
#include "shell/toolbar_model.h"
#include "shell/zoom_dispatch.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(Toolbar, GroupsAndLayout)
{
    ASSERT_EQ(toolbar_groups().size(), 3u);
    EXPECT_EQ(toolbar_group(101)->buttons.size(), 11u);
    EXPECT_EQ(toolbar_group(102)->buttons.size(), 8u);
    EXPECT_TRUE(toolbar_group(102)->radio);
    EXPECT_EQ(toolbar_group(103)->buttons.size(), 1u);
    EXPECT_EQ(toolbar_group(104), nullptr);
    // The Save button saves under a new name.
    EXPECT_STREQ(toolbar_group(101)->buttons[3].tip, "Save");
    EXPECT_EQ(toolbar_group(101)->buttons[3].command, kCmdSaveAs);

    // Top: groups side by side, 2 + 22c wide and 24 high, 4 pixels apart from 2, 2.
    EXPECT_EQ(toolbar_group_rect(0, false), (ToolRect{2, 2, 244, 24}));
    EXPECT_EQ(toolbar_group_rect(1, false), (ToolRect{250, 2, 178, 24}));
    EXPECT_EQ(toolbar_group_rect(2, false), (ToolRect{432, 2, 24, 24}));
    // Left: the same down a column.
    EXPECT_EQ(toolbar_group_rect(1, true), (ToolRect{2, 250, 24, 178}));
    EXPECT_EQ(toolbar_group_rect(3, true), ToolRect{});
    EXPECT_EQ(toolbar_button_rect(1, false), (ToolRect{25, 3, 17, 17}));
    EXPECT_EQ(toolbar_button_rect(1, true), (ToolRect{3, 25, 17, 17}));
}

TEST(Toolbar, ToolButtonsAndPresses)
{
    const int expected[][2] = {{6, 0}, {2, 1}, {14, 2}, {1, 3}, {4, 4}, {3, 5}, {17, 6}, {5, 7},
                               {0, -1}, {7, -1}};
    for (const auto& e : expected)
        EXPECT_EQ(toolbar_button_of_tool(e[0]), e[1]) << e[0];
    EXPECT_EQ(tool_of_command(kCmdReadout), 1);
    EXPECT_EQ(tool_of_command(kCmdPaint), 3);
    EXPECT_EQ(tool_of_command(kCmdLineArrow), 17);
    EXPECT_EQ(tool_of_command(kCmdMagnifier), 14);
    EXPECT_EQ(tool_of_command(kCmdOpen), 0);

    // Pressing the Zoom Tool button twice returns to no tool.
    ToolbarPressState s;
    ToolbarAction a = toolbar_press(102, 1, s);
    EXPECT_EQ(a.kind, ToolbarAction::kIssue);
    EXPECT_EQ(a.command, kCmdZoomTool);
    s.current_tool = 2;
    a = toolbar_press(102, 1, s);
    EXPECT_EQ(a.kind, ToolbarAction::kSetTool);
    EXPECT_EQ(a.tool, 0);

    // A disabled command beeps.
    s.command_enabled = false;
    EXPECT_EQ(toolbar_press(101, 3, s).kind, ToolbarAction::kBeep);
    s.command_enabled = true;
    EXPECT_EQ(toolbar_press(101, 3, s).command, kCmdSaveAs);

    // The mask button: off when current and active, activate an open one, else issue 4500.
    s = {};
    EXPECT_EQ(toolbar_press(102, 0, s).kind, ToolbarAction::kIssueMask);
    s.mask_window_open = true;
    EXPECT_EQ(toolbar_press(102, 0, s).kind, ToolbarAction::kActivateMask);
    s.current_tool = 6;
    s.mask_window_active = true;
    a = toolbar_press(102, 0, s);
    EXPECT_EQ(a.kind, ToolbarAction::kSetTool);
    EXPECT_EQ(a.tool, 0);

    EXPECT_EQ(toolbar_press(103, 0, s).kind, ToolbarAction::kContextHelp);
    EXPECT_EQ(toolbar_press(101, 11, s).kind, ToolbarAction::kNothing);
    EXPECT_EQ(toolbar_press(99, 0, s).kind, ToolbarAction::kNothing);
}

TEST(ZoomDispatch, RoutesByWindowKind)
{
    EXPECT_EQ(zoom_route(kCmdZoomIn, -1).target, ZoomRoute::kNothing);
    EXPECT_EQ(zoom_route(kCmdOpen, 0).target, ZoomRoute::kNothing);

    ZoomRoute r = zoom_route(kCmdZoomInResize, 0);
    EXPECT_EQ(r.target, ZoomRoute::kImage);
    EXPECT_EQ(r.image.step, ImageZoomAction::kStepIn);
    EXPECT_TRUE(r.image.resize);
    r = zoom_route(kCmdZoomIn, 0);
    EXPECT_EQ(r.image.step, ImageZoomAction::kStepIn);
    EXPECT_FALSE(r.image.resize);
    EXPECT_EQ(zoom_route(kCmdZoomOut, 0).image.step, ImageZoomAction::kStepOut);
    EXPECT_EQ(zoom_route(kCmdZoom11, 0).image.step, ImageZoomAction::kSetOne);
    EXPECT_EQ(zoom_route(kCmdExpand, 0).image.step, ImageZoomAction::kExpandZoom);
    EXPECT_EQ(zoom_route(kCmdFit, 0).image.step, ImageZoomAction::kFitZoom);
    EXPECT_EQ(zoom_route(kCmdZoomFactor, 0).image.step, ImageZoomAction::kAskFactor);

    const int preview[][2] = {{kCmdZoomIn, 32782}, {kCmdZoomOut, 32783}, {kCmdZoomFactor, 32784},
                              {kCmdZoom11, 32787}, {kCmdFit, 32795}, {kCmdExpand, 32796},
                              {kCmdZoomInResize, 32797}};
    for (const auto& p : preview) {
        r = zoom_route(p[0], 1);
        EXPECT_EQ(r.target, ZoomRoute::kPreview);
        EXPECT_EQ(r.message, p[1]) << p[0];
    }

    for (int kind : {2, 3, 45}) {
        r = zoom_route(kCmdZoomOut, kind);
        EXPECT_EQ(r.target, ZoomRoute::kForward);
        EXPECT_EQ(r.command, kCmdZoomOut);
    }
}

TEST(HelpContext, AnchorsByKind)
{
    EXPECT_EQ(help_anchor(3), "crop");
    EXPECT_EQ(help_anchor(43), "levels-and-color");
    EXPECT_EQ(help_anchor(69), "color-correct");
    EXPECT_EQ(help_anchor(-1), "");
    EXPECT_EQ(help_anchor(0), "");
    EXPECT_EQ(help_anchor(1), "");
    EXPECT_EQ(help_anchor(9), "");
    EXPECT_EQ(help_anchor(70), "");
    // Every transformation the menus open has a section.
    for (const CommandInfo& c : command_table()) {
        if (c.transformation) {
            EXPECT_NE(help_anchor(c.transformation), "") << c.id;
        }
    }
    EXPECT_EQ(help_command_anchor(kCmdGettingStarted), "getting-started");
    EXPECT_EQ(help_command_anchor(kCmdHelpContents), "");
    EXPECT_EQ(help_url("file:///usr/share/doc/morvane/manual.html", "crop"),
              "file:///usr/share/doc/morvane/manual.html#crop");
    EXPECT_EQ(help_url("m.html", ""), "m.html");
}
