#include "core/parallel.h"
#include "formats/tiff_classify.h"
#include "formats/tiff_read.h"

#include "settings/preferences.h"
#include "tiff_test_support.h"

#include <gtest/gtest.h>

#ifdef MORVANE_HAVE_LIBTIFF
#include <tiffio.h>
#endif

using namespace mv;
using tifftest::Bytes;
using tifftest::MiniTiff;
using tifftest::RecordingProgress;
using tifftest::RecordingSink;
using tifftest::TempDir;

namespace {

// Reads a file built in memory; `message` receives the detailed message, if any.
int read_built(const TempDir& dir, const Bytes& bytes, Image& img, std::string* message = nullptr)
{
    const std::string path = dir.file("built.tif");
    tifftest::write_bytes(path, bytes);
    RecordingSink sink;
    const int err = tiff_read(path, img, false);
    if (message)
        *message = sink.last();
    for (const std::string& title : sink.titles)
        EXPECT_EQ(title, "Error");
    return err;
}

int classify_built(const TempDir& dir, const Bytes& bytes)
{
    const std::string path = dir.file("classify.tif");
    tifftest::write_bytes(path, bytes);
    return tiff_classify(path);
}

} // namespace

#ifdef MORVANE_HAVE_LIBTIFF

namespace {

struct LibtiffCase {
    const char* name;
    std::uint32_t width, height;
    std::uint16_t bits, samples, photometric, compression, predictor;
    std::uint32_t rows_per_strip;
    bool big_endian;
};

// Deterministic picture content: a gradient with noise, so differencing and LZW both matter.
Bytes make_scanlines(const LibtiffCase& c, std::size_t line_bytes)
{
    Bytes data(line_bytes * c.height);
    std::uint32_t seed = c.width * 31 + c.height;
    for (std::size_t i = 0; i < data.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        data[i] = std::uint8_t(i * 3 / 7 + ((seed >> 16) & 15));
    }
    return data;
}

void write_with_libtiff(const std::string& path, const LibtiffCase& c, const Bytes& data,
                        std::size_t line_bytes, float x_resolution = 150.0f,
                        std::uint16_t unit = RESUNIT_INCH)
{
    TIFF* t = TIFFOpen(path.c_str(), c.big_endian ? "wb" : "wl");
    ASSERT_NE(t, nullptr);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, c.width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, c.height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, c.bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, c.samples);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, c.photometric);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, c.compression);
    if (c.predictor != 1)
        TIFFSetField(t, TIFFTAG_PREDICTOR, c.predictor);
    if (c.samples == 4) {
        const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, c.rows_per_strip);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, x_resolution);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, x_resolution);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, unit);
    ASSERT_EQ(std::size_t(TIFFScanlineSize(t)), line_bytes);
    Bytes line(line_bytes);
    for (std::uint32_t y = 0; y < c.height; ++y) {
        std::copy_n(data.begin() + std::ptrdiff_t(y * line_bytes), line_bytes, line.begin());
        ASSERT_EQ(TIFFWriteScanline(t, line.data(), y, 0), 1);
    }
    TIFFClose(t);
}

std::size_t line_bytes_of(const LibtiffCase& c)
{
    return (std::size_t(c.width) * c.bits * c.samples + 7) / 8;
}

// Compares every pixel of `img` with the scanlines libtiff was given (top row first).
void expect_pixels(const Image& img, const LibtiffCase& c, const Bytes& data)
{
    const std::size_t lb = line_bytes_of(c);
    for (std::uint32_t y = 0; y < c.height; ++y) {
        const std::uint8_t* src = data.data() + y * lb;
        const std::uint8_t* row = img.row(int(c.height - 1 - y));
        const auto* row16 = reinterpret_cast<const std::uint16_t*>(row);
        const auto* src16 = reinterpret_cast<const std::uint16_t*>(src);
        for (std::uint32_t x = 0; x < c.width; ++x) {
            SCOPED_TRACE(testing::Message() << c.name << " x " << x << " y " << y);
            switch (c.bits * 100 + c.samples) {
            case 101: {
                const bool bit = (src[x / 8] >> (7 - x % 8)) & 1;
                ASSERT_EQ(bool((row[x / 8] >> (7 - x % 8)) & 1), c.photometric == 0 ? !bit : bit);
                break;
            }
            case 401:
                ASSERT_EQ(row[x], ((x & 1) ? src[x / 2] & 15 : src[x / 2] >> 4) * 17);
                break;
            case 801:
                ASSERT_EQ(row[x], c.photometric == 0 ? 255 - src[x] : src[x]);
                break;
            case 1601:
                ASSERT_EQ(row16[x], src16[x]);
                break;
            case 803:
            case 804:
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(row[3 * x + 2 - k], src[x * c.samples + k]);
                break;
            default:
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(row16[3 * x + 2 - k], src16[x * c.samples + k]);
            }
        }
    }
}

} // namespace

