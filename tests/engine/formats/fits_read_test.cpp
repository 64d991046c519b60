#include "core/error.h"
#include "core/progress.h"
#include "formats/fits_card.h"
#include "formats/fits_read.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#ifdef MORVANE_HAVE_CFITSIO
#include <fitsio.h>
#endif

namespace mv {
namespace {

struct RecordingMessages : MessageSink {
    std::vector<std::string> texts;
    std::vector<std::string> titles;
    MessageSink* previous;
    RecordingMessages() { previous = set_message_sink(this); }
    ~RecordingMessages() override { set_message_sink(previous); }
    int show(std::string_view title, std::string_view text, int) override
    {
        titles.emplace_back(title);
        texts.emplace_back(text);
        return kResultOk;
    }
};

// Records the progress window and cancels once the update reaches `cancel_at` (-1: never).
struct RecordingProgress : ProgressSink {
    int cancel_at = -1;
    std::vector<std::string> titles;
    int first = 0, last = 0, updates = 0;
    ProgressSink* previous;
    RecordingProgress() { previous = set_progress_sink(this); }
    ~RecordingProgress() override { set_progress_sink(previous); }
    void begin(int f, int l, std::string_view title, bool) override
    {
        first = f;
        last = l;
        titles.emplace_back(title);
    }
    int update(int current) override
    {
        ++updates;
        return cancel_at >= 0 && current >= cancel_at ? kAborted : 0;
    }
    void end() override {}
};

std::string temp_path(const std::string& name)
{
    return testing::TempDir() + "fits_read_" + name + ".fits";
}

// A header of the given cards, END, padded with blank cards to whole blocks.
std::string header(const std::vector<std::string>& cards)
{
    std::string h;
    for (const std::string& c : cards)
        h += (c + std::string(80, ' ')).substr(0, 80);
    h += (std::string("END") + std::string(80, ' ')).substr(0, 80);
    h.resize((h.size() + 2879) / 2880 * 2880, ' ');
    return h;
}

std::string gray_header(int bitpix, int width, int height, std::vector<std::string> extra = {})
{
    std::vector<std::string> cards = {
        "SIMPLE  =                    T / conforms",
        "BITPIX  =                   " + std::to_string(bitpix),
        "NAXIS   =                    2",
        "NAXIS1  =                   " + std::to_string(width),
        "NAXIS2  =                   " + std::to_string(height),
    };
    cards.insert(cards.end(), extra.begin(), extra.end());
    return header(cards);
}

void write_bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Reads a file made of `bytes`, with messages recorded.
int read_bytes(const std::string& name, const std::string& bytes, Image& img,
               RecordingMessages& messages, bool progress = false)
{
    const std::string path = temp_path(name);
    write_bytes(path, bytes);
    const int err = fits_read(path, img, progress);
    std::remove(path.c_str());
    return err;
}

// The message a header gives, or "" when it reads.
std::string header_message(const std::string& bytes)
{
    RecordingMessages messages;
    Image img;
    const int err = read_bytes("message", bytes, img, messages);
    if (err == 0)
        return "";
    EXPECT_EQ(err, 84);
    EXPECT_TRUE(img.empty());
    EXPECT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.titles.size() == 1 ? messages.titles[0] : "", "Error");
    return messages.texts.empty() ? "(none)" : messages.texts[0];
}

TEST(FitsCard, ValuesAndNumbers)
{
    auto value = [](std::string text) {
        text.resize(80, ' ');
        return std::string(fits_card_value(text.data()));
    };
    EXPECT_EQ(value("BITPIX  =                   16 / Bits per pixel"), "16");
    EXPECT_EQ(value("OBJECT  = 'm51  B  600s'"), "'m51");
    EXPECT_EQ(value("KEYWORD =x"), "");         // nothing from column 11 on
    EXPECT_EQ(value("HISTORY written"), "");    // columns 9 and 10 not blank
    EXPECT_EQ(value("COMMENT  abc def"), "bc"); // column 9 blank; the value starts at 11
    std::string k = "naxis1  = 5";
    k.resize(80, ' ');
    EXPECT_TRUE(fits_card_is(k.data(), "NAXIS1"));
    EXPECT_FALSE(fits_card_is(k.data(), "NAXIS"));

    long long n = 0;
    EXPECT_TRUE(fits_parse_int("+42", n));
    EXPECT_EQ(n, 42);
    EXPECT_TRUE(fits_parse_int("-9223372036854775808", n));
    EXPECT_EQ(n, INT64_MIN);
    for (const char* bad : {"", "+", "8/", "1.0", " 8", "9223372036854775808", "0x10"})
        EXPECT_FALSE(fits_parse_int(bad, n)) << bad;

    double f = 0;
    EXPECT_TRUE(fits_parse_float("-1.5e+3", f));
    EXPECT_EQ(f, -1500.0);
    EXPECT_TRUE(fits_parse_float(".5", f));
    EXPECT_EQ(f, 0.5);
    EXPECT_TRUE(fits_parse_float("+3.", f));
    EXPECT_EQ(f, 3.0);
    EXPECT_TRUE(fits_parse_float("1e999", f));
    EXPECT_TRUE(std::isinf(f));
    EXPECT_TRUE(fits_parse_float("0.0001e-999", f));
    EXPECT_EQ(f, 0.0);
    EXPECT_TRUE(fits_parse_float(std::string(400, '9') + "e-5", f));
    EXPECT_TRUE(std::isinf(f));
    for (const char* bad : {"", ".", "1e", "1.0/", "inf", "nan", "1D3", "0x1p3", "--1", "1.2.3"})
        EXPECT_FALSE(fits_parse_float(bad, f)) << bad;
}

TEST(FitsRead, EightAndSixteenBitRowsAndOffsets)
{
    RecordingMessages messages;
    preferences().default_resolution = 150.0;
    Image img;

    // 3 x 2 bytes, the first data row is the top of the picture.
    std::string bytes = gray_header(8, 3, 2) + std::string("\x01\x02\x03\x04\x05\x06", 6);
    ASSERT_EQ(read_bytes("8bit", bytes, img, messages), 0);
    EXPECT_EQ(img.type, IMAGE_GRAY);
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.resolution, 150.0);
    EXPECT_EQ(img.row(1)[0], 1);
    EXPECT_EQ(img.row(1)[2], 3);
    EXPECT_EQ(img.row(0)[0], 4);
    EXPECT_EQ(img.row(0)[2], 6);

