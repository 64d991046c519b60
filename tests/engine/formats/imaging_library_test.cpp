// The imaging-library bridge and the per-format entry points: round trips through every
// savable format and picture type, the loading rules, JPEG quality and sampling, cancel and
// damaged files.
#include "file_test_support.h"
#include "test_messages.h"
#include "test_progress.h"

#include "formats/file_types.h"
#include "formats/format_entry.h"
#include "formats/imaging_library.h"
#include "formats/library_bitmap.h"
#include "reduce/color_reducer.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

using namespace mv;
using filetest::Bytes;
using filetest::TempFolder;

namespace {

struct RoundTrip {
    int filter;
    int type;
    int reloaded; // the picture type the file reads back as
};

int open_as(int filter, const std::string& path, Image& img)
{
    return format_open(save_filter_file_type(filter), path, img, true);
}

} // namespace

TEST(ImagingLibrary, LosslessRoundTripsKeepPixelsTypeAndResolution)
{
    const RoundTrip cases[] = {
        {SAVE_TIFF, IMAGE_BINARY, IMAGE_BINARY}, {SAVE_TIFF, IMAGE_GRAY, IMAGE_GRAY},
        {SAVE_TIFF, IMAGE_COLOR, IMAGE_COLOR},   {SAVE_TIFF, IMAGE_GRAY16, IMAGE_GRAY16},
        {SAVE_TIFF, IMAGE_COLOR48, IMAGE_COLOR48},
        {SAVE_BMP, IMAGE_BINARY, IMAGE_BINARY},  {SAVE_BMP, IMAGE_GRAY, IMAGE_GRAY},
        {SAVE_BMP, IMAGE_COLOR, IMAGE_COLOR},
        {SAVE_TARGA, IMAGE_BINARY, IMAGE_BINARY}, {SAVE_TARGA, IMAGE_GRAY, IMAGE_GRAY},
        {SAVE_TARGA, IMAGE_COLOR, IMAGE_COLOR},
        {SAVE_PCX, IMAGE_BINARY, IMAGE_BINARY},  {SAVE_PCX, IMAGE_GRAY, IMAGE_GRAY},
        {SAVE_PCX, IMAGE_COLOR, IMAGE_COLOR},
        {SAVE_GIF, IMAGE_BINARY, IMAGE_BINARY},  {SAVE_GIF, IMAGE_GRAY, IMAGE_GRAY},
        {SAVE_PNG, IMAGE_BINARY, IMAGE_BINARY},  {SAVE_PNG, IMAGE_GRAY, IMAGE_GRAY},
        {SAVE_PNG, IMAGE_COLOR, IMAGE_COLOR},
        {SAVE_RLE, IMAGE_GRAY, IMAGE_GRAY},
        {SAVE_FITS, IMAGE_GRAY, IMAGE_GRAY},     {SAVE_FITS, IMAGE_GRAY16, IMAGE_GRAY16},
    };
    TempFolder dir;
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(testing::Message() << save_filter(c.filter)->name << " type " << c.type);
        const Image img = filetest::make_picture(c.type, 37, 23);
        const std::string path = dir.file(std::string("p") + save_default_extension(c.filter));
        ASSERT_EQ(format_save(c.filter, path, img), 0);
        Image back;
        ASSERT_EQ(open_as(c.filter, path, back), 0);
        EXPECT_EQ(back.type, c.reloaded);
        EXPECT_TRUE(filetest::same_pixels(img, back));
        if (c.filter == SAVE_BMP || c.filter == SAVE_PNG || c.filter == SAVE_TIFF)
            EXPECT_DOUBLE_EQ(back.resolution, 150.0);
    }
}

