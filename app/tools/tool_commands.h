// The Tools menu (Paint, Clone, Line and Arrow) and the Undo / Undo All commands that take
// back the retouching tools' strokes.
#pragma once

#include <functional>

class ImageWindow;
class QMainWindow;
class WorkspaceArea;

// Hands the Clone, Paint and Line and Arrow commands (6003-6005) to the frame, whose Tools
// menu and tool bar then offer them; for another main window, adds a "&Tools" menu of its
// own. Each opens its tool window in `area` (or activates the one already open), restoring
// a maximised or minimised picture first.
void install_tool_menu(QMainWindow& frame, WorkspaceArea* area,
                       std::function<ImageWindow*()> active);

// Opens (or activates) a tool window by its kind (6003 Clone, 6004 Paint, 6005 Line & Arrow).
// Returns the window.
class ToolWindowBase;
ToolWindowBase* open_tool_window(WorkspaceArea* area, int kind);

// True when Undo and Undo All have something to take back.
bool tools_undo_available();
// Takes back the newest stroke or line and redraws what it restored.
void tools_undo(WorkspaceArea* area);
// Takes back everything in the undo list.
void tools_undo_all(WorkspaceArea* area);
