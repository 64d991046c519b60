// Pictures and settings shared by the retouching tool tests.
#pragma once

#include "core/image.h"
#include "core/undo.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace mv::test {

// Sets the undo level and empties the undo list for one test, restoring both afterwards.
struct UndoScope {
    explicit UndoScope(int level = kUndoMultiple) : saved(preferences().undo)
    {
        preferences().undo = level;
        undo_clear();
    }
    ~UndoScope()
    {
        undo_clear();
        preferences().undo = saved;
    }
    int saved;
};

inline Image filled(int type, int w, int h, int value)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, w, h, 72.0), 0);
    for (int r = 0; r < h; ++r) {
        if (type == IMAGE_GRAY16 || type == IMAGE_COLOR48) {
            for (int i = 0; i < img.row_bytes / 2; ++i)
                img.row16(r)[i] = std::uint16_t(value);
        } else {
            std::memset(img.row(r), value, size_t(img.row_bytes));
        }
    }
    return img;
}

inline std::vector<std::uint8_t> bytes(const Image& img)
{
    std::vector<std::uint8_t> out;
    for (int r = 0; r < img.height; ++r)
        out.insert(out.end(), img.row(r), img.row(r) + img.row_bytes);
    return out;
}

// Red, green, blue of an 8-bit colour pixel.
inline std::vector<int> rgb_at(const Image& img, int c, int r)
{
    const std::uint8_t* p = img.row(r) + 3 * c;
    return {p[2], p[1], p[0]};
}

inline void put_rgb(Image& img, int c, int r, int red, int green, int blue)
{
    std::uint8_t* p = img.row(r) + 3 * c;
    p[2] = std::uint8_t(red);
    p[1] = std::uint8_t(green);
    p[0] = std::uint8_t(blue);
}

} // namespace mv::test
