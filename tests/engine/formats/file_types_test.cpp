// The file-type table, save filters and the Save As extension rule.
#include "formats/file_save.h"
#include "formats/file_types.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(FileTypes, TypeFromExtension)
{
    EXPECT_EQ(file_type_from_extension("a.JPEG"), FILE_JPEG);
    EXPECT_EQ(file_type_from_extension("/x/y/photo.jpg"), FILE_JPEG);
    EXPECT_EQ(file_type_from_extension("a.xyz"), FILE_UNKNOWN);
    EXPECT_EQ(file_type_from_extension("noext"), FILE_UNKNOWN);
    EXPECT_EQ(file_type_from_extension("dir.tif/file"), FILE_UNKNOWN); // the point is in a folder
    EXPECT_EQ(file_type_from_extension("a.Tiff"), FILE_TIFF);
    EXPECT_EQ(file_type_from_extension("a.fits"), FILE_FITS);
    EXPECT_EQ(file_type_from_extension("a.fit"), FILE_FITS);
    EXPECT_EQ(file_type_from_extension("a.pcd"), FILE_PHOTOCD);
    EXPECT_EQ(file_type_from_extension("a.rle"), FILE_RLE);
    EXPECT_EQ(file_type_from_extension("a.eps"), FILE_UNKNOWN); // EPS has no file type
    EXPECT_EQ(file_type_from_extension("a.pct"), FILE_UNKNOWN);

    EXPECT_STREQ(file_type_name(0), "N/A");
    EXPECT_STREQ(file_type_name(8), "Photo CD");
    EXPECT_STREQ(file_type_name(13), "PICT");
    EXPECT_STREQ(file_type_name(14), "N/A");
    EXPECT_STREQ(open_filter(1)->name, "All Files");
    EXPECT_STREQ(open_filter(8)->name, "PhotoCD");
    EXPECT_STREQ(open_filter(11)->pattern, "*.fit;*.fits");
    EXPECT_EQ(open_filter(13), nullptr);
    EXPECT_EQ(open_filter(0), nullptr);
}

TEST(FileTypes, SaveFiltersAndTypes)
{
    const int types[] = {2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12};
    const char* exts[] = {".tif", ".jpg", ".bmp", ".tga", ".pcx", ".gif",
                          ".eps", ".png", ".fpx", ".fit", ".rle"};
    for (int i = 1; i <= 11; ++i) {
        EXPECT_EQ(save_filter_file_type(i), types[i - 1]);
        EXPECT_STREQ(save_default_extension(i), exts[i - 1]);
        if (types[i - 1] != 0)
            EXPECT_EQ(file_type_save_filter(types[i - 1]), i);
    }
    for (int t : {0, 1, 8, 13})
        EXPECT_EQ(file_type_save_filter(t), 0);
    EXPECT_EQ(save_filter_file_type(12), -1);
    EXPECT_EQ(save_filter_list(IMAGE_GRAY16), (std::vector<int>{SAVE_TIFF, SAVE_FITS}));
    EXPECT_EQ(save_filter_list(IMAGE_COLOR48), (std::vector<int>{1, 10}));
    EXPECT_EQ(save_filter_list(IMAGE_BINARY).size(), 11u);
    EXPECT_EQ(save_filter_by_name("jpeg"), SAVE_JPEG);
    EXPECT_EQ(save_filter_by_name("FlashPix"), SAVE_FLASHPIX);
    EXPECT_EQ(save_filter_by_name("webp"), 0);
    EXPECT_EQ(save_filter_from_extension("x.FITS"), SAVE_FITS);
    EXPECT_EQ(save_filter_from_extension("x.eps"), SAVE_EPS);
    EXPECT_EQ(save_filter_from_extension("x.pcd"), 0);
}

TEST(FileTypes, SaveAsExtensionCheck)
{
    std::string name, message;
    EXPECT_TRUE(save_as_name("/img/photo", SAVE_TIFF, name, message));
    EXPECT_EQ(name, "/img/photo.tif");
    EXPECT_TRUE(save_as_name("photo.TIFF", SAVE_TIFF, name, message));
    EXPECT_EQ(name, "photo.TIFF");
    EXPECT_FALSE(save_as_name("photo.jpg", SAVE_TIFF, name, message));
    EXPECT_EQ(message, "TIFF files must have an extension of .tif or .tiff");
    const char* messages[] = {
        "TIFF files must have an extension of .tif or .tiff",
        "JPEG files must have an extension of .jpg or .jpeg",
        "BMP files must have an extension of .bmp",
        "Targa files must have an extension of .tga",
        "PCX files must have an extension of .pcx",
        "GIF files must have an extension of .gif",
        "EPS files must have an extension of .eps",
        "PNG files must have an extension of .png",
        "FlashPix files must have an extension of .fpx",
        "FITS files must have an extension of .fit or .fits",
        "RLE files must have an extension of .rle",
    };
    for (int i = 1; i <= 11; ++i) {
        EXPECT_FALSE(save_extension_ok("a.xyz", i, message));
        EXPECT_EQ(message, messages[i - 1]);
        EXPECT_TRUE(save_extension_ok(std::string("a") + save_default_extension(i), i, message));
    }
    EXPECT_TRUE(save_extension_ok("a.JPEG", SAVE_JPEG, message));
    EXPECT_TRUE(save_extension_ok("a.fits", SAVE_FITS, message));
    EXPECT_FALSE(save_extension_ok("a.tif.", SAVE_TIFF, message));
}