    // BZERO = -128 makes signed bytes unsigned.
    bytes = gray_header(8, 2, 1, {"BZERO   =               -128.0"}) + std::string("\x80\x7f", 2);
    ASSERT_EQ(read_bytes("8bit_bzero", bytes, img, messages), 0);
    EXPECT_EQ(img.row(0)[0], 0);
    EXPECT_EQ(img.row(0)[1], 255);

    // BZERO = 32768: stored -32768 reads as 0, 32767 as 65535; BSCALE 1 is accepted.
    bytes = gray_header(16, 3, 1, {"BZERO   =                32768", "BSCALE  =                  1.0"}) +
            std::string("\x80\x00\x7f\xff\x00\x01", 6);
    ASSERT_EQ(read_bytes("16bit_bzero", bytes, img, messages), 0);
    EXPECT_EQ(img.type, IMAGE_GRAY16);
    EXPECT_EQ(img.row16(0)[0], 0);
    EXPECT_EQ(img.row16(0)[1], 65535);
    EXPECT_EQ(img.row16(0)[2], 32769);

    // Without BZERO the big-endian samples come through as they are; a BZERO is rounded.
    bytes = gray_header(16, 2, 1, {"BZERO   =                  0.5"}) + std::string("\x12\x34\xff\xff", 4);
    ASSERT_EQ(read_bytes("16bit_round", bytes, img, messages), 0);
    EXPECT_EQ(img.row16(0)[0], 0x1235);
    EXPECT_EQ(img.row16(0)[1], 0);
    EXPECT_TRUE(messages.texts.empty());
    preferences().default_resolution = Preferences().default_resolution;
}