TEST(TiffRead, SamePixelsAsLibtiffWrote)
{
    const LibtiffCase cases[] = {
        {"gray8 lzw, 3 rows per strip", 37, 10, 8, 1, 1, 5, 1, 3, false},
        {"gray8 lzw predictor big-endian", 64, 9, 8, 1, 1, 5, 2, 4, true},
        {"gray8 plain many strips", 13, 11, 8, 1, 1, 1, 1, 1, false},
        {"gray16 lzw predictor big-endian", 33, 7, 16, 1, 1, 5, 2, 2, true},
        {"gray16 plain", 20, 5, 16, 1, 1, 1, 1, 5, false},
        {"gray16 lzw predictor", 21, 6, 16, 1, 1, 5, 2, 4, false},
        {"rgb lzw predictor", 41, 13, 8, 3, 2, 5, 2, 5, false},
        {"rgb plain big-endian", 17, 6, 8, 3, 2, 1, 1, 1, true},
        {"rgb48 lzw predictor big-endian", 19, 8, 16, 3, 2, 5, 2, 3, true},
        {"rgb48 plain", 10, 4, 16, 3, 2, 1, 1, 4, false},
        {"rgba lzw predictor", 23, 7, 8, 4, 2, 5, 2, 2, false},
        {"rgba48 plain big-endian", 9, 5, 16, 4, 2, 1, 1, 2, true},
        {"binary min-is-white", 29, 11, 1, 1, 0, 1, 1, 4, false},
        {"binary lzw big-endian", 70, 9, 1, 1, 1, 5, 1, 9, true},
        {"gray4", 15, 6, 4, 1, 1, 1, 1, 6, false},
        {"gray8 lzw large", 300, 220, 8, 1, 1, 5, 1, 50, false},
        {"rgb lzw large one strip", 180, 120, 8, 3, 2, 5, 1, 120, true},
        // A megabyte and more of uncompressed rows is read in bands, one per thread.
        {"rgb plain banded", 700, 520, 8, 3, 2, 1, 1, 7, false},
        {"gray8 plain banded min-is-white", 1100, 1000, 8, 1, 0, 1, 1, 1000, true},
    };
    TempDir dir;
    // Three threads put band edges inside strips.
    for (const int threads : {1, 3}) {
        const int previous = set_parallel_threads(threads);
        for (const LibtiffCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", threads " + std::to_string(threads));
            const std::string path = dir.file("oracle.tif");
            const std::size_t lb = line_bytes_of(c);
            const Bytes data = make_scanlines(c, lb);
            write_with_libtiff(path, c, data, lb);
            EXPECT_EQ(tiff_classify(path), 1);
            Image img;
            RecordingSink sink;
            ASSERT_EQ(tiff_read(path, img, true), 0) << sink.last();
            EXPECT_TRUE(sink.texts.empty());
            EXPECT_EQ(img.width, int(c.width));
            EXPECT_EQ(img.height, int(c.height));
            EXPECT_DOUBLE_EQ(img.resolution, 150.0);
            expect_pixels(img, c, data);
        }
        set_parallel_threads(previous);
    }
}

