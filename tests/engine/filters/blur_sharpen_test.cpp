#include "filters/blur.h"
#include "filters/box_smooth.h"
#include "filters/neighbourhood_reader.h"
#include "filters/sharpen.h"
#include "tone/value_tables.h"

#include "../test_progress.h"
#include "filter_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace mv;
using namespace mv::test;

namespace {

int pattern(int x, int y, int c) { return (x * 37 + y * 91 + c * 53 + (x * y) % 17) % 256; }

// The smoothing written out plainly: mirrored extended window, two box passes per axis.
std::vector<int> reference_smooth(const Image& img, int x0, int y0, int s, int W, int H, int r)
{
    const int ec = W * s + 4 * r, L = H * s + 4 * r;
    auto box = [r](std::vector<int> v) {
        std::vector<int> o = v;
        for (int i = r; i + r < int(v.size()); ++i) {
            int sum = 0;
            for (int d = -r; d <= r; ++d)
                sum += v[i + d];
            o[i] = sum / (2 * r + 1);
        }
        return o;
    };
    std::vector<std::vector<int>> temp(H, std::vector<int>(ec));
    for (int e = 0; e < ec; ++e) {
        std::vector<int> col(L);
        for (int q = 0; q < L; ++q)
            col[q] = px(img, mirror_index(x0 - 2 * r + e, img.width - 1),
                        mirror_index(y0 - 2 * r + q, img.height - 1));
        col = box(box(col));
        for (int k = 0; k < H; ++k)
            temp[k][e] = col[2 * r + k * s];
    }
    std::vector<int> out;
    for (int k = 0; k < H; ++k) {
        std::vector<int> row = box(box(temp[k]));
        for (int j = 0; j < W; ++j)
            out.push_back(row[2 * r + j * s]);
    }
    return out;
}

// A 1:3 preview request for the 5 x 4 output `small`, starting at input pixel (4, 2).
RegionRequest sampled_request(const Image& img, Image& small)
{
    RegionRequest q = region_full_request(img, small, "Blur");
    q.full = false;
    q.zoom = -3;
    q.x0 = 4, q.y0 = 2, q.columns = 5, q.rows = 4;
    q.output_width = 5, q.output_height = 4, q.last_column = 4, q.last_row = 3;
    return q;
}

} // namespace

TEST(NeighbourhoodReader, ModesAndReplicatedEdges)
{
    Image img = make_image(IMAGE_GRAY, 10, 6, [](int x, int y, int) { return 10 * y + x; });
    NeighbourhoodReader r;
    ASSERT_EQ(neighbourhood_open(img, 1, 2, 1, 8, 1, r), 0);
    EXPECT_EQ(r.mode, kNeighbourhoodDirect);
    const std::uint8_t* const* t = neighbourhood_next(r);
    EXPECT_EQ(t[0][1], 11); // centre of column 0 (x = 1) in row 1
    EXPECT_EQ(t[2][1 + 7], 38);

    ASSERT_EQ(neighbourhood_open(img, 0, 0, 2, 5, 2, r), 0);
    EXPECT_EQ(r.mode, kNeighbourhoodCopyAll);
    t = neighbourhood_next(r);
    // Rows -2 and -1 repeat row 0; columns -2 and -1 repeat column 0.
    EXPECT_EQ(t[0][0], 0);
    EXPECT_EQ(t[1][1], 0);
    EXPECT_EQ(t[4][2 + 4 * 2 + 2], 29); // column 8 + 2 -> 9 clamps to the last column... row 2
    t = neighbourhood_next(r);          // centre row 2
    EXPECT_EQ(t[2][2 + 2], 22);

    ASSERT_EQ(neighbourhood_open(img, 0, 4, 5, 2, 1, r), 0);
    EXPECT_EQ(r.mode, kNeighbourhoodCopyEach);
    EXPECT_EQ(r.advance, 3);
    t = neighbourhood_next(r);
    EXPECT_EQ(t[1][1], 40);      // (0, 4)
    EXPECT_EQ(t[1][1 + 3], 45);  // (5, 4)
    EXPECT_EQ(t[1][1 + 3 + 1], 46);
    EXPECT_EQ(t[2][1], 50);      // row 5
    t = neighbourhood_next(r);   // centre row 9 is taken as the last row
    EXPECT_EQ(t[0][1], 40);
    EXPECT_EQ(t[1][1], 50);
    EXPECT_EQ(t[2][1], 50);
    neighbourhood_close(r);

    Image bin = make_image(IMAGE_BINARY, 9, 2, [](int x, int, int) { return x % 2; });
    ASSERT_EQ(neighbourhood_open(bin, 1, 0, 1, 7, 1, r), 0);
    EXPECT_EQ(r.mode, kNeighbourhoodCopyAll); // binary is always expanded
    t = neighbourhood_next(r);
    EXPECT_EQ(t[1][0], 0);
    EXPECT_EQ(t[1][1], 255);
}

