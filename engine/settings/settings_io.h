// Loading and saving the preferences and the state as text values of a KeyValueStore:
// blank-separated tokens, paths in double quotes, reals with six decimals.
#pragma once

#include "settings/key_value_store.h"
#include "settings/preferences.h"

#include <string>

namespace mv {

inline constexpr const char* kPreferencesGroup = "Preferences";
inline constexpr const char* kStateGroup = "State";
inline constexpr const char* kStateVersion = "1.0";

// Values whose text with its terminating zero does not fit this many bytes are skipped.
inline constexpr size_t kSettingsValueBuffer = 340;
inline constexpr size_t kSettingsPathLength = 260;

// Sets every preference to its default, then reads the values present. Missing, overlong
// and malformed values leave their settings at the default.
void preferences_load(const KeyValueStore& store, Preferences& prefs);
void preferences_save(KeyValueStore& store, const Preferences& prefs);

// Sets every state setting to its default, then reads the values when "version" is "1.0".
// Only recent-file slots below `file_list_length` are read.
void state_load(const KeyValueStore& store, int file_list_length, ProgramState& state);
void state_save(KeyValueStore& store, const ProgramState& state);

// The texts the values are written as.
std::string settings_real_text(double value);           // six decimals
std::string settings_color_text(const Rgb& color);      // "r/255 g/255 b/255"
std::string settings_quoted(const std::string& path);   // "\"path\""

// The resolution the Preferences window accepts: limited to 1.0 .. 1000.0.
double preferences_limit_resolution(double dpi);

} // namespace mv
