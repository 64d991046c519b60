#include "core/product_table.h"
#include "filters/add_border.h"
#include "filters/crop.h"
#include "filters/mirror_rotate.h"
#include "filters/resize.h"
#include "filters/resize_units.h"

#include "tone/value_tables.h"

#include "../test_progress.h"
#include "filter_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace mv;
using namespace mv::test;

namespace {
int pattern(int x, int y, int c) { return (x * 29 + y * 71 + c * 41 + (x ^ y)) % 256; }

// Runs `fn` for a preview of `width` x `height` output pixels: display columns and rows
// [left, left + cols) x [bottom, bottom + rows) at reduction 1:k (k = 1 for zoom 1), and
// checks every computed pixel against the whole Apply result at the output pixel it shows
// (held to the picture, 16-bit samples narrowed), as the preview of the whole result would.
void expect_region_matches_whole(RegionFunction fn, void* settings, const Image& input, const Image& whole,
                                 int k, int left, int bottom, int cols, int rows)
{
    const int dw = (whole.width + k - 1) / k, dh = (whole.height + k - 1) / k;
    Image display;
    ASSERT_EQ(image_alloc(display, region_output_type(whole.type, false), dw, dh, 72), 0);
    RegionRequest q = region_full_request(input, display, "test");
    q.full = false;
    q.zoom = k == 1 ? 1 : -k;
    q.output_width = dw;
    q.output_height = dh;
    q.first_column = left;
    q.first_row = bottom;
    q.last_column = left + cols - 1;
    q.last_row = bottom + rows - 1;
    q.x0 = left * k;
    q.y0 = bottom * k;
    q.columns = cols;
    q.rows = rows;
    ASSERT_EQ(fn(q, settings), 0);
    const bool wide = whole.type == IMAGE_GRAY16 || whole.type == IMAGE_COLOR48;
    const int ch = whole.type == IMAGE_COLOR || whole.type == IMAGE_COLOR48 ? 3 : 1;
    for (int y = bottom; y < bottom + rows; ++y)
        for (int x = left; x < left + cols; ++x)
            for (int c = 0; c < ch; ++c) {
                const int v = px(whole, std::min(x * k, whole.width - 1), std::min(y * k, whole.height - 1), c);
                ASSERT_EQ(px(display, x, y, c), wide ? narrow16(v) : v)
                    << "type " << whole.type << " 1:" << k << " at " << x << "," << y;
            }
}

// The whole result, then a reduced preview of all of it and a zoom-1 part away from the
// origin (a scrolled preview).
void expect_regions_match(RegionFunction fn, void* settings, const Image& input, int width, int height)
{
    Image whole;
    ASSERT_EQ(transformation_apply(fn, settings, input, whole, "test", width, height), 0);
    ASSERT_EQ(whole.width, width);
    ASSERT_EQ(whole.height, height);
    expect_region_matches_whole(fn, settings, input, whole, 3, 0, 0, (width + 2) / 3, (height + 2) / 3);
    expect_region_matches_whole(fn, settings, input, whole, 1, width / 3, height / 2, width - width / 3,
                                height - height / 2);
}

// A Smooth resize written out plainly, one sample at a time with the product table: the
// vertical stage over whole rows, the horizontal stage, then the sharpening in place.
std::vector<int> reference_smooth_resize(const Image& in, int dw, int dh)
{
    const int sw = in.width, sh = in.height;
    const bool wide = in.type == IMAGE_GRAY16 || in.type == IMAGE_COLOR48;
    const int C = in.type == IMAGE_COLOR || in.type == IMAGE_COLOR48 ? 3 : 1, top = wide ? 65535 : 255;
    const auto sample = [&](int x, int y, int c) { return in.type == IMAGE_BINARY ? 255 * px(in, x, y) : px(in, x, y, c); };
    const auto weigh = [&](int v, int b) { return wide ? v * b / 255 : int(product(v, b)); };
    const auto blend = [&](int a, int b, int f) { return std::min(top, wide ? (a * (255 - f) + b * f) / 255 : product(a, 255 - f) + product(b, f)); };
    std::vector<int> out;
    std::vector<std::uint8_t> taps;
    for (int y = 0; y < dh; ++y) {
        std::vector<int> v(size_t(sw) * C), o(size_t(dw) * C);
        for (int x = 0; x < sw; ++x)
            for (int c = 0; c < C; ++c) {
                int& r = v[size_t(x) * C + c];
                if (dh == sh) {
                    r = sample(x, y, c);
                } else if (dh > sh) {
                    const double p = double(y) * (sh - 1) / (dh - 1);
                    const int i = int(std::floor(p)), f = int(std::floor((p - i) * 255));
                    r = i >= sh - 1 ? sample(x, sh - 1, c) : blend(sample(x, i, c), sample(x, i + 1, c), f);
                } else {
                    int first, sum = 0;
                    resize_reduction_taps(sh, dh, y, first, taps);
                    for (size_t t = 0; t < taps.size(); ++t)
                        sum += weigh(sample(x, first + int(t), c), taps[t]);
                    r = std::min(sum, top);
                }
            }
        for (int x = 0; x < dw; ++x)
            for (int c = 0; c < C; ++c) {
                int& r = o[size_t(x) * C + c];
                if (dw == sw) {
                    r = v[size_t(x) * C + c];
                } else if (dw > sw) {
                    const double p = double(x) * (sw - 1) / (dw - 1);
                    const int i = int(std::floor(p)), f = int(std::floor((p - i) * 255 + 0.5));
                    r = i >= sw - 1 ? v[size_t(sw - 1) * C + c] : blend(v[size_t(i) * C + c], v[size_t(i + 1) * C + c], f);
                } else {
                    int first, sum = 0;
                    resize_reduction_taps(sw, dw, x, first, taps);
                    for (size_t t = 0; t < taps.size(); ++t)
                        sum += weigh(v[size_t(first + int(t)) * C + c], taps[t]);
                    r = std::min(sum, top);
                }
            }
        if (dw != sw)
            for (int x = 1; x + 1 < dw; ++x)
                for (int c = 0; c < C; ++c) {
                    int* p = o.data() + size_t(x) * C + c;
                    *p = std::clamp(*p + (*p - (p[-C] + p[C]) / 2) / 2, 0, top);
                }
        out.insert(out.end(), o.begin(), o.end());
    }
    return out;
}
}