TEST(ImagingLibrary, PaletteFormatsReduceColourAndWidenBinaryForRle)
{
    TempFolder dir;
    const Image few = filetest::make_few_colors(40, 30);
    // What the colour reducer makes of the picture, as a colour picture.
    Image indices, reduced;
    Palette palette;
    ASSERT_EQ(color_reduce(few, &indices, 256, false, palette, false), 0);
    ASSERT_EQ(image_alloc(reduced, IMAGE_COLOR, few.width, few.height, few.resolution), 0);
    for (int y = 0; y < few.height; ++y)
        for (int x = 0; x < few.width; ++x)
            for (int c = 0; c < 3; ++c)
                reduced.row(y)[3 * x + c] = palette.colors[indices.row(y)[x]][2 - c];
    for (int filter : {SAVE_GIF, SAVE_RLE}) {
        SCOPED_TRACE(save_filter(filter)->name);
        const std::string path = dir.file(std::string("c") + save_default_extension(filter));
        ASSERT_EQ(format_save(filter, path, few), 0);
        Image back;
        ASSERT_EQ(open_as(filter, path, back), 0);
        EXPECT_TRUE(filetest::same_pixels(reduced, back));
    }
    // RLE8 needs 8 bits per pixel: a binary picture comes back as gray 0 and 255.
    const Image bin = filetest::make_picture(IMAGE_BINARY, 19, 7);
    ASSERT_EQ(format_save(SAVE_RLE, dir.file("b.rle"), bin), 0);
    const Bytes rle = filetest::read_bytes(dir.file("b.rle"));
    ASSERT_GT(rle.size(), 34u);
    EXPECT_EQ(rle[28], 8);  // bits per pixel
    EXPECT_EQ(rle[30], 1);  // BI_RLE8
    Image back;
    ASSERT_EQ(format_open(FILE_RLE, dir.file("b.rle"), back), 0);
    ASSERT_EQ(back.type, IMAGE_GRAY);
    for (int y = 0; y < bin.height; ++y)
        for (int x = 0; x < bin.width; ++x)
            ASSERT_EQ(back.row(y)[x], bit_test(bin.row(y), x) ? 255 : 0);
}

TEST(ImagingLibrary, JpegQualityFactorAndSampling)
{
    EXPECT_EQ(jpeg_quality_factor(75), 65);
    EXPECT_EQ(jpeg_quality_factor(97), 9);
    EXPECT_EQ(jpeg_quality_factor(100), 2);
    EXPECT_EQ(jpeg_quality_factor(0), 255);
    for (int q = 1; q <= 100; ++q)
        EXPECT_EQ(jpeg_library_quality(jpeg_quality_factor(q)), q) << q;
    EXPECT_EQ(jpeg_library_quality(255), 1);

    TempFolder dir;
    const Image colour = filetest::make_picture(IMAGE_COLOR, 64, 48);
    const int expected_h[] = {1, 2, 4};
    for (int sampling : {kSampling444, kSampling422, kSampling411}) {
        const std::string path = dir.file("s" + std::to_string(sampling) + ".jpg");
        SaveOptions opt;
        opt.jpeg_sampling = sampling;
        ASSERT_EQ(format_save(SAVE_JPEG, path, colour, opt), 0);
        // Read the sampling factors back with libjpeg itself.
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr jerr;
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, f);
        jpeg_read_header(&cinfo, TRUE);
        EXPECT_EQ(cinfo.comp_info[0].h_samp_factor, expected_h[sampling]);
        EXPECT_EQ(cinfo.comp_info[0].v_samp_factor, 1);
        EXPECT_EQ(cinfo.X_density, 150);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(f);
        Image back;
        ASSERT_EQ(format_open(FILE_JPEG, path, back), 0);
        EXPECT_EQ(back.type, IMAGE_COLOR);
        EXPECT_DOUBLE_EQ(back.resolution, 150.0);
        if (sampling == kSampling444)
            EXPECT_LE(filetest::max_difference(colour, back), 12);
    }
    // Gray stays gray; lower quality gives a smaller file.
    const Image gray = filetest::make_picture(IMAGE_GRAY, 64, 48);
    SaveOptions low;
    low.jpeg_quality = 20;
    ASSERT_EQ(format_save(SAVE_JPEG, dir.file("g97.jpg"), gray), 0);
    ASSERT_EQ(format_save(SAVE_JPEG, dir.file("g20.jpg"), gray, low), 0);
    EXPECT_LT(filetest::read_bytes(dir.file("g20.jpg")).size(),
              filetest::read_bytes(dir.file("g97.jpg")).size());
    Image back;
    ASSERT_EQ(format_open(FILE_JPEG, dir.file("g97.jpg"), back), 0);
    EXPECT_EQ(back.type, IMAGE_GRAY);
    EXPECT_LE(filetest::max_difference(gray, back), 6);
}

