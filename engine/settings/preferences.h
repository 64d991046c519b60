// Program-wide preferences and state with their defaults. One instance lives for the whole
// run; it is loaded from the settings store at start-up and saved on request.
#pragma once

#include <array>
#include <string>

namespace mv {

enum UndoLevel : int { kUndoNone = 0, kUndoSingle = 1, kUndoMultiple = 2 };

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct Preferences {
    bool confirm = true;
    Rgb workspace{64, 64, 64};
    int border_width = 8;
    Rgb border_color{255, 255, 255};
    std::string pcd_directory;
    std::string startup_directory;
    std::string temp_directory;
    double default_resolution = 200.0;
    int undo = kUndoMultiple;
    int file_list_length = 4;
    int default_open_type = 1;
    int default_save_type = 1;
};

struct ProgramState {
    std::array<std::string, 10> recent_files;
    int default_pcd_resolution = 3;
    int ribbon_orientation = 0;
    std::array<double, 4> print_margins{0, 0, 0, 0};
    std::array<int, 6> browse{1, 1, 0, 0, 3, 0};
    int jpeg_quality = 97;
    int jpeg_sampling = 0;
    int fpx_quality = 97;
    int fpx_choice = 0;
};

// The program's preferences and state.
Preferences& preferences();
ProgramState& program_state();

} // namespace mv
