// The editor's commands as data: every command id with its menu text (access key after "&",
// shortcut after "\t"), its enabling condition and busy flag, the transformation it opens,
// the menu bar layout, the Transformation submenus enabled by position, and the accelerators.
// The editor builds its menus and shortcuts from these tables; the enabling rules that read
// the conditions live in menu_enabling.h.
#pragma once

#include <span>

namespace mv {

// Command ids.
enum CommandId : int {
    kCmdNew = 1001,
    kCmdOpen = 1002,
    kCmdOpenPhotoCd = 1003,
    kCmdSave = 1004,
    kCmdSaveAs = 1005,
    kCmdClose = 1006,
    kCmdRevert = 1007,
    kCmdPreferences = 1009,
    kCmdCalibrate = 1010,
    kCmdAcquire = 1011,
    kCmdSelectSource = 1012,
    kCmdExit = 1013,
    kCmdPrint = 1014,
    kCmdPrintSetup = 1015,
    kCmdSlideShow = 1017,
    kCmdAssociations = 1018,
    kCmdRecentFirst = 1019, // recent-file slots 0..9 are 1019..1028
    kCmdRecentLast = 1028,
    kCmdBrowse = 1029,
    kCmdUndo = 2001,
    kCmdUndoAll = 2002,
    kCmdCopy = 2003,
    kCmdPaste = 2004,
    kCmdInfo = 3001,
    kCmdGrid = 3002,
    kCmdExpand = 3003,
    kCmdFit = 3004,
    kCmdZoomIn = 3005,
    kCmdZoomInResize = 3006,
    kCmdZoomOut = 3007,
    kCmdZoomFactor = 3008,
    kCmdNoToolBar = 3009,
    kCmdToolBarTop = 3010,
    kCmdToolBarLeft = 3011,
    kCmdNext = 3012,
    kCmdArrangeIcons = 3013,
    kCmdCloseAll = 3014,
    kCmdZoom11 = 3015,
    kCmdCascade = 3016,
    kCmdBlink = 3017,
    kCmdCountColors = 3018,
    kCmdImageCopy = 4005,
    kCmdNegative = 4006,
    kCmdMaskNew = 4500,
    kCmdMaskFirst = 4501, // one gray image window per item, 4501..4549
    kCmdMaskLast = 4549,
    kCmdReadout = 6001,
    kCmdZoomTool = 6002,
    kCmdClone = 6003,
    kCmdPaint = 6004,
    kCmdLineArrow = 6005,
    kCmdMiscellaneous = 6006,
    kCmdMagnifier = 6007,
    kCmdHelpContents = 7001,
    kCmdHelpSearch = 7002,
    kCmdHelpContext = 7003,
    kCmdHelpGlossary = 7004,
    kCmdAbout = 7005,
    kCmdManual = 7006,
    kCmdGettingStarted = 7007,
    kCmdLibraryCheck = 7008,
    kCmdWindowListFirst = 10000, // the Window menu's list of open windows
};

// Enabling conditions 0..11 read the active child (menu_enabling.h); the others are the
// commands with a rule of their own. kNotListed: always enabled, never busy-disabled
// unless the entry says so.
enum Condition : int {
    kCondAlways = 0,
    kCondAnyChild = 1,
    kCondImageNot16 = 2,
    kCondColor = 3,
    kCondGrayOrColor = 4,
    kCondBinaryOrGray = 5,
    kCondImageOrPreview = 6,
    kCondGray = 7,
    kCondAnyImage = 8,
    kCondAnyColor = 9,
    kCondNotBinary = 10,
    kCondAnyGray = 11,
    kNotListed = -1,
    kCondRevert = 100,    // no transformation, modified image window with a path
    kCondUndo = 101,      // undo available
    kCondPaste = 102,     // the clipboard holds a device-independent bitmap
    kCondMaskNew = 103,   // shown only when a new mask can be made
    kCondMaskItem = 104,  // present only while listed in the Mask menu
    kCondRecentFile = 105 // disabled for an empty slot
};

struct CommandInfo {
    int id;
    const char* text;   // menu text; nullptr for items whose text is built at run time
    int condition;      // a Condition
    bool busy;          // disabled while a transformation window is open
    int transformation; // the transformation number (window kind) it opens; 0 none
};

// Every command of the menus, in menu order. Ranges (recent files, Mask items) appear once,
// by their first id.
std::span<const CommandInfo> command_table();

// The entry of a command id, ranges included; null for ids the table does not know.
const CommandInfo* command_find(int id);

// A Transformation submenu enabled as a whole by its position in the Transformation menu.
struct SubmenuRule {
    int position;
    const char* text;
    int condition;
    bool busy;
};
std::span<const SubmenuRule> transformation_submenu_rules();

// The menu bar. An item is a command (id > 0), a separator (id 0, no submenu) or a submenu
// (id 0 with items). The Mask menu is filled at run time; recent files are appended to the
// File menu and open windows to the Window menu at run time.
struct MenuItem {
    int id;
    const char* text;
    std::span<const MenuItem> items;
};
struct MenuTitle {
    const char* text;
    std::span<const MenuItem> items;
};
std::span<const MenuTitle> menu_bar();

// Positions of the menus in the menu bar.
inline constexpr int kMenuFile = 0, kMenuEdit = 1, kMenuTransformation = 2, kMenuMask = 3,
                     kMenuTools = 4, kMenuWindow = 5, kMenuHelp = 6;

// Accelerators: Ctrl with a letter, or a plain special key.
enum class AccelKey { kLetter, kNumpadAdd, kNumpadMultiply, kNumpadSubtract, kInsert, kF1 };
struct Accelerator {
    AccelKey key;
    char letter; // upper-case letter for kLetter, 0 otherwise
    bool ctrl;
    int command;
};
std::span<const Accelerator> accelerators();

// The command an accelerator key triggers; 0 when none.
int accelerator_command(AccelKey key, char letter, bool ctrl);

} // namespace mv
