#include "formats/recent_files.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(RecentFiles, NewestFirstWithinTheLimit)
{
    RecentFiles list;
    for (const char* p : {"/a.tif", "/b.tif", "/c.tif", "/d.tif", "/e.tif"})
        recent_files_add(list, p, 4);
    EXPECT_EQ(list[0], "/e.tif");
    EXPECT_EQ(list[1], "/d.tif");
    EXPECT_EQ(list[2], "/c.tif");
    EXPECT_EQ(list[3], "/b.tif");
    for (int i = 4; i < 10; ++i)
        EXPECT_TRUE(list[i].empty());

    // An entry already there moves to the front, compared ignoring case.
    recent_files_add(list, "/C.TIF", 4);
    EXPECT_EQ(list[0], "/c.tif");
    EXPECT_EQ(list[1], "/e.tif");
    EXPECT_EQ(list[2], "/d.tif");
    EXPECT_EQ(list[3], "/b.tif");

    recent_files_remove(list, "/E.tif");
    EXPECT_EQ(list[0], "/c.tif");
    EXPECT_EQ(list[1], "/d.tif");
    EXPECT_EQ(list[2], "/b.tif");
    EXPECT_TRUE(list[3].empty());
    recent_files_remove(list, "/nothing");
    EXPECT_EQ(list[2], "/b.tif");

    // A shorter limit empties the slots beyond it; 0 keeps nothing.
    recent_files_add(list, "/f.tif", 2);
    EXPECT_EQ(list[0], "/f.tif");
    EXPECT_EQ(list[1], "/c.tif");
    EXPECT_TRUE(list[2].empty());
    recent_files_add(list, "/g.tif", 0);
    for (const std::string& s : list)
        EXPECT_TRUE(s.empty());
}

TEST(RecentFiles, ProgramListFollowsThePreference)
{
    const int saved = preferences().file_list_length;
    program_state().recent_files = {};
    preferences().file_list_length = 4;
    for (const char* p : {"1", "2", "3", "4", "5"})
        recent_file_add(p);
    EXPECT_EQ(program_state().recent_files[0], "5");
    EXPECT_EQ(program_state().recent_files[3], "2");
    EXPECT_TRUE(program_state().recent_files[4].empty());
    recent_file_remove("5");
    EXPECT_EQ(program_state().recent_files[0], "4");
    program_state().recent_files = {};
    preferences().file_list_length = saved;
}
