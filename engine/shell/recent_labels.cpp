#include "recent_labels.h"

#include "shell/command_table.h"

#include <algorithm>

namespace mv {
namespace {

constexpr size_t kWholeLength = 50;
constexpr size_t kEndLength = 25;

// "&1:" .. "&9:", and "1&0:" for the tenth slot.
std::string slot_key(int slot)
{
    if (slot == 9)
        return "1&0:";
    return "&" + std::to_string(slot + 1) + ":";
}

} // namespace

std::string recent_file_label(int slot, std::string_view path)
{
    std::string label = slot_key(slot);
    if (path.empty())
        return label;
    label += ' ';
    if (path.size() <= kWholeLength) {
        label += path;
    } else {
        label += path.substr(0, kEndLength);
        label += "...";
        label += path.substr(path.size() - kEndLength);
    }
    return label;
}

std::vector<RecentItem> recent_file_items(RecentFiles& list, int shown)
{
    shown = std::clamp(shown, 0, int(list.size()));
    std::vector<RecentItem> items;
    for (int i = 0; i < int(list.size()); ++i) {
        if (i < shown)
            items.push_back({kCmdRecentFirst + i, recent_file_label(i, list[size_t(i)]),
                             !list[size_t(i)].empty()});
        else
            list[size_t(i)].clear();
    }
    return items;
}

} // namespace mv