TEST(Blur, WorkedNumbersAndSymmetry)
{
    Image dot = make_image(IMAGE_GRAY, 9, 9, [](int x, int y, int) { return x == 4 && y == 4 ? 255 : 0; });
    BlurSettings st;
    Image out;
    ASSERT_EQ(transformation_apply(blur_region, &st, dot, out, "Blur"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    EXPECT_EQ(px(out, 4, 4), 51);
    EXPECT_EQ(px(out, 3, 4), 51);
    EXPECT_EQ(px(out, 4, 5), 51);
    EXPECT_EQ(px(out, 3, 3), 0);

    st.method = kBlurMore;
    ASSERT_EQ(transformation_apply(blur_region, &st, dot, out, "Blur"), 0);
    EXPECT_EQ(px(out, 3, 3), 28);
    EXPECT_EQ(px(out, 2, 4), 0);

    st.method = kBlurMedian3;
    ASSERT_EQ(transformation_apply(blur_region, &st, dot, out, "Blur"), 0);
    EXPECT_EQ(px(out, 4, 4), 0); // a lone pixel is removed

    st.method = kBlurGaussian;
    st.radius = 2;
    ASSERT_EQ(transformation_apply(blur_region, &st, dot, out, "Blur"), 0);
    EXPECT_GT(px(out, 4, 4), 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(px(out, x, y), px(out, 8 - x, y)) << x << "," << y;
            EXPECT_EQ(px(out, x, y), px(out, x, 8 - y)) << x << "," << y;
            EXPECT_EQ(px(out, x, y), px(out, y, x)) << x << "," << y;
        }
    // Matches the plain reference, also for a sampled 1:3 region.
    Image img = make_image(IMAGE_GRAY, 23, 17, pattern);
    st.radius = 3;
    ASSERT_EQ(transformation_apply(blur_region, &st, img, out, "Blur"), 0);
    std::vector<int> ref = reference_smooth(img, 0, 0, 1, 23, 17, 3);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x)
            ASSERT_EQ(px(out, x, y), ref[size_t(y) * 23 + x]) << x << "," << y;
    Image small;
    ASSERT_EQ(image_alloc(small, IMAGE_GRAY, 5, 4, 0), 0);
    ASSERT_EQ(blur_region(sampled_request(img, small), &st), 0);
    ref = reference_smooth(img, 4, 2, 3, 5, 4, 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(px(small, x, y), ref[size_t(y) * 5 + x]) << x << "," << y;
}

// The 3x3 median against sorting each neighbourhood (edges replicated), for every picture
// type and awkward sizes, with many equal samples; also a 1:3 preview, whose output pixels
// are not adjacent.
TEST(Blur, Median3IsTheMiddleOfTheSortedNeighbourhood)
{
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        const bool wide = type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
        const int C = type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
        for (const auto& size : {std::pair{1, 1}, {1, 7}, {9, 1}, {2, 2}, {23, 17}}) {
            const auto [w, h] = size;
            const Image img = make_image(type, w, h, [=](int x, int y, int c) {
                const int v = (x * 7 + y * 13 + c * 5 + x * y) % 11 * 25;
                return type == IMAGE_BINARY ? v > 120 : wide ? v * 257 + (x + y) % 3 : v;
            });
            const auto median = [&](int x, int y, int c) {
                int v[9], n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int sx = std::clamp(x + dx, 0, w - 1), sy = std::clamp(y + dy, 0, h - 1);
                        v[n++] = type == IMAGE_BINARY ? 255 * px(img, sx, sy) : px(img, sx, sy, c);
                    }
                std::sort(v, v + 9);
                return v[4];
            };
            BlurSettings st;
            st.method = kBlurMedian3;
            Image out;
            ASSERT_EQ(transformation_apply(blur_region, &st, img, out, "Blur"), 0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < C; ++c)
                        ASSERT_EQ(px(out, x, y, c), median(x, y, c)) << type << " " << x << "," << y;
            if (w < 9)
                continue;
            Image small;
            ASSERT_EQ(image_alloc(small, region_output_type(out.type, false), 5, 4, 0), 0);
            ASSERT_EQ(blur_region(sampled_request(img, small), &st), 0);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 5; ++x)
                    for (int c = 0; c < C; ++c) {
                        const int v = median(4 + 3 * x, 2 + 3 * y, c);
                        EXPECT_EQ(px(small, x, y, c), wide ? narrow16(v) : v) << x << "," << y;
                    }
        }
    }
}

