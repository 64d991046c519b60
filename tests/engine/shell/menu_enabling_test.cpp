#include "shell/command_table.h"
#include "shell/menu_enabling.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

using namespace mv;

namespace {

MenuState image_of_type(int type)
{
    MenuState s;
    s.child.kind = 0;
    s.child.type = type;
    return s;
}

// The set of picture types for which a condition holds on an active image window.
std::set<int> types_enabled(int condition)
{
    std::set<int> types;
    for (int t : {1, 2, 3, 6, 7})
        if (condition_met(condition, image_of_type(t).child))
            types.insert(t);
    return types;
}

} // namespace

TEST(MenuEnabling, ConditionsAgainstEveryPictureTypeAndWindowKind)
{
    using S = std::set<int>;
    EXPECT_EQ(types_enabled(0), (S{1, 2, 3, 6, 7}));
    EXPECT_EQ(types_enabled(1), (S{1, 2, 3, 6, 7}));
    EXPECT_EQ(types_enabled(2), (S{1, 2, 3}));
    EXPECT_EQ(types_enabled(3), (S{3}));
    EXPECT_EQ(types_enabled(4), (S{2, 3}));
    EXPECT_EQ(types_enabled(5), (S{1, 2}));
    EXPECT_EQ(types_enabled(6), (S{1, 2, 3, 6, 7}));
    EXPECT_EQ(types_enabled(7), (S{2}));
    EXPECT_EQ(types_enabled(8), (S{1, 2, 3, 6, 7}));
    EXPECT_EQ(types_enabled(9), (S{3, 7}));
    EXPECT_EQ(types_enabled(10), (S{2, 3, 6, 7}));
    EXPECT_EQ(types_enabled(11), (S{2, 6}));

    // Without an active child only condition 0 holds; a preview window satisfies 1 and 6; a
    // transformation window only 0 and 1.
    ActiveChild none, preview, transform;
    preview.kind = 1;
    preview.type = 3; // a preview's type never counts
    transform.kind = 29;
    for (int c = 0; c <= 11; ++c) {
        EXPECT_EQ(condition_met(c, none), c == 0) << c;
        EXPECT_EQ(condition_met(c, preview), c == 0 || c == 1 || c == 6) << c;
        EXPECT_EQ(condition_met(c, transform), c == 0 || c == 1) << c;
    }
    EXPECT_FALSE(condition_met(12, image_of_type(3).child));
}

TEST(MenuEnabling, CommandsFollowTheirConditionAndBusyFlag)
{
    MenuState gray16 = image_of_type(6);
    EXPECT_FALSE(command_enabled(kCmdCopy, gray16)); // clipboard copy needs 1, 2 or 3
    EXPECT_TRUE(command_enabled(kCmdSave, gray16));
    EXPECT_TRUE(command_enabled(4052, gray16));  // Brightness: 2, 3, 6, 7
    EXPECT_FALSE(command_enabled(4011, gray16)); // Color Balance: 3, 7
    EXPECT_TRUE(command_enabled(4023, gray16));  // Combine Channels: 2, 6
    EXPECT_TRUE(command_enabled(kCmdZoomIn, gray16));

    MenuState binary = image_of_type(1);
    EXPECT_FALSE(command_enabled(4014, binary)); // Halftone
    EXPECT_TRUE(command_enabled(4020, binary));  // Blur
    EXPECT_TRUE(command_enabled(kCmdCopy, binary));

    MenuState empty;
    EXPECT_TRUE(command_enabled(kCmdOpen, empty));
    EXPECT_FALSE(command_enabled(kCmdClose, empty));
    EXPECT_FALSE(command_enabled(kCmdExpand, empty));
    EXPECT_TRUE(command_enabled(4009, empty));         // Layout: condition 0
    EXPECT_TRUE(command_enabled(kCmdZoom11, empty));   // not listed: always
    EXPECT_TRUE(command_enabled(kCmdCascade, empty));
    EXPECT_TRUE(command_enabled(kCmdWindowListFirst + 3, empty)); // unknown ids

    // While a transformation is open, every busy entry is off whatever its condition, and
    // the others keep theirs.
    MenuState busy = image_of_type(3);
    busy.transformation = 29;
    for (const CommandInfo& c : command_table()) {
        if (c.busy) {
            EXPECT_FALSE(command_enabled(c.id, busy)) << c.id;
        }
    }
    EXPECT_TRUE(command_enabled(kCmdOpen, busy));
    EXPECT_TRUE(command_enabled(kCmdSave, busy));
    EXPECT_FALSE(command_enabled(kCmdNew, busy));
    EXPECT_FALSE(command_enabled(kCmdOpenPhotoCd, busy));
    busy.transformation = 0;
    EXPECT_TRUE(command_enabled(kCmdNew, busy));
    EXPECT_TRUE(command_enabled(4031, busy));
}

