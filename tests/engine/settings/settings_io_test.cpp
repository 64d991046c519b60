#include "settings/settings_io.h"

#include <gtest/gtest.h>

using namespace mv;

namespace {

std::string pref(const MemoryKeyValueStore& s, const char* name)
{
    return s.get(kPreferencesGroup, name).value_or("<missing>");
}

std::string state(const MemoryKeyValueStore& s, const char* name)
{
    return s.get(kStateGroup, name).value_or("<missing>");
}

} // namespace

TEST(SettingsIo, PreferencesTextsAndRoundTrip)
{
    Preferences p;
    p.confirm = false;
    p.workspace = {1, 128, 255};
    p.border_width = 12;
    p.border_color = {0, 64, 200};
    p.pcd_directory = "/media/cdrom";
    p.startup_directory = "/home/me/My Pictures";
    p.default_resolution = 72.5;
    p.undo = kUndoSingle;
    p.file_list_length = 7;
    p.default_open_type = 3;
    p.default_save_type = 10;

    MemoryKeyValueStore store;
    preferences_save(store, p);
    EXPECT_EQ(store.size(), 11u);
    EXPECT_EQ(pref(store, "confirm"), "no");
    EXPECT_EQ(pref(store, "border"), "12 0.000000 0.250980 0.784314");
    EXPECT_EQ(pref(store, "workspace"), "0.003922 0.501961 1.000000");
    EXPECT_EQ(pref(store, "startupdirectory"), "\"/home/me/My Pictures\"");
    EXPECT_EQ(pref(store, "tempdirectory"), "\"\"");
    EXPECT_EQ(pref(store, "defaultres"), "72.500000");
    EXPECT_EQ(pref(store, "undo"), "single");
    EXPECT_EQ(pref(store, "nfilemenu"), "7");
    EXPECT_EQ(pref(store, "defaultfilesavetype"), "10");

    Preferences back;
    back.border_width = 99; // loading starts from the defaults
    preferences_load(store, back);
    EXPECT_FALSE(back.confirm);
    EXPECT_EQ(back.workspace, p.workspace);
    EXPECT_EQ(back.border_width, 12);
    EXPECT_EQ(back.border_color, p.border_color);
    EXPECT_EQ(back.pcd_directory, p.pcd_directory);
    EXPECT_EQ(back.startup_directory, p.startup_directory);
    EXPECT_EQ(back.temp_directory, "");
    EXPECT_DOUBLE_EQ(back.default_resolution, 72.5);
    EXPECT_EQ(back.undo, kUndoSingle);
    EXPECT_EQ(back.file_list_length, 7);
    EXPECT_EQ(back.default_open_type, 3);
    EXPECT_EQ(back.default_save_type, 10);

    p.confirm = true;
    p.undo = kUndoNone;
    preferences_save(store, p);
    EXPECT_EQ(pref(store, "confirm"), "yes");
    EXPECT_EQ(pref(store, "undo"), "none");

    // An empty store gives the defaults.
    MemoryKeyValueStore empty;
    preferences_load(empty, back);
    EXPECT_TRUE(back.confirm);
    EXPECT_EQ(back.workspace, (Rgb{64, 64, 64}));
    EXPECT_EQ(back.border_width, 8);
    EXPECT_EQ(back.undo, kUndoMultiple);
    EXPECT_EQ(back.file_list_length, 4);
}

TEST(SettingsIo, PreferenceReadingRules)
{
    const char* g = kPreferencesGroup;
    MemoryKeyValueStore s;
    Preferences p;

    s.set(g, "confirm", "NO thanks");
    preferences_load(s, p);
    EXPECT_FALSE(p.confirm);
    s.set(g, "confirm", "maybe");
    preferences_load(s, p);
    EXPECT_TRUE(p.confirm);

    // Fractions of 255 round halves away from zero: 0.5 x 255 = 127.5 gives 128.
    s.set(g, "workspace", "0.5 0.5 0.5");
    s.set(g, "border", "3 0.5\t1 0.001");
    preferences_load(s, p);
    EXPECT_EQ(p.workspace, (Rgb{128, 128, 128}));
    EXPECT_EQ(p.border_width, 3);
    EXPECT_EQ(p.border_color, (Rgb{128, 255, 0}));

    // Malformed values are skipped one by one.
    s.set(g, "workspace", "0.5 0.5");
    s.set(g, "border", "3 0.5 half 1");
    s.set(g, "undo", "Multiple");
    s.set(g, "defaultres", "300dpi");
    preferences_load(s, p);
    EXPECT_EQ(p.workspace, (Rgb{64, 64, 64}));
    EXPECT_EQ(p.border_color, (Rgb{255, 255, 255}));
    EXPECT_EQ(p.border_width, 8);
    EXPECT_EQ(p.undo, kUndoMultiple);
    EXPECT_DOUBLE_EQ(p.default_resolution, 200.0);
    s.set(g, "undo", "SINGLE");
    s.set(g, "defaultres", "1.5e+2");
    preferences_load(s, p);
    EXPECT_EQ(p.undo, kUndoSingle);
    EXPECT_DOUBLE_EQ(p.default_resolution, 150.0);
    s.set(g, "undo", "twice");
    preferences_load(s, p);
    EXPECT_EQ(p.undo, kUndoMultiple);

    // The file list length is clamped to 0..10.
    s.set(g, "nfilemenu", "25");
    preferences_load(s, p);
    EXPECT_EQ(p.file_list_length, 10);
    s.set(g, "nfilemenu", "-3");
    preferences_load(s, p);
    EXPECT_EQ(p.file_list_length, 0);
    s.set(g, "nfilemenu", "4x");
    preferences_load(s, p);
    EXPECT_EQ(p.file_list_length, 4);

    // Paths: the first token. Unquoted, a leading "/" is a token of its own.
    s.set(g, "tempdirectory", "\"/tmp/a b\" extra");
    s.set(g, "pcddirectory", "/media/cd");
    preferences_load(s, p);
    EXPECT_EQ(p.temp_directory, "/tmp/a b");
    EXPECT_EQ(p.pcd_directory, "/");

    // A value that does not fit the 340-byte buffer with its terminating zero is skipped.
    const std::string fits = "\"" + std::string(337, 'a') + "\"";   // 339 characters
    const std::string too_long = "\"" + std::string(338, 'a') + "\""; // 340 characters
    s.set(g, "startupdirectory", fits);
    preferences_load(s, p);
    EXPECT_EQ(p.startup_directory, std::string(255, 'a')); // one token holds 255 characters
    s.set(g, "startupdirectory", too_long);
    preferences_load(s, p);
    EXPECT_EQ(p.startup_directory, "");

    // List choices outside their lists keep the defaults.
    s.set(g, "defaultfileopentype", "14");
    s.set(g, "defaultfilesavetype", "0");
    preferences_load(s, p);
    EXPECT_EQ(p.default_open_type, 1);
    EXPECT_EQ(p.default_save_type, 1);

    EXPECT_DOUBLE_EQ(preferences_limit_resolution(0.5), 1.0);
    EXPECT_DOUBLE_EQ(preferences_limit_resolution(5000), 1000.0);
    EXPECT_DOUBLE_EQ(preferences_limit_resolution(96), 96.0);
}