TEST(FitsRead, HeaderLayout)
{
    RecordingMessages messages;
    Image img;
    // Lower-case keyword, many blanks before T, a trailing comment; blank-keyword cards,
    // unknown keywords and anything after END are ignored.
    std::vector<std::string> cards = {
        "simple  =                                          T / lower case",
        "        = garbage",
        "DATE    = '2010-07-02T15:10:48' / unknown",
        "BITPIX  = 8",
        "NAXIS   = 2",
        "NAXIS1  = 1",
        "NAXIS2  = 1",
    };
    ASSERT_EQ(read_bytes("lower", header(cards) + "\x2a", img, messages), 0);
    EXPECT_EQ(img.row(0)[0], 0x2a);

    // END as the first card of the second block: the data starts at byte 5760.
    std::vector<std::string> long_cards(36, "COMMENT  padding");
    long_cards[0] = "SIMPLE  = T";
    long_cards[1] = "BITPIX  = 8";
    long_cards[2] = "NAXIS   = 2";
    long_cards[3] = "NAXIS1  = 2";
    long_cards[4] = "NAXIS2  = 1";
    std::string bytes = header(long_cards);
    ASSERT_EQ(bytes.size(), 5760u);
    bytes.replace(2880 + 80, 11, "BITPIX  = 7"); // after END: not read
    bytes += "\x07\x09";
    ASSERT_EQ(read_bytes("second_block", bytes, img, messages), 0);
    EXPECT_EQ(img.type, IMAGE_GRAY);
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.row(0)[0], 7);
    EXPECT_EQ(img.row(0)[1], 9);
    EXPECT_TRUE(messages.texts.empty());
}

TEST(FitsRead, HeaderMessages)
{
    EXPECT_EQ(header_message(gray_header(-32, 2, 2)), "BITPIX must be 8 or 16");
    EXPECT_EQ(header_message(gray_header(32, 2, 2)), "BITPIX must be 8 or 16");
    EXPECT_EQ(header_message(gray_header(-64, 2, 2)), "BITPIX must be 8 or 16");
    EXPECT_EQ(header_message(gray_header(12, 2, 2)), "Unrecognized BITPIX value; 12");
    EXPECT_EQ(header_message(header({"BITPIX  = 8/"})), "Unrecognized BITPIX value; 8/");
    EXPECT_EQ(header_message(header({"SIMPLE  = F"})), "Nonconforming FITS file");
    EXPECT_EQ(header_message(header({"NAXIS   = 3"})), "NAXIS must be 2");
    EXPECT_EQ(header_message(header({"NAXIS   = two"})), "Unrecognized NAXIS value; two");
    EXPECT_EQ(header_message(header({"NAXIS1  = 1.5"})), "Unrecognized NAXIS1 value; 1.5");
    EXPECT_EQ(header_message(header({"NAXIS2  = -4"})), "Unrecognized NAXIS2 value; -4");
    EXPECT_EQ(header_message(header({"NAXIS1  = 99999999999"})),
              "Unrecognized NAXIS1 value; 99999999999");
    EXPECT_EQ(header_message(header({"BZERO   = 1e"})), "Unrecognized BZERO value; 1e");
    EXPECT_EQ(header_message(header({"BZERO   = 65536.5"})), "Unsupported BZERO value; 65536.5");
    EXPECT_EQ(header_message(header({"BZERO   = -1e999"})), "Unsupported BZERO value; -1e999");
    EXPECT_EQ(header_message(header({"BSCALE  = one"})), "Unrecognized BSCALE value; one");
    EXPECT_EQ(header_message(header({"BSCALE  = 1.0000001"})),
              "Unsupported BSCALE value; 1.0000001");
    // No sample size or no image size: nothing to make a picture of.
    EXPECT_EQ(header_message(header({"BITPIX  = 8", "NAXIS1  = 4"})), "Nonconforming FITS file");
    EXPECT_EQ(header_message(header({"NAXIS1  = 4", "NAXIS2  = 4"})), "Nonconforming FITS file");
    // No END card before the file ends, or a header block cut short.
    EXPECT_EQ(header_message(std::string(2880, ' ')), "Error reading FITS file header");
    EXPECT_EQ(header_message(gray_header(8, 1, 1).substr(0, 2000)),
              "Error reading FITS file header");
    EXPECT_EQ(header_message(""), "Error reading FITS file header");
    // Accepted values: BZERO at the limit, BSCALE written as an exponent.
    EXPECT_EQ(header_message(gray_header(8, 1, 1, {"BZERO   = -65536", "BSCALE  = 1E0"}) + "x"), "");
}

