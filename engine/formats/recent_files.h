// The recent-files list: newest first, at most the preference "nfilemenu" entries of the
// ten slots kept with the program's state.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace mv {

using RecentFiles = std::array<std::string, 10>;

// Puts `path` first. A path already in the list (compared ignoring case) moves to the front;
// otherwise every entry moves down one place and the last one falls off. Only the first
// `limit` slots (0..10) hold paths; the others are emptied.
void recent_files_add(RecentFiles& list, std::string_view path, int limit);

// Removes `path` (ignoring case) and closes the gap.
void recent_files_remove(RecentFiles& list, std::string_view path);

// The same on the program's list, limited by preferences().file_list_length.
void recent_file_add(std::string_view path);
void recent_file_remove(std::string_view path);

} // namespace mv
