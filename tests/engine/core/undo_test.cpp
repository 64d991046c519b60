#include "core/undo.h"

#include "core/util.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace mv;

namespace {

// Sets the undo level for one test and restores it afterwards.
struct LevelScope {
    explicit LevelScope(int level) : saved(preferences().undo) { preferences().undo = level; }
    ~LevelScope() { preferences().undo = saved; }
    int saved;
};

Image patterned(int type, int w, int h, int seed)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, w, h, 72.0), 0);
    for (int r = 0; r < h; ++r)
        for (int i = 0; i < img.row_bytes; ++i)
            img.row(r)[i] = std::uint8_t(r * 31 + i * 7 + seed);
    return img;
}

std::vector<std::uint8_t> bytes(const Image& img)
{
    std::vector<std::uint8_t> out;
    for (int r = 0; r < img.height; ++r)
        out.insert(out.end(), img.row(r), img.row(r) + img.row_bytes);
    return out;
}

// Overwrites the rectangle with `v` after saving it, as a brush stamp does.
void stamp(UndoList& list, WindowHandle win, Image& img, int c0, int r0, int c1, int r1, int v)
{
    ASSERT_EQ(undo_save(win, img, c0, r0, c1, r1, list), 0);
    for (int r = std::max(r0, 0); r <= std::min(r1, img.height - 1); ++r) {
        if (img.type == IMAGE_BINARY) {
            for (int c = std::max(c0, 0); c <= std::min(c1, img.width - 1); ++c)
                bit_put(img.row(r), c, v & 1);
            continue;
        }
        const int bpp = image_pixel_bytes(img.type);
        for (int c = std::max(c0, 0); c <= std::min(c1, img.width - 1); ++c)
            std::memset(img.row(r) + c * bpp, v, size_t(bpp));
    }
}

const int kWinA = 0, kWinB = 0;
const WindowHandle A = &kWinA, B = &kWinB;

} // namespace

TEST(Undo, LevelsKeepNothingOneOrAllOperations)
{
    UndoList list;
    {
        LevelScope none(kUndoNone);
        Image img = patterned(IMAGE_GRAY, 20, 10, 1);
        EXPECT_EQ(undo_begin(list), 0);
        stamp(list, A, img, 2, 2, 5, 5, 9);
        EXPECT_FALSE(undo_available(list));
        EXPECT_TRUE(list.records.empty());
    }
    {
        LevelScope single(kUndoSingle);
        Image img = patterned(IMAGE_GRAY, 20, 10, 2);
        const auto before1 = bytes(img);
        undo_begin(list);
        stamp(list, A, img, 2, 2, 5, 5, 9);
        stamp(list, A, img, 4, 4, 8, 8, 10);
        const auto before2 = bytes(img);
        undo_begin(list);
        stamp(list, A, img, 0, 0, 3, 3, 11);
        stamp(list, A, img, 1, 1, 6, 9, 12);
        EXPECT_EQ(list.records.size(), 2u); // the first stroke was dropped, no boundary
        undo_undo(list);
        EXPECT_EQ(bytes(img), before2);
        EXPECT_FALSE(undo_available(list));
        undo_undo(list);
        EXPECT_EQ(bytes(img), before2);
        EXPECT_NE(bytes(img), before1);
    }
    {
        LevelScope multi(kUndoMultiple);
        Image img = patterned(IMAGE_COLOR, 20, 10, 3);
        std::vector<std::vector<std::uint8_t>> states;
        for (int s = 0; s < 3; ++s) {
            states.push_back(bytes(img));
            undo_begin(list);
            stamp(list, A, img, s, s, s + 6, s + 4, 40 + s);
            stamp(list, A, img, s + 3, 0, s + 9, 9, 50 + s);
        }
        // The oldest operation has no boundary below it.
        EXPECT_EQ(list.records.size(), 8u);
        for (int s = 2; s >= 0; --s) {
            ASSERT_TRUE(undo_available(list));
            std::vector<UndoChange> changes;
            undo_undo(list, &changes);
            EXPECT_EQ(bytes(img), states[size_t(s)]) << "stroke " << s;
            ASSERT_EQ(changes.size(), 2u);
            EXPECT_EQ(changes[0].window, A);
            EXPECT_EQ(changes[0].first_column, s + 3);
            EXPECT_EQ(changes[0].last_row, 9);
        }
        EXPECT_FALSE(undo_available(list));
        undo_undo(list); // nothing to do
        EXPECT_EQ(bytes(img), states[0]);
    }
}

TEST(Undo, OverlappingStampsComeBackExactlyOnEveryType)
{
    LevelScope multi(kUndoMultiple);
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        UndoList list;
        Image img = patterned(type, 37, 11, type);
        const auto before = bytes(img);
        undo_begin(list);
        // Odd offsets cross byte boundaries of binary rows; the last stamps reach outside
        // the picture and are clipped.
        stamp(list, A, img, 3, 1, 13, 6, 0xff);
        stamp(list, A, img, 9, 4, 20, 9, 0x00);
        stamp(list, A, img, 5, 0, 11, 10, 0x55);
        stamp(list, A, img, 30, -3, 45, 2, 0xaa);
        ASSERT_EQ(list.records.size(), 4u);
        const UndoRecord& clipped = list.records.back();
        EXPECT_EQ(clipped.first_row, 0);
        EXPECT_EQ(clipped.last_column, 36);
        EXPECT_EQ(clipped.saved.width, 7);
        EXPECT_EQ(clipped.saved.resolution, 100.0);
        EXPECT_EQ(clipped.saved.type, type);
        // A rectangle wholly outside saves nothing.
        EXPECT_EQ(undo_save(A, img, 40, 0, 50, 5, list), 0);
        EXPECT_EQ(list.records.size(), 4u);
        undo_undo(list);
        EXPECT_EQ(bytes(img), before) << "type " << type;
        EXPECT_FALSE(undo_available(list));
    }
    Image pseudo;
    ASSERT_EQ(image_alloc(pseudo, IMAGE_HISTOGRAM, 257, 1, 0), 0);
    UndoList list;
    EXPECT_EQ(undo_save(A, pseudo, 0, 0, 3, 0, list), 14);
}