TEST(Resize, ReductionWeightsSumTo255)
{
    std::vector<std::uint8_t> w;
    int first;
    for (auto [src, dst] : {std::pair{100, 37}, {7, 3}, {1000, 999}, {50, 1}, {9, 2}, {640, 17}})
        for (int o = 0; o < dst; ++o) {
            resize_reduction_taps(src, dst, o, first, w);
            int sum = 0;
            for (int b : w)
                sum += b;
            ASSERT_EQ(sum, 255) << src << "->" << dst << " at " << o;
            EXPECT_GE(first, 0);
            EXPECT_LE(first + int(w.size()), src);
            EXPECT_NE(w.front(), 0);
            EXPECT_NE(w.back(), 0);
        }
    // 3 -> 2: s = 2, R = 1.5, output 0 centred on 0: weights 1, 1/3 -> 191, 64.
    resize_reduction_taps(3, 2, 0, first, w);
    EXPECT_EQ(first, 0);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0], 191);
    EXPECT_EQ(w[1], 64);
}

TEST(Resize, SmoothAndNearestNeighbor)
{
    Image flat = make_image(IMAGE_GRAY, 10, 7, [](int, int, int) { return 99; });
    Image out;
    ASSERT_EQ(resize_image(flat, out, 23, 15, 300, kResizeSmooth), 0);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 23; ++x)
            ASSERT_EQ(px(out, x, y), 99);
    EXPECT_EQ(out.resolution, 300);
    // Reducing rounds every tap up by half a level, so a flat picture may gain one.
    ASSERT_EQ(resize_image(flat, out, 4, 3, 300, kResizeSmooth), 0);
    EXPECT_NEAR(px(out, 2, 1), 99, 1);

    // Enlarging a row 0, 255 to 4: fractions 0, 85, 170, last; then the post-sharpening.
    Image two = make_image(IMAGE_GRAY, 2, 1, [](int x, int, int) { return x ? 255 : 0; });
    ASSERT_EQ(resize_image(two, out, 4, 1, 72, kResizeSmooth), 0);
    // Before sharpening: 0, 85, 170, 255.  x=1: 85 + (85 - (0 + 170) / 2) / 2 = 85;
    // x=2: 170 + (170 - (85 + 255) / 2) / 2 = 170.
    EXPECT_EQ(px(out, 0, 0), 0);
    EXPECT_EQ(px(out, 1, 0), 85);
    EXPECT_EQ(px(out, 2, 0), 170);
    EXPECT_EQ(px(out, 3, 0), 255);

    std::uint8_t row[5] = {10, 20, 80, 20, 10};
    resize_sharpen_row(row, 5, 1);
    EXPECT_EQ(row[1], 20 + (20 - 45) / 2);      // 8 (truncated toward zero: -12)
    EXPECT_EQ(row[2], clamp_byte(80 + (80 - (8 + 20) / 2) / 2));
    EXPECT_EQ(row[3], 20 + (20 - (row[2] + 10) / 2) / 2 < 0 ? 0 : 20 + (20 - (row[2] + 10) / 2) / 2);

    Image bin = make_image(IMAGE_BINARY, 9, 5, [](int x, int y, int) { return (x + y) % 3 == 0; });
    ASSERT_EQ(resize_image(bin, out, 12, 5, 72, kResizeSmooth), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    ASSERT_EQ(resize_image(bin, out, 9, 3, 72, kResizeSmooth), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    ASSERT_EQ(resize_image(bin, out, 17, 9, 72, kResizeNearest), 0);
    EXPECT_EQ(out.type, IMAGE_BINARY);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(px(out, x, y), px(bin, x * 8 / 16, y * 4 / 8));
    ASSERT_EQ(resize_image(bin, out, 9, 5, 600, kResizeSmooth), 0); // same size: a copy
    EXPECT_EQ(out.type, IMAGE_BINARY);
    EXPECT_EQ(out.resolution, 600);
    EXPECT_TRUE(same_pixels(bin, out));

    // 1-pixel results take the middle of the axis.
    Image ramp = make_image(IMAGE_GRAY, 5, 1, [](int x, int, int) { return 10 * x; });
    ASSERT_EQ(resize_image(ramp, out, 1, 1, 72, kResizeNearest), 0);
    EXPECT_EQ(px(out, 0, 0), 20);
    // Weights 40, 54, 67, 54, 40: 0 + 2 + 5 + 6 + 6.
    ASSERT_EQ(resize_image(ramp, out, 1, 1, 72, kResizeSmooth), 0);
    EXPECT_EQ(px(out, 0, 0), 19);
    // Reduced 1100 times every byte weight rounds to 0: the whole weight goes to the largest
    // tap, the middle row 549, and never to a row outside the picture.
    Image tall = make_image(IMAGE_GRAY, 3, 1100, [](int, int y, int) { return y % 256; });
    ASSERT_EQ(resize_image(tall, out, 3, 1, 72, kResizeSmooth), 0);
    EXPECT_EQ(px(out, 1, 0), 549 % 256);
}

TEST(Resize, FastRowsMatchAPlainResize)
{
    ASSERT_EQ(product_table_build(), 0);
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        const bool wide = type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
        const int C = type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
        // Extreme samples too, where the rounded taps overflow the top and the sharpening clips.
        const auto value = [=](int x, int y, int c) {
            const int v = (x * y) % 5 == 0 ? 255 * ((x + c) & 1) : pattern(x, y, c);
            return type == IMAGE_BINARY ? v & 1 : wide ? v * 257 - (v ? (x * 31 + y) % 200 : 0) : v;
        };
        const int inputs[][2] = {{37, 29}, {1, 1}, {1, 9}, {13, 1}, {2, 2}};
        const int sizes[][2] = {{83, 61}, {15, 11}, {90, 13}, {37, 70}, {12, 29}, {1, 40},
                                {7, 1},   {1, 1},   {2, 3},   {3, 2},   {19, 19}};
        for (const auto& isize : inputs) {
            const Image in = make_image(type, isize[0], isize[1], value);
            for (const auto& size : sizes) {
                if (size[0] == isize[0] && size[1] == isize[1])
                    continue;
                SCOPED_TRACE(testing::Message() << "type " << type << " " << isize[0] << "x" << isize[1]
                                                << " to " << size[0] << "x" << size[1]);
                Image out;
                ASSERT_EQ(resize_image(in, out, size[0], size[1], 72, kResizeSmooth), 0);
                const std::vector<int> want = reference_smooth_resize(in, size[0], size[1]);
                std::vector<int> got;
                for (int y = 0; y < size[1]; ++y)
                    for (int x = 0; x < size[0]; ++x)
                        for (int c = 0; c < C; ++c)
                            got.push_back(px(out, x, y, c));
                ASSERT_EQ(got, want);
            }
        }
    }
}

