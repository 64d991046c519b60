#include "shell/recent_labels.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(RecentLabels, AccessKeysAndShortening)
{
    EXPECT_EQ(recent_file_label(0, "/a/b.tif"), "&1: /a/b.tif");
    EXPECT_EQ(recent_file_label(8, "x.jpg"), "&9: x.jpg");
    EXPECT_EQ(recent_file_label(9, "x.jpg"), "1&0: x.jpg");
    EXPECT_EQ(recent_file_label(2, ""), "&3:");
    EXPECT_EQ(recent_file_label(9, ""), "1&0:");

    // 50 characters are shown whole; 51 keep the first and last 25 around "...".
    const std::string fifty = std::string(25, 'a') + std::string(25, 'b');
    EXPECT_EQ(recent_file_label(1, fifty), "&2: " + fifty);
    const std::string fifty_one = "/home/someone/pictures/20" + std::string("X") +
                                  "24/holiday/beach_0001.tif";
    ASSERT_EQ(fifty_one.size(), 51u);
    EXPECT_EQ(recent_file_label(9, fifty_one),
              "1&0: /home/someone/pictures/20...24/holiday/beach_0001.tif");
}

TEST(RecentLabels, ItemsForTheShownSlotsFreeTheRest)
{
    RecentFiles list;
    for (int i = 0; i < 10; ++i)
        list[size_t(i)] = "f" + std::to_string(i);
    list[1].clear();
    auto items = recent_file_items(list, 4);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].id, 1019);
    EXPECT_EQ(items[0].text, "&1: f0");
    EXPECT_TRUE(items[0].enabled);
    EXPECT_EQ(items[1].text, "&2:");
    EXPECT_FALSE(items[1].enabled);
    EXPECT_EQ(items[3].id, 1022);
    for (int i = 4; i < 10; ++i)
        EXPECT_TRUE(list[size_t(i)].empty()) << i;
    EXPECT_EQ(list[3], "f3");

    list[9] = "last";
    items = recent_file_items(list, 25); // clamped to ten
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[9].id, 1028);
    EXPECT_EQ(items[9].text, "1&0: last");
    EXPECT_TRUE(recent_file_items(list, -1).empty());
    EXPECT_TRUE(list[0].empty());
}