TEST(ImagingLibrary, SaveRefusesTypesTheFormatCannotHold)
{
    TempFolder dir;
    const Image colour = filetest::make_picture(IMAGE_COLOR, 8, 8);
    const Image binary = filetest::make_picture(IMAGE_BINARY, 8, 8);
    const Image gray16 = filetest::make_picture(IMAGE_GRAY16, 8, 8);
    test::RecordingMessageSink messages;
    EXPECT_EQ(format_save(SAVE_FITS, dir.file("a.fit"), colour), 46);
    EXPECT_EQ(format_save(SAVE_JPEG, dir.file("a.jpg"), binary), 24);
    EXPECT_EQ(format_save(SAVE_BMP, dir.file("a.bmp"), gray16), 30);
    EXPECT_EQ(format_save(SAVE_TARGA, dir.file("a.tga"), gray16), 27);
    EXPECT_EQ(format_save(SAVE_PCX, dir.file("a.pcx"), gray16), 52);
    EXPECT_EQ(format_save(SAVE_GIF, dir.file("a.gif"), gray16), 55);
    EXPECT_EQ(format_save(SAVE_PNG, dir.file("a.png"), gray16), 47);
    EXPECT_EQ(format_save(SAVE_EPS, dir.file("a.eps"), gray16), 60);
    EXPECT_EQ(format_save(SAVE_RLE, dir.file("a.rle"), gray16), 98);
    EXPECT_EQ(format_save(SAVE_FLASHPIX, dir.file("a.fpx"), binary), 68);
    EXPECT_TRUE(messages.messages.empty());
    // FlashPix has no codec here: both directions fail with their codes and say why.
    EXPECT_EQ(format_save(SAVE_FLASHPIX, dir.file("a.fpx"), colour), 63);
    filetest::write_bytes(dir.file("b.fpx"), Bytes(600, 0xd0));
    Image img;
    EXPECT_EQ(format_open(FILE_FLASHPIX, dir.file("b.fpx"), img), 45);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_NE(messages.messages[1].text.find("FlashPix"), std::string::npos);
    // EPS is written (as PostScript) but never read.
    ASSERT_EQ(format_save(SAVE_EPS, dir.file("c.eps"), colour), 0);
    const Bytes eps = filetest::read_bytes(dir.file("c.eps"));
    ASSERT_GT(eps.size(), 10u);
    EXPECT_EQ(std::string(eps.begin(), eps.begin() + 4), "%!PS");
}

TEST(ImagingLibrary, LoadingRulesForPalettes)
{
    BitmapInfo info;
    info.bits = 1;
    info.palette = {{0, 0, 0}, {255, 255, 255}};
    EXPECT_EQ(bitmap_image_type(info), IMAGE_BINARY);
    info.palette = {{255, 255, 255}, {0, 0, 0}};
    EXPECT_EQ(bitmap_image_type(info), IMAGE_BINARY);
    info.palette = {{0, 0, 0}, {128, 128, 128}};
    EXPECT_EQ(bitmap_image_type(info), IMAGE_GRAY);
    info.palette = {{255, 0, 0}, {0, 0, 255}};
    EXPECT_EQ(bitmap_image_type(info), IMAGE_COLOR);
    info.declared_colors = 0; // a BMP declaring no colour count stays binary
    EXPECT_EQ(bitmap_image_type(info), IMAGE_BINARY);
    info.declared_colors = -1;
    info.bits = 8;
    info.palette = {{0, 0, 0}, {255, 255, 255}};
    EXPECT_EQ(bitmap_image_type(info), IMAGE_GRAY); // only 1-bit files are binary
    info.palette.push_back({1, 2, 3});
    EXPECT_EQ(bitmap_image_type(info), IMAGE_COLOR);
    info.bits = 24;
    EXPECT_EQ(bitmap_image_type(info), IMAGE_COLOR);
    info.bits = 16;
    EXPECT_EQ(bitmap_image_type(info), IMAGE_EMPTY);

    // A white-first palette still gives white where the picture is white.
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_BINARY, 4, 1, 100), 0);
    BitmapInfo wb;
    wb.bits = 1;
    wb.palette = {{255, 255, 255}, {0, 0, 0}};
    const std::uint8_t idx[4] = {0, 1, 1, 0};
    bitmap_put_indices(img, 0, idx, wb);
    EXPECT_EQ(img.row(0)[0], 0x90);

    // Files without a resolution take the preference; metric units are undone.
    preferences().default_resolution = 123;
    EXPECT_DOUBLE_EQ(bitmap_resolution(0), 123.0);
    EXPECT_DOUBLE_EQ(bitmap_resolution(5906 * 0.0254), 150.0);
    EXPECT_DOUBLE_EQ(bitmap_resolution(5905 * 0.0254), 150.0);
    EXPECT_DOUBLE_EQ(bitmap_resolution(72.5), 72.5);
    preferences().default_resolution = 200;
}