TEST(FitsRead, TruncatedHostileAndCancelled)
{
    RecordingMessages messages;
    Image img;
    image_alloc(img, IMAGE_GRAY, 4, 4, 72); // a failed read leaves the image empty

    // One byte short of the data: 84 without a header message.
    EXPECT_EQ(read_bytes("short", gray_header(16, 4, 4) + std::string(31, '\0'), img, messages), 84);
    EXPECT_TRUE(img.empty());
    EXPECT_EQ(img.type, IMAGE_EMPTY);
    // Enormous axes over a few bytes of data: refused before any memory is spent.
    EXPECT_EQ(read_bytes("huge", gray_header(16, 2147483647, 2147483647) + "abcd", img, messages), 84);
    EXPECT_EQ(read_bytes("tall", gray_header(8, 1, 2147483647) + "abcd", img, messages), 84);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_TRUE(img.empty());
    // A missing file keeps its own code.
    EXPECT_EQ(fits_read(temp_path("does_not_exist"), img, false), 4);

    // Progress only when asked for, titled "FITS Read" over the rows; Cancel gives 11.
    RecordingProgress progress;
    const std::string big = gray_header(8, 100, 200) + std::string(20000, '\x11');
    ASSERT_EQ(read_bytes("quiet", big, img, messages, false), 0);
    EXPECT_TRUE(progress.titles.empty());
    ASSERT_EQ(read_bytes("shown", big, img, messages, true), 0);
    ASSERT_EQ(progress.titles.size(), 1u);
    EXPECT_EQ(progress.titles[0], "FITS Read");
    EXPECT_EQ(progress.first, 0);
    EXPECT_EQ(progress.last, 199);
    EXPECT_EQ(progress.updates, 200);
    progress.cancel_at = 50;
    EXPECT_EQ(read_bytes("cancel", big, img, messages, true), 11);
    EXPECT_TRUE(img.empty());
}

#ifdef MORVANE_HAVE_CFITSIO

// Reads every sample of a file with cfitsio in file order, as 16-bit patterns.
std::vector<std::uint16_t> cfitsio_samples(const std::string& path, int& bitpix, long& w, long& h)
{
    fitsfile* f = nullptr;
    int status = 0;
    std::vector<std::uint16_t> out;
    if (fits_open_file(&f, path.c_str(), READONLY, &status))
        return out;
    int naxis = 0;
    long size[2] = {0, 0};
    fits_get_img_param(f, 2, &bitpix, &naxis, size, &status);
    w = size[0];
    h = size[1];
    std::vector<long> values(size_t(w * h));
    long first[2] = {1, 1};
    fits_read_pix(f, TLONG, first, w * h, nullptr, values.data(), nullptr, &status);
    fits_close_file(f, &status);
    EXPECT_EQ(status, 0);
    for (long v : values)
        out.push_back(std::uint16_t(v)); // modulo 65536, as the reader adds BZERO
    return out;
}