TEST(Resize, SixteenBitAndProgress)
{
    Image img = make_image(IMAGE_COLOR48, 120, 90, [](int x, int y, int c) { return (x * 500 + y * 300 + c) % 65536; });
    TestProgressSink sink;
    Image out;
    ASSERT_EQ(resize_image(img, out, 100, 130, 72, kResizeSmooth), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR48);
    EXPECT_EQ(sink.titles(), std::vector<std::string>{"Resize"});
    EXPECT_EQ(sink.begins[0].last, 129);
    sink.cancel_during(10);
    EXPECT_EQ(resize_image(img, out, 60, 200, 72, kResizeSmooth), 11);
    EXPECT_TRUE(out.empty());
    Image hist;
    hist.type = IMAGE_HISTOGRAM;
    EXPECT_EQ(resize_image(hist, out, 5, 5, 72, kResizeSmooth), 14);
}

TEST(ResizeWindow, UnitsPreserveAndTexts)
{
    Image img = make_image(IMAGE_COLOR, 300, 200, [](int, int, int) { return 0; });
    img.resolution = 100;
    ResizeState st;
    resize_state_init(st, img);
    EXPECT_TRUE(resize_type_width(st, "150"));
    EXPECT_EQ(st.new_height, 100);
    EXPECT_FALSE(resize_type_width(st, "0.4"));
    EXPECT_FALSE(resize_type_width(st, "abc"));
    EXPECT_EQ(st.new_width, 150);
    st.size_unit = kUnitInches;
    EXPECT_TRUE(resize_type_height(st, "1.5"));
    EXPECT_EQ(st.new_height, 150);
    EXPECT_EQ(st.new_width, 225);
    st.size_unit = kUnitMm;
    EXPECT_TRUE(resize_type_width(st, "25.40005"));
    EXPECT_EQ(st.new_width, 100);
    EXPECT_EQ(resize_length_text(100, 100, kUnitCm), "2.540");

    resize_set_preserve(st, kPreserveImageSize);
    EXPECT_FALSE(resize_size_editable(st));
    st.resolution_unit = kUnitDpcm;
    EXPECT_TRUE(resize_type_resolution(st, "78.7400"));
    EXPECT_NEAR(st.new_resolution, 200, 0.001);
    EXPECT_EQ(st.new_width, 600);
    EXPECT_EQ(st.new_height, 400);
    resize_set_preserve(st, kPreserveFileSize);
    st.resolution_unit = kUnitDpi;
    EXPECT_TRUE(resize_type_resolution(st, "50"));
    EXPECT_EQ(st.new_width, 300);
    resize_set_preserve(st, kPreserveNone);
    st.size_unit = kUnitInches;
    EXPECT_TRUE(resize_type_resolution(st, "50")); // physical size kept
    EXPECT_EQ(st.new_width, 150);
    EXPECT_FALSE(resize_type_resolution(st, "0"));

    EXPECT_EQ(resize_file_size_text(st), "0.045MB"); // 100 x 452 bytes
    st.new_width = 100000, st.new_height = 40000;
    EXPECT_EQ(resize_file_size_text(st), "***");
    EXPECT_EQ(resize_proportions_text(300, 200), "1.00:0.67");
    EXPECT_EQ(resize_proportions_text(200, 300), "0.67:1.00");
    EXPECT_EQ(resize_window_reduction(1000, 500, 10, 30, 600, 400), 2);
    EXPECT_EQ(resize_window_reduction(100, 50, 10, 30, 600, 400), 1);
}