TEST(ImagingLibrary, GifWithoutResolutionTakesDefault)
{
    TempFolder dir;
    const Image gray = filetest::make_picture(IMAGE_GRAY, 10, 10);
    ASSERT_EQ(format_save(SAVE_GIF, dir.file("g.gif"), gray), 0);
    preferences().default_resolution = 96;
    Image back;
    ASSERT_EQ(format_open(FILE_GIF, dir.file("g.gif"), back), 0);
    EXPECT_DOUBLE_EQ(back.resolution, 96.0);
    preferences().default_resolution = 200;
}

TEST(ImagingLibrary, CancelGivesElevenNotTheFormatCode)
{
    TempFolder dir;
    const Image colour = filetest::make_picture(IMAGE_COLOR, 120, 100);
    const int filters[] = {SAVE_BMP, SAVE_PNG, SAVE_JPEG, SAVE_GIF, SAVE_TARGA, SAVE_TIFF};
    for (int filter : filters) {
        SCOPED_TRACE(save_filter(filter)->name);
        const std::string path = dir.file(std::string("x") + save_default_extension(filter));
        ASSERT_EQ(format_save(filter, path, colour), 0);
        test::TestProgressSink sink;
        sink.cancel_during(40);
        test::RecordingMessageSink quiet;
        Image img;
        EXPECT_EQ(open_as(filter, path, img), 11);
        EXPECT_TRUE(img.empty());
        EXPECT_EQ(sink.open, 0);
        ASSERT_FALSE(sink.begins.empty());
        EXPECT_TRUE(sink.begins[0].cancellable);
    }
    // Titles of the progress windows.
    test::TestProgressSink sink;
    Image img;
    ASSERT_EQ(format_open(FILE_JPEG, dir.file("x.jpg"), img), 0);
    ASSERT_EQ(format_open(FILE_BMP, dir.file("x.bmp"), img), 0);
    ASSERT_EQ(format_save(SAVE_JPEG, dir.file("y.jpg"), img), 0);
    ASSERT_EQ(format_save(SAVE_PNG, dir.file("y.png"), img), 0);
    EXPECT_EQ(sink.titles(), (std::vector<std::string>{"File Open (JPEG)", "File Open",
                                                        "File Save (JPEG)", "File Save"}));
    // A cancelled save is 11 as well.
    for (int filter : {SAVE_BMP, SAVE_JPEG, SAVE_PNG, SAVE_GIF, SAVE_RLE}) {
        test::TestProgressSink cancelling;
        cancelling.cancel_during(10);
        EXPECT_EQ(format_save(filter, dir.file(std::string("z") + save_default_extension(filter)),
                              colour),
                  11);
    }
}

