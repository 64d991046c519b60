// Splitting the editor's command line into the paths it names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr int kPathLimit = 260;

// Reads the line left to right: a double quote toggles quoting and is not copied, a blank
// outside quotes ends a path, the end of the line ends the last one. Every ended path is
// returned, empty ones too (two blanks in a row, a trailing blank). A path that reaches 260
// characters without ending is dropped and reading starts a new path at the next character.
std::vector<std::string> command_line_paths(std::string_view line);

// Joins program arguments into one command line, quoting each, so that the same rule
// applies to paths handed over already split by the system.
std::string command_line_join(const std::vector<std::string>& args);

} // namespace mv
