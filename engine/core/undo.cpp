#include "undo.h"

#include "error.h"
#include "settings/preferences.h"
#include "util.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {
namespace {

int level()
{
    return preferences().undo;
}

// Copies `width` pixels from column `from_x` of one row to column `to_x` of another.
void copy_pixels(int type, const std::uint8_t* from, int from_x, std::uint8_t* to, int to_x,
                 int width)
{
    if (type == IMAGE_BINARY) {
        for (int i = 0; i < width; ++i)
            bit_put(to, to_x + i, bit_test(from, from_x + i));
        return;
    }
    const int bpp = image_pixel_bytes(type);
    std::memcpy(to + size_t(to_x) * bpp, from + size_t(from_x) * bpp, size_t(width) * bpp);
}

bool contains(const UndoRecord& r, int column, int row)
{
    return column >= r.first_column && column <= r.last_column && row >= r.first_row &&
           row <= r.last_row;
}

// Puts the saved pixels of the tail record back and drops the record.
void undo_one(UndoList& list, std::vector<UndoChange>* changes)
{
    UndoRecord& r = list.records.back();
    Image* t = r.target;
    if (r.window && t && t->type == r.saved.type && r.last_column < t->width &&
        r.last_row < t->height && !r.saved.empty()) {
        const int w = r.last_column - r.first_column + 1;
        for (int i = 0; i < r.saved.height; ++i)
            copy_pixels(t->type, r.saved.row(i), 0, t->row(r.first_row + i), r.first_column, w);
        if (changes)
            changes->push_back(
                {r.window, t, r.first_column, r.first_row, r.last_column, r.last_row});
    }
    list.records.pop_back();
}

} // namespace

UndoList& undo_list()
{
    static UndoList list;
    return list;
}

int undo_begin(UndoList& list)
{
    if (level() <= kUndoNone)
        return kOk;
    if (level() == kUndoSingle)
        list.records.clear();
    if (list.records.empty())
        return kOk; // no boundary at the bottom of the list
    try {
        UndoRecord& r = list.records.emplace_back();
        r.serial = list.next_serial++;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

int undo_save(WindowHandle window, Image& image, int first_column, int first_row,
              int last_column, int last_row, UndoList& list)
{
    if (level() <= kUndoNone)
        return kOk;
    if (!is_picture_type(image.type) || image.empty())
        return kIllegalImageType;
    first_column = std::max(first_column, 0);
    first_row = std::max(first_row, 0);
    last_column = std::min(last_column, image.width - 1);
    last_row = std::min(last_row, image.height - 1);
    if (first_column > last_column || first_row > last_row)
        return kOk;
    const int w = last_column - first_column + 1, h = last_row - first_row + 1;
    try {
        UndoRecord r;
        if (int e = image_alloc(r.saved, image.type, w, h, 100.0))
            return e;
        for (int i = 0; i < h; ++i)
            copy_pixels(image.type, image.row(first_row + i), first_column, r.saved.row(i), 0, w);
        r.window = window;
        r.target = &image;
        r.first_column = first_column;
        r.first_row = first_row;
        r.last_column = last_column;
        r.last_row = last_row;
        r.serial = list.next_serial;
        list.records.push_back(std::move(r));
        ++list.next_serial;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

void undo_undo(UndoList& list, std::vector<UndoChange>* changes)
{
    while (!list.records.empty()) {
        const bool boundary = list.records.back().window == nullptr;
        undo_one(list, changes);
        if (boundary)
            break;
    }
}

void undo_all(UndoList& list, std::vector<UndoChange>* changes)
{
    while (!list.records.empty())
        undo_one(list, changes);
}

bool undo_available(const UndoList& list)
{
    return !list.records.empty();
}

void undo_forget(WindowHandle window, UndoList& list)
{
    if (!window)
        return;
    list.records.remove_if([window](const UndoRecord& r) { return r.window == window; });
}

void undo_clear(UndoList& list)
{
    list.records.clear();
}

UndoMark undo_mark(const UndoList& list)
{
    return {true, list.records.empty() ? 0 : list.records.back().serial};
}

bool undo_saved_value(UndoMark mark, WindowHandle window, int column, int row, int rgb[3],
                      const UndoList& list)
{
    if (!mark.taken || !window)
        return false;
    // Walks back from the tail to the mark so that older history costs nothing; the answer
    // is the oldest covering record below the first boundary after the mark.
    const UndoRecord* found = nullptr;
    for (auto it = list.records.rbegin(); it != list.records.rend(); ++it) {
        const UndoRecord& r = *it;
        if (r.serial <= mark.serial)
            break;
        if (!r.window)
            found = nullptr;
        else if (r.window == window && contains(r, column, row))
            found = &r;
    }
    if (!found)
        return false;
    pixel_read(found->saved, column - found->first_column, row - found->first_row, rgb);
    return true;
}

void pixel_read(const Image& image, int column, int row, int rgb[3])
{
    const std::uint8_t* p = image.row(row);
    switch (image.type) {
    case IMAGE_BINARY:
        rgb[0] = rgb[1] = rgb[2] = bit_test(p, column) ? 255 : 0;
        break;
    case IMAGE_GRAY:
        rgb[0] = rgb[1] = rgb[2] = p[column];
        break;
    case IMAGE_GRAY16:
        rgb[0] = rgb[1] = rgb[2] = image.row16(row)[column];
        break;
    case IMAGE_COLOR:
        rgb[0] = p[3 * column + 2];
        rgb[1] = p[3 * column + 1];
        rgb[2] = p[3 * column];
        break;
    case IMAGE_COLOR48: {
        const std::uint16_t* q = image.row16(row) + 3 * column;
        rgb[0] = q[2];
        rgb[1] = q[1];
        rgb[2] = q[0];
        break;
    }
    default:
        rgb[0] = rgb[1] = rgb[2] = 0;
    }
}

} // namespace mv