TEST(MenuEnabling, RulesOfTheirOwn)
{
    MenuState s = image_of_type(2);
    EXPECT_FALSE(command_enabled(kCmdRevert, s));
    s.child.modified = true;
    EXPECT_FALSE(command_enabled(kCmdRevert, s)); // no path yet
    s.child.has_path = true;
    EXPECT_TRUE(command_enabled(kCmdRevert, s));
    s.transformation = 4;
    EXPECT_FALSE(command_enabled(kCmdRevert, s));
    s.transformation = 0;
    s.child.kind = 1;
    EXPECT_FALSE(command_enabled(kCmdRevert, s));

    MenuState e;
    EXPECT_FALSE(command_enabled(kCmdUndo, e));
    EXPECT_FALSE(command_enabled(kCmdUndoAll, e));
    EXPECT_FALSE(command_enabled(kCmdPaste, e));
    e.undo_available = true;
    e.clipboard_has_bitmap = true;
    EXPECT_TRUE(command_enabled(kCmdUndo, e));
    EXPECT_TRUE(command_enabled(kCmdUndoAll, e));
    EXPECT_TRUE(command_enabled(kCmdPaste, e));
}

TEST(MenuEnabling, TransformationSubmenusByPosition)
{
    MenuState gray = image_of_type(2);
    EXPECT_TRUE(transformation_submenu_enabled(0, gray));
    EXPECT_TRUE(transformation_submenu_enabled(1, gray));
    EXPECT_FALSE(transformation_submenu_enabled(2, gray)); // Color needs 3 or 7
    EXPECT_TRUE(transformation_submenu_enabled(10, gray));
    EXPECT_TRUE(transformation_submenu_enabled(2, image_of_type(7)));
    EXPECT_FALSE(transformation_submenu_enabled(0, MenuState{}));
    EXPECT_TRUE(transformation_submenu_enabled(5, MenuState{})); // a plain item position

    MenuState busy = image_of_type(3);
    busy.transformation = 19;
    for (int position : {0, 1, 2, 10})
        EXPECT_FALSE(transformation_submenu_enabled(position, busy)) << position;

    // The submenus stand at those positions of the Transformation menu.
    const MenuTitle& t = menu_bar()[kMenuTransformation];
    for (const SubmenuRule& r : transformation_submenu_rules()) {
        ASSERT_LT(size_t(r.position), t.items.size());
        EXPECT_STREQ(t.items[size_t(r.position)].text, r.text);
        EXPECT_FALSE(t.items[size_t(r.position)].items.empty());
    }
}

TEST(MenuEnabling, CheckMarks)
{
    MenuState s;
    s.toolbar_position = 1;
    EXPECT_TRUE(command_checked(kCmdToolBarLeft, s));
    EXPECT_FALSE(command_checked(kCmdToolBarTop, s));
    s.toolbar_visible = false;
    EXPECT_TRUE(command_checked(kCmdNoToolBar, s));
    EXPECT_FALSE(command_checked(kCmdToolBarLeft, s));
    s.current_tool = 2;
    s.clone_open = true;
    EXPECT_TRUE(command_checked(kCmdZoomTool, s));
    EXPECT_TRUE(command_checked(kCmdClone, s));
    EXPECT_FALSE(command_checked(kCmdPaint, s));
}