TEST(MirrorRotate, EightOrientationsOfAMarkedCorner)
{
    // 5 x 3 with one marked pixel at (0, 0) and another at (1, 0) (stored rows).
    Image img = make_image(IMAGE_GRAY, 5, 3, [](int x, int y, int) { return y == 0 && x < 2 ? 200 + x : 0; });
    for (int sel = kOrientFirst; sel <= kOrientLast; ++sel) {
        Image out;
        ASSERT_EQ(orientation_apply(sel, img, out, false), 0);
        const bool swaps = orientation_swaps(sel);
        EXPECT_EQ(out.width, swaps ? 3 : 5);
        EXPECT_EQ(out.height, swaps ? 5 : 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                int X, Y;
                orientation_map(sel, 5, 3, x, y, X, Y); // from the top; stored rows from the bottom
                ASSERT_EQ(px(out, X, out.height - 1 - Y), px(img, x, 2 - y)) << sel;
            }
    }
    int X, Y;
    orientation_map(kOrientRotateCcw, 5, 3, 0, 0, X, Y);
    EXPECT_EQ(X, 0);
    EXPECT_EQ(Y, 4);
    orientation_map(kOrientRotateCw, 5, 3, 0, 0, X, Y);
    EXPECT_EQ(X, 2);
    EXPECT_EQ(Y, 0);
    orientation_map(kOrientAntiDiagonal, 5, 3, 0, 0, X, Y);
    EXPECT_EQ(X, 2);
    EXPECT_EQ(Y, 4);    // As shown, a quarter turn counter-clockwise takes the top-left corner to the bottom-left
    // and one clockwise takes it to the top-right.
    Image top_left = make_image(IMAGE_GRAY, 5, 3, [](int x, int y, int) { return x == 0 && y == 2 ? 255 : 0; });
    Image ccw, cw;
    ASSERT_EQ(orientation_apply(kOrientRotateCcw, top_left, ccw, false), 0);
    ASSERT_EQ(orientation_apply(kOrientRotateCw, top_left, cw, false), 0);
    EXPECT_EQ(px(ccw, 0, 0), 255);
    EXPECT_EQ(px(cw, 2, 4), 255);
}

