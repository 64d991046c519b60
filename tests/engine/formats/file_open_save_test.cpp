// Opening by path (types from extensions, default extensions, missing files, recent files)
// and safe saving.
#include "file_test_support.h"
#include "test_messages.h"
#include "test_progress.h"

#include "formats/file_open.h"
#include "formats/file_save.h"
#include "formats/file_types.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mv;
using filetest::Bytes;
using filetest::TempFolder;

TEST(FileOpen, TypeFromExtensionAndDefaultExtension)
{
    TempFolder dir;
    program_state().recent_files = {};
    const Image gray = filetest::make_picture(IMAGE_GRAY, 16, 12);
    ASSERT_EQ(file_save_path(dir.file("a.JPEG"), SAVE_JPEG, gray), 0);
    ASSERT_EQ(file_save_path(dir.file("b.png"), SAVE_PNG, gray), 0);
    std::filesystem::copy_file(dir.file("b.png"), dir.file("a.xyz"));

    Image img;
    OpenedFile opened;
    ASSERT_EQ(file_open_path(dir.file("a.JPEG"), 1, img, opened), 0);
    EXPECT_EQ(opened.file_type, FILE_JPEG);
    ASSERT_EQ(file_open_path(dir.file("a.xyz"), -1, img, opened), 0);
    EXPECT_EQ(opened.file_type, FILE_UNKNOWN);
    EXPECT_TRUE(filetest::same_pixels(gray, img));

    // A path without extension opened as PNG gets ".png".
    ASSERT_EQ(file_open_path(dir.file("b"), FILE_PNG, img, opened), 0);
    EXPECT_EQ(opened.path, dir.file("b.png"));
    EXPECT_EQ(opened.file_type, FILE_PNG);
    EXPECT_EQ(program_state().recent_files[0], dir.file("b.png"));
    EXPECT_EQ(program_state().recent_files[1], dir.file("a.xyz"));
    program_state().recent_files = {};
}

TEST(FileOpen, MissingFileIsReportedAndLeavesTheRecentList)
{
    TempFolder dir;
    const std::string path = dir.file("gone.tif");
    program_state().recent_files = {path, "/other.tif"};
    test::RecordingMessageSink messages;
    Image img;
    OpenedFile opened;
    EXPECT_EQ(file_open_path(dir.file("gone"), FILE_TIFF, img, opened), 0);
    EXPECT_TRUE(opened.missing);
    EXPECT_TRUE(img.empty());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, "Error");
    EXPECT_EQ(messages.messages[0].text, "File does not exist: " + path);
    EXPECT_EQ(program_state().recent_files[0], "/other.tif");
    program_state().recent_files = {};
}

TEST(FileOpen, FiveOpensWithFourSlots)
{
    TempFolder dir;
    program_state().recent_files = {};
    const int saved = preferences().file_list_length;
    preferences().file_list_length = 4;
    const Image bin = filetest::make_picture(IMAGE_BINARY, 9, 9);
    Image img;
    OpenedFile opened;
    for (int i = 0; i < 5; ++i) {
        const std::string p = dir.file("f" + std::to_string(i) + ".bmp");
        ASSERT_EQ(file_save_path(p, SAVE_BMP, bin), 0);
        ASSERT_EQ(file_open_path(p, 1, img, opened), 0);
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(program_state().recent_files[i], dir.file("f" + std::to_string(4 - i) + ".bmp"));
    EXPECT_TRUE(program_state().recent_files[4].empty());
    preferences().file_list_length = saved;
    program_state().recent_files = {};
}

TEST(FileSave, FailedOrCancelledSaveLeavesTheFileIntact)
{
    TempFolder dir;
    const std::string path = dir.file("keep.fit");
    const Bytes original = {'o', 'r', 'i', 'g', 'i', 'n', 'a', 'l'};
    filetest::write_bytes(path, original);
    ::chmod(path.c_str(), 0640);

    // Wrong type for the format.
    const Image colour = filetest::make_picture(IMAGE_COLOR, 120, 100);
    EXPECT_EQ(file_save_path(path, SAVE_FITS, colour), 46);
    EXPECT_EQ(filetest::read_bytes(path), original);

    // Cancelled half-way through the rows.
    for (int filter : {SAVE_BMP, SAVE_JPEG, SAVE_TIFF, SAVE_PNG}) {
        test::TestProgressSink sink;
        sink.cancel_during(30);
        EXPECT_EQ(file_save_path(path, filter, colour), 11);
        EXPECT_EQ(filetest::read_bytes(path), original);
    }
    // No temporary file is left behind.
    EXPECT_EQ(dir.names(), std::vector<std::string>{"keep.fit"});

    // A successful save replaces the file and keeps its permissions.
    const Image gray = filetest::make_picture(IMAGE_GRAY, 20, 10);
    ASSERT_EQ(file_save_path(path, SAVE_FITS, gray), 0);
    EXPECT_NE(filetest::read_bytes(path), original);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"keep.fit"});

    // A folder that does not exist cannot be written.
    EXPECT_EQ(file_save_path(dir.file("no/such/x.png"), SAVE_PNG, gray), 3);
}

TEST(FileSave, SymbolicLinkIsFollowed)
{
    TempFolder dir;
    const std::string real = dir.file("real.png");
    filetest::write_bytes(real, {1});
    std::filesystem::create_symlink(real, dir.file("link.png"));
    const Image gray = filetest::make_picture(IMAGE_GRAY, 8, 8);
    ASSERT_EQ(file_save_path(dir.file("link.png"), SAVE_PNG, gray), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
    Image back;
    OpenedFile opened;
    ASSERT_EQ(file_open_path(real, 1, back, opened), 0);
    EXPECT_TRUE(filetest::same_pixels(gray, back));
    program_state().recent_files = {};
}