TEST(TiffRead, ResolutionInCentimetresAndProgress)
{
    TempDir dir;
    const LibtiffCase c{"gray", 120, 100, 8, 1, 1, 5, 2, 7, false};
    const std::size_t lb = line_bytes_of(c);
    const Bytes data = make_scanlines(c, lb);
    const std::string path = dir.file("cm.tif");
    write_with_libtiff(path, c, data, lb, 100.0f, RESUNIT_CENTIMETER);
    Image img;
    {
        RecordingProgress progress;
        ASSERT_EQ(tiff_read(path, img, true), 0);
        EXPECT_DOUBLE_EQ(img.resolution, 254.0005);
        EXPECT_EQ(progress.title, "TIFF Read");
        EXPECT_TRUE(progress.cancellable);
        EXPECT_EQ(progress.range_last, 100);
        ASSERT_EQ(progress.updates.size(), 100u);
        EXPECT_EQ(progress.updates.front(), 1);
        EXPECT_EQ(progress.updates.back(), 100);
        EXPECT_EQ(progress.ends, 1);
        EXPECT_EQ(progress.pumps, 0);
    }
    {
        // Without a progress window events are pumped after every row and before every
        // strip (15 strips of 7 rows).
        RecordingProgress progress;
        ASSERT_EQ(tiff_read(path, img, false), 0);
        EXPECT_EQ(progress.begins, 0);
        EXPECT_EQ(progress.pumps, 100 + 15);
        expect_pixels(img, c, data);
    }
    {
        RecordingProgress progress(40);
        EXPECT_EQ(tiff_read(path, img, true), 11);
        EXPECT_EQ(progress.updates.back(), 40);
        EXPECT_TRUE(img.empty());
    }
}

#endif // MORVANE_HAVE_LIBTIFF

TEST(TiffRead, WorkedExamplesFromHandBuiltFiles)
{
    TempDir dir;
    Image img;
    {
        // 4-bit gray: bytes 0x0F 0xF0 are pixels 0, 255, 255, 0.
        ASSERT_EQ(read_built(dir, MiniTiff::simple(4, 1, 4, {0x0F, 0xF0}).bytes(), img), 0);
        EXPECT_EQ(img.type, IMAGE_GRAY);
        EXPECT_EQ(Bytes(img.row(0), img.row(0) + 4), (Bytes{0, 255, 255, 0}));
    }
    {
        // Photometric 0 binary with all-zero data reads as all white.
        ASSERT_EQ(read_built(dir, MiniTiff::simple(10, 2, 1, {0, 0, 0, 0}, false, 0).bytes(), img), 0);
        EXPECT_EQ(img.type, IMAGE_BINARY);
        for (int r = 0; r < 2; ++r)
            EXPECT_EQ(Bytes(img.row(r), img.row(r) + 2), (Bytes{0xFF, 0xFF}));
    }
    {
        // A width of 40000 stored as SHORT is 40000; no XResolution gives the default.
        preferences().default_resolution = 123.0;
        MiniTiff t;
        const int data = t.block(Bytes(40000, 9));
        t.add(256, 3, 1, 40000);
        t.add(257, 3, 1, 1);
        t.add(258, 3, 1, 8);
        t.add_block(273, 4, 1, data);
        ASSERT_EQ(read_built(dir, t.bytes(), img), 0); // one strip, no byte counts
        EXPECT_EQ(img.width, 40000);
        EXPECT_DOUBLE_EQ(img.resolution, 123.0);
        EXPECT_EQ(img.row(0)[39999], 9);
        preferences().default_resolution = 200.0;
    }
    {
        // Big-endian 16-bit gray, strip offsets as two SHORTs inside the entry, XResolution
        // 300/2 with ResolutionUnit 3.
        MiniTiff t(true);
        t.reserve(8);
        const int s0 = t.block({0x12, 0x34, 0xAB, 0xCD});
        const int s1 = t.block({0x00, 0x01, 0xFF, 0xFE});
        const int res = t.rational(300, 2);
        t.add(256, 4, 1, 2);
        t.add(257, 4, 1, 2);
        t.add(258, 3, 1, 16);
        t.add(273, 3, 2, t.offset_of(s0) | t.offset_of(s1) << 16);
        t.add(278, 3, 1, 1);
        t.add(279, 3, 2, 4 | 4 << 16);
        t.add_block(282, 5, 1, res);
        t.add(296, 3, 1, 3);
        ASSERT_EQ(read_built(dir, t.bytes(), img), 0);
        EXPECT_EQ(img.type, IMAGE_GRAY16);
        EXPECT_EQ(img.row16(1)[0], 0x1234);
        EXPECT_EQ(img.row16(1)[1], 0xABCD);
        EXPECT_EQ(img.row16(0)[0], 0x0001);
        EXPECT_EQ(img.row16(0)[1], 0xFFFE);
        EXPECT_DOUBLE_EQ(img.resolution, 150 * 2.540005);
    }
    {
        // An LZW strip that fills the image before its End of Information code.
        Bytes pixels(12);
        for (int i = 0; i < 12; ++i)
            pixels[i] = std::uint8_t(i * 20);
        Bytes longer = pixels;
        longer.insert(longer.end(), 50, 77);
        const Bytes stream = tifftest::lzw_encode(longer);
        MiniTiff t = MiniTiff::simple(4, 3, 8, stream);
        t.add(259, 3, 1, 5); // a second Compression entry overrides the first
        ASSERT_EQ(read_built(dir, t.bytes(), img), 0);
        EXPECT_EQ(Bytes(img.row(2), img.row(2) + 4), Bytes(pixels.begin(), pixels.begin() + 4));
        EXPECT_EQ(Bytes(img.row(0), img.row(0) + 4), Bytes(pixels.begin() + 8, pixels.end()));
    }
}

