// The PNG writer's pieces: whatever the size and the number of pieces, libpng reads back
// exactly the picture, the file does not depend on the number of threads, and a full disk
// is a write error.
#include "file_test_support.h"

#include "core/parallel.h"
#include "formats/library_bitmap.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace mv;
using filetest::TempFolder;

namespace {

// Noise in the lower half, flat rows above: the filter wraps around and zlib sees long runs.
Image noisy_picture(int type, int width, int height)
{
    Image img;
    image_alloc(img, type, width, height, 72);
    std::uint32_t seed = 7u * std::uint32_t(width) + std::uint32_t(height) + std::uint32_t(type);
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < img.row_bytes; ++i) {
            seed = seed * 1103515245u + 12345u;
            img.row(y)[i] = y < (height + 1) / 2 ? std::uint8_t(seed >> 16) : std::uint8_t(200);
        }
    return img;
}

} // namespace

TEST(PngWrite, EveryTypeAndSizeReadsBackExactlyOnAnyThreadCount)
{
    TempFolder dir;
    struct Size {
        int width, height;
    };
    // 3001 colour pixels make rows of 9004 bytes: 500 rows are five pieces.
    const Size sizes[] = {{1, 1}, {1, 9}, {13, 1}, {37, 23}, {3001, 500}, {9000, 130}};
    const int previous = set_parallel_threads(0);
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR}) {
        for (const Size& s : sizes) {
            SCOPED_TRACE(testing::Message() << "type " << type << " " << s.width << "x" << s.height);
            const Image img = noisy_picture(type, s.width, s.height);
            filetest::Bytes files[2];
            for (int threads : {1, 2}) {
                set_parallel_threads(threads);
                const std::string path = dir.file("t" + std::to_string(threads) + ".png");
                ASSERT_EQ(png_save(path, img), 0);
                files[threads - 1] = filetest::read_bytes(path);
                Image back;
                ASSERT_EQ(png_load(path, back, false), 0);
                ASSERT_TRUE(filetest::same_pixels(img, back));
                EXPECT_DOUBLE_EQ(back.resolution, 72.0);
            }
            EXPECT_EQ(files[0], files[1]);
        }
    }
    set_parallel_threads(previous);
    // A full disk is a write error.
    if (std::FILE* full = std::fopen("/dev/full", "wb")) {
        std::fclose(full);
        EXPECT_EQ(png_save("/dev/full", noisy_picture(IMAGE_COLOR, 3001, 500)), 6);
    }
}
