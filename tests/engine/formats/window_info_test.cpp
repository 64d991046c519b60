#include "file_test_support.h"

#include "formats/file_types.h"
#include "formats/window_info.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sys/stat.h>
#include <utime.h>

using namespace mv;

TEST(WindowInfo, FieldsOfAPicture)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_COLOR, 1001, 500, 200), 0);
    const WindowInfo info = window_info(img, "", FILE_NONE);
    EXPECT_EQ(info.type, "Color Image");
    EXPECT_EQ(info.bytes, "1,502,000 bytes"); // 500 rows of 3004 bytes
    EXPECT_EQ(info.pixels, "1,001 x 500 pixels");
    EXPECT_EQ(info.inches, "5.01 x 2.50 inches");
    EXPECT_EQ(info.dpi, "200.00 dpi");
    EXPECT_EQ(info.format, "N/A");
    EXPECT_EQ(info.date, "N/A");

    Image pseudo;
    ASSERT_EQ(image_alloc(pseudo, IMAGE_HISTOGRAM, 1, 1, 0), 0);
    const WindowInfo h = window_info(pseudo, "", FILE_NONE);
    EXPECT_EQ(h.type, "Histogram");
    EXPECT_EQ(h.bytes, "N/A");
    EXPECT_EQ(h.pixels, "N/A");
    EXPECT_EQ(h.inches, "N/A");
    EXPECT_EQ(h.dpi, "N/A");

    const WindowInfo none = window_info_none();
    EXPECT_EQ(none.type, "N/A");
    EXPECT_EQ(none.path, "N/A");
    EXPECT_EQ(none.date, "N/A");
}

TEST(WindowInfo, PathDateAndFormat)
{
    const std::string fifty(50, 'p');
    EXPECT_EQ(window_info_path(fifty), fifty);
    const std::string long_path = std::string(25, 'a') + "X" + std::string(25, 'b');
    EXPECT_EQ(window_info_path(long_path), std::string(25, 'a') + "..." + std::string(25, 'b'));

    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 9;
    t.tm_min = 7;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    EXPECT_EQ(window_info_date(when), "5-Mar-2024 09:07");

    filetest::TempFolder dir;
    const std::string path = dir.file("w.tif");
    filetest::write_bytes(path, {1, 2, 3});
    utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_GRAY, 10, 10, 100), 0);
    WindowInfo info = window_info(img, path, FILE_TIFF);
    EXPECT_EQ(info.format, "TIFF");
    EXPECT_EQ(info.date, "5-Mar-2024 09:07");
    EXPECT_EQ(info.path, path);
    info = window_info(img, path, FILE_PHOTOCD);
    EXPECT_EQ(info.format, "Photo CD");
    EXPECT_EQ(info.date, "N/A");
    EXPECT_EQ(window_info(img, path, 99).format, "N/A");
}
