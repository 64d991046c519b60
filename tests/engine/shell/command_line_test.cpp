#include "shell/command_line.h"

#include <gtest/gtest.h>

using mv::command_line_paths;
using Paths = std::vector<std::string>;

TEST(CommandLine, QuotesGroupBlanksAndToggleAnywhere)
{
    EXPECT_EQ(command_line_paths(""), Paths{});
    EXPECT_EQ(command_line_paths("a.tif"), Paths{"a.tif"});
    EXPECT_EQ(command_line_paths("\"my photo.tif\" b.jpg"), (Paths{"my photo.tif", "b.jpg"}));
    // A quote in the middle of a word only toggles quoting.
    EXPECT_EQ(command_line_paths("my\" \"photo.tif x"), (Paths{"my photo.tif", "x"}));
    // Two blanks in a row and a trailing blank hand over empty paths too.
    EXPECT_EQ(command_line_paths("a  b "), (Paths{"a", "", "b", ""}));
}

TEST(CommandLine, OverlongPathIsDroppedAndReadingStartsAfresh)
{
    const std::string longPath(260, 'x');
    EXPECT_EQ(command_line_paths(longPath + "abc d"), (Paths{"abc", "d"}));
    const std::string fits(259, 'y');
    EXPECT_EQ(command_line_paths(fits), Paths{fits});
}

TEST(CommandLine, JoinedArgumentsSplitBackUnchanged)
{
    const Paths args{"/home/me/my photo.tif", "plain.png"};
    EXPECT_EQ(command_line_paths(mv::command_line_join(args)), args);
}