TEST(TiffRead, RefusalsShowTheirMessageAndGive56)
{
    TempDir dir;
    const Bytes px(6, 1);
    struct Case {
        std::uint16_t tag, type;
        std::uint32_t count, value;
        const char* message;
    };
    const Case cases[] = {
        {254, 4, 1, 1, "Unsupported new subfile type"},
        {255, 3, 1, 2, "Unsupported subfile type"},
        {258, 3, 1, 2, "Unsupported grayscale bits/pixel (must be 1, 4, 8, or 16)"},
        {258, 3, 2, 8 | 8 << 16, "Unsupported samples/pixel (must be 1 or 3"},
        {259, 3, 1, 7, "Unsupported tiff compression (must be uncompressed or LZW)"},
        {262, 3, 1, 3, "Unsupported photometric interpretation"},
        {262, 3, 1, 5, "Unsupported photometric interpretation"},
        {266, 3, 1, 2, "Unsupported fill order"},
        {274, 3, 1, 3, "Unsupported orientation"},
        {277, 3, 1, 2, "Unsupported samples per pixel"},
        {284, 3, 1, 2, "Unsupported planar configuration"},
        {317, 3, 1, 3, "Unsupported Predictor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        MiniTiff t = MiniTiff::simple(3, 2, 8, px);
        t.add(c.tag, c.type, c.count, c.value);
        Image img;
        std::string message;
        EXPECT_EQ(read_built(dir, t.bytes(), img, &message), 56);
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(img.type, IMAGE_EMPTY);
    }
    auto expect_refusal = [&](const Bytes& bytes, const char* expected) {
        SCOPED_TRACE(expected);
        Image img;
        std::string message;
        EXPECT_EQ(read_built(dir, bytes, img, &message), 56);
        EXPECT_EQ(message, expected);
        EXPECT_TRUE(img.empty());
    };
    {
        MiniTiff t = MiniTiff::simple(1, 1, 8, {0});
        t.add_block(258, 3, 3, t.shorts({8, 8, 16}));
        expect_refusal(t.bytes(), "Unsupported color, mixed bits/pixel");
    }
    {
        MiniTiff t = MiniTiff::simple(1, 1, 8, {0});
        t.add_block(258, 3, 3, t.shorts({4, 4, 4}));
        expect_refusal(t.bytes(), "Unsupported color bits/pixel (must be 8, or 16)");
    }
    {
        MiniTiff t = MiniTiff::simple(8, 1, 1, {0});
        t.add(317, 3, 1, 2);
        expect_refusal(t.bytes(), "Horizontal differencing not supported for binary images");
    }
    {
        MiniTiff t;
        t.reserve(5);
        const int a = t.block(px), b = t.block(px);
        t.add(256, 4, 1, 3);
        t.add(257, 4, 1, 4);
        t.add(258, 3, 1, 8);
        t.add_block(273, 4, 2, t.longs({t.offset_of(a), t.offset_of(b)}));
        t.add(278, 4, 1, 2);
        expect_refusal(t.bytes(), "Strip byte counts required but not specified in TIFF header");
    }
    Bytes good = MiniTiff::simple(3, 2, 8, px).bytes();
    Bytes bad = good;
    bad[1] = 'M';
    expect_refusal(bad, "Illegal TIFF signature");
    bad = good;
    bad[2] = 43;
    expect_refusal(bad, "Illegal TIFF version number");
    expect_refusal(Bytes(good.begin(), good.begin() + 5), "Error reading tiff file header");
    expect_refusal(Bytes(good.begin(), good.begin() + 40), "Error reading tiff file header");
    bad = good;
    bad[4] = 0xF0; // directory beyond the end
    bad[5] = 0x10;
    expect_refusal(bad, "Error reading tiff file header");
}

TEST(TiffRead, HostileFilesEndInAnErrorCode)
{
    TempDir dir;
    Image img;
    std::string message;
    auto base = [](std::uint32_t w, std::uint32_t h, std::uint16_t compression) {
        MiniTiff t;
        t.add(256, 4, 1, w);
        t.add(257, 4, 1, h);
        t.add(258, 3, 1, 8);
        t.add(259, 3, 1, compression);
        return t;
    };
    {
        // Huge sizes claimed by a tiny file: refused before any allocation.
        const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
            {0xFFFFFFFFu, 1}, {1, 0xFFFFFFFFu}, {0x7FFFFFFFu, 1000}, {100000, 100000}};
        for (auto [w, h] : sizes) {
            MiniTiff t = base(w, h, 5);
            t.add(273, 4, 1, 8);
            t.add(279, 4, 1, 100);
            EXPECT_EQ(read_built(dir, t.bytes(), img), 56);
            EXPECT_TRUE(img.empty());
        }
    }
    {
        // Width or height 0, no strip offsets, zero strips, too few strips.
        MiniTiff zero = base(0, 5, 1);
        zero.add(273, 4, 1, 8);
        EXPECT_EQ(read_built(dir, zero.bytes(), img, &message), 56);
        EXPECT_EQ(message, "Error reading tiff file header");
        EXPECT_EQ(read_built(dir, base(4, 4, 1).bytes(), img, &message), 56);
        EXPECT_EQ(message, "Error reading tiff file header");
        MiniTiff none = base(4, 4, 1);
        none.add(273, 4, 0, 8);
        none.add(279, 4, 0, 8);
        EXPECT_EQ(read_built(dir, none.bytes(), img), 56);
        MiniTiff few = base(2, 4, 1);
        few.reserve(7);
        const int blk = few.block(Bytes(8, 0));
        few.add(273, 3, 2, few.offset_of(blk) | few.offset_of(blk) << 16);
        few.add(278, 4, 1, 1);
        few.add(279, 3, 2, 2 | 2 << 16);
        EXPECT_EQ(read_built(dir, few.bytes(), img), 56);
    }
    {
        // Strip arrays far larger than the file, or pointing past its end.
        MiniTiff t = base(4, 4, 1);
        t.add(273, 4, 0x40000000u, 8);
        EXPECT_EQ(read_built(dir, t.bytes(), img, &message), 56);
        EXPECT_EQ(message, "Error reading tiff file header");
        MiniTiff past = base(4, 1, 1);
        past.add(273, 4, 1, 0x7FFFFFF0u);
        past.add(279, 4, 1, 4);
        past.block(Bytes(4, 0));
        EXPECT_EQ(read_built(dir, past.bytes(), img, &message), 56);
        EXPECT_EQ(message, "");
    }
    {
        // Truncated data, uncompressed and LZW; LZW byte counts beyond the file; corrupt LZW.
        const Bytes full = MiniTiff::simple(10, 10, 8, Bytes(100, 3)).bytes();
        EXPECT_EQ(read_built(dir, Bytes(full.begin(), full.end() - 1), img), 56);
        const Bytes banded = MiniTiff::simple(1100, 1000, 8, Bytes(1100000, 3)).bytes();
        tifftest::write_bytes(dir.file("banded.tif"), Bytes(banded.begin(), banded.end() - 1));
        const int previous = set_parallel_threads(3); // the last band fails, the others not
        EXPECT_EQ(tiff_read(dir.file("banded.tif"), img, true), 56);
        EXPECT_TRUE(img.empty());
        set_parallel_threads(previous);
        MiniTiff lzw = base(10, 10, 5);
        const Bytes stream = tifftest::lzw_encode(Bytes(100, 3));
        const int blk = lzw.block(stream);
        lzw.add_block(273, 4, 1, blk);
        lzw.add(279, 4, 1, std::uint32_t(stream.size() + 1));
        EXPECT_EQ(read_built(dir, lzw.bytes(), img), 56);
        MiniTiff corrupt = base(10, 10, 5);
        const int c = corrupt.block({0x00, 0x01, 0x00, 0x00});
        corrupt.add_block(273, 4, 1, c);
        corrupt.add(279, 4, 1, 4);
        EXPECT_EQ(read_built(dir, corrupt.bytes(), img), 56);
        EXPECT_TRUE(img.empty());
    }
    {
        // Colour bits without three samples per pixel.
        MiniTiff t = MiniTiff::simple(2, 1, 8, Bytes(6, 0));
        t.add_block(258, 3, 3, t.shorts({8, 8, 8}));
        EXPECT_EQ(read_built(dir, t.bytes(), img, &message), 56);
        EXPECT_EQ(message, "Unsupported samples per pixel");
    }
    EXPECT_EQ(tiff_read(dir.file("missing.tif"), img, false), 4);
}