void expect_same_as_cfitsio(const std::string& path, int expected_type)
{
    int bitpix = 0;
    long w = 0, h = 0;
    const std::vector<std::uint16_t> ref = cfitsio_samples(path, bitpix, w, h);
    Image img;
    ASSERT_EQ(fits_read(path, img, false), 0) << path;
    ASSERT_EQ(img.type, expected_type);
    ASSERT_EQ(img.width, w);
    ASSERT_EQ(img.height, h);
    ASSERT_EQ(ref.size(), size_t(w * h));
    int mismatches = 0;
    for (long j = 0; j < h; ++j)      // cfitsio's first row is the file's first row,
        for (long x = 0; x < w; ++x) { // the top of the picture: Image row h - 1
            const int ours = expected_type == IMAGE_GRAY ? img.row(int(h - 1 - j))[x]
                                                         : img.row16(int(h - 1 - j))[x];
            const int theirs = expected_type == IMAGE_GRAY ? ref[size_t(j * w + x)] & 0xff
                                                           : ref[size_t(j * w + x)];
            mismatches += ours != theirs;
        }
    EXPECT_EQ(mismatches, 0) << path;
}

// Writes a w x h image with cfitsio; `value` gives the sample at (x, file row j).
template <class T, class F>
std::string cfitsio_write(const std::string& name, int bitpix, int datatype, long w, long h, F value)
{
    const std::string path = temp_path(name);
    std::remove(path.c_str());
    fitsfile* f = nullptr;
    int status = 0;
    long size[2] = {w, h};
    fits_create_file(&f, path.c_str(), &status);
    fits_create_img(f, bitpix, 2, size, &status);
    std::vector<T> data;
    for (long j = 0; j < h; ++j)
        for (long x = 0; x < w; ++x)
            data.push_back(T(value(x, j)));
    long first[2] = {1, 1};
    fits_write_pix(f, datatype, first, w * h, data.data(), &status);
    fits_close_file(f, &status);
    EXPECT_EQ(status, 0);
    return path;
}

TEST(FitsRead, AgreesWithCfitsio)
{
    RecordingMessages messages;
    const std::string sample = std::string(MORVANE_SAMPLES_DIR) + "/simple.fits";
    expect_same_as_cfitsio(sample, IMAGE_GRAY16);
    Image img;
    ASSERT_EQ(fits_read(sample, img, false), 0);
    EXPECT_EQ(img.width, 256);
    EXPECT_EQ(img.height, 256);

    const std::string bytes = cfitsio_write<std::uint8_t>(
        "cf8", BYTE_IMG, TBYTE, 37, 23, [](long x, long j) { return (x * 7 + j * 13) & 0xff; });
    expect_same_as_cfitsio(bytes, IMAGE_GRAY);
    // Unsigned 16-bit goes through BZERO 32768.
    const std::string ushort = cfitsio_write<std::uint16_t>(
        "cf16u", USHORT_IMG, TUSHORT, 41, 19, [](long x, long j) { return (x * 1601 + j * 3001) & 0xffff; });
    expect_same_as_cfitsio(ushort, IMAGE_GRAY16);
    ASSERT_EQ(fits_read(ushort, img, false), 0);
    EXPECT_EQ(img.row16(18)[1], 1601); // file row 0 is the top row
    // Signed 16-bit without BZERO reads as its bit patterns.
    const std::string sshort = cfitsio_write<std::int16_t>(
        "cf16s", SHORT_IMG, TSHORT, 17, 29, [](long x, long j) { return (x - 8) * 1000 + j; });
    expect_same_as_cfitsio(sshort, IMAGE_GRAY16);
    // Signed bytes written by cfitsio carry BZERO -128 and come back unsigned.
    const std::string sbyte = cfitsio_write<signed char>(
        "cf8s", SBYTE_IMG, TSBYTE, 16, 16, [](long x, long j) { return x * 16 + j - 128; });
    expect_same_as_cfitsio(sbyte, IMAGE_GRAY);
    EXPECT_TRUE(messages.texts.empty());

    // Floating point and 32-bit data are refused with their message.
    const std::string floats = cfitsio_write<float>(
        "cf32f", FLOAT_IMG, TFLOAT, 4, 4, [](long x, long j) { return x * 0.5 + j; });
    EXPECT_EQ(fits_read(floats, img, false), 84);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], "BITPIX must be 8 or 16");
    for (const std::string& p : {bytes, ushort, sshort, sbyte, floats})
        std::remove(p.c_str());
}

#endif

} // namespace
} // namespace mv
