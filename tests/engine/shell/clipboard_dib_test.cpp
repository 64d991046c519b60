#include "shell/clipboard_dib.h"

#include "core/error.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mv;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::uint32_t u32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// A 40-byte header followed by `rest`.
Bytes dib(int width, int height, int bits, std::uint32_t colors, const Bytes& rest,
          std::uint32_t compression = 0)
{
    Bytes b(40, 0);
    auto put = [&](size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + size_t(i)] = std::uint8_t(v >> (8 * i));
    };
    put(0, 40, 4);
    put(4, std::uint32_t(width), 4);
    put(8, std::uint32_t(height), 4);
    put(12, 1, 2);
    put(14, std::uint32_t(bits), 2);
    put(16, compression, 4);
    put(32, colors, 4);
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

} // namespace

TEST(ClipboardDib, ColourCopyHeaderAndRows)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_COLOR, 2, 2, 300), 0);
    const std::uint8_t bottom[] = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE};
    const std::uint8_t top[] = {7, 8, 9, 10, 11, 12, 0xEE, 0xEE};
    std::memcpy(img.row(0), bottom, 8);
    std::memcpy(img.row(1), top, 8);

    Bytes b;
    ASSERT_EQ(clipboard_dib_copy(img, b), 0);
    const Bytes expected = {
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, // size, width, height, planes, bits
        0, 0, 0, 0, 0, 0, 0, 0,                           // no compression, image size 0
        0x23, 0x2E, 0, 0, 0x23, 0x2E, 0, 0,               // 11811 pixels per metre
        0, 0, 0, 0, 0, 0, 0, 0,                           // no palette
        1, 2, 3, 4, 5, 6, 0, 0,                           // bottom row first, zero padding
        7, 8, 9, 10, 11, 12, 0, 0,
    };
    EXPECT_EQ(b, expected);

    Image back;
    ASSERT_EQ(clipboard_dib_paste(b, 150, back), 0);
    EXPECT_EQ(back.type, IMAGE_COLOR);
    EXPECT_EQ(back.resolution, 150);
    EXPECT_EQ(std::memcmp(back.row(1), top, 6), 0);
}

TEST(ClipboardDib, GrayCopyHasPaletteAndPaddedRows)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_GRAY, 3, 1, 72), 0);
    img.row(0)[0] = 0;
    img.row(0)[1] = 128;
    img.row(0)[2] = 255;
    img.row(0)[3] = 0x5A; // padding is not copied

    Bytes b;
    ASSERT_EQ(clipboard_dib_copy(img, b), 0);
    ASSERT_EQ(b.size(), 40u + 1024u + 4u);
    EXPECT_EQ(u32(b, 14) & 0xFFFF, 8u);
    EXPECT_EQ(u32(b, 32), 256u);
    EXPECT_EQ(u32(b, 36), 256u);
    EXPECT_EQ(u32(b, 40), 0u);
    EXPECT_EQ(u32(b, 40 + 4 * 200), 0x00C8C8C8u);
    EXPECT_EQ(u32(b, 40 + 4 * 255), 0x00FFFFFFu);
    EXPECT_EQ(Bytes(b.end() - 4, b.end()), (Bytes{0, 128, 255, 0}));

    Image back;
    ASSERT_EQ(clipboard_dib_paste(b, 72, back), 0);
    EXPECT_EQ(back.type, IMAGE_GRAY);
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.row(0)[1], 128);
}

