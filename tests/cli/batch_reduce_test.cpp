// Posterize with written palettes, Halftone with a screen file and Combine Channels from
// three channel files, run as the real batch tool and compared with the engine.
#include "core/image.h"
#include "reduce/halftone.h"
#include "reduce/posterize.h"
#include "tone/combine_channels.h"
#include "transform/region.h"

#include "batch_test_support.h"

#include <gtest/gtest.h>

namespace {

class BatchReduce : public BatchTest {
protected:
    RunResult apply(const std::string& input, const std::string& out, const std::vector<std::string>& settings)
    {
        std::vector<std::string> args = {"apply", input, out};
        args.insert(args.end(), settings.begin(), settings.end());
        return run(args);
    }
};

} // namespace

TEST_F(BatchReduce, PalettesScreensAndChannelsMatchTheEngine)
{
    const mv::Image cat = load(sample("chelsea.png"));

    // Three written colours, the second remapped to yellow.
    mv::PosterizeSettings post;
    post.colors = 3;
    post.remap = true;
    post.color[1] = {200, 40, 40};
    post.color[2] = {20, 90, 200};
    post.remapped[0] = {0, 0, 0};
    post.remapped[1] = {255, 255, 0};
    post.remapped[2] = {20, 90, 200};
    mv::Image expected;
    ASSERT_EQ(mv::transformation_apply(mv::posterize_region, &post, cat, expected, "Posterize"), 0);
    RunResult r = apply(sample("chelsea.png"), file("post.tif"),
                        {"posterize", "number-of-colors=3", "remap-colors=on", "palette=000000,#C82828,145ac8",
                         "remapped-palette=000000,FFFF00,145AC8"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(same_pixels(load(file("post.tif")), expected));

    // The three channels written as gray files and combined again give the picture back.
    const char* channels[3] = {"red", "green", "blue"};
    for (const char* c : channels) {
        r = apply(sample("chelsea.png"), file(std::string(c) + ".tif"), {"extract-channel", std::string("channel=") + c});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    r = apply(file("red.tif"), file("rgb.tif"),
              {"combine-channels", "color-space=rgb", "color-1=" + file("red.tif"), "color-2=" + file("green.tif"),
               "color-3=" + file("blue.tif")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(same_pixels(load(file("rgb.tif")), cat));

    // "Custom" thresholds from a gray screen file, read at the input's top-left.
    const mv::Image screen = load(file("green.tif"));
    mv::HalftoneSettings ht;
    mv::halftone_set_method(ht, mv::kHalftoneCustom);
    ht.screen = &screen;
    ASSERT_EQ(mv::transformation_apply(mv::halftone_region, &ht, cat, expected, "Halftone"), 0);
    r = apply(sample("chelsea.png"), file("ht.tif"), {"halftone", "method=custom", "screen=" + file("green.tif")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(same_pixels(load(file("ht.tif")), expected));
}

TEST_F(BatchReduce, BadSettingsAreReported)
{
    RunResult r = apply(sample("chelsea.png"), file("x.tif"), {"posterize", "palette=000000,12345"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("RRGGBB"), std::string::npos) << r.err;
    r = apply(sample("chelsea.png"), file("x.tif"), {"combine-channels", "color-2=#12345z"});
    EXPECT_EQ(r.status, 2);
    r = apply(sample("chelsea.png"), file("x.tif"), {"halftone", "method=custom"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No halftone screen image specified"), std::string::npos) << r.err;
    // Sources of different types: a colour picture is not a channel.
    r = apply(sample("chelsea.png"), file("x.tif"), {"combine-channels", "color-1=" + sample("chelsea.png")});
    EXPECT_EQ(r.status, 1);
    r = apply(sample("chelsea.png"), file("x.tif"), {"combine-channels"});
    EXPECT_NE(r.err.find("(error 77)"), std::string::npos) << r.err;
}
