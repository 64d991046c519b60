// The recent-file items of the File menu: labels with their access keys, long paths
// shortened to their two ends, empty slots disabled.
#pragma once

#include "formats/recent_files.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// "&N: path" for slot N - 1 (slot 9: "1&0: path"); a path longer than 50 characters shows
// its first 25, "..." and its last 25; an empty path gives the bare "&N:".
std::string recent_file_label(int slot, std::string_view path);

struct RecentItem {
    int id = 0; // 1019 + slot
    std::string text;
    bool enabled = false; // false for an empty slot
};

// The items for the first `shown` slots (clamped to 0..10). Slots at or beyond `shown` are
// emptied, as the menu no longer offers them.
std::vector<RecentItem> recent_file_items(RecentFiles& list, int shown);

} // namespace mv