TEST(MirrorRotate, CompositionsTilesAndBinary)
{
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        Image img = make_image(type, 150, 70, [type](int x, int y, int c) {
            return type == IMAGE_BINARY ? (x * y + x) % 3 == 0 : pattern(x, y, c);
        });
        for (int dir : {kOrientRotateCcw, kOrientRotateCw}) {
            Image once, twice, half;
            ASSERT_EQ(orientation_apply(dir, img, once, false), 0);
            ASSERT_EQ(orientation_apply(dir, once, twice, false), 0);
            ASSERT_EQ(orientation_apply(kOrientRotate180, img, half, false), 0);
            EXPECT_TRUE(same_pixels(twice, half)) << type;
        }
        Image d1, d2;
        ASSERT_EQ(orientation_apply(kOrientDiagonal, img, d1, false), 0);
        ASSERT_EQ(orientation_apply(kOrientDiagonal, d1, d2, false), 0);
        EXPECT_TRUE(same_pixels(img, d2)) << type;
    }
    Image img = make_image(IMAGE_GRAY, 150, 70, pattern);
    TestProgressSink sink;
    Image out;
    ASSERT_EQ(orientation_apply(kOrientDiagonal, img, out, true), 0);
    EXPECT_EQ(sink.begins[0].title, "Rotate CW");
    EXPECT_EQ(sink.begins[0].last, 149);
    EXPECT_EQ(sink.updates.size(), 3u); // 150 output rows in tiles of 64
    ASSERT_EQ(orientation_apply(kOrientMirror, img, out, true), 0);
    EXPECT_EQ(sink.begins[1].title, "Reflect");
    EXPECT_EQ(sink.begins[1].last, 69);
    ASSERT_EQ(orientation_apply(kOrientMirror, img, out, false), 0);
    EXPECT_EQ(sink.begins.size(), 2u);
    EXPECT_EQ(orientation_apply(199, img, out, false), 14);

    Image thumbs[8];
    ASSERT_EQ(orientation_thumbnails(img, thumbs), 0);
    EXPECT_EQ(thumbs[0].width, 128);
    EXPECT_EQ(thumbs[0].height, 60);
    EXPECT_EQ(thumbs[1].width, 60);
}

TEST(MirrorRotate, RegionsEqualTheWholeResult)
{
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        Image img = make_image(type, 70, 41, [type](int x, int y, int c) {
            const int v = pattern(x, y, c);
            return type == IMAGE_BINARY ? v & 1 : type == IMAGE_GRAY16 || type == IMAGE_COLOR48 ? v * 251 : v;
        });
        for (int sel = kOrientFirst; sel <= kOrientLast; ++sel) {
            OrientationSettings st{sel};
            const bool swaps = orientation_swaps(sel);
            expect_regions_match(orientation_region, &st, img, swaps ? 41 : 70, swaps ? 70 : 41);
        }
    }
}

