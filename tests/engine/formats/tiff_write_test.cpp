#include "formats/tiff_classify.h"
#include "formats/tiff_read.h"
#include "formats/file_io.h"
#include "core/parallel.h"
#include "formats/tiff_write.h"

#include "tiff_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef MORVANE_HAVE_LIBTIFF
#include <tiffio.h>
#endif

using namespace mv;
using tifftest::Bytes;
using tifftest::RecordingProgress;
using tifftest::TempDir;

namespace {

std::uint32_t le16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t le32(const Bytes& b, std::size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

// An image of the type with every stored byte of its rows set from a simple pattern.
Image make_image(int type, int width, int height, double resolution)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, width, height, resolution), 0);
    for (int r = 0; r < height; ++r)
        for (int i = 0; i < img.row_bytes; ++i)
            img.row(r)[i] = std::uint8_t(r * 37 + i * 11 + (i * i) % 13);
    return img;
}

std::size_t file_row_bytes(const Image& img)
{
    switch (img.type) {
    case IMAGE_BINARY: return (std::size_t(img.width) + 7) / 8;
    case IMAGE_GRAY: return std::size_t(img.width);
    case IMAGE_COLOR: return 3 * std::size_t(img.width);
    case IMAGE_GRAY16: return 2 * std::size_t(img.width);
    default: return 6 * std::size_t(img.width);
    }
}

} // namespace

TEST(TiffWrite, GrayLayoutIsExact)
{
    TempDir dir;
    const std::string path = dir.file("small.tif");
    Image img = make_image(IMAGE_GRAY, 3, 2, 72.04);
    const std::uint8_t top[3] = {1, 2, 3}, bottom[3] = {4, 5, 6};
    std::memcpy(img.row(1), top, 3);
    std::memcpy(img.row(0), bottom, 3);
    ASSERT_EQ(tiff_write(path, img), 0);
    const Bytes b = tifftest::read_bytes(path);
    ASSERT_EQ(b.size(), 1024u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}));
    ASSERT_EQ(le16(b, 8), 17u);
    struct Expected {
        std::uint32_t tag, type, count, value;
    };
    const Expected entries[17] = {
        {254, 4, 1, 0}, {255, 3, 1, 1},   {256, 4, 1, 3},   {257, 4, 1, 2},   {258, 3, 1, 8},
        {259, 3, 1, 1}, {262, 3, 1, 1},   {266, 3, 1, 1},   {273, 4, 1, 234}, {274, 3, 1, 1},
        {277, 3, 1, 1}, {278, 4, 1, 2},   {279, 4, 1, 6},   {282, 5, 1, 218}, {283, 5, 1, 226},
        {284, 3, 1, 1}, {296, 3, 1, 2},
    };
    for (int i = 0; i < 17; ++i) {
        const std::size_t at = 10 + 12 * std::size_t(i);
        SCOPED_TRACE(entries[i].tag);
        EXPECT_EQ(le16(b, at), entries[i].tag);
        EXPECT_EQ(le16(b, at + 2), entries[i].type);
        EXPECT_EQ(le32(b, at + 4), entries[i].count);
        EXPECT_EQ(le32(b, at + 8), entries[i].value); // SHORTs have zero in the upper half
    }
    EXPECT_EQ(le32(b, 214), 0u); // no next directory
    // Resolution 72.04 is written as 720/10, twice.
    EXPECT_EQ(Bytes(b.begin() + 218, b.begin() + 234),
              (Bytes{0xD0, 2, 0, 0, 10, 0, 0, 0, 0xD0, 2, 0, 0, 10, 0, 0, 0}));
    EXPECT_EQ(Bytes(b.begin() + 234, b.begin() + 240), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(std::all_of(b.begin() + 240, b.end(), [](std::uint8_t v) { return v == 0; }));
}

TEST(TiffWrite, ColourLayoutAndLargeImages)
{
    TempDir dir;
    {
        const std::string path = dir.file("colour.tif");
        Image img = make_image(IMAGE_COLOR48, 2, 1, 300);
        const std::uint16_t px[6] = {0x0102, 0x0304, 0x0506, 0xA1A2, 0xB1B2, 0xC1C2}; // b g r
        std::memcpy(img.row(0), px, sizeof px);
        ASSERT_EQ(tiff_write(path, img), 0);
        const Bytes b = tifftest::read_bytes(path);
        ASSERT_EQ(b.size(), 1024u);
        EXPECT_EQ(le32(b, 10 + 12 * 4 + 4), 3u);   // BitsPerSample count
        EXPECT_EQ(le32(b, 10 + 12 * 4 + 8), 218u); // ... and its offset
        EXPECT_EQ(le32(b, 10 + 12 * 6 + 8), 2u);   // RGB
        EXPECT_EQ(le32(b, 10 + 12 * 8 + 8), 240u); // pixels
        EXPECT_EQ(le32(b, 10 + 12 * 10 + 8), 3u);  // samples per pixel
        EXPECT_EQ(le32(b, 10 + 12 * 13 + 8), 224u);
        EXPECT_EQ(le32(b, 10 + 12 * 14 + 8), 232u);
        EXPECT_EQ(Bytes(b.begin() + 218, b.begin() + 224), (Bytes{16, 0, 16, 0, 16, 0}));
        EXPECT_EQ(le32(b, 224), 3000u);
        EXPECT_EQ(le32(b, 228), 10u);
        EXPECT_EQ(Bytes(b.begin() + 240, b.begin() + 252),
                  (Bytes{0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0xC2, 0xC1, 0xB2, 0xB1, 0xA2, 0xA1}));
    }
    {
        // Bigger than the minimum: no padding after the pixels; progress and cancel.
        const std::string path = dir.file("big.tif");
        Image img = make_image(IMAGE_COLOR, 200, 100, 96);
        {
            RecordingProgress progress;
            ASSERT_EQ(tiff_write(path, img), 0);
            EXPECT_EQ(progress.title, "TIFF Write");
            EXPECT_TRUE(progress.cancellable);
            ASSERT_EQ(progress.updates.size(), 100u);
            EXPECT_EQ(progress.updates.back(), 100);
        }
        EXPECT_EQ(tifftest::read_bytes(path).size(), 240u + 600 * 100);
        RecordingProgress cancel(30);
        EXPECT_EQ(tiff_write(path, img), 11);
        EXPECT_FALSE(file_exists(path));
    }
    {
        Image single;
        ASSERT_EQ(image_alloc(single, IMAGE_SINGLE_COLOR, 1, 1, 0), 0);
        EXPECT_EQ(tiff_write(dir.file("x.tif"), single), 14);
        EXPECT_EQ(tiff_write(dir.file("y.tif"), Image()), 14);
        EXPECT_FALSE(file_exists(dir.file("x.tif")));
        Image gray = make_image(IMAGE_GRAY, 2, 2, 72);
        EXPECT_NE(tiff_write(dir.file("no/such/folder.tif"), gray), 0);
    }
}