TEST(ClipboardDib, BinaryCopyAndLimits)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_BINARY, 10, 2, 72), 0);
    std::memset(img.row(0), 0xFF, 4); // bits past the tenth pixel are cleared in the copy
    std::memset(img.row(1), 0, 4);
    img.row(1)[0] = 0x81;

    Bytes b;
    ASSERT_EQ(clipboard_dib_copy(img, b), 0);
    ASSERT_EQ(b.size(), 40u + 8u + 8u);
    EXPECT_EQ(u32(b, 32), 2u);
    EXPECT_EQ(u32(b, 40), 0u);          // black
    EXPECT_EQ(u32(b, 44), 0x00FFFFFFu); // then white
    EXPECT_EQ(Bytes(b.begin() + 48, b.end()), (Bytes{0xFF, 0xC0, 0, 0, 0x81, 0, 0, 0}));

    Image back;
    ASSERT_EQ(clipboard_dib_paste(b, 72, back), 0);
    EXPECT_EQ(back.type, IMAGE_BINARY);
    EXPECT_EQ(back.row(0)[1], 0xC0);
    EXPECT_EQ(back.row(1)[0], 0x81);

    // Only binary, gray and colour pictures go to the clipboard.
    Image wide;
    ASSERT_EQ(image_alloc(wide, IMAGE_GRAY16, 4, 4, 72), 0);
    EXPECT_EQ(clipboard_dib_copy(wide, b), kIllegalImageType);
    EXPECT_TRUE(b.empty());

    // 40 + 1024 + 4000 x 3999 = 15997064 bytes fit; one more row (16001064) does not.
    Image big;
    ASSERT_EQ(image_alloc(big, IMAGE_GRAY, 4000, 3999, 72), 0);
    {
        test::TestProgressSink progress;
        EXPECT_EQ(clipboard_dib_copy(big, b), 0);
        EXPECT_EQ(b.size(), 15997064u);
        ASSERT_EQ(progress.begins.size(), 1u);
        EXPECT_EQ(progress.begins[0].title, "Copy to Clipboard");
        progress.cancel_during(10);
        EXPECT_EQ(clipboard_dib_copy(big, b), kAborted);
        EXPECT_TRUE(b.empty());
        EXPECT_EQ(progress.open, 0);
    }
    ASSERT_EQ(image_alloc(big, IMAGE_GRAY, 4000, 4000, 72), 0);
    EXPECT_EQ(clipboard_dib_copy(big, b), kImageTooBigForClipboard);
    EXPECT_TRUE(b.empty());
}

TEST(ClipboardDib, PasteFourBitPalettes)
{
    // 3 x 2 pixels at 4 bits: rows of 2 bytes padded to 4; a colour and a gray palette.
    const Bytes pixels = {0x01, 0x20, 0, 0, 0x21, 0x00, 0, 0};
    Bytes colour_palette = {0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0};
    Image img;
    ASSERT_EQ(clipboard_dib_paste(dib(3, 2, 4, 3, [&] {
                                      Bytes r = colour_palette;
                                      r.insert(r.end(), pixels.begin(), pixels.end());
                                      return r;
                                  }()),
                                  200, img),
              0);
    EXPECT_EQ(img.type, IMAGE_COLOR);
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    // Bottom row: indices 0, 1, 2 -> black, blue, red (bytes blue, green, red).
    EXPECT_EQ(Bytes(img.row(0), img.row(0) + 9), (Bytes{0, 0, 0, 255, 0, 0, 0, 0, 255}));
    EXPECT_EQ(Bytes(img.row(1), img.row(1) + 9), (Bytes{0, 0, 255, 255, 0, 0, 0, 0, 0}));

    Bytes gray = {0, 0, 0, 0, 90, 90, 90, 0, 200, 200, 200, 0};
    gray.insert(gray.end(), pixels.begin(), pixels.end());
    ASSERT_EQ(clipboard_dib_paste(dib(3, 2, 4, 3, gray), 200, img), 0);
    EXPECT_EQ(img.type, IMAGE_GRAY);
    EXPECT_EQ(Bytes(img.row(0), img.row(0) + 3), (Bytes{0, 90, 200}));

    // A negative height stores the top row first.
    ASSERT_EQ(clipboard_dib_paste(dib(3, -2, 4, 3, gray), 200, img), 0);
    EXPECT_EQ(Bytes(img.row(1), img.row(1) + 3), (Bytes{0, 90, 200}));

    // A white-then-black 1-bit palette gives a binary picture with the bits turned over.
    ASSERT_EQ(clipboard_dib_paste(dib(8, 1, 1, 2, {255, 255, 255, 0, 0, 0, 0, 0, 0x0F, 0, 0, 0}),
                                  200, img),
              0);
    EXPECT_EQ(img.type, IMAGE_BINARY);
    EXPECT_EQ(img.row(0)[0], 0xF0);
}