TEST(Resize, RegionsEqualTheWholeResult)
{
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        Image img = make_image(type, 37, 29, [type](int x, int y, int c) {
            const int v = pattern(x, y, c);
            return type == IMAGE_BINARY ? v & 1 : type == IMAGE_GRAY16 || type == IMAGE_COLOR48 ? v * 257 - x : v;
        });
        // Enlarging, reducing, mixed, one axis kept, a single column, the same size.
        const int sizes[][2] = {{83, 61}, {15, 11}, {90, 13}, {37, 70}, {12, 29}, {1, 40}, {37, 29}};
        for (const auto& size : sizes)
            for (int interpolation : {kResizeSmooth, kResizeNearest}) {
                ResizeSettings st{size[0], size[1], 300.0, interpolation};
                SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1] << " " << interpolation);
                expect_regions_match(resize_region, &st, img, size[0], size[1]);
            }
    }
    // Apply takes the new resolution.
    Image img = make_image(IMAGE_GRAY, 37, 29, pattern), out;
    ResizeSettings st{60, 200, 240.0, kResizeSmooth};
    ASSERT_EQ(transformation_apply(resize_region, &st, img, out, "Resize", 60, 200), 0);
    EXPECT_EQ(out.resolution, 240.0);
}

TEST(Crop, ProportionsFitAndRegion)
{
    double s, l;
    ASSERT_TRUE(crop_fixed_sides(20, s, l));
    EXPECT_EQ(s, 210);
    EXPECT_EQ(l, 297);
    EXPECT_STREQ(crop_proportion_text(7), "2.5x3.5, 5x7, 15x21, 20x28");
    EXPECT_STREQ(crop_proportion_text(11), "3.5x10");
    CropSettings st;
    crop_set_fixed(st, 20, kCropLandscape);
    EXPECT_DOUBLE_EQ(st.a / st.b, 297.0 / 210.0);

    // A 30 x 40 drag held to a square keeps its diagonal of 50: 35 x 35.
    st = CropSettings{};
    crop_set_fixed(st, 2, kCropPortrait);
    st.x1 = 10, st.y1 = 10, st.x2 = 39, st.y2 = 49;
    CropHandle corner;
    corner.centre = false; // dragging (x2, y2)
    crop_fit(st, corner, 200, 200);
    EXPECT_EQ(crop_width(st), 35);
    EXPECT_EQ(crop_height(st), 35);
    EXPECT_EQ(st.x1, 10);
    EXPECT_EQ(st.y1, 10);

    // Choosing a proportion fits it centred in the picture.
    crop_choose(st, 5, kCropLandscape, 300, 100); // 3:2 landscape
    EXPECT_EQ(crop_height(st), 100);
    EXPECT_EQ(crop_width(st), 150);
    int m[4];
    crop_margins(st, 300, 100, m);
    EXPECT_EQ(m[0], 75);
    EXPECT_EQ(m[1], 75);
    EXPECT_EQ(m[2], 0);

    Image img = make_image(IMAGE_GRAY, 20, 10, [](int x, int y, int) { return 10 * y + x; });
    CropSettings c;
    c.x1 = 15, c.y1 = 2, c.x2 = 3, c.y2 = 5; // rows 2..5 from the top = stored rows 7..4
    Image out;
    ASSERT_EQ(transformation_apply(crop_region, &c, img, out, "Crop", 13, 4), 0);
    EXPECT_EQ(px(out, 0, 0), 43);
    EXPECT_EQ(px(out, 12, 3), 85);
    expect_preview_matches_apply(crop_region, &c, img);

    Image bin = make_image(IMAGE_BINARY, 20, 10, [](int x, int, int) { return x % 3 == 0; });
    ASSERT_EQ(transformation_apply(crop_region, &c, bin, out, "Crop", 13, 4), 0);
    EXPECT_EQ(out.type, IMAGE_BINARY);
    for (int x = 0; x < 13; ++x)
        EXPECT_EQ(px(out, x, 1), (x + 3) % 3 == 0);
}