TEST(Blur, UniformPicturesAndNeutralSettingsStayUnchanged)
{
    for (int type : {IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        const int v = type == IMAGE_GRAY16 || type == IMAGE_COLOR48 ? 40000 : 173;
        Image flat = make_image(type, 13, 7, [v](int, int, int c) { return v - c; });
        for (int m = kBlurPlain; m <= kBlurMedian5; ++m) {
            BlurSettings st;
            st.method = m;
            Image out;
            ASSERT_EQ(transformation_apply(blur_region, &st, flat, out, "Blur"), 0);
            EXPECT_TRUE(same_pixels(flat, out)) << type << " " << m;
        }
        for (int m = kSharpenPlain; m <= kSharpenUnsharp; ++m) {
            SharpenSettings st;
            st.method = m;
            Image out;
            ASSERT_EQ(transformation_apply(sharpen_region, &st, flat, out, "Sharpen"), 0);
            EXPECT_TRUE(same_pixels(flat, out)) << type << " " << m;
        }
    }
    Image img = make_image(IMAGE_COLOR, 12, 9, pattern);
    BlurSettings st;
    st.method = kBlurGaussian;
    st.radius = 0;
    Image out;
    ASSERT_EQ(transformation_apply(blur_region, &st, img, out, "Blur"), 0);
    EXPECT_TRUE(same_pixels(img, out));
    st.radius = 4;
    st.threshold = 0; // only pixels whose blur equals them take it: the picture stays
    ASSERT_EQ(transformation_apply(blur_region, &st, img, out, "Blur"), 0);
    EXPECT_TRUE(same_pixels(img, out));
    st.threshold = 255;
    st.amount.low = 0;
    ASSERT_EQ(transformation_apply(blur_region, &st, img, out, "Blur"), 0);
    EXPECT_TRUE(same_pixels(img, out));

    Image bin = make_image(IMAGE_BINARY, 10, 10, [](int x, int y, int) { return (x + y) % 2; });
    BlurSettings b;
    b.method = kBlurMore;
    ASSERT_EQ(transformation_apply(blur_region, &b, bin, out, "Blur"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    EXPECT_EQ(px(out, 4, 4), (4 * 255) / 9); // the four direct neighbours are set
    b.method = kBlurGaussian;
    b.radius = 0;
    ASSERT_EQ(transformation_apply(blur_region, &b, bin, out, "Blur"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    EXPECT_EQ(px(out, 1, 0), 255);
}

TEST(Blur, AmountMaskAndThresholds)
{
    Image dot = make_image(IMAGE_GRAY, 5, 5, [](int x, int y, int) { return x == 2 && y == 2 ? 255 : 0; });
    BlurSettings st;
    st.amount.low = 512; // 128 of 255
    Image out;
    ASSERT_EQ(transformation_apply(blur_region, &st, dot, out, "Blur"), 0);
    EXPECT_EQ(px(out, 2, 2), 255 - (204 * 128 + 127) / 255); // towards 51 by 128
    EXPECT_EQ(px(out, 1, 2), (51 * 128 + 127) / 255);

    Image mask = make_image(IMAGE_GRAY, 5, 5, [](int x, int, int) { return x < 2 ? 0 : 255; });
    amount_select_mask(st.amount, &mask, &mask);
    ASSERT_EQ(transformation_apply(blur_region, &st, dot, out, "Blur"), 0);
    EXPECT_EQ(px(out, 1, 2), 0);  // black mask: the input
    EXPECT_EQ(px(out, 2, 2), 51); // white mask: the full blur

    // A gray threshold keeps pixels whose blur moved further than it.
    Image step = make_image(IMAGE_GRAY, 12, 6, [](int x, int, int) { return x < 6 ? 100 : 110; });
    BlurSettings g;
    g.method = kBlurGaussian;
    g.radius = 1;
    g.threshold = 2;
    ASSERT_EQ(transformation_apply(blur_region, &g, step, out, "Blur"), 0);
    for (int x = 0; x < 12; ++x) {
        const int b = reference_smooth(step, 0, 0, 1, 12, 6, 1)[size_t(x)];
        EXPECT_EQ(px(out, x, 0), std::abs(b - px(step, x, 0)) > 2 ? px(step, x, 0) : b) << x;
    }
    // 16-bit widened data with the widened threshold make the same choice.
    Image wide = make_image(IMAGE_GRAY16, 12, 6, [](int x, int, int) { return (x < 6 ? 100 : 110) * 257; });
    Image out16;
    g.threshold = 0;
    ASSERT_EQ(transformation_apply(blur_region, &g, wide, out16, "Blur"), 0);
    EXPECT_TRUE(same_pixels(wide, out16));
}

TEST(Sharpen, WorkedNumbersAmountAndUnsharpThreshold)
{
    Image img = make_image(IMAGE_GRAY, 3, 3, [](int x, int y, int) { return x == 1 && y == 1 ? 100 : 80; });
    SharpenSettings st;
    Image out;
    ASSERT_EQ(transformation_apply(sharpen_region, &st, img, out, "Sharpen"), 0);
    EXPECT_EQ(px(out, 1, 1), 120);
    st.method = kSharpenHeavy;
    ASSERT_EQ(transformation_apply(sharpen_region, &st, img, out, "Sharpen"), 0);
    EXPECT_EQ(px(out, 1, 1), 140);
    st.amount.low = 512; // a = 128, folded into the kernels
    ASSERT_EQ(transformation_apply(sharpen_region, &st, img, out, "Sharpen"), 0);
    EXPECT_EQ(px(out, 1, 1), 120);
    st.method = kSharpenPlain;
    ASSERT_EQ(transformation_apply(sharpen_region, &st, img, out, "Sharpen"), 0);
    EXPECT_EQ(px(out, 1, 1), 110);

    Image ramp = make_image(IMAGE_GRAY, 20, 8, [](int x, int, int) { return x < 10 ? 100 + x : 160; });
    SharpenSettings u;
    u.method = kSharpenUnsharp;
    u.radius = 2;
    u.threshold = 0;
    ASSERT_EQ(transformation_apply(sharpen_region, &u, ramp, out, "Sharpen"), 0);
    std::vector<int> B = reference_smooth(ramp, 0, 0, 1, 20, 8, 2);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(px(out, x, 3), clamp_byte(2 * px(ramp, x, 3) - B[size_t(3 * 20 + x)])) << x;
    u.threshold = 5; // the gentle ramp is left alone, the step is sharpened
    ASSERT_EQ(transformation_apply(sharpen_region, &u, ramp, out, "Sharpen"), 0);
    EXPECT_EQ(px(out, 3, 3), px(ramp, 3, 3));
    EXPECT_EQ(px(out, 10, 3), clamp_byte(2 * 160 - B[size_t(3 * 20 + 10)]));
    u.radius = 0;
    ASSERT_EQ(transformation_apply(sharpen_region, &u, ramp, out, "Sharpen"), 0);
    EXPECT_TRUE(same_pixels(ramp, out));
}

TEST(BlurSharpen, SixteenBitMediansAgreeWithEightBitAndPreviewNarrows)
{
    Image img8 = make_image(IMAGE_COLOR, 14, 11, pattern);
    Image img16 = make_image(IMAGE_COLOR48, 14, 11, [](int x, int y, int c) { return pattern(x, y, c) * 257; });
    for (int m : {kBlurMedian3, kBlurMedian5}) {
        BlurSettings st;
        st.method = m;
        Image a, b;
        ASSERT_EQ(transformation_apply(blur_region, &st, img8, a, "Blur"), 0);
        ASSERT_EQ(transformation_apply(blur_region, &st, img16, b, "Blur"), 0);
        ASSERT_EQ(b.type, IMAGE_COLOR48);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 14; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(px(b, x, y, c), 257 * px(a, x, y, c));
        Image prev;
        ASSERT_EQ(image_alloc(prev, IMAGE_COLOR, 14, 11, 0), 0);
        ASSERT_EQ(preview_part(blur_region, &st, img16, prev, 0, 0, 14, 11), 0);
        EXPECT_TRUE(same_pixels(a, prev));
    }
}

TEST(BlurSharpen, PreviewPartsMatchApply)
{
    Image gray = make_image(IMAGE_GRAY, 31, 22, pattern);
    Image color = make_image(IMAGE_COLOR, 27, 19, pattern);
    for (const Image* img : {&gray, &color}) {
        for (int m = kBlurPlain; m <= kBlurMedian5; ++m) {
            BlurSettings st;
            st.method = m;
            st.threshold = 40;
            st.amount.low = 700;
            expect_preview_matches_apply(blur_region, &st, *img);
        }
        for (int m = kSharpenPlain; m <= kSharpenUnsharp; ++m) {
            SharpenSettings st;
            st.method = m;
            st.threshold = 3;
            expect_preview_matches_apply(sharpen_region, &st, *img);
        }
    }
}

TEST(BlurSharpen, ProgressTitlesCountsAndCancel)
{
    Image img = make_image(IMAGE_GRAY, 100, 120, pattern);
    {
        TestProgressSink sink;
        BlurSettings st;
        st.method = kBlurGaussian;
        st.radius = 2;
        Image out;
        ASSERT_EQ(transformation_apply(blur_region, &st, img, out, "x"), 0);
        ASSERT_EQ(sink.begins.size(), 1u);
        EXPECT_EQ(sink.begins[0].title, "Gaussian Blur");
        EXPECT_EQ(sink.begins[0].last, 100 + 8 + 120 - 1);
        EXPECT_EQ(sink.updates.size(), size_t(100 + 8 + 120));
        EXPECT_EQ(sink.updates.back(), 100 + 8 + 119);
    }
    {
        TestProgressSink sink;
        BlurSettings st;
        Image out;
        ASSERT_EQ(transformation_apply(blur_region, &st, img, out, "x"), 0);
        EXPECT_EQ(sink.titles(), std::vector<std::string>{"Blur"});
        EXPECT_EQ(sink.begins[0].last, 119);
        SharpenSettings sh;
        sh.method = kSharpenUnsharp;
        ASSERT_EQ(transformation_apply(sharpen_region, &sh, img, out, "x"), 0);
        EXPECT_EQ(sink.begins.back().title, "Sharpen");
    }
    {
        TestProgressSink sink;
        sink.cancel_during(30);
        BlurSettings st;
        st.method = kBlurGaussian;
        Image out;
        EXPECT_EQ(transformation_apply(blur_region, &st, img, out, "x"), 11);
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(sink.updates.back(), 31);
        EXPECT_EQ(sink.open, 0);
    }
    Image tiny = make_image(IMAGE_GRAY, 1, 1, [](int, int, int) { return 77; });
    BlurSettings st;
    st.method = kBlurGaussian;
    st.radius = 5;
    Image out;
    ASSERT_EQ(transformation_apply(blur_region, &st, tiny, out, "x"), 0);
    EXPECT_EQ(px(out, 0, 0), 77);
    EXPECT_EQ(blur_radius_from_slider(1024), 128);
    EXPECT_EQ(blur_threshold_to_slider(255), 1024);
    EXPECT_EQ(sharpen_radius_from_slider(26), 1); // 0.507 rounds up
    EXPECT_EQ(sharpen_threshold_to_slider(3), 61);
}
