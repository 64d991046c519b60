#include "core/error.h"
#include "core/progress.h"
#include "formats/fits_read.h"
#include "formats/fits_write.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef MORVANE_HAVE_CFITSIO
#include <fitsio.h>
#endif

namespace mv {
namespace {

struct CancellingProgress : ProgressSink {
    int cancel_at = -1;
    std::vector<std::string> titles;
    int updates = 0;
    ProgressSink* previous;
    CancellingProgress() { previous = set_progress_sink(this); }
    ~CancellingProgress() override { set_progress_sink(previous); }
    void begin(int, int, std::string_view title, bool) override { titles.emplace_back(title); }
    int update(int current) override
    {
        ++updates;
        return cancel_at >= 0 && current >= cancel_at ? kAborted : 0;
    }
    void end() override {}
};

std::string temp_path(const std::string& name)
{
    return testing::TempDir() + "fits_write_" + name + ".fits";
}

std::string file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string card(const std::string& text)
{
    return text + std::string(80 - text.size(), ' ');
}

// A gray image whose sample at (x, y) is pattern(x, y).
template <class F>
Image make_image(int type, int w, int h, F pattern)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, w, h, 300.0), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (type == IMAGE_GRAY)
                img.row(y)[x] = std::uint8_t(pattern(x, y));
            else
                img.row16(y)[x] = std::uint16_t(pattern(x, y));
        }
    return img;
}

TEST(FitsWrite, ExactBytes)
{
    // 3 x 2 gray: one header block, then the top row first, nothing after the last row.
    Image gray = make_image(IMAGE_GRAY, 3, 2, [](int x, int y) { return 10 * y + x; });
    const std::string path = temp_path("gray");
    ASSERT_EQ(fits_write(path, gray), 0);
    std::string expected = card("SIMPLE  = T /") + card("BITPIX  = 8 /") + card("NAXIS   = 2 /") +
                           card("NAXIS1  = 3 /") + card("NAXIS2  = 2 /") + card("END") +
                           std::string(30 * 80, ' ') + std::string("\x0a\x0b\x0c\x00\x01\x02", 6);
    EXPECT_EQ(file_bytes(path), expected);

    // 16-bit samples go out big-endian, as they are, with no BZERO card.
    Image gray16 = make_image(IMAGE_GRAY16, 2, 1, [](int x, int) { return x ? 0xfffe : 0x1234; });
    ASSERT_EQ(fits_write(path, gray16), 0);
    expected = card("SIMPLE  = T /") + card("BITPIX  = 16 /") + card("NAXIS   = 2 /") +
               card("NAXIS1  = 2 /") + card("NAXIS2  = 1 /") + card("END") +
               std::string(30 * 80, ' ') + std::string("\x12\x34\xff\xfe", 4);
    EXPECT_EQ(file_bytes(path), expected);
    EXPECT_EQ(gray16.row16(0)[0], 0x1234); // the image itself is untouched
    std::remove(path.c_str());
}

TEST(FitsWrite, RoundTripKeepsSamplesAndOrientation)
{
    preferences().default_resolution = 123.5;
    const std::string path = temp_path("round");
    for (int type : {IMAGE_GRAY, IMAGE_GRAY16}) {
        // Odd widths exercise the row padding; 1 x 1 is the smallest picture.
        for (auto [w, h] : {std::pair{1, 1}, std::pair{101, 157}, std::pair{7, 3}}) {
            Image img = make_image(type, w, h, [&](int x, int y) {
                return type == IMAGE_GRAY ? (x * 3 + y * 5) & 0xff : (x * 977 + y * 4099) & 0xffff;
            });
            ASSERT_EQ(fits_write(path, img), 0);
            Image back;
            ASSERT_EQ(fits_read(path, back, false), 0);
            ASSERT_EQ(back.type, type);
            ASSERT_EQ(back.width, w);
            ASSERT_EQ(back.height, h);
            EXPECT_EQ(back.resolution, 123.5); // FITS carries no resolution
            const size_t bytes = size_t(w) * (type == IMAGE_GRAY ? 1 : 2);
            for (int y = 0; y < h; ++y)
                ASSERT_EQ(std::memcmp(img.row(y), back.row(y), bytes), 0) << "row " << y;
        }
    }
    preferences().default_resolution = Preferences().default_resolution;
    std::remove(path.c_str());
}