TEST(AddBorder, OutputTypesAndPixels)
{
    EXPECT_EQ(add_border_output_type(IMAGE_BINARY, 255, 255, 255, true), IMAGE_BINARY);
    EXPECT_EQ(add_border_output_type(IMAGE_BINARY, 0, 0, 0, true), IMAGE_BINARY);
    EXPECT_EQ(add_border_output_type(IMAGE_BINARY, 9, 9, 9, true), IMAGE_GRAY);
    EXPECT_EQ(add_border_output_type(IMAGE_BINARY, 9, 9, 8, true), IMAGE_COLOR);
    EXPECT_EQ(add_border_output_type(IMAGE_GRAY, 9, 9, 8, true), IMAGE_COLOR);
    EXPECT_EQ(add_border_output_type(IMAGE_GRAY16, 9, 9, 9, true), IMAGE_GRAY16);
    EXPECT_EQ(add_border_output_type(IMAGE_GRAY16, 9, 9, 8, true), IMAGE_COLOR48);
    EXPECT_EQ(add_border_output_type(IMAGE_GRAY16, 9, 9, 8, false), IMAGE_COLOR);
    EXPECT_EQ(add_border_output_type(IMAGE_COLOR48, 9, 9, 9, true), IMAGE_COLOR48);

    Image img = make_image(IMAGE_GRAY, 4, 3, [](int x, int y, int) { return 10 * y + x + 1; });
    AddBorderSettings st;
    st.red = 200, st.green = 100, st.blue = 50;
    st.left = 2, st.right = 1, st.top = 1, st.bottom = 3;
    int w, h;
    add_border_size(st, 4, 3, w, h);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 7);
    Image out;
    ASSERT_EQ(transformation_apply(add_border_region, &st, img, out, "Add Border", w, h), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR);
    EXPECT_EQ(px(out, 0, 0, 2), 200); // red
    EXPECT_EQ(px(out, 0, 0, 0), 50);  // blue
    EXPECT_EQ(px(out, 2, 3, 0), 1);   // input (0, 0) at (left, bottom)
    EXPECT_EQ(px(out, 2, 3, 2), 1);
    EXPECT_EQ(px(out, 5, 5, 1), 24);
    EXPECT_EQ(px(out, 6, 5, 1), 100);
    EXPECT_EQ(px(out, 5, 6, 1), 100);
    expect_preview_matches_apply(add_border_region, &st, img);

    Image wide = make_image(IMAGE_GRAY16, 4, 3, [](int, int, int) { return 1000; });
    st.red = st.green = st.blue = 7;
    ASSERT_EQ(transformation_apply(add_border_region, &st, wide, out, "Add Border", w, h), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY16);
    EXPECT_EQ(px(out, 0, 0), 7 * 257);
    EXPECT_EQ(px(out, 2, 3), 1000);

    Image bin = make_image(IMAGE_BINARY, 9, 2, [](int x, int, int) { return x & 1; });
    AddBorderSettings white;
    white.left = 3;
    ASSERT_EQ(transformation_apply(add_border_region, &white, bin, out, "Add Border", 12, 2), 0);
    EXPECT_EQ(out.type, IMAGE_BINARY);
    EXPECT_EQ(px(out, 0, 0), 1);
    EXPECT_EQ(px(out, 3, 0), 0);
    EXPECT_EQ(px(out, 4, 0), 1);
    AddBorderSettings none;
    ASSERT_EQ(transformation_apply(add_border_region, &none, bin, out, "Add Border"), 0);
    EXPECT_TRUE(same_pixels(bin, out));

    int px_width = 0;
    AddBorderSettings units;
    units.unit = kUnitMm;
    EXPECT_TRUE(add_border_parse_width(units, 0, "25.40005", 100, 50, 200, px_width));
    EXPECT_EQ(px_width, 200);
    units.unit = kUnitPercent;
    EXPECT_TRUE(add_border_parse_width(units, 3, "10", 100, 50, 200, px_width));
    EXPECT_EQ(px_width, 5);
    EXPECT_DOUBLE_EQ(add_border_width_in_unit(units, 3, 5, 100, 50, 200), 10.0);
    EXPECT_FALSE(add_border_parse_width(units, 0, "-1", 100, 50, 200, px_width));
}
