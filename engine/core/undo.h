// The undo list of in-place edits: one program-wide list of saved rectangles, oldest first,
// shared by every image window. Tools that paint into an open picture save each rectangle
// before changing it; boundary records (no window) separate operations so that one Undo
// takes back exactly one stroke or one line.
#pragma once

#include "image.h"

#include <cstdint>
#include <list>
#include <vector>

namespace mv {

// An image window as the engine sees it: an opaque handle compared by identity.
using WindowHandle = const void*;

struct UndoRecord {
    WindowHandle window = nullptr; // null marks an operation boundary
    Image* target = nullptr;       // the window's picture the pixels came from
    // Inclusive rectangle in the picture's own columns and rows (row 0 at the bottom).
    std::int32_t first_column = 0, first_row = 0, last_column = 0, last_row = 0;
    Image saved;                   // copy of exactly that rectangle, 100 dpi
    std::uint64_t serial = 0;      // grows with every record appended
};

struct UndoList {
    std::list<UndoRecord> records; // front = oldest (head), back = newest (tail)
    std::uint64_t next_serial = 1;
};

// The program's one list.
UndoList& undo_list();

// A rectangle put back by Undo, for the caller to redisplay and announce as changed.
struct UndoChange {
    WindowHandle window = nullptr;
    Image* target = nullptr;
    int first_column = 0, first_row = 0, last_column = 0, last_row = 0;
};

// Where a tool's records start: taken right after undo_begin. Lookups only see records
// appended after it.
struct UndoMark {
    bool taken = false;
    std::uint64_t serial = 0; // serial of the newest record when taken, 0 for an empty list
};

// Starts an operation. Level none does nothing; single level first drops every record; a
// boundary is appended only above existing records. Result 0, or 1 when out of memory.
int undo_begin(UndoList& list = undo_list());

// Saves the inclusive rectangle of `image` (the picture of `window`) before it is changed.
// The rectangle is clipped to the picture; nothing is saved when it misses. Result 0, 1 when
// out of memory, 14 for a picture that is not of a picture type.
int undo_save(WindowHandle window, Image& image, int first_column, int first_row,
              int last_column, int last_row, UndoList& list = undo_list());

// Takes back the newest operation: restores records from the tail until a boundary (also
// removed) or the empty list. Every restored rectangle is appended to `changes` when given.
void undo_undo(UndoList& list = undo_list(), std::vector<UndoChange>* changes = nullptr);
// Takes back everything in the list.
void undo_all(UndoList& list = undo_list(), std::vector<UndoChange>* changes = nullptr);

// True when Undo and Undo All have something to do.
bool undo_available(const UndoList& list = undo_list());

// Drops every record of a closing window, wherever it stands; boundaries stay.
void undo_forget(WindowHandle window, UndoList& list = undo_list());

// Empties the list (a retouching tool window opens or closes).
void undo_clear(UndoList& list = undo_list());

// The mark of the newest record, taken right after undo_begin.
UndoMark undo_mark(const UndoList& list = undo_list());

// The value the pixel at column, row of `window` had when first saved after `mark`:
// the walk goes from the record after the mark towards newer ones and stops at the first
// boundary. Gives red, green, blue (binary 0 or 255, gray three times, 16-bit values for
// 16-bit pictures). False when the mark was never taken or no record covers the point.
bool undo_saved_value(UndoMark mark, WindowHandle window, int column, int row, int rgb[3],
                      const UndoList& list = undo_list());

// Red, green, blue of a picture's pixel in the same form as undo_saved_value. The point must
// lie inside a picture-type image.
void pixel_read(const Image& image, int column, int row, int rgb[3]);

} // namespace mv
