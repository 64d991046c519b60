// The table of image-window records: 256 slots, each holding one image window's picture
// and view state. A window refers to its record by slot index (-1 for windows without one).
#pragma once

#include "core/image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

inline constexpr int kWindowRecordCount = 256;

struct IntRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowRecord {
    Image image;                // the window's picture
    Image display;              // zoomed copy of the visible part, ready for the screen
    std::int32_t grid_divisions = 1; // 1 to 99; 1 = no grid
    std::int32_t zoom = 1;      // 1 = 1:1, N = magnification, -N = reduction
    IntRect shown;              // visible part in image columns and rows from the top
    IntRect display_rect;       // visible part in display pixels; left, top = scroll position
    std::int32_t visible_width = 0, visible_height = 0;
    std::int32_t scroll_max_x = 0, scroll_max_y = 0; // 0 = no scrolling on that axis
    std::int32_t centre_left = 0, centre_top = 0;    // margin when smaller than the client
    bool free = true;
    std::int32_t index = -1;
    std::string path;           // the file the picture came from or was saved to
    std::int32_t file_type = 0; // format code of that file; 0 none
    void* window = nullptr;     // the image window that owns the record
    // Mask overlay: the mask window shown over the picture, its table, mode and colour.
    void* mask_window = nullptr;
    std::vector<std::uint8_t> overlay_table;
    std::int32_t overlay_mode = 255;
    std::uint8_t overlay_red = 0, overlay_green = 0, overlay_blue = 0;
};

inline constexpr size_t kPathMaxLength = 260;

// Takes the first free record from the rotating start index up to 255, then from 0; the
// record is reset to its defaults and marked in use, and the start index moves on by one.
// Result 13 ("Too many images") when every record is in use.
int window_record_allocate(int& index, WindowRecord*& record);

// Frees the record's pictures and marks it free; -1 (or any index outside the table) does
// nothing.
void window_record_release(int index);

// The record in slot `index`, or null outside 0..255.
WindowRecord* window_record_at(int index);

// Frees every record and sets the start index back to 0 (start-up and shutdown).
void window_records_reset();

} // namespace mv
