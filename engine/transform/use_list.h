// The use list: which window currently reads which image window, under which name. A
// transformation window, an Amount control or an input image selector adds itself while it
// reads an image window; the frame refuses to close a window that a blocking entry names,
// and edits or renames of a window are announced to every window that uses it. Windows are
// opaque handles here.
#pragma once

#include <list>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

inline constexpr int kMessageImageChanged = 32802;
inline constexpr int kMessageImageRetitled = 32807;

struct UseEntry {
    const void* user = nullptr;
    const void* used = nullptr;
    bool blocking = false;
    std::string name; // at most 80 characters
};

// Entries in insertion order, oldest first.
struct UseList {
    std::list<UseEntry> entries;
};

// Receives the notifications sent to the users of a window.
class UseNotifier {
public:
    virtual ~UseNotifier() = default;
    // `message` is kMessageImageChanged or kMessageImageRetitled.
    virtual void notify(const void* user, const void* used, int message) = 0;
};

// Appends an entry; the name is cut to 80 characters. Result 1 when it cannot be stored.
int use_add(UseList& list, const void* user, const void* used, std::string_view name,
            bool blocking);

// Removes every entry of the pair.
void use_remove(UseList& list, const void* user, const void* used);

// Removes every entry in which the window is the user or the used one (a window that goes
// away).
void use_forget(UseList& list, const void* window);

// The name of the first blocking entry for `used`, counted from the oldest; none when no
// blocking entry names it.
std::optional<std::string> use_find(const UseList& list, const void* used);

// "Window in use by %s - Cannot close" for a window that must not close; none when it may.
std::optional<std::string> use_close_refusal(const UseList& list, const void* used);

// Sends image-changed / image-retitled to every user of `used`, in list order. A user that
// changes the list while it is notified (a selector moving its entry) is safe: the users
// are collected first, and each is notified once.
void use_notify_changed(const UseList& list, const void* used, UseNotifier& notifier);
void use_notify_retitled(const UseList& list, const void* used, UseNotifier& notifier);

} // namespace mv
