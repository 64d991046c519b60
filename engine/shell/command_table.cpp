#include "command_table.h"

#include <cctype>

namespace mv {
namespace {

constexpr CommandInfo kCommands[] = {
    // File
    {kCmdNew, "&New...\tCtrl-N", kCondAlways, true, 0},
    {kCmdOpen, "&Open...\tCtrl-O", kCondAlways, false, 0},
    {kCmdOpenPhotoCd, "Open Photo&CD...", kCondAlways, true, 18},
    {kCmdBrowse, "&Browse...\tCtrl-B", kCondAlways, false, 0},
    {kCmdSave, "&Save\tCtrl-S", kCondAnyImage, false, 0},
    {kCmdSaveAs, "Save &As...", kCondAnyImage, false, 0},
    {kCmdClose, "C&lose", kCondAnyChild, false, 0},
    {kCmdRevert, "&Revert", kCondRevert, false, 0},
    {kCmdAcquire, "Acquire...\tCtrl-A", kCondAlways, false, 0},
    {kCmdSelectSource, "Select Source...", kCondAlways, false, 0},
    {kCmdPrint, "&Print...\tCtrl-P", kCondAnyImage, false, 0},
    {kCmdPrintSetup, "Print Setup...", kNotListed, false, 0},
    {kCmdSlideShow, "Slide S&how...", kCondAlways, false, 0},
    {kCmdPreferences, "Pre&ferences...", kCondAlways, false, 0},
    {kCmdAssociations, "Associations...", kNotListed, false, 0},
    {kCmdCalibrate, "&Calibrate...", kCondAlways, false, 0},
    {kCmdExit, "E&xit\tCtrl-Q", kCondAlways, false, 0},
    {kCmdRecentFirst, nullptr, kCondRecentFile, false, 0},
    // Edit
    {kCmdUndo, "&Undo\tCtrl-Z", kCondUndo, false, 0},
    {kCmdUndoAll, "Undo &All", kCondUndo, false, 0},
    {kCmdCopy, "&Copy\tCtrl-C", kCondImageNot16, false, 0},
    {kCmdPaste, "&Paste\tCtrl-V", kCondPaste, false, 0},
    // Transformation: Geometry
    {4001, "&Mirror/Rotate...", kCondAnyImage, true, 19},
    {4022, "&Add Border...", kCondAnyImage, true, 46},
    {4002, "&Crop...", kCondAnyImage, true, 3},
    {4003, "&Resize...", kCondAnyImage, true, 24},
    {4004, "&Warp...", kCondAnyImage, true, 23},
    {4010, "&Displace...", kCondAnyImage, true, 35},
    // Gray
    {4054, "&Levels and Color...", kCondAnyImage, true, 43},
    {4050, "Brightness &Curve...", kCondAnyImage, true, 4},
    {4052, "&Brightness...", kCondNotBinary, true, 29},
    {4051, "&Tint...", kCondAnyImage, true, 11},
    {4055, "Light &Falloff...", kCondNotBinary, true, 66},
    {4029, "&Gamma Adjust...", kCondNotBinary, true, 65},
    {4023, "C&ombine Channels...", kCondAnyGray, true, 49},
    // Color
    {4011, "&Balance...", kCondAnyColor, true, 22},
    {4049, "&Curves...", kCondAnyColor, true, 28},
    {4012, "&Saturation...", kCondAnyColor, true, 31},
    {4015, "E&xtract Channel...", kCondAnyColor, true, 10},
    {4013, "&Monochrome...", kCondAnyColor, true, 5},
    {4031, "Co&rrection...", kCondAnyColor, true, 69},
    {4024, "&Registration...", kCondAnyColor, true, 50},
    // Transformation menu items
    {4053, "Con&vert...", kCondAnyImage, true, 61},
    {4017, "&Filter...", kCondAnyImage, true, 25},
    {4018, "Co&mposite...", kCondAnyImage, true, 38},
    {4016, "Gra&dient...", kCondAnyImage, true, 39},
    {4020, "&Blur...", kCondAnyImage, true, 8},
    {4019, "&Sharpen...", kCondAnyImage, true, 7},
    {4021, "&Text...", kCondAnyImage, true, 33},
    // Special Effects
    {4043, "Add &Noise...", kCondAnyImage, true, 51},
    {4048, "&Calendar...", kCondNotBinary, true, 57},
    {4042, "&Difference...", kCondAnyImage, true, 42},
    {4041, "Ed&ge...", kCondAnyImage, true, 40},
    {4040, "&Emboss...", kCondNotBinary, true, 41},
    {4044, "E&qualize...", kCondNotBinary, true, 56},
    {4028, "&Grid...", kCondAnyImage, true, 64},
    {4014, "&Halftone...", kCondNotBinary, true, 6},
    {4008, "H&igh Contrast...", kCondNotBinary, true, 53},
    {4030, "&Interlace...", kCondNotBinary, true, 67},
    {4046, "&Kaleidoscope...", kCondNotBinary, true, 48},
    {4027, "&Posterize...", kCondAnyImage, true, 63},
    {4047, "&Spiral...", kCondNotBinary, true, 54},
    {4045, "Ste&reo...", kCondNotBinary, true, 34},
    {4007, "&Tile...", kCondAnyImage, true, 52},
    // Transformation menu items after the effects
    {4009, "&Layout...", kCondAlways, true, 21},
    {4025, "&Texture...", kCondAlways, true, 58},
    {kCmdImageCopy, "Cop&y", kCondAnyImage, true, 0},
    // Negative reads the active picture like every transformation, so it waits for an open
    // transformation to close even though no condition limits it.
    {kCmdNegative, "&Negative", kNotListed, true, 0},
    // Mask
    {kCmdMaskNew, "&New", kCondMaskNew, false, 0},
    {kCmdMaskFirst, nullptr, kCondMaskItem, false, 0},
    // Tools
    {kCmdReadout, "&Readout", kCondAlways, false, 0},
    {kCmdZoomTool, "&Zoom", kCondAlways, false, 0},
    {kCmdClone, "&Clone", kCondAlways, false, 0},
    {kCmdPaint, "&Paint", kCondAlways, false, 0},
    {kCmdLineArrow, "&Line and Arrow", kCondAlways, false, 0},
    {kCmdMiscellaneous, "Misce&llaneous", kCondAlways, false, 0},
    {kCmdMagnifier, "&Magnifier", kNotListed, false, 0},
    // Window
    {kCmdInfo, "&Info...\tCtrl-W", kCondAnyImage, false, 0},
    {kCmdCountColors, "&Count Colors...", kCondAnyImage, false, 0},
    {kCmdGrid, "&Grid...", kCondAnyImage, false, 0},
    {kCmdBlink, "&Blink...", kCondAnyImage, false, 0},
    {kCmdNoToolBar, "&No Tool Bar", kCondAlways, false, 0},
    {kCmdToolBarTop, "Tool Bar at &Top", kCondAlways, false, 0},
    {kCmdToolBarLeft, "Tool Bar at &Left", kCondAlways, false, 0},
    {kCmdExpand, "&Expand", kCondImageOrPreview, false, 0},
    {kCmdFit, "&Fit", kCondImageOrPreview, false, 0},
    {kCmdZoomInResize, "Zoom In and Resize\tGray +", kCondImageOrPreview, false, 0},
    {kCmdZoomIn, "Zoom In\tGray *", kCondImageOrPreview, false, 0},
    {kCmdZoomOut, "Zoom Out\tGray -", kCondImageOrPreview, false, 0},
    {kCmdZoomFactor, "&Zoom Factor...", kCondImageOrPreview, false, 0},
    {kCmdZoom11, "Zoom &1:1", kNotListed, false, 0},
    {kCmdNext, "Next\tIns", kCondAnyChild, false, 0},
    {kCmdCascade, "Cascade", kNotListed, false, 0},
    {kCmdArrangeIcons, "Arrange Icons", kCondAnyChild, false, 0},
    {kCmdCloseAll, "Close All", kCondAnyChild, false, 0},
    // Help
    {kCmdManual, "&Open Electronic Manual", kNotListed, false, 0},
    {kCmdGettingStarted, "&Getting Started", kNotListed, false, 0},
    {kCmdHelpContents, "&Contents", kNotListed, false, 0},
    {kCmdHelpSearch, "&Search", kNotListed, false, 0},
    {kCmdHelpGlossary, "G&lossary", kNotListed, false, 0},
    {kCmdHelpContext, "Con&text\tF1", kNotListed, false, 0},
    {kCmdLibraryCheck, "&DLL Check", kNotListed, false, 0},
    {kCmdAbout, "&About Morvane", kNotListed, false, 0},
};

constexpr SubmenuRule kSubmenus[] = {
    {0, "&Geometry", kCondAnyImage, true},
    {1, "G&ray", kCondAnyImage, true},
    {2, "&Color", kCondAnyColor, true},
    {10, "Special &Effects", kCondAnyImage, true},
};

// Menu layout. Item texts repeat the command table's texts.
constexpr MenuItem kSep{0, nullptr, {}};

constexpr MenuItem kFileMenu[] = {
    {kCmdNew, "&New...\tCtrl-N", {}},
    {kCmdOpen, "&Open...\tCtrl-O", {}},
    {kCmdOpenPhotoCd, "Open Photo&CD...", {}},
    {kCmdBrowse, "&Browse...\tCtrl-B", {}},
    {kCmdClose, "C&lose", {}},
    {kCmdSave, "&Save\tCtrl-S", {}},
    {kCmdSaveAs, "Save &As...", {}},
    {kCmdRevert, "&Revert", {}},
    kSep,
    {kCmdAcquire, "Acquire...\tCtrl-A", {}},
    {kCmdSelectSource, "Select Source...", {}},
    kSep,
    {kCmdPrint, "&Print...\tCtrl-P", {}},
    {kCmdPrintSetup, "Print Setup...", {}},
    kSep,
    {kCmdSlideShow, "Slide S&how...", {}},
    kSep,
    {kCmdPreferences, "Pre&ferences...", {}},
    {kCmdAssociations, "Associations...", {}},
    {kCmdCalibrate, "&Calibrate...", {}},
    kSep,
    {kCmdExit, "E&xit\tCtrl-Q", {}},
};

constexpr MenuItem kEditMenu[] = {
    {kCmdUndo, "&Undo\tCtrl-Z", {}},
    {kCmdUndoAll, "Undo &All", {}},
    kSep,
    {kCmdCopy, "&Copy\tCtrl-C", {}},
    {kCmdPaste, "&Paste\tCtrl-V", {}},
};

constexpr MenuItem kGeometryMenu[] = {
    {4001, "&Mirror/Rotate...", {}}, {4022, "&Add Border...", {}}, {4002, "&Crop...", {}},
    {4003, "&Resize...", {}},        {4004, "&Warp...", {}},       {4010, "&Displace...", {}},
};

constexpr MenuItem kGrayMenu[] = {
    {4054, "&Levels and Color...", {}}, {4050, "Brightness &Curve...", {}},
    {4052, "&Brightness...", {}},       {4051, "&Tint...", {}},
    {4055, "Light &Falloff...", {}},    {4029, "&Gamma Adjust...", {}},
    {4023, "C&ombine Channels...", {}},
};

constexpr MenuItem kColorMenu[] = {
    {4011, "&Balance...", {}},        {4049, "&Curves...", {}},
    {4012, "&Saturation...", {}},     {4015, "E&xtract Channel...", {}},
    {4013, "&Monochrome...", {}},     {4031, "Co&rrection...", {}},
    {4024, "&Registration...", {}},
};

constexpr MenuItem kEffectsMenu[] = {
    {4043, "Add &Noise...", {}},     {4048, "&Calendar...", {}},  {4042, "&Difference...", {}},
    {4041, "Ed&ge...", {}},          {4040, "&Emboss...", {}},    {4044, "E&qualize...", {}},
    {4028, "&Grid...", {}},          {4014, "&Halftone...", {}},  {4008, "H&igh Contrast...", {}},
    {4030, "&Interlace...", {}},     {4046, "&Kaleidoscope...", {}},
    {4027, "&Posterize...", {}},     {4047, "&Spiral...", {}},    {4045, "Ste&reo...", {}},
    {4007, "&Tile...", {}},
};

// Submenus stand at the positions the submenu rules name (0, 1, 2 and 10).
constexpr MenuItem kTransformationMenu[] = {
    {0, "&Geometry", kGeometryMenu},
    {0, "G&ray", kGrayMenu},
    {0, "&Color", kColorMenu},
    {4053, "Con&vert...", {}},
    {4017, "&Filter...", {}},
    {4018, "Co&mposite...", {}},
    {4016, "Gra&dient...", {}},
    {4020, "&Blur...", {}},
    {4019, "&Sharpen...", {}},
    {4021, "&Text...", {}},
    {0, "Special &Effects", kEffectsMenu},
    {4009, "&Layout...", {}},
    {4025, "&Texture...", {}},
    kSep,
    {kCmdImageCopy, "Cop&y", {}},
    {kCmdNegative, "&Negative", {}},
};

constexpr MenuItem kToolsMenu[] = {
    {kCmdReadout, "&Readout", {}},         {kCmdZoomTool, "&Zoom", {}},
    {kCmdClone, "&Clone", {}},             {kCmdPaint, "&Paint", {}},
    {kCmdLineArrow, "&Line and Arrow", {}}, {kCmdMiscellaneous, "Misce&llaneous", {}},
    {kCmdMagnifier, "&Magnifier", {}},
};

constexpr MenuItem kWindowMenu[] = {
    {kCmdInfo, "&Info...\tCtrl-W", {}},
    {kCmdCountColors, "&Count Colors...", {}},
    {kCmdGrid, "&Grid...", {}},
    {kCmdBlink, "&Blink...", {}},
    kSep,
    {kCmdNoToolBar, "&No Tool Bar", {}},
    {kCmdToolBarTop, "Tool Bar at &Top", {}},
    {kCmdToolBarLeft, "Tool Bar at &Left", {}},
    kSep,
    {kCmdExpand, "&Expand", {}},
    {kCmdFit, "&Fit", {}},
    {kCmdZoomInResize, "Zoom In and Resize\tGray +", {}},
    {kCmdZoomIn, "Zoom In\tGray *", {}},
    {kCmdZoomOut, "Zoom Out\tGray -", {}},
    {kCmdZoomFactor, "&Zoom Factor...", {}},
    {kCmdZoom11, "Zoom &1:1", {}},
    kSep,
    {kCmdNext, "Next\tIns", {}},
    {kCmdCascade, "Cascade", {}},
    {kCmdArrangeIcons, "Arrange Icons", {}},
    {kCmdCloseAll, "Close All", {}},
};

constexpr MenuItem kHelpMenu[] = {
    {kCmdManual, "&Open Electronic Manual", {}},
    {kCmdGettingStarted, "&Getting Started", {}},
    {kCmdHelpContents, "&Contents", {}},
    {kCmdHelpSearch, "&Search", {}},
    {kCmdHelpGlossary, "G&lossary", {}},
    {kCmdHelpContext, "Con&text\tF1", {}},
    kSep,
    {kCmdLibraryCheck, "&DLL Check", {}},
    kSep,
    {kCmdAbout, "&About Morvane", {}},
};

constexpr MenuTitle kMenuBar[] = {
    {"&File", kFileMenu},   {"&Edit", kEditMenu},     {"&Transformation", kTransformationMenu},
    {"&Mask", {}},          {"T&ools", kToolsMenu},   {"&Window", kWindowMenu},
    {"&Help", kHelpMenu},
};

constexpr Accelerator kAccelerators[] = {
    {AccelKey::kLetter, 'N', true, kCmdNew},
    {AccelKey::kLetter, 'O', true, kCmdOpen},
    {AccelKey::kLetter, 'A', true, kCmdAcquire},
    {AccelKey::kLetter, 'B', true, kCmdBrowse},
    {AccelKey::kLetter, 'S', true, kCmdSave},
    {AccelKey::kLetter, 'P', true, kCmdPrint},
    {AccelKey::kLetter, 'Q', true, kCmdExit},
    {AccelKey::kLetter, 'Z', true, kCmdUndo},
    {AccelKey::kLetter, 'C', true, kCmdCopy},
    {AccelKey::kLetter, 'V', true, kCmdPaste},
    {AccelKey::kLetter, 'W', true, kCmdInfo},
    {AccelKey::kNumpadAdd, 0, false, kCmdZoomInResize},
    {AccelKey::kNumpadMultiply, 0, false, kCmdZoomIn},
    {AccelKey::kNumpadSubtract, 0, false, kCmdZoomOut},
    {AccelKey::kInsert, 0, false, kCmdNext},
    {AccelKey::kF1, 0, false, kCmdHelpContext},
};

} // namespace

std::span<const CommandInfo> command_table() { return kCommands; }

const CommandInfo* command_find(int id)
{
    if (id >= kCmdRecentFirst && id <= kCmdRecentLast)
        id = kCmdRecentFirst;
    else if (id >= kCmdMaskFirst && id <= kCmdMaskLast)
        id = kCmdMaskFirst;
    for (const CommandInfo& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::span<const SubmenuRule> transformation_submenu_rules() { return kSubmenus; }

std::span<const MenuTitle> menu_bar() { return kMenuBar; }

std::span<const Accelerator> accelerators() { return kAccelerators; }

int accelerator_command(AccelKey key, char letter, bool ctrl)
{
    const char upper = char(std::toupper(static_cast<unsigned char>(letter)));
    for (const Accelerator& a : kAccelerators)
        if (a.key == key && a.ctrl == ctrl && (key != AccelKey::kLetter || a.letter == upper))
            return a.command;
    return 0;
}

} // namespace mv
