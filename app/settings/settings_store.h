// The editor's settings store: the desktop's per-user settings of "Halvern"/"Morvane", one
// group for the preferences and one for the state, every value kept as text.
#pragma once

#include "settings/key_value_store.h"

#include <QSettings>

class SettingsStore final : public mv::KeyValueStore {
public:
    SettingsStore();
    std::optional<std::string> get(std::string_view group, std::string_view name) const override;
    void set(std::string_view group, std::string_view name, std::string_view value) override;
    // Writes pending changes out now.
    void sync() { settings_.sync(); }

private:
    mutable QSettings settings_;
};

// Start-up and exit: the preferences, then the state, read into the program's settings;
// the state written back.
void settings_load_all();
void settings_save_state();
// The Preferences window's "save for future sessions".
void settings_save_preferences();