TEST(MenuEnabling, MaskMenuListsSameSizedGrayWindows)
{
    std::vector<MaskCandidate> windows = {
        {10, 3, 100, 80, "picture.tif"},       // the active one
        {11, 2, 100, 80, "mask a"},
        {12, 2, 100, 81, "other size"},
        {13, 6, 100, 80, "16-bit gray"},
        {14, 2, 100, 80, std::string(100, 'x')},
    };
    MenuState s = image_of_type(3);
    auto items = mask_menu_build(s, windows, 0);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].id, kCmdMaskNew);
    EXPECT_EQ(items[0].text, "&New");
    EXPECT_EQ(items[1].id, 0); // separator
    EXPECT_EQ(items[2].id, 4501);
    EXPECT_EQ(items[2].window, 11);
    EXPECT_EQ(items[3].id, 4502);
    EXPECT_EQ(items[3].window, 14);
    EXPECT_EQ(items[3].text.size(), 80u);

    // A gray picture does not list itself; binary pictures and running masks get nothing.
    windows[0].type = 2;
    s.child.type = 2;
    EXPECT_EQ(mask_menu_build(s, windows, 0).size(), 4u);
    s.child.type = 1;
    EXPECT_TRUE(mask_menu_build(s, windows, 0).empty());
    s.child.type = 3;
    s.mask_running = true;
    EXPECT_TRUE(mask_menu_build(s, windows, 0).empty());

    // At most 49 windows are listed.
    std::vector<MaskCandidate> many(60, MaskCandidate{0, 2, 5, 5, "m"});
    s = image_of_type(3);
    many[0].type = 3;
    items = mask_menu_build(s, many, 0);
    EXPECT_EQ(items.size(), 2u + 49u);
    EXPECT_EQ(items.back().id, kCmdMaskLast);
}

TEST(CommandTable, MenusAndTableAgree)
{
    // Every menu item is in the command table with the same text; ids are unique.
    std::set<int> seen;
    std::function<void(std::span<const MenuItem>)> walk = [&](std::span<const MenuItem> items) {
        for (const MenuItem& m : items) {
            if (!m.items.empty()) {
                walk(m.items);
                continue;
            }
            if (m.id == 0)
                continue;
            const CommandInfo* c = command_find(m.id);
            ASSERT_NE(c, nullptr) << m.id;
            EXPECT_STREQ(c->text, m.text) << m.id;
            EXPECT_TRUE(seen.insert(m.id).second) << m.id;
        }
    };
    for (const MenuTitle& t : menu_bar())
        walk(t.items);
    // All but the recent files and the Mask menu, which are built at run time.
    EXPECT_EQ(seen.size() + 3, command_table().size());

    EXPECT_EQ(std::string(menu_bar()[kMenuWindow].text), "&Window");
    EXPECT_EQ(command_find(1024), command_find(kCmdRecentFirst));
    EXPECT_EQ(command_find(4549)->condition, kCondMaskItem);
    EXPECT_EQ(command_find(4550), nullptr);
    EXPECT_EQ(command_find(4019)->transformation, 7);
    EXPECT_EQ(command_find(4041)->transformation, 40);
    EXPECT_STREQ(command_find(kCmdZoomInResize)->text, "Zoom In and Resize\tGray +");
}

TEST(CommandTable, Accelerators)
{
    EXPECT_EQ(accelerators().size(), 16u);
    EXPECT_EQ(accelerator_command(AccelKey::kLetter, 'w', true), kCmdInfo);
    EXPECT_EQ(accelerator_command(AccelKey::kLetter, 'Q', true), kCmdExit);
    EXPECT_EQ(accelerator_command(AccelKey::kLetter, 'Q', false), 0);
    EXPECT_EQ(accelerator_command(AccelKey::kLetter, 'X', true), 0);
    EXPECT_EQ(accelerator_command(AccelKey::kNumpadAdd, 0, false), kCmdZoomInResize);
    EXPECT_EQ(accelerator_command(AccelKey::kNumpadMultiply, 0, false), kCmdZoomIn);
    EXPECT_EQ(accelerator_command(AccelKey::kNumpadSubtract, 0, false), kCmdZoomOut);
    EXPECT_EQ(accelerator_command(AccelKey::kInsert, 0, false), kCmdNext);
    EXPECT_EQ(accelerator_command(AccelKey::kF1, 0, false), kCmdHelpContext);
}
