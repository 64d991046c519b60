// Catalogue entries of the geometry and colour-reduction transformations: how control values
// become output sizes and settings.
#include "core/image.h"
#include "transform/operation.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

mv::Image gradient(int type, int w, int h)
{
    mv::Image img;
    EXPECT_EQ(mv::image_alloc(img, type, w, h, 150.0), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < img.row_bytes; ++x)
            img.row(y)[x] = std::uint8_t(x * 7 + y * 13);
    return img;
}

mv::Image run(const char* name, const mv::Image& in, std::initializer_list<std::pair<const char*, const char*>> kv,
              int expect = 0)
{
    const mv::Operation* op = mv::operation_find(name);
    EXPECT_NE(op, nullptr) << name;
    mv::Image out;
    if (!op)
        return out;
    mv::OperationValues v = mv::operation_defaults(*op);
    std::string message;
    for (const auto& [k, t] : kv)
        EXPECT_TRUE(mv::operation_set(*op, v, k, t, message)) << message;
    EXPECT_EQ(mv::operation_apply(*op, v, in, out), expect) << name;
    return out;
}

bool same_rows(const mv::Image& a, const mv::Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height || a.empty())
        return false;
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), size_t(mv::image_row_bytes(a.type, a.width))) != 0)
            return false;
    return true;
}

} // namespace

TEST(CatalogueGeometry, DefaultsAndSizes)
{
    const mv::Image in = gradient(mv::IMAGE_GRAY, 40, 30);
    // Defaults change nothing: resize keeps the size, crop takes the whole picture.
    EXPECT_TRUE(same_rows(run("resize", in, {}), in));
    EXPECT_TRUE(same_rows(run("crop", in, {}), in));
    EXPECT_TRUE(same_rows(run("add-border", in, {}), in));
    EXPECT_TRUE(same_rows(run("mirror-rotate", in, {}), in));

    // Only a height: the width follows the proportions; the resolution is kept.
    const mv::Image tall = run("resize", in, {{"height", "60"}});
    EXPECT_EQ(tall.width, 80);
    EXPECT_EQ(tall.height, 60);
    EXPECT_EQ(tall.resolution, 150.0);
    const mv::Image both = run("resize", in, {{"width", "7"}, {"height", "1"}});
    EXPECT_EQ(both.width, 7);
    EXPECT_EQ(both.height, 1);

    // Crop corners beyond the picture are held to its edge; unordered corners are allowed.
    const mv::Image corner = run("crop", in, {{"left", "35"}, {"top", "28"}, {"right", "1000"}, {"bottom", "0"}});
    EXPECT_EQ(corner.width, 5);
    EXPECT_EQ(corner.height, 29);

    // The diagonal reflection applied twice gives the input back; its output is h x w.
    const mv::Image once = run("mirror-rotate", in, {{"orientation", "reflect-diagonal"}});
    EXPECT_EQ(once.width, 30);
    EXPECT_EQ(once.height, 40);
    EXPECT_TRUE(same_rows(run("mirror-rotate", once, {{"orientation", "reflect-diagonal"}}), in));

    // A white border on a binary picture keeps it binary; a colour border makes gray colour.
    const mv::Image bin = gradient(mv::IMAGE_BINARY, 20, 10);
    const mv::Image framed = run("add-border", bin, {{"left", "4"}, {"bottom", "2"}});
    EXPECT_EQ(framed.type, mv::IMAGE_BINARY);
    EXPECT_EQ(framed.width, 24);
    EXPECT_EQ(framed.height, 12);
    EXPECT_EQ(run("add-border", in, {{"top", "1"}, {"red", "0"}}).type, mv::IMAGE_COLOR);
    // Outputs larger than a side may be are refused as out of memory.
    EXPECT_TRUE(run("add-border", in, {{"left", "65535"}}, 1).empty());
}

TEST(CatalogueReduce, TypesAndRefusals)
{
    const mv::Image gray = gradient(mv::IMAGE_GRAY, 24, 16);
    EXPECT_EQ(run("halftone", gray, {}).type, mv::IMAGE_BINARY);
    EXPECT_TRUE(run("halftone", gray, {{"method", "custom"}}, 62).empty());
    EXPECT_TRUE(run("halftone", gradient(mv::IMAGE_BINARY, 8, 8), {}, 14).empty());

    // Posterize with the default palette writes black and white; an automatic palette of
    // four grays for a gray picture.
    const mv::Image two = run("posterize", gray, {});
    ASSERT_EQ(two.type, mv::IMAGE_GRAY);
    const mv::Image four = run("posterize", gray, {{"number-of-colors", "4"}, {"auto-palette", "on"}});
    ASSERT_EQ(four.type, mv::IMAGE_GRAY);
    for (int y = 0; y < gray.height; ++y)
        for (int x = 0; x < gray.width; ++x) {
            EXPECT_TRUE(two.row(y)[x] == 0 || two.row(y)[x] == 255);
            EXPECT_EQ(four.row(y)[x] % 85, 0);
        }
}