TEST(ImagingLibrary, DamagedFilesGiveTheFormatCode)
{
    TempFolder dir;
    test::RecordingMessageSink quiet;
    const Image colour = filetest::make_picture(IMAGE_COLOR, 50, 40);
    const int filters[] = {SAVE_BMP, SAVE_PNG, SAVE_JPEG, SAVE_GIF, SAVE_PCX, SAVE_RLE};
    for (int filter : filters) {
        SCOPED_TRACE(save_filter(filter)->name);
        const std::string path = dir.file(std::string("d") + save_default_extension(filter));
        ASSERT_EQ(format_save(filter, path, colour), 0);
        Bytes b = filetest::read_bytes(path);
        const int code = format_open_error(save_filter_file_type(filter));
        Image img;
        // Cut short.
        filetest::write_bytes(path, Bytes(b.begin(), b.begin() + std::min<size_t>(b.size(), 20)));
        EXPECT_EQ(open_as(filter, path, img), code);
        EXPECT_TRUE(img.empty());
        // Empty.
        filetest::write_bytes(path, {});
        EXPECT_EQ(open_as(filter, path, img), code);
        // Garbage.
        Bytes junk(3000);
        for (size_t i = 0; i < junk.size(); ++i)
            junk[i] = std::uint8_t(i * 131 + 7);
        filetest::write_bytes(path, junk);
        EXPECT_EQ(open_as(filter, path, img), code);
    }
    Image img;
    filetest::write_bytes(dir.file("a.xyz"), Bytes(500, 0x41));
    EXPECT_EQ(format_open(FILE_UNKNOWN, dir.file("a.xyz"), img), 99);
    filetest::write_bytes(dir.file("a.tga"), Bytes(5, 0));
    EXPECT_EQ(format_open(FILE_TARGA, dir.file("a.tga"), img), 25);
    filetest::write_bytes(dir.file("a.tif"), Bytes(64, 0x49));
    EXPECT_EQ(format_open(FILE_TIFF, dir.file("a.tif"), img), 56);
    EXPECT_EQ(format_open(FILE_PHOTOCD, dir.file("a.tif"), img), 90);
}

TEST(ImagingLibrary, HostileHeadersAreRefusedBeforeAllocating)
{
    TempFolder dir;
    // A BMP claiming 200000 x 200000 pixels of 24 bits.
    Bytes bmp(54, 0);
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = std::uint8_t(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, 200000);
    put32(22, 200000);
    bmp[26] = 1;
    bmp[28] = 24;
    filetest::write_bytes(dir.file("huge.bmp"), bmp);
    Image img;
    EXPECT_EQ(format_open(FILE_BMP, dir.file("huge.bmp"), img), 28);
    // A PNG whose header claims 1000000 x 1000000 pixels.
    const Image small = filetest::make_picture(IMAGE_GRAY, 4, 4);
    ASSERT_EQ(format_save(SAVE_PNG, dir.file("huge.png"), small), 0);
    Bytes png = filetest::read_bytes(dir.file("huge.png"));
    for (int at : {16, 20}) {
        png[at] = 0x00;
        png[at + 1] = 0x0f;
        png[at + 2] = 0x42;
        png[at + 3] = 0x40;
    }
    filetest::write_bytes(dir.file("huge.png"), png);
    EXPECT_EQ(format_open(FILE_PNG, dir.file("huge.png"), img), 48);
}

TEST(ImagingLibrary, ContentsDecideTheCodec)
{
    // A PNG file named .bmp still opens (the library recognises it), and an unknown
    // extension reads any supported picture.
    TempFolder dir;
    const Image gray = filetest::make_picture(IMAGE_GRAY, 12, 9);
    ASSERT_EQ(format_save(SAVE_PNG, dir.file("a.png"), gray), 0);
    std::filesystem::copy_file(dir.file("a.png"), dir.file("a.bmp"));
    std::filesystem::copy_file(dir.file("a.png"), dir.file("a.xyz"));
    Image back;
    ASSERT_EQ(format_open(FILE_BMP, dir.file("a.bmp"), back), 0);
    EXPECT_TRUE(filetest::same_pixels(gray, back));
    ASSERT_EQ(format_open(FILE_UNKNOWN, dir.file("a.xyz"), back), 0);
    EXPECT_TRUE(filetest::same_pixels(gray, back));
    EXPECT_NE(imaging_library_version(), "");
}