TEST(Undo, UndoAllForgetAndClear)
{
    LevelScope multi(kUndoMultiple);
    UndoList list;
    Image a = patterned(IMAGE_GRAY, 16, 16, 5), b = patterned(IMAGE_GRAY16, 16, 16, 6);
    const auto a0 = bytes(a), b0 = bytes(b);
    undo_begin(list);
    stamp(list, A, a, 0, 0, 4, 4, 1);
    undo_begin(list);
    stamp(list, B, b, 2, 2, 9, 9, 2);
    undo_begin(list);
    stamp(list, A, a, 3, 3, 12, 12, 3);
    stamp(list, B, b, 3, 3, 12, 12, 4);
    const auto a1 = bytes(a);

    // Window A closes: its records go, B's stay undoable, boundaries stay.
    undo_forget(A, list);
    for (const UndoRecord& r : list.records)
        EXPECT_NE(r.window, A);
    undo_undo(list);
    EXPECT_EQ(bytes(a), a1);
    undo_all(list);
    EXPECT_EQ(bytes(b), b0);
    EXPECT_FALSE(undo_available(list));

    // Undo All takes back every operation.
    undo_begin(list);
    stamp(list, A, a, 0, 0, 15, 15, 7);
    undo_begin(list);
    stamp(list, A, a, 5, 5, 6, 6, 8);
    std::vector<UndoChange> changes;
    undo_all(list, &changes);
    EXPECT_EQ(bytes(a), a1);
    EXPECT_EQ(changes.size(), 2u);

    // Clear drops the history without touching pixels.
    undo_begin(list);
    stamp(list, A, a, 0, 0, 15, 15, 9);
    undo_clear(list);
    EXPECT_FALSE(undo_available(list));
    EXPECT_NE(bytes(a), a0);
}

TEST(Undo, SavedValueLookupSeesOnlyTheCurrentOperation)
{
    UndoList list;
    int rgb[3];
    {
        LevelScope multi(kUndoMultiple);
        Image c = patterned(IMAGE_COLOR48, 8, 8, 1);
        Image original;
        ASSERT_EQ(image_clone(c, original), 0);
        undo_begin(list);
        stamp(list, A, c, 0, 0, 7, 7, 0x11); // an earlier operation
        undo_begin(list);
        const UndoMark mark = undo_mark(list);
        Image before;
        ASSERT_EQ(image_clone(c, before), 0);
        stamp(list, A, c, 2, 2, 4, 4, 0x22);
        stamp(list, A, c, 3, 3, 6, 6, 0x33); // overlaps: the older record wins
        int want[3];
        pixel_read(before, 4, 4, want);
        ASSERT_TRUE(undo_saved_value(mark, A, 4, 4, rgb, list));
        EXPECT_EQ(rgb[0], want[0]);
        EXPECT_EQ(rgb[2], want[2]);
        EXPECT_EQ(rgb[0], 0x1111); // 16-bit value
        EXPECT_FALSE(undo_saved_value(mark, A, 7, 7, rgb, list));  // not saved
        EXPECT_FALSE(undo_saved_value(mark, B, 4, 4, rgb, list));  // other window
        EXPECT_FALSE(undo_saved_value(UndoMark{}, A, 4, 4, rgb, list)); // never taken
        // A mark taken on the empty list sees the first operation, which has no boundary
        // below it, and stops at the boundary above it.
        EXPECT_TRUE(undo_saved_value(UndoMark{true, 0}, A, 4, 4, rgb, list));
        EXPECT_EQ(rgb[1], int(original.row16(4)[4 * 3 + 1]));
        EXPECT_NE(rgb[1], 0x1111);
    }
    {
        // Single level: the list starts empty at each operation, the mark still works.
        LevelScope single(kUndoSingle);
        Image bin = patterned(IMAGE_BINARY, 16, 4, 0);
        std::memset(bin.row(1), 0xff, size_t(bin.row_bytes));
        undo_begin(list);
        const UndoMark mark = undo_mark(list);
        stamp(list, A, bin, 0, 0, 15, 3, 0);
        ASSERT_TRUE(undo_saved_value(mark, A, 9, 1, rgb, list));
        EXPECT_EQ(rgb[0], 255);
        EXPECT_EQ(rgb[1], 255);
    }
    {
        LevelScope none(kUndoNone);
        Image g = patterned(IMAGE_GRAY, 4, 4, 0);
        undo_clear(list);
        undo_begin(list);
        const UndoMark mark = undo_mark(list);
        stamp(list, A, g, 0, 0, 3, 3, 0);
        EXPECT_FALSE(undo_saved_value(mark, A, 1, 1, rgb, list));
    }
}