TEST(FitsWrite, RefusalsFailuresAndCancel)
{
    const std::string path = temp_path("refused");
    Image color;
    ASSERT_EQ(image_alloc(color, IMAGE_COLOR, 2, 2, 72), 0);
    EXPECT_EQ(fits_write(path, color), 46);
    Image binary;
    ASSERT_EQ(image_alloc(binary, IMAGE_BINARY, 8, 2, 72), 0);
    EXPECT_EQ(fits_write(path, binary), 46);
    EXPECT_EQ(fits_write(path, Image()), 46);

    Image gray = make_image(IMAGE_GRAY, 100, 200, [](int x, int y) { return x ^ y; });
    EXPECT_EQ(fits_write(testing::TempDir() + "no_such_dir/x.fits", gray), 3);
    // A full disk: the header block is written out when the stream is flushed at close.
    if (std::FILE* full = std::fopen("/dev/full", "wb")) {
        std::fclose(full);
        EXPECT_EQ(fits_write("/dev/full", gray), 6);
    }

    CancellingProgress progress;
    ASSERT_EQ(fits_write(path, gray), 0);
    ASSERT_EQ(progress.titles.size(), 1u);
    EXPECT_EQ(progress.titles[0], "FITS Write");
    EXPECT_EQ(progress.updates, 200);
    // Cancel after the first 50 rows: 11, and the file keeps what was written.
    progress.cancel_at = 49;
    EXPECT_EQ(fits_write(path, gray), 11);
    EXPECT_EQ(file_bytes(path).size(), 2880u + 50u * 100u);
    std::remove(path.c_str());
}

#ifdef MORVANE_HAVE_CFITSIO

TEST(FitsWrite, CfitsioReadsWhatWeWrite)
{
    const std::string path = temp_path("oracle");
    for (int type : {IMAGE_GRAY, IMAGE_GRAY16}) {
        const int w = 53, h = 31;
        Image img = make_image(type, w, h, [&](int x, int y) {
            return type == IMAGE_GRAY ? (x * 11 + y * 7) & 0xff : (x * 1237 + y * 65) & 0xffff;
        });
        ASSERT_EQ(fits_write(path, img), 0);
        // Our file ends right after the last row; cfitsio reads whole 2880-byte records, so
        // it gets a copy padded with zeros to the next record.
        std::string bytes = file_bytes(path);
        ASSERT_EQ(bytes.size(), 2880u + size_t(w * h * (type == IMAGE_GRAY ? 1 : 2)));
        bytes.resize((bytes.size() + 2879) / 2880 * 2880, '\0');
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));

        fitsfile* f = nullptr;
        int status = 0, bitpix = 0, naxis = 0;
        long size[2] = {0, 0};
        ASSERT_EQ(fits_open_file(&f, path.c_str(), READONLY, &status), 0);
        fits_get_img_param(f, 2, &bitpix, &naxis, size, &status);
        EXPECT_EQ(bitpix, type == IMAGE_GRAY ? 8 : 16);
        EXPECT_EQ(naxis, 2);
        EXPECT_EQ(size[0], w);
        EXPECT_EQ(size[1], h);
        // Without BZERO cfitsio sees signed 16-bit samples: compare bit patterns.
        std::vector<long> values(size_t(w * h));
        long first[2] = {1, 1};
        fits_read_pix(f, TLONG, first, w * h, nullptr, values.data(), nullptr, &status);
        fits_close_file(f, &status);
        ASSERT_EQ(status, 0);
        int mismatches = 0;
        for (int j = 0; j < h; ++j) // the file's first row is our top row, h - 1
            for (int x = 0; x < w; ++x) {
                const int ours = type == IMAGE_GRAY ? img.row(h - 1 - j)[x] : img.row16(h - 1 - j)[x];
                mismatches += ours != int(std::uint16_t(values[size_t(j * w + x)]));
            }
        EXPECT_EQ(mismatches, 0);
    }
    std::remove(path.c_str());
}

#endif

} // namespace
} // namespace mv
