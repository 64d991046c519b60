// Save, Save As and Revert of an image window, with their dialogs and questions.
#pragma once

#include "formats/format_entry.h"

#include <functional>
#include <vector>

class ImageWindow;
class QWidget;

namespace save_commands {

// The save filters Save As offers for a picture type: every filter this system can write
// (16-bit pictures: TIFF and FITS only).
std::vector<int> offeredFilters(int imageType);
// The filter Save As starts with: the window's file type's filter, else the last one used
// since the start, else the preference "defaultfilesavetype"; TIFF for 16-bit pictures.
int preselectedFilter(int imageType, int fileType);

// Saves under the window's path and type when it has both and the type can be written,
// else Save As. Returns the error code (11 when a dialog was cancelled); shows nothing but
// the dialogs, the questions and the JPEG statistics.
int fileSave(ImageWindow* window);
// Asks for a name and type until the name suits the type and no open window or existing
// file stands in the way, then saves. 11 when the dialog is cancelled.
int fileSaveAs(ImageWindow* window);
// File > Close of a modified window, with "confirm" on: "Save modified file?" (Yes/No/
// Cancel). Yes saves (the window may close only when that succeeded), No lets it close,
// Cancel keeps it. True when the window may close.
bool fileCloseQuery(ImageWindow* window);
// Reads the window's file again (Photo CD asks for the size; Cancel gives 11). Windows
// whose file type has no reader only lose their modified mark.
int fileRevert(ImageWindow* window);

// The JPEG dialog, replaceable for tests; an empty function restores the dialog.
using JpegAsker = std::function<bool(QWidget*, bool colour, mv::SaveOptions&)>;
void setJpegAsker(JpegAsker asker);
// The Photo CD size dialog likewise (resolution number 2..4, 0 when cancelled).
using PhotoCdAsker = std::function<int(QWidget*)>;
void setPhotoCdAsker(PhotoCdAsker asker);
int askPhotoCdResolution(QWidget* parent);

// Back to the state at start: no save filter used yet (tests).
void resetSaveState();

} // namespace save_commands
