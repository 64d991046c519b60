// Decoding paths of the imaging library that the program's own writers never produce:
// palette, interlaced and 16-bit PNG files, the samples, and mutated files of every format.
#include "file_test_support.h"
#include "test_messages.h"

#include "formats/file_types.h"
#include "formats/format_entry.h"

#include <gtest/gtest.h>

#include <png.h>

using namespace mv;
using filetest::Bytes;
using filetest::TempFolder;

namespace {

// Writes a PNG with libpng: `rows` are the file's rows, top first.
void write_png(const std::string& path, int w, int h, int depth, int colour, bool interlaced,
               const std::vector<png_color>& palette, const std::vector<Bytes>& rows)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, depth, colour,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const Bytes& r : rows)
        pointers.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

} // namespace

TEST(LibraryDecode, PngPaletteInterlacedAndSixteenBit)
{
    TempFolder dir;
    const int w = 13, h = 11;
    // 4-bit palette of colours, interlaced: a colour picture.
    const std::vector<png_color> colours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
    std::vector<Bytes> rows(h, Bytes((w + 1) / 2));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rows[y][x / 2] |= std::uint8_t(((x + y) % 4) << (x % 2 ? 0 : 4));
    write_png(dir.file("p4.png"), w, h, 4, PNG_COLOR_TYPE_PALETTE, true, colours, rows);
    Image img;
    ASSERT_EQ(format_open(FILE_PNG, dir.file("p4.png"), img), 0);
    ASSERT_EQ(img.type, IMAGE_COLOR);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const png_color c = colours[(x + y) % 4];
            const std::uint8_t* p = img.row(h - 1 - y) + 3 * x; // file rows run top down
            ASSERT_EQ(p[0], c.blue);
            ASSERT_EQ(p[1], c.green);
            ASSERT_EQ(p[2], c.red);
        }
    // A 1-bit palette of white and black is binary, white where the picture is white.
    std::vector<Bytes> bits(h, Bytes((w + 7) / 8));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x * y) % 3 == 0)
                bits[y][x / 8] |= std::uint8_t(0x80 >> (x % 8));
    write_png(dir.file("p1.png"), w, h, 1, PNG_COLOR_TYPE_PALETTE, false,
              {{255, 255, 255}, {0, 0, 0}}, bits);
    ASSERT_EQ(format_open(FILE_PNG, dir.file("p1.png"), img), 0);
    ASSERT_EQ(img.type, IMAGE_BINARY);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(bit_test(img.row(h - 1 - y), x), (x * y) % 3 != 0);
    // A gray palette is gray.
    std::vector<Bytes> idx(h, Bytes(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            idx[y][x] = std::uint8_t(x % 3);
    write_png(dir.file("g8.png"), w, h, 8, PNG_COLOR_TYPE_PALETTE, true,
              {{0, 0, 0}, {90, 90, 90}, {200, 200, 200}}, idx);
    ASSERT_EQ(format_open(FILE_PNG, dir.file("g8.png"), img), 0);
    ASSERT_EQ(img.type, IMAGE_GRAY);
    EXPECT_EQ(img.row(0)[2], 200);
    // 16-bit RGB samples are scaled to 8 bits.
    std::vector<Bytes> deep(h, Bytes(6 * w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = x * 5000;
            for (int c = 0; c < 3; ++c) {
                deep[y][6 * x + 2 * c] = std::uint8_t(v >> 8);
                deep[y][6 * x + 2 * c + 1] = std::uint8_t(v);
            }
        }
    write_png(dir.file("d16.png"), w, h, 16, PNG_COLOR_TYPE_RGB, true, {}, deep);
    ASSERT_EQ(format_open(FILE_PNG, dir.file("d16.png"), img), 0);
    ASSERT_EQ(img.type, IMAGE_COLOR);
    EXPECT_EQ(img.row(3)[3 * 12], (12 * 5000 * 255 + 32767) / 65535);
}

TEST(LibraryDecode, SamplesOpen)
{
    const std::string dir = MORVANE_SAMPLES_DIR;
    Image img;
    ASSERT_EQ(format_open(FILE_JPEG, dir + "/rocket.jpg", img), 0);
    EXPECT_EQ(img.type, IMAGE_COLOR);
    EXPECT_EQ(img.width, 640);
    ASSERT_EQ(format_open(FILE_PNG, dir + "/coffee.png", img), 0);
    EXPECT_EQ(img.type, IMAGE_COLOR);
    EXPECT_EQ(img.width, 600);
    EXPECT_EQ(img.height, 400);
    EXPECT_EQ(jpeg_statistics_text("a.jpg", 97, 1234567, 0),
              "File name\n  a.jpg\n\nQuality\n  97\n\nImage size\n  1,234,567 bytes\n\nFile size\n"
              "  1 bytes\n\nCompression Ratio\n  1234567.00");
}

TEST(LibraryDecode, MutatedFilesNeverCrash)
{
    TempFolder dir;
    test::RecordingMessageSink quiet;
    const Image colour = filetest::make_picture(IMAGE_COLOR, 24, 18);
    const Image gray = filetest::make_picture(IMAGE_GRAY, 24, 18);
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int filter : {SAVE_BMP, SAVE_PNG, SAVE_JPEG, SAVE_GIF, SAVE_PCX, SAVE_TARGA, SAVE_RLE}) {
        SCOPED_TRACE(save_filter(filter)->name);
        const std::string path = dir.file(std::string("m") + save_default_extension(filter));
        ASSERT_EQ(format_save(filter, path, filter == SAVE_RLE ? gray : colour), 0);
        const Bytes original = filetest::read_bytes(path);
        const int type = save_filter_file_type(filter);
        const int code = format_open_error(type);
        for (int round = 0; round < 60; ++round) {
            Bytes b = original;
            const int flips = 1 + int(next() % 8);
            for (int k = 0; k < flips; ++k)
                b[next() % b.size()] = std::uint8_t(next());
            if (round % 5 == 0)
                b.resize(next() % b.size());
            filetest::write_bytes(path, b);
            Image img;
            const int r = format_open(type, path, img);
            ASSERT_TRUE(r == 0 || r == code || r == kOutOfMemory) << r;
            EXPECT_EQ(r == 0, !img.empty());
        }
    }
}
