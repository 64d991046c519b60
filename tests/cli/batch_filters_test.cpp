// The geometry and colour-reduction operations of the batch tool, run as the real executable
// and compared with the engine's own functions called with the same settings.
#include "core/image.h"
#include "filters/add_border.h"
#include "filters/composite.h"
#include "filters/crop.h"
#include "filters/mirror_rotate.h"
#include "filters/resize.h"
#include "formats/file_open.h"
#include "reduce/halftone.h"
#include "reduce/posterize.h"
#include "transform/region.h"

#include "batch_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <utility>
#include <unistd.h>
#include <vector>

namespace {

class BatchFilters : public BatchTest {
protected:
    // Runs `apply` from `input` into a TIFF and loads the result.
    mv::Image apply(const std::string& input, const std::vector<std::string>& settings)
    {
        const std::string out = file("out.tif");
        std::vector<std::string> args = {"apply", input, out};
        args.insert(args.end(), settings.begin(), settings.end());
        const RunResult r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.status == 0 ? load(out) : mv::Image();
    }
};

} // namespace

TEST_F(BatchFilters, GeometryMatchesTheEngine)
{
    const mv::Image cat = load(sample("chelsea.png"));
    ASSERT_EQ(cat.width, 451);
    ASSERT_EQ(cat.height, 300);

    // Smooth reduction to 50% and enlargement to 150%.
    for (auto [w, h] : {std::pair{225, 150}, std::pair{676, 450}}) {
        mv::Image expected;
        ASSERT_EQ(mv::resize_image(cat, expected, w, h, cat.resolution, mv::kResizeSmooth), 0);
        const mv::Image got = apply(sample("chelsea.png"), {"resize", "width=" + std::to_string(w),
                                                           "height=" + std::to_string(h)});
        EXPECT_TRUE(same_pixels(got, expected)) << w << " x " << h;
    }
    // Only a width: the height follows the proportions (225 * 300 / 451).
    mv::Image nearest;
    ASSERT_EQ(mv::resize_image(cat, nearest, 225, 149, cat.resolution, mv::kResizeNearest), 0);
    EXPECT_TRUE(same_pixels(
        apply(sample("chelsea.png"), {"resize", "width=225", "interpolation-method=nearest-neighbor"}),
        nearest));

    // A quarter turn swaps the size.
    mv::Image turned;
    ASSERT_EQ(mv::orientation_apply(mv::kOrientRotateCw, cat, turned, false), 0);
    const mv::Image got = apply(sample("chelsea.png"), {"mirror-rotate", "orientation=rotate-90-cw"});
    EXPECT_EQ(got.width, 300);
    EXPECT_EQ(got.height, 451);
    EXPECT_TRUE(same_pixels(got, turned));

    // Crop corners from the top-left, inclusive; a border of orange.
    mv::CropSettings crop;
    crop.x1 = 10, crop.y1 = 20, crop.x2 = 109, crop.y2 = 69;
    mv::Image cropped;
    ASSERT_EQ(mv::transformation_apply(mv::crop_region, &crop, cat, cropped, "Crop", 100, 50), 0);
    EXPECT_TRUE(same_pixels(
        apply(sample("chelsea.png"), {"crop", "left=10", "top=20", "right=109", "bottom=69"}), cropped));
    mv::AddBorderSettings border;
    border.left = 3, border.right = 5, border.top = 7, border.bottom = 1;
    border.red = 255, border.green = 128, border.blue = 0;
    mv::Image bordered;
    ASSERT_EQ(mv::transformation_apply(mv::add_border_region, &border, cat, bordered, "Add Border", 459, 308), 0);
    EXPECT_TRUE(same_pixels(apply(sample("chelsea.png"), {"add-border", "left=3", "right=5", "top=7",
                                                           "bottom=1", "green=128", "blue=0"}),
                            bordered));
}

TEST_F(BatchFilters, ReductionsMatchTheEngine)
{
    const mv::Image cat = load(sample("chelsea.png"));
    const mv::Image fits = load(sample("simple.fits"));

    // Posterize to an automatic palette of 6 colours, antialiased.
    mv::PosterizeSettings post;
    post.colors = 6;
    post.antialias = true;
    ASSERT_EQ(mv::posterize_auto_palette(cat, post), 0);
    mv::Image posterized;
    ASSERT_EQ(mv::transformation_apply(mv::posterize_region, &post, cat, posterized, "Posterize"), 0);
    EXPECT_TRUE(same_pixels(apply(sample("chelsea.png"), {"posterize", "number-of-colors=6",
                                                           "antialias=on", "auto-palette=on"}),
                            posterized));

    // Halftone by the Bayer screen (colour stays colour) and by error diffusion (16-bit gray
    // becomes binary).
    for (const auto& [input, method, name] :
         {std::tuple{&cat, int(mv::kHalftoneOrdered8), "ordered-8x8"},
          std::tuple{&fits, int(mv::kHalftoneErrorDiffusion), "error-diffusion"},
          std::tuple{&cat, int(mv::kHalftoneSpiral10), "spiral-10x10"}}) {
        mv::HalftoneSettings ht;
        mv::halftone_set_method(ht, method);
        mv::Image expected;
        ASSERT_EQ(mv::transformation_apply(mv::halftone_region, &ht, *input, expected, "Halftone"), 0);
        const mv::Image got = apply(sample(input == &cat ? "chelsea.png" : "simple.fits"),
                                    {"halftone", std::string("method=") + name});
        EXPECT_TRUE(same_pixels(got, expected)) << name;
    }
}