TEST(ClipboardDib, PasteSixteenBitsAndRefusals)
{
    // Two 5-5-5 pixels: pure red (0x7C00) and a mid gray 16,16,16 (0x4210).
    const Bytes px = {0x00, 0x7C, 0x10, 0x42};
    Image img;
    ASSERT_EQ(clipboard_dib_paste(dib(2, 1, 16, 0, px), 200, img), 0);
    EXPECT_EQ(img.type, IMAGE_COLOR);
    EXPECT_EQ(Bytes(img.row(0), img.row(0) + 6), (Bytes{0, 0, 255, 132, 132, 132}));

    img.type = IMAGE_GRAY; // untouched on failure
    EXPECT_EQ(clipboard_dib_paste(dib(2, 1, 16, 0, px, 3), 200, img),
              kUnsupportedClipboardCompression);
    EXPECT_EQ(clipboard_dib_paste(dib(2, 1, 8, 0, px, 1), 200, img),
              kUnsupportedClipboardCompression);
    EXPECT_EQ(img.type, IMAGE_GRAY);
    EXPECT_EQ(clipboard_dib_paste(dib(2, 1, 2, 0, px), 200, img), kUnsupportedClipboardCompression);
    EXPECT_EQ(clipboard_dib_paste(dib(0, 1, 24, 0, px), 200, img), kUnsupportedClipboardCompression);
    EXPECT_EQ(clipboard_dib_paste(dib(2, 1, 8, 300, px), 200, img), kUnsupportedClipboardCompression);
    EXPECT_EQ(clipboard_dib_paste(Bytes(20, 0), 200, img), kUnsupportedClipboardCompression);
    // Data that ends before the last row.
    EXPECT_EQ(clipboard_dib_paste(dib(2, 2, 16, 0, px), 200, img), kUnexpectedEof);
    EXPECT_EQ(clipboard_dib_paste(dib(100000, 100000, 24, 0, px), 200, img), kUnexpectedEof);

    // 24 and 32 bits keep their bytes.
    ASSERT_EQ(clipboard_dib_paste(dib(1, 1, 32, 0, {10, 20, 30, 99}), 200, img), 0);
    EXPECT_EQ(Bytes(img.row(0), img.row(0) + 3), (Bytes{10, 20, 30}));
}

TEST(ClipboardDib, DamagedBitmapsEndInAnErrorCode)
{
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_GRAY, 5, 3, 72), 0);
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < 5; ++x)
            img.row(r)[x] = std::uint8_t(r * 40 + x);
    Bytes good;
    ASSERT_EQ(clipboard_dib_copy(img, good), 0);

    // Every shortened copy is refused; none is read past its end.
    for (size_t n = 0; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        Image out;
        EXPECT_NE(clipboard_dib_paste(cut, 72, out), 0) << n;
        EXPECT_TRUE(out.empty());
    }

    // Header bytes set to extreme values give an error or a picture, never a crash.
    std::uint32_t seed = 12345;
    for (int trial = 0; trial < 2000; ++trial) {
        Bytes bad = good;
        for (int k = 0; k < 3; ++k) {
            seed = seed * 1103515245u + 12345u;
            const size_t at = 4 + (seed >> 8) % 36;
            bad[at] = (seed >> 4) & 1 ? 0xFF : std::uint8_t(seed >> 16);
        }
        Image out;
        const int rc = clipboard_dib_paste(bad, 72, out);
        if (rc == 0) {
            EXPECT_FALSE(out.empty());
        }
    }
}
