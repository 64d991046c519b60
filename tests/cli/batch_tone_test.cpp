// The tone, colour and effect operations of the batch tool, run as the real executable and
// compared with the region functions called through transformation_apply with the same
// settings.
#include "core/image.h"
#include "effects/edge.h"
#include "effects/equalize.h"
#include "formats/file_open.h"
#include "tone/brightness_curve.h"
#include "tone/color_balance.h"
#include "tone/color_curves.h"
#include "tone/convert.h"
#include "tone/curve_files.h"
#include "tone/extract_channel.h"
#include "tone/levels.h"
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
#include <unistd.h>
#include <vector>

namespace {

class BatchTone : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        cat_ = load(sample("chelsea.png"));
        fits_ = load(sample("simple.fits"));
    }

    // Runs `apply` from a sample into a TIFF and loads the result.
    mv::Image apply(const std::string& input, const std::vector<std::string>& settings) const
    {
        const std::string out = file("out.tif");
        std::filesystem::remove(out);
        std::vector<std::string> args = {"apply", sample(input), out};
        args.insert(args.end(), settings.begin(), settings.end());
        const RunResult r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.status == 0 ? load(out) : mv::Image();
    }

    // The region function over the whole input, as Apply runs it.
    static mv::Image engine(mv::RegionFunction fn, void* settings, const mv::Image& input, const char* title)
    {
        mv::Image out;
        EXPECT_EQ(mv::transformation_apply(fn, settings, input, out, title), 0) << title;
        return out;
    }

    mv::Image cat_, fits_;
};

} // namespace

TEST_F(BatchTone, ToneOperationsMatchTheEngine)
{
    ASSERT_EQ(cat_.type, mv::IMAGE_COLOR);

    // Levels and Color: the range measured in HSL, stretched to the full scale, with midtones,
    // saturation and a colour cast, at 70%.
    mv::LevelsSettings levels;
    levels.color_space = mv::LEVELS_HSL;
    ASSERT_EQ(mv::levels_auto_range(cat_, levels), 0);
    mv::levels_full_range(levels);
    levels.midtones = 30;
    levels.saturation = -20;
    levels.balance[0] = 240;
    levels.amount.low = 717; // round(70 * 1024 / 100)
    const mv::Image lev = engine(mv::levels_region, &levels, cat_, "Levels and Color");
    EXPECT_TRUE(same_pixels(apply("chelsea.png", {"levels-and-color", "color-space=hsl", "midtones=30",
                                                  "saturation=-20", "dynamic-range=full-range", "red=240",
                                                  "--amount", "70"}),
                            lev));
    // The same on 16-bit gray: the points are measured there, and the result stays 16-bit.
    mv::LevelsSettings levels16;
    ASSERT_EQ(mv::levels_auto_range(fits_, levels16), 0);
    levels16.midtones = -45;
    const mv::Image lev16 = engine(mv::levels_region, &levels16, fits_, "Levels and Color");
    EXPECT_EQ(lev16.type, fits_.type);
    EXPECT_TRUE(same_pixels(apply("simple.fits", {"levels-and-color", "midtones=-45"}), lev16));

    // Brightness Curve from a curve file, through the HSL lightness and on 16-bit data.
    mv::BrightnessCurveSettings bc;
    bc.curve.count = 3;
    bc.curve.x[1] = 90, bc.curve.y[1] = 150, bc.curve.x[2] = 255, bc.curve.y[2] = 230;
    ASSERT_EQ(mv::curve_file_write(file("lift.crv"), bc.curve), 0);
    bc.color_space = mv::CURVE_SPACE_HSL;
    EXPECT_TRUE(same_pixels(apply("chelsea.png", {"brightness-curve", "curve=" + file("lift.crv"), "color-space=hsl"}),
                            engine(mv::brightness_curve_region, &bc, cat_, "Brightness Curve")));
    EXPECT_TRUE(same_pixels(apply("simple.fits", {"brightness-curve", "curve=" + file("lift.crv")}),
                            engine(mv::brightness_curve_region, &bc, fits_, "Brightness Curve")));

    // Color Curves: the colour space and the curves come from the file.
    mv::ColorCurvesFile cc;
    cc.color_space = mv::CURVE_SPACE_RGB;
    cc.curves[0].y[0] = 255, cc.curves[0].y[1] = 0; // red inverted
    cc.curves[2].style = mv::CURVE_STEP, cc.curves[2].count = 3;
    cc.curves[2].x[1] = 128, cc.curves[2].y[1] = 200, cc.curves[2].x[2] = 255, cc.curves[2].y[2] = 255;
    ASSERT_EQ(mv::color_curves_file_write(file("c.cc"), cc), 0);
    mv::ColorCurvesSettings curves;
    curves.color_space = cc.color_space;
    for (int k = 0; k < 3; ++k)
        curves.curves[k] = cc.curves[k];
    EXPECT_TRUE(same_pixels(apply("chelsea.png", {"color-curves", "color-curves=" + file("c.cc")}),
                            engine(mv::color_curves_region, &curves, cat_, "Color Curves")));

    // Color Balance: the found highlight and shadow colours, both anchors automatic.
    mv::ColorBalanceSettings balance;
    ASSERT_EQ(mv::color_balance_find_points(cat_, balance), 0);
    mv::color_balance_reset(balance);
    balance.shadow_mode = mv::BALANCE_AUTO;
    const mv::Image balanced = engine(mv::color_balance_region, &balance, cat_, "Color Balance");
    EXPECT_TRUE(same_pixels(apply("chelsea.png", {"color-balance", "shadow=auto"}), balanced));
}