TEST_F(BatchFilters, BadValuesAreRefused)
{
    const std::string in = sample("chelsea.png"), out = file("x.tif");
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"resize", "width=-1"}, {"resize", "height=many"},
          {"resize", "interpolation-method=cubic"}, {"mirror-rotate", "orientation=sideways"},
          {"crop", "left=70000"}, {"add-border", "red=256"}, {"posterize", "number-of-colors=1"},
          {"posterize", "number-of-colors=33"}, {"posterize", "antialias=maybe"},
          {"halftone", "method=stochastic"}}) {
        std::vector<std::string> args = {"apply", in, out};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(run(args).status, 2) << bad[0] << " " << bad[1];
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    // "Custom" needs a screen image, which the batch tool cannot give.
    const RunResult custom = run({"apply", in, out, "halftone", "method=custom"});
    EXPECT_EQ(custom.status, 1);
    EXPECT_NE(custom.err.find("No halftone screen image specified (error 62)"), std::string::npos);

    const RunResult list = run({"list"});
    EXPECT_NE(list.out.find("method=custom|ordered-8x8|classical-6x6"), std::string::npos);
    EXPECT_NE(list.out.find("orientation=copy|rotate-90-ccw|rotate-180|rotate-90-cw|mirror"), std::string::npos);
}

// Composite with a picture overlay aligned by two point pairs, and with a colour overlay,
// against the engine's region function; impossible points are refused.
TEST_F(BatchFilters, CompositeMatchesTheEngine)
{
    const mv::Image cat = load(sample("chelsea.png"));
    const mv::Image coffee = load(sample("coffee.png"));
    mv::CompositeSettings st;
    mv::composite_init(st, cat.width, cat.height);
    mv::composite_set_overlay(st, &coffee);
    mv::composite_set_alignment(st, mv::kAlignSimilarity);
    st.operation = mv::kCompDifference;
    st.base_points[0] = {60, 40};
    st.overlay_points[0] = {90, 75.5};
    st.base_points[1] = {400, 250};
    st.overlay_points[1] = {520, 330};
    mv::Image expected;
    ASSERT_EQ(mv::transformation_apply(mv::composite_region, &st, cat, expected, "Composite"), 0);
    const std::string points = mv::composite_points_text(st.base_points, st.overlay_points, 2);
    EXPECT_EQ(points, "60,40,90,75.5;400,250,520,330");
    EXPECT_TRUE(same_pixels(apply(sample("chelsea.png"),
                                  {"composite", "overlay=" + sample("coffee.png"), "operation=absolute-difference",
                                   "alignment=2-point-shift-rotate-scale", "points=" + points}),
                            expected));

    // A white overlay colour with "Negative" at half the overlay amount.
    mv::CompositeSettings colour;
    mv::composite_init(colour, cat.width, cat.height);
    colour.operation = mv::kCompNegative;
    colour.overlay_amount.low = 512;
    ASSERT_EQ(mv::transformation_apply(mv::composite_region, &colour, cat, expected, "Composite"), 0);
    EXPECT_TRUE(same_pixels(apply(sample("chelsea.png"), {"composite", "operation=negative", "overlay-amount=50"}),
                            expected));

    const std::string in = sample("chelsea.png"), out = file("x.tif");
    const RunResult same = run({"apply", in, out, "composite", "overlay=" + sample("coffee.png"),
                                "alignment=3-point-shift-rotate-scale-shear", "points=1,1,5,5;1,1,9,9;7,3,2,2"});
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.err.find("All alignment points must be distinct (error 61)"), std::string::npos);
    for (const char* bad : {"points=1,2,3", "points=1,2,3,x", "points=1,2,3,4;", "operation=mix"})
        EXPECT_EQ(run({"apply", in, out, "composite", bad}).status, 2) << bad;
    EXPECT_EQ(run({"apply", in, out, "composite", "overlay=" + file("none.png")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}
