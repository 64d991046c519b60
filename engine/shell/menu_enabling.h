// The rules that enable and check menu items, as pure functions over a small description
// of the editor's state, so the menus can be worked out without a window system. The Mask
// menu's contents are built here too.
#pragma once

#include <string>
#include <vector>

namespace mv {

// The active child window, as far as the menus care.
struct ActiveChild {
    int kind = -1;         // -1 none, 0 image window, 1 preview window, 3 and above others
    int type = 0;          // pixel type of an image window's Image
    bool modified = false; // an image window's modified flag
    bool has_path = false; // an image window's Image came from or went to a file
};

struct MenuState {
    ActiveChild child;
    int transformation = 0; // non-zero while a transformation window is open
    bool undo_available = false;
    bool clipboard_has_bitmap = false;
    bool mask_running = false; // a Mask Tool operation is open
    // Check marks.
    int toolbar_position = 0;  // -1 none, 0 top, 1 left
    bool toolbar_visible = true;
    int current_tool = 0;
    bool readout_open = false, paint_open = false, line_arrow_open = false,
         clone_open = false, miscellaneous_open = false;
};

// Condition 0..11 against the active child; false for other numbers.
bool condition_met(int condition, const ActiveChild& child);

// Enabling of a command id: its condition (or its own rule) and, for busy entries, no open
// transformation. Ids the command table does not know are enabled.
bool command_enabled(int id, const MenuState& s);

// Enabling of the Transformation submenu at `position`; positions without a rule are
// enabled.
bool transformation_submenu_enabled(int position, const MenuState& s);

// Revert: no transformation, an image window, modified, with a path.
bool revert_enabled(const MenuState& s);

// The Mask menu offers "New" when no mask operation runs and the active child is an image
// window of type 2, 3, 6 or 7.
bool mask_new_offered(const MenuState& s);

// The check mark of a command (tool bar position, zoom tool, open tool windows).
bool command_checked(int id, const MenuState& s);

// An image window as a candidate mask for the Mask menu.
struct MaskCandidate {
    int window = 0; // the caller's handle for the window
    int type = 0;
    int width = 0, height = 0;
    std::string title;
};

struct MaskMenuItem {
    int id = 0;          // 4500 "New", 4501.. a window, 0 a separator
    int window = 0;      // the candidate's handle for 4501..4549
    std::string text;
};

// Builds the Mask menu: nothing unless "New" is offered; then "&New" and every other image window of type 2 with
// the active picture's size, in the given window order, titled with at most 80 characters,
// after a separator, ids 4501..4549 (at most 49). `active` indexes `windows` (-1: the
// active child is no image window).
std::vector<MaskMenuItem> mask_menu_build(const MenuState& s, const std::vector<MaskCandidate>& windows,
                                          int active);

} // namespace mv
