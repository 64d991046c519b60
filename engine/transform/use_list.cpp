#include "use_list.h"

#include "core/error.h"
#include "core/format.h"

#include <algorithm>
#include <new>
#include <vector>

namespace mv {
namespace {

constexpr size_t kNameLimit = 80;

void notify_users(const UseList& list, const void* used, int message, UseNotifier& notifier)
{
    std::vector<const void*> users;
    for (const UseEntry& e : list.entries)
        if (e.used == used && std::find(users.begin(), users.end(), e.user) == users.end())
            users.push_back(e.user);
    for (const void* user : users)
        notifier.notify(user, used, message);
}

} // namespace

int use_add(UseList& list, const void* user, const void* used, std::string_view name,
            bool blocking)
{
    try {
        list.entries.push_back({user, used, blocking, std::string(name.substr(0, kNameLimit))});
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

void use_remove(UseList& list, const void* user, const void* used)
{
    list.entries.remove_if([&](const UseEntry& e) { return e.user == user && e.used == used; });
}

void use_forget(UseList& list, const void* window)
{
    list.entries.remove_if([&](const UseEntry& e) { return e.user == window || e.used == window; });
}

std::optional<std::string> use_find(const UseList& list, const void* used)
{
    for (const UseEntry& e : list.entries)
        if (e.used == used && e.blocking)
            return e.name;
    return std::nullopt;
}

std::optional<std::string> use_close_refusal(const UseList& list, const void* used)
{
    if (auto name = use_find(list, used))
        return format_text("Window in use by %s - Cannot close", *name);
    return std::nullopt;
}

void use_notify_changed(const UseList& list, const void* used, UseNotifier& notifier)
{
    notify_users(list, used, kMessageImageChanged, notifier);
}

void use_notify_retitled(const UseList& list, const void* used, UseNotifier& notifier)
{
    notify_users(list, used, kMessageImageRetitled, notifier);
}

} // namespace mv