TEST_F(BatchTone, ConversionsAndEffectsMatchTheEngine)
{
    // Convert: colour to binary and to gray, 16-bit gray to 8-bit gray.
    for (int target : {0, 1}) {
        mv::ConvertSettings conv;
        conv.target = target;
        const mv::Image got = apply("chelsea.png", {"convert", target ? "convert-to=black-and-white" : "convert-to=binary"});
        EXPECT_EQ(got.type, target ? mv::IMAGE_GRAY : mv::IMAGE_BINARY);
        EXPECT_TRUE(same_pixels(got, engine(mv::convert_region, &conv, cat_, "Convert"))) << target;
    }
    mv::ConvertSettings gray;
    EXPECT_TRUE(same_pixels(apply("simple.fits", {"convert"}), engine(mv::convert_region, &gray, fits_, "Convert")));

    mv::ExtractChannelSettings channel;
    channel.channel = mv::kChannelHslSaturation;
    EXPECT_TRUE(same_pixels(apply("chelsea.png", {"extract-channel", "channel=hsl-saturation"}),
                            engine(mv::extract_channel_region, &channel, cat_, "Extract Channel")));

    // Edge: Sobel darkening through the HSV value at 60%, and Laplacian on 16-bit gray.
    mv::EdgeSettings edge;
    edge.color_space = mv::kEdgeHsv;
    edge.method = mv::kEdgeSobel;
    edge.action = mv::kEdgeDarken;
    edge.amount.low = 614; // round(60 * 1024 / 100)
    EXPECT_TRUE(same_pixels(apply("chelsea.png", {"edge", "color-space=hsv", "method=sobel", "action=darken",
                                                  "--amount", "60"}),
                            engine(mv::edge_region, &edge, cat_, "Edge")));
    mv::EdgeSettings laplace;
    laplace.method = mv::kEdgeLaplacian;
    EXPECT_TRUE(same_pixels(apply("simple.fits", {"edge", "method=laplacian"}),
                            engine(mv::edge_region, &laplace, fits_, "Edge")));

    // Equalize through the HSL lightness, and over 65536 levels on 16-bit gray.
    mv::EqualizeSettings eq;
    eq.color_space = mv::EQUALIZE_HSL_L;
    EXPECT_TRUE(same_pixels(apply("chelsea.png", {"equalize", "color-space=hsl-l"}),
                            engine(mv::equalize_region, &eq, cat_, "Equalize")));
    mv::EqualizeSettings eq16;
    const mv::Image flat16 = engine(mv::equalize_region, &eq16, fits_, "Equalize");
    EXPECT_EQ(flat16.type, mv::IMAGE_GRAY16);
    EXPECT_TRUE(same_pixels(apply("simple.fits", {"equalize"}), flat16));
}

TEST_F(BatchTone, BadSettingsAreRefused)
{
    const std::string in = sample("chelsea.png"), out = file("x.tif");
    const auto run_apply = [&](std::vector<std::string> settings) {
        settings.insert(settings.begin(), {"apply", in, out});
        return run(settings);
    };
    // Unknown list values, out-of-range numbers and separators are usage errors.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"edge", "method=canny"}, {"convert", "convert-to=cmyk"},
          {"extract-channel", "channel=-"}, {"equalize", "color-space=lab"},
          {"levels-and-color", "midtones=101"}, {"color-balance", "midtone=auto"},
          {"brightness-curve", "color-space=cmy"}}) {
        EXPECT_EQ(run_apply(bad).status, 2) << bad[0] << " " << bad[1];
    }

    // Settings files that break the rules give their own errors; missing files error 4.
    std::ofstream(file("bad.crv")) << "Curve 1.0\nnpts 65\nend\n";
    std::ofstream(file("bad.cc")) << "ColorCurves 1.0\ncolorspace 0\nnpts1 2\n";
    std::ofstream(file("bad.cb")) << "ColorBalance 1.0\nwhite 1 2 3\nend\n";
    for (const auto& [settings, code] :
         {std::pair{std::vector<std::string>{"brightness-curve", "curve=" + file("bad.crv")}, "(error 16)"},
          std::pair{std::vector<std::string>{"color-curves", "color-curves=" + file("bad.cc")}, "(error 42)"},
          std::pair{std::vector<std::string>{"color-balance", "color-balance=" + file("bad.cb")}, "(error 31)"},
          std::pair{std::vector<std::string>{"brightness-curve", "curve=" + file("none.crv")}, "(error 4)"}}) {
        const RunResult r = run_apply(settings);
        EXPECT_EQ(r.status, 1) << code;
        EXPECT_NE(r.err.find(code), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    // Types outside an operation's list: Extract Channel takes colour only.
    const RunResult gray = run({"apply", sample("simple.fits"), out, "extract-channel"});
    EXPECT_EQ(gray.status, 1);
    EXPECT_NE(gray.err.find("(error 14)"), std::string::npos) << gray.err;
}
