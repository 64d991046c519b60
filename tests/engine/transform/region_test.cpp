// A small transformation written the way every region function is written (negative with an
// amount), run through transformation_apply and through preview-shaped requests.
#include "transform/region.h"

#include "core/error.h"
#include "core/product_table.h"
#include "core/progress.h"
#include "test_progress.h"
#include "tone/value_tables.h"
#include "transform/amount.h"
#include "transform/row_reader.h"
#include "transform_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace mv;
using mv::transform_test::make_image;
using mv::transform_test::sample_at;

namespace {

struct NegativeSettings {
    AmountBlock amount;
};

int negative_region(const RegionRequest& q, void* settings)
{
    const NegativeSettings& s = *static_cast<const NegativeSettings*>(settings);
    const int type = q.input->type;
    if (type != IMAGE_GRAY && type != IMAGE_COLOR && type != IMAGE_GRAY16)
        return kIllegalImageType;
    if (int e = region_prepare_output(q, region_output_type(type, q.full)))
        return e;
    if (amount_is_identity(s.amount))
        return region_copy_input(q);
    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    if (int e = row_reader_open(*q.input, q.x0, q.y0, q.zoom, q.columns, in))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    if (int e = amount_begin(s.amount, q, amount))
        return e;
    const int channels = type == IMAGE_COLOR ? 3 : 1;
    std::vector<std::uint16_t> scratch(size_t(q.columns));
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int y = 0; y < q.rows; ++y) {
        const std::uint8_t* src = row_reader_next(in);
        std::uint8_t* dst = row_writer_row(out);
        amount_next_row(amount);
        if (type == IMAGE_GRAY16) {
            const auto* s16 = reinterpret_cast<const std::uint16_t*>(src);
            for (int x = 0; x < q.columns; ++x)
                scratch[x] = std::uint16_t(65535 - s16[x]);
            if (q.full) {
                auto* d16 = reinterpret_cast<std::uint16_t*>(dst);
                std::copy(scratch.begin(), scratch.end(), d16);
                amount_blend_row16(amount, s16, d16, q.columns, 1);
            } else {
                amount_blend_row16_to8(amount, s16, scratch.data(), dst, q.columns, 1);
            }
        } else {
            for (int x = 0; x < q.columns * channels; ++x)
                dst[x] = std::uint8_t(255 - src[x]);
            amount_blend_row(amount, src, dst, q.columns, channels);
        }
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace

TEST(Region, ApplyBlendsEveryPixelAndNeutralSettingsCopy)
{
    Image in = make_image(IMAGE_COLOR, 9, 7, [](int x, int y, int s) { return 30 * x + 7 * y + s; });
    NegativeSettings s;
    s.amount.low = 512;
    Image out;
    ASSERT_EQ(transformation_apply(negative_region, &s, in, out, "Negative"), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR);
    EXPECT_EQ(out.width, 9);
    EXPECT_EQ(out.height, 7);
    EXPECT_EQ(out.resolution, 72.0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = sample_at(in, x, y, c);
                ASSERT_EQ(sample_at(out, x, y, c), mix8(v, 255 - v, 128));
            }

    s.amount.low = 0; // 0%: the input, whatever the transformation does
    ASSERT_EQ(transformation_apply(negative_region, &s, in, out, "Negative"), 0);
    for (int y = 0; y < 7; ++y)
        EXPECT_EQ(std::memcmp(out.row(y), in.row(y), size_t(in.row_bytes)), 0);

    Image bin = make_image(IMAGE_BINARY, 5, 5, [](int, int, int) { return 1; });
    EXPECT_EQ(transformation_apply(negative_region, &s, bin, out, "Negative"), 14);
    EXPECT_TRUE(out.empty());
}

TEST(Region, CancelledRunLeavesNoResult)
{
    test::TestProgressSink sink;
    sink.cancel_during(10);
    Image in = make_image(IMAGE_GRAY, 200, 100, [](int x, int y, int) { return (x + y) & 255; });
    NegativeSettings s;
    Image out;
    EXPECT_EQ(transformation_apply(negative_region, &s, in, out, "Negative"), 11);
    EXPECT_TRUE(out.empty());
    ASSERT_EQ(sink.begins.size(), 1u);
    EXPECT_EQ(sink.begins[0].title, "Negative");
    EXPECT_EQ(sink.begins[0].last, 99);
    EXPECT_EQ(sink.updates.back(), 11);
    EXPECT_EQ(sink.open, 0);
}

TEST(Region, PreviewRegionsReadReducedAndWriteMagnified)
{
    // 16-bit input previewed 1:2 into an 8-bit display: every other pixel, narrowed.
    Image in = make_image(IMAGE_GRAY16, 20, 10, [](int x, int y, int) { return 1000 * y + 50 * x; });
    NegativeSettings s;
    Image display;
    RegionRequest q;
    q.input = &in;
    q.output = &display;
    q.full = false;
    q.output_width = 10;
    q.output_height = 5;
    q.zoom = -2;
    q.last_column = 9;
    q.last_row = 4;
    q.columns = 10;
    q.rows = 5;
    ASSERT_EQ(negative_region(q, &s), 0);
    ASSERT_EQ(display.type, IMAGE_GRAY);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(sample_at(display, x, y), narrow16(65535 - (2000 * y + 100 * x)));

    // Neutral settings show the input region unchanged (narrowed) in the preview.
    s.amount.low = 0;
    ASSERT_EQ(negative_region(q, &s), 0);
    EXPECT_EQ(sample_at(display, 3, 2), narrow16(4000 + 300));

    // A strip of a 2:1 preview: columns 4..9 of rows 2..3, from input (2, 1) on.
    Image gray = make_image(IMAGE_GRAY, 10, 10, [](int x, int y, int) { return 10 * y + x; });
    Image shown = make_image(IMAGE_GRAY, 10, 6, [](int, int, int) { return 7; });
    s.amount.low = 1024;
    RegionRequest p;
    p.input = &gray;
    p.output = &shown;
    p.full = false;
    p.output_width = 10;
    p.output_height = 6;
    p.x0 = 2;
    p.y0 = 1;
    p.zoom = 2;
    p.first_column = 4;
    p.last_column = 9;
    p.first_row = 2;
    p.last_row = 3;
    p.columns = 3;
    p.rows = 1;
    ASSERT_EQ(negative_region(p, &s), 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 4 && (y == 2 || y == 3);
            const int want = inside ? 255 - (10 * 1 + 2 + (x - 4) / 2) : 7;
            ASSERT_EQ(sample_at(shown, x, y), want) << x << "," << y;
        }
}