TEST(TiffClassify, AcceptsRefusesAndSingles16Bit)
{
    TempDir dir;
    const Bytes px(6, 1);
    auto with = [&](std::uint32_t bits, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                    std::uint32_t value) {
        MiniTiff t = MiniTiff::simple(3, 1, bits, bits == 16 ? Bytes(6, 1) : Bytes(3, 1));
        t.add(tag, type, count, value);
        return classify_built(dir, t.bytes());
    };
    EXPECT_EQ(classify_built(dir, MiniTiff::simple(3, 2, 8, px).bytes()), 1);
    EXPECT_EQ(classify_built(dir, MiniTiff::simple(3, 2, 8, px, true).bytes()), 1);
    EXPECT_EQ(with(8, 259, 3, 1, 5), 1);
    EXPECT_EQ(with(8, 262, 3, 1, 0), 1);
    EXPECT_EQ(with(8, 317, 3, 1, 2), 1);
    EXPECT_EQ(with(8, 277, 3, 1, 4), 1);
    // Refusals before 16 bits per sample were seen: 0, so the imaging library may try.
    const std::pair<std::uint16_t, std::uint32_t> refused[] = {
        {254, 1}, {255, 2}, {259, 7}, {259, 2}, {262, 3}, {262, 6},
        {266, 2}, {274, 4}, {277, 2}, {284, 2}, {317, 3}, {322, 16},
    };
    for (auto [tag, value] : refused) {
        SCOPED_TRACE(tag);
        EXPECT_EQ(with(8, tag, 3, 1, value), 0);
        EXPECT_EQ(with(16, tag, 3, 1, value), 2);
    }
    EXPECT_EQ(with(16, 259, 3, 1, 5), 1);
    // Bits per sample itself.
    EXPECT_EQ(classify_built(dir, MiniTiff::simple(3, 1, 2, px).bytes()), 0);
    EXPECT_EQ(classify_built(dir, MiniTiff::simple(3, 1, 32, px).bytes()), 0);
    {
        MiniTiff t = MiniTiff::simple(3, 1, 8, px);
        t.add_block(258, 3, 3, t.shorts({16, 16, 16}));
        t.add(262, 3, 1, 3);
        EXPECT_EQ(classify_built(dir, t.bytes()), 2);
        MiniTiff mixed = MiniTiff::simple(3, 1, 8, px);
        mixed.add_block(258, 3, 4, mixed.shorts({16, 16, 8, 8}));
        EXPECT_EQ(classify_built(dir, mixed.bytes()), 0);
    }
    // Tile tags of a 16-bit file, bad signature, short file, missing file.
    EXPECT_EQ(with(16, 324, 4, 1, 8), 2);
    Bytes bad = MiniTiff::simple(3, 2, 8, px).bytes();
    bad[0] = 'X';
    EXPECT_EQ(classify_built(dir, bad), 0);
    EXPECT_EQ(classify_built(dir, Bytes{'I', 'I', 42}), 0);
    EXPECT_EQ(tiff_classify(dir.file("none.tif")), 0);
}