TEST(SettingsIo, StateRoundTripAndVersionGate)
{
    ProgramState st;
    st.recent_files[0] = "/home/me/a b.tif";
    st.recent_files[1] = "/x/y.jpg";
    st.recent_files[6] = "/slot/six.png";
    st.default_pcd_resolution = 4;
    st.ribbon_orientation = 1;
    st.print_margins = {0.5, 1.25, 0, 2};
    st.browse = {2, 3, 4, 5, 6, 7};
    st.jpeg_quality = 80;
    st.jpeg_sampling = 2;
    st.fpx_quality = 60;
    st.fpx_choice = 1;

    MemoryKeyValueStore store;
    state_save(store, st);
    EXPECT_EQ(state(store, "version"), "1.0");
    EXPECT_EQ(state(store, "openfile0"), "\"/home/me/a b.tif\"");
    EXPECT_EQ(state(store, "openfile9"), "\"\"");
    EXPECT_EQ(state(store, "printmargins"), "0.500000 1.250000 0.000000 2.000000");
    EXPECT_EQ(state(store, "browse"), "2 3 4 5 6 7");
    EXPECT_EQ(state(store, "jpegquality"), "80 2");
    EXPECT_EQ(state(store, "ribbonorientation"), "1");

    ProgramState back;
    state_load(store, 10, back);
    EXPECT_EQ(back.recent_files, st.recent_files);
    EXPECT_EQ(back.default_pcd_resolution, 4);
    EXPECT_EQ(back.ribbon_orientation, 1);
    EXPECT_EQ(back.print_margins, st.print_margins);
    EXPECT_EQ(back.browse, st.browse);
    EXPECT_EQ(back.jpeg_quality, 80);
    EXPECT_EQ(back.jpeg_sampling, 2);
    EXPECT_EQ(back.fpx_quality, 60);
    EXPECT_EQ(back.fpx_choice, 1);

    // Only the slots below the file list length are read.
    state_load(store, 4, back);
    EXPECT_EQ(back.recent_files[1], "/x/y.jpg");
    EXPECT_EQ(back.recent_files[6], "");
    state_load(store, 0, back);
    EXPECT_EQ(back.recent_files[0], "");

    // Browse takes five integers, and the sixth when present.
    store.set(kStateGroup, "browse", "9 8 7 6 5");
    state_load(store, 4, back);
    EXPECT_EQ(back.browse, (std::array<int, 6>{9, 8, 7, 6, 5, 0}));
    store.set(kStateGroup, "browse", "9 8 7 6");
    state_load(store, 4, back);
    EXPECT_EQ(back.browse, (std::array<int, 6>{1, 1, 0, 0, 3, 0}));

    // A version other than 1.0 keeps every default.
    store.set(kStateGroup, "version", "2.0");
    state_load(store, 10, back);
    EXPECT_EQ(back.recent_files[0], "");
    EXPECT_EQ(back.ribbon_orientation, 0);
    EXPECT_EQ(back.jpeg_quality, 97);
    store.erase(kStateGroup, "version");
    state_load(store, 10, back);
    EXPECT_EQ(back.default_pcd_resolution, 3);
    store.set(kStateGroup, "version", "1.0 ");
    state_load(store, 10, back);
    EXPECT_EQ(back.default_pcd_resolution, 4);

    // A tool bar position outside -1..1 is ignored.
    store.set(kStateGroup, "ribbonorientation", "5");
    state_load(store, 10, back);
    EXPECT_EQ(back.ribbon_orientation, 0);
}
