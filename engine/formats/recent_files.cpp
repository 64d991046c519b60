#include "recent_files.h"

#include "core/util.h"
#include "settings/preferences.h"

#include <algorithm>

namespace mv {
namespace {

int find(const RecentFiles& list, std::string_view path, int limit)
{
    for (int i = 0; i < limit; ++i)
        if (!list[i].empty() && str_equal_nocase(list[i], path))
            return i;
    return -1;
}

} // namespace

void recent_files_add(RecentFiles& list, std::string_view path, int limit)
{
    limit = std::clamp(limit, 0, int(list.size()));
    for (int i = limit; i < int(list.size()); ++i)
        list[i].clear();
    if (limit == 0 || path.empty())
        return;
    int at = find(list, path, limit);
    std::string first = at >= 0 ? std::move(list[at]) : std::string(path);
    if (at < 0)
        at = limit - 1; // the last entry falls off
    for (int i = at; i > 0; --i)
        list[i] = std::move(list[i - 1]);
    list[0] = std::move(first);
}

void recent_files_remove(RecentFiles& list, std::string_view path)
{
    const int at = find(list, path, int(list.size()));
    if (at < 0)
        return;
    for (int i = at; i + 1 < int(list.size()); ++i)
        list[i] = std::move(list[i + 1]);
    list.back().clear();
}

void recent_file_add(std::string_view path)
{
    recent_files_add(program_state().recent_files, path, preferences().file_list_length);
}

void recent_file_remove(std::string_view path)
{
    recent_files_remove(program_state().recent_files, path);
}

} // namespace mv