TEST(TiffWrite, ReadsBackWithSamePixelsTypeAndResolution)
{
    TempDir dir;
    const int types[] = {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48};
    for (int type : types) {
        SCOPED_TRACE(type);
        const std::string path = dir.file("round.tif");
        Image img = make_image(type, 37, 23, 123.456);
        ASSERT_EQ(tiff_write(path, img), 0);
        EXPECT_EQ(tiff_classify(path), 1);
        Image back;
        ASSERT_EQ(tiff_read(path, back, false), 0);
        EXPECT_EQ(back.type, type);
        EXPECT_EQ(back.width, 37);
        EXPECT_EQ(back.height, 23);
        EXPECT_DOUBLE_EQ(back.resolution, 123.5);
        const std::size_t frb = file_row_bytes(img);
        for (int r = 0; r < img.height; ++r)
            ASSERT_EQ(std::memcmp(back.row(r), img.row(r), frb), 0) << r;

#ifdef MORVANE_HAVE_LIBTIFF
        TIFF* t = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(t, nullptr);
        std::uint32_t w = 0, h = 0;
        std::uint16_t bits = 0, spp = 0;
        float xres = 0, yres = 0;
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
        TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(t, TIFFTAG_SAMPLESPERPIXEL, &spp);
        TIFFGetField(t, TIFFTAG_XRESOLUTION, &xres);
        TIFFGetField(t, TIFFTAG_YRESOLUTION, &yres);
        EXPECT_EQ(w, 37u);
        EXPECT_EQ(h, 23u);
        EXPECT_EQ(spp, type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1);
        EXPECT_EQ(bits, type == IMAGE_BINARY ? 1 : type == IMAGE_GRAY16 || type == IMAGE_COLOR48 ? 16 : 8);
        EXPECT_FLOAT_EQ(xres, 123.5f);
        EXPECT_FLOAT_EQ(yres, 123.5f);
        ASSERT_EQ(std::size_t(TIFFScanlineSize(t)), frb);
        Bytes line(frb);
        for (std::uint32_t y = 0; y < h; ++y) {
            ASSERT_EQ(TIFFReadScanline(t, line.data(), y, 0), 1);
            const std::uint8_t* row = img.row(int(h - 1 - y));
            const auto* row16 = reinterpret_cast<const std::uint16_t*>(row);
            const auto* line16 = reinterpret_cast<const std::uint16_t*>(line.data());
            for (std::uint32_t x = 0; x < w; ++x) {
                switch (type) {
                case IMAGE_BINARY:
                    ASSERT_EQ(line[x / 8] & (0x80 >> x % 8), row[x / 8] & (0x80 >> x % 8));
                    break;
                case IMAGE_GRAY: ASSERT_EQ(line[x], row[x]); break;
                case IMAGE_GRAY16: ASSERT_EQ(line16[x], row16[x]); break;
                case IMAGE_COLOR:
                    for (int k = 0; k < 3; ++k)
                        ASSERT_EQ(line[3 * x + k], row[3 * x + 2 - k]);
                    break;
                default:
                    for (int k = 0; k < 3; ++k)
                        ASSERT_EQ(line16[3 * x + k], row16[3 * x + 2 - k]);
                }
            }
        }
        TIFFClose(t);
#endif
    }
    // A megabyte and more is written in bands, one per thread: the file does not depend on
    // their count.
    const Image big = make_image(IMAGE_COLOR48, 300, 700, 72);
    const int previous = set_parallel_threads(1);
    ASSERT_EQ(tiff_write(dir.file("one-thread.tif"), big), 0);
    set_parallel_threads(3);
    ASSERT_EQ(tiff_write(dir.file("three-threads.tif"), big), 0);
    set_parallel_threads(previous);
    EXPECT_EQ(tifftest::read_bytes(dir.file("one-thread.tif")),
              tifftest::read_bytes(dir.file("three-threads.tif")));
}
