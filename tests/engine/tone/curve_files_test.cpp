#include "tone/curve_files.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace mv {
namespace {

class CurveFiles : public ::testing::Test {
protected:
    std::string path = (std::filesystem::temp_directory_path() /
                        ("mv_curve_" + std::to_string(::getpid()) + ".crv"))
                           .string();
    void TearDown() override { std::filesystem::remove(path); }
    void write_raw(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string read_raw()
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static Curve sample()
    {
        Curve c;
        c.count = 3;
        c.x[1] = 128;
        c.y[1] = 90;
        c.x[2] = 255;
        c.y[2] = 240;
        c.style = CURVE_LINEAR;
        return c;
    }
    static bool same(const Curve& a, const Curve& b)
    {
        if (a.count != b.count || a.style != b.style)
            return false;
        for (int k = 0; k < a.count; ++k)
            if (a.x[k] != b.x[k] || a.y[k] != b.y[k])
                return false;
        return true;
    }
};

TEST_F(CurveFiles, CurveRoundTripAndExactText)
{
    ASSERT_EQ(curve_file_write(path, sample()), 0);
    EXPECT_EQ(read_raw(), "Curve 1.0\r\nnpts 3\r\nstyle linear\r\npoint 0 0 0\r\n"
                          "point 1 128 90\r\npoint 2 255 240\r\nend\r\n");
    Curve c;
    ASSERT_EQ(curve_file_read(path, c), 0);
    EXPECT_TRUE(same(c, sample()));

    // Keywords in any order and case, LF-only lines and blank lines.
    write_raw("Curve 1.0\n\nPOINT 1 100 20\nStyle STEP\npoint 0 0 5\nNPTS 2\nEnd\n");
    ASSERT_EQ(curve_file_read(path, c), 0);
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(c.style, CURVE_STEP);
    EXPECT_EQ(c.x[1], 100);
    EXPECT_EQ(c.y[0], 5);
}

TEST_F(CurveFiles, IllegalCurveFilesResetTheCurve)
{
    const char* bad[] = {
        "",
        "Curve 1.1\r\nnpts 2\r\npoint 0 0 0\r\npoint 1 255 255\r\nend\r\n",
        "Curve 1.0 x\r\nnpts 2\r\npoint 0 0 0\r\npoint 1 255 255\r\nend\r\n",
        "Curve 1.0\r\nnpts 65\r\npoint 0 0 0\r\npoint 1 255 255\r\nend\r\n",
        "Curve 1.0\r\nnpts 2\r\npoint 0 0 0\r\npoint 1 255 255\r\n",         // no end
        "Curve 1.0\r\nnpts 2\r\npoint 0 0 0\r\npoint 64 255 255\r\nend\r\n",  // index 64
        "Curve 1.0\r\nnpts 2\r\npoint 0 0 0\r\npoint 1 255 2x5\r\nend\r\n",   // bad number
        "Curve 1.0\r\nnpts 2\r\npoint 0 0 0\r\npoint 1 255\r\nend\r\n",       // missing number
        "Curve 1.0\r\nnpts 2\r\nstyle curvy\r\npoint 0 0 0\r\npoint 1 255 255\r\nend\r\n",
        "Curve 1.0\r\nnpts 2\r\ncolor 3\r\npoint 0 0 0\r\npoint 1 255 255\r\nend\r\n",
        "Curve 1.0\r\nnpts 3\r\npoint 0 0 0\r\npoint 1 255 255\r\nend\r\n",   // point 2 missing
        "Curve 1.0\r\nnpts 2\r\npoint 0 9 0\r\npoint 1 9 255\r\nend\r\n",     // equal inputs
        "Curve 1.0\r\nnpts 2\r\npoint 0 0 0\r\npoint 1 256 255\r\nend\r\n",   // level 256
    };
    for (const char* text : bad) {
        write_raw(text);
        Curve c = sample();
        EXPECT_EQ(curve_file_read(path, c), kIllegalCurveFile) << text;
        EXPECT_TRUE(same(c, Curve{})) << text;
    }
    EXPECT_STREQ(error_text(kIllegalCurveFile), "Illegal curve file");
    Curve c = sample();
    EXPECT_EQ(curve_file_read(path + ".missing", c), kCannotOpenFile);
    EXPECT_TRUE(same(c, sample()));
    EXPECT_EQ(curve_file_write("/nonexistent-dir/x.crv", c), kCannotCreateFile);
}

TEST_F(CurveFiles, ColorCurvesRoundTripAndErrors)
{
    ColorCurvesFile cc;
    cc.color_space = CURVE_SPACE_HSL;
    cc.curves[1] = sample();
    cc.curves[2].y[0] = 30;
    cc.curves[2].style = CURVE_STEP;
    ASSERT_EQ(color_curves_file_write(path, cc), 0);
    const std::string text = read_raw();
    EXPECT_EQ(text.rfind("ColorCurves 1.0\r\ncolorspace 1\r\nnpts1 2\r\nstyle1 spline\r\n"
                         "point1 0 0 0\r\npoint1 1 255 255\r\nnpts2 3\r\nstyle2 linear\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("style3 step\r\npoint3 0 0 30\r\n"), std::string::npos);
    ColorCurvesFile back;
    ASSERT_EQ(color_curves_file_read(path, back), 0);
    EXPECT_EQ(back.color_space, CURVE_SPACE_HSL);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(same(back.curves[i], cc.curves[i])) << i;

    for (const char* bad : {
             "ColorCurves 1.0\r\ncolorspace 3\r\nend\r\n",
             "Curve 1.0\r\nend\r\n",
             "ColorCurves 1.0\r\ncolorspace 0\r\nnpts4 2\r\nend\r\n",
             "ColorCurves 1.0\r\ncolorspace 0\r\nnpts1 2\r\npoint1 0 0 0\r\npoint1 1 255 255\r\nend\r\n",
         }) {
        write_raw(bad);
        ColorCurvesFile got = cc;
        EXPECT_EQ(color_curves_file_read(path, got), kIllegalColorCurveFile) << bad;
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(same(got.curves[i], Curve{})) << bad;
    }
    EXPECT_STREQ(error_text(kIllegalColorCurveFile), "Illegal color curve file");
}

} // namespace
} // namespace mv
