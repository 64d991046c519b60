#include "core/display_lookup.h"
#include "core/row_writer.h"

#include "core/util.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mv;

namespace {

Image blank(int type, int w, int h)
{
    Image img;
    image_alloc(img, type, w, h, 100.0);
    for (auto* row : img.rows)
        std::memset(row, 0xEE, size_t(img.row_bytes));
    return img;
}

// Restores the identity display tables when a test ends.
struct IdentityTables {
    ~IdentityTables() { reset_display_lookup(); }
};

} // namespace

TEST(RowWriter, StepThreeReplicatesColumnsAndRows)
{
    Image img = blank(IMAGE_GRAY, 7, 5);
    RowWriter w;
    row_writer_reset(w);
    ASSERT_EQ(row_writer_open(img, 3, 0, 6, 0, false, w), 0);
    ASSERT_NE(w.buffer, nullptr);
    for (int block = 0; block < 2; ++block) {
        std::uint8_t* p = row_writer_row(w);
        ASSERT_EQ(p, w.buffer.get());
        p[0] = std::uint8_t(10 * block + 1);
        p[1] = std::uint8_t(10 * block + 2);
        p[2] = std::uint8_t(10 * block + 3);
        row_writer_commit(w);
    }
    EXPECT_EQ(w.current_row, 6);
    const std::uint8_t first[7] = {1, 1, 1, 2, 2, 2, 3};
    const std::uint8_t second[7] = {11, 11, 11, 12, 12, 12, 13};
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(std::memcmp(img.row(r), first, 7), 0) << r;
    for (int r = 3; r < 5; ++r) // the last block stops at the height
        EXPECT_EQ(std::memcmp(img.row(r), second, 7), 0) << r;
    EXPECT_EQ(img.row(0)[7], 0xEE); // padding beyond the written span is untouched
    row_writer_commit(w); // past the height: nothing happens
    EXPECT_EQ(w.current_row, 6);
    row_writer_close(w);
    EXPECT_EQ(w.buffer, nullptr);
    row_writer_close(w);
}

TEST(RowWriter, ColumnWindowsAndTheBufferIndexLimit)
{
    // Columns 2..6 of a 7-wide row with step 2: buffer pixels 0, 0, 1, 1, 2.
    Image img = blank(IMAGE_COLOR48, 7, 2);
    RowWriter w;
    ASSERT_EQ(row_writer_open(img, 2, 2, 6, 0, false, w), 0);
    EXPECT_EQ(w.column_offset, 12);
    auto* p = reinterpret_cast<std::uint16_t*>(row_writer_row(w));
    for (int k = 0; k < 9; ++k)
        p[k] = std::uint16_t(1000 + k);
    row_writer_commit(w);
    for (int r = 0; r < 2; ++r) {
        const std::uint16_t* row = img.row16(r);
        EXPECT_EQ(row[3 * 1], 0xEEEE);
        EXPECT_EQ(row[3 * 2], 1000);
        EXPECT_EQ(row[3 * 3 + 2], 1002);
        EXPECT_EQ(row[3 * 4], 1003);
        EXPECT_EQ(row[3 * 6 + 1], 1007);
    }

    // Step 4 over a width of 2: the buffer index stays below the width.
    Image narrow = blank(IMAGE_GRAY, 2, 1);
    ASSERT_EQ(row_writer_open(narrow, 4, 0, 1, 0, false, w), 0);
    row_writer_row(w)[0] = 5;
    row_writer_commit(w);
    EXPECT_EQ(narrow.row(0)[0], 5);
    EXPECT_EQ(narrow.row(0)[1], 5);
}

TEST(RowWriter, BinaryPixelsMoveBitByBit)
{
    Image img = blank(IMAGE_BINARY, 12, 3);
    RowWriter w;
    ASSERT_EQ(row_writer_open(img, 3, 0, 11, 0, false, w), 0);
    std::uint8_t* p = row_writer_row(w);
    p[0] = 0;
    bit_set(p, 1);
    bit_set(p, 3);
    row_writer_commit(w);
    // Pixels 0..2 from buffer bit 0 (clear), 3..5 from bit 1 (set), 6..8 from bit 2
    // (clear), 9..11 from bit 3 (set).
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(bit_test(img.row(r), x), (x >= 3 && x <= 5) || x >= 9) << r << "," << x;
    EXPECT_EQ(img.row(2)[2], 0xEE); // bytes beyond the written span are untouched
}

TEST(RowWriter, StepOneWritesInPlaceThroughTheDisplayTables)
{
    IdentityTables restore;
    DisplayLookup tables;
    for (int v = 0; v < 256; ++v)
        tables.blue[v] = std::uint8_t(v / 2), tables.green[v] = std::uint8_t(255 - v), tables.red[v] = 7;
    set_display_lookup(tables);

    Image img = blank(IMAGE_COLOR, 3, 2);
    RowWriter w;
    row_writer_reset(w);
    ASSERT_EQ(row_writer_open(img, 1, 1, 2, 0, false, w), 0);
    EXPECT_EQ(w.buffer, nullptr);
    for (int r = 0; r < 2; ++r) {
        std::uint8_t* p = row_writer_row(w);
        ASSERT_EQ(p, img.row(r) + 3);
        std::memcpy(p, "\x64\x64\x64\x10\x20\x30", 6);
        row_writer_commit(w);
    }
    EXPECT_EQ(row_writer_row(w), nullptr);
    EXPECT_EQ(std::memcmp(img.row(1), "\xEE\xEE\xEE\x32\x9b\x07\x08\xdf\x07", 9), 0);

    // The flag keeps the computed values.
    Image raw = blank(IMAGE_COLOR, 1, 1);
    ASSERT_EQ(row_writer_open(raw, 1, 0, 0, 0, true, w), 0);
    std::memcpy(row_writer_row(w), "\x64\x64\x64", 3);
    row_writer_commit(w);
    EXPECT_EQ(std::memcmp(raw.row(0), "\x64\x64\x64", 3), 0);

    // With a buffer the tables apply while spreading.
    Image spread = blank(IMAGE_COLOR, 2, 2);
    ASSERT_EQ(row_writer_open(spread, 2, 0, 1, 0, false, w), 0);
    std::memcpy(row_writer_row(w), "\x64\x64\x64", 3);
    row_writer_commit(w);
    EXPECT_EQ(std::memcmp(spread.row(1), "\x32\x9b\x07\x32\x9b\x07", 6), 0);

    reset_display_lookup();
    Image plain = blank(IMAGE_COLOR, 1, 1);
    ASSERT_EQ(row_writer_open(plain, 1, 0, 0, 0, false, w), 0);
    std::memcpy(row_writer_row(w), "\x64\x65\x66", 3);
    row_writer_commit(w);
    EXPECT_EQ(std::memcmp(plain.row(0), "\x64\x65\x66", 3), 0);
}
