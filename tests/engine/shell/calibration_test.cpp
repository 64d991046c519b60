#include "shell/calibration.h"

#include "core/display_lookup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

using namespace mv;

namespace {

std::string temp_path(const std::string& name)
{
    return testing::TempDir() + "calibration_" + name + ".cal";
}

std::string write_text(const std::string& name, const std::string& text)
{
    const std::string path = temp_path(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const char* const kPoints =
    "point 0 1.990 32 255 255 255\r\n"
    "point 1 1.200 74 255 255 255\r\n"
    "point 2 0.740 118 255 255 255\r\n"
    "point 3 0.430 163 255 255 255\r\n"
    "point 4 0.200 207 255 255 255\r\n";

// Restores the identity tables and default curve after a test that installs tables.
struct InstalledState : testing::Test {
    ~InstalledState() override
    {
        reset_display_lookup();
        calibration_curve() = calibration_default();
    }
};

} // namespace

TEST(Calibration, DefaultCurveIsIdentityWithBlueWhitePoint)
{
    const CalibrationCurve c = calibration_default();
    const int levels[7] = {0, 32, 74, 118, 163, 207, 255};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(c.level[i], levels[i]) << i;
    // The targets the densities give equal the default levels, so every point is on the
    // diagonal.
    for (int k = 0; k < kCalibrationPoints; ++k)
        EXPECT_EQ(calibration_target(c.density[k], c.gamma), c.level[k + 1]) << k;

    const DisplayLookup t = calibration_tables(c);
    for (int v = 0; v < 256; ++v) {
        ASSERT_EQ(t.red[v], v) << v;
        ASSERT_EQ(t.green[v], v) << v;
        ASSERT_EQ(t.blue[v], v * 235 / 255) << v;
    }
}

TEST(Calibration, TableBuildScalesColoursByLevelAndWhite)
{
    CalibrationCurve c = calibration_default();
    // A brighter middle point lifts the curve around it and keeps it monotone.
    c.level[2] = 100;
    c.white[0] = c.white[1] = c.white[2] = 255;
    DisplayLookup t = calibration_tables(c);
    EXPECT_EQ(t.red[74], 100);
    EXPECT_GT(t.red[60], 60);
    for (int v = 1; v < 256; ++v)
        ASSERT_GE(t.red[v], t.red[v - 1]) << v;
    EXPECT_EQ(t.red[255], 255);

    // A point colour is scaled by the point's level: 128 * 118 div 255 = 59.
    c = calibration_default();
    c.color[3][2] = 128;
    t = calibration_tables(c);
    EXPECT_EQ(t.green[118], 118);
    EXPECT_EQ(t.blue[118], 59 * 235 / 255);

    // A zero white point blacks out its channel.
    c = calibration_default();
    c.white[1] = 0;
    t = calibration_tables(c);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(t.green[v], 0);
    EXPECT_EQ(t.red[200], 200);

    // Densities out of order leave their points out instead of breaking the curve.
    c = calibration_default();
    c.density[3] = 3.0;
    c.density[4] = -1.0;
    t = calibration_tables(c);
    EXPECT_EQ(t.red[0], 0);
    EXPECT_EQ(t.red[255], 255);
}

TEST(Calibration, ReaderAcceptsAnyOrderAndSkipsUnknownLines)
{
    const std::string path = write_text(
        "order", std::string("monitorcalibrationcurve 1.0\r\n") + "comment anything at all\r\n" +
                     "point 2 0.800 120 255 200 100\r\n" + "NPTS 5\r\n" + "White 1.0 0.5 0.0\r\n" +
                     "end\r\n");
    CalibrationCurve c = calibration_default();
    ASSERT_EQ(calibration_read(path, c), 0);
    EXPECT_DOUBLE_EQ(c.density[2], 0.8);
    EXPECT_EQ(c.level[3], 120);
    EXPECT_EQ(c.color[3][0], 255);
    EXPECT_EQ(c.color[3][1], 200);
    EXPECT_EQ(c.color[3][2], 100);
    EXPECT_EQ(c.white[0], 255);
    EXPECT_EQ(c.white[1], 128);
    EXPECT_EQ(c.white[2], 0);
    EXPECT_EQ(c.level[1], 32);  // untouched points keep their values
    std::remove(path.c_str());
}

TEST(Calibration, ReaderRejectsBadValues)
{
    const std::string head = "MonitorCalibrationCurve 1.0\r\n";
    const char* const bad[] = {
        "npts 4\r\n",
        "white 1.2 1.0 1.0\r\n",
        "white -0.1 1.0 1.0\r\n",
        "white 1.0 1.0\r\n",
        "white 1.0 x 1.0\r\n",
        "point 5 1.0 10 255 255 255\r\n",
        "point 0 1.0 256 255 255 255\r\n",
        "point 0 abc 10 255 255 255\r\n",
        "point 0 1.0 10 255 255 -1\r\n",
        "point 0 1.0 10 255 255\r\n",
    };
    const CalibrationCurve defaults = calibration_default();
    for (const char* line : bad) {
        const std::string path = write_text("bad", head + line + "end\r\n");
        CalibrationCurve c = defaults;
        EXPECT_EQ(calibration_read(path, c), 17) << line;
        EXPECT_EQ(c, defaults) << line;
        std::remove(path.c_str());
    }
    // A wrong first line, an empty file and a file without "end".
    for (const std::string text : {std::string("MonitorCalibrationCurve 2.0\r\nend\r\n"),
                                   std::string("npts 5\r\nend\r\n"), std::string(),
                                   head + "npts 5\r\n"}) {
        const std::string path = write_text("bad", text);
        CalibrationCurve c = defaults;
        EXPECT_EQ(calibration_read(path, c), 17) << text;
        std::remove(path.c_str());
    }
    CalibrationCurve c = defaults;
    EXPECT_EQ(calibration_read(temp_path("does_not_exist"), c), 4);
}

TEST(Calibration, WriteThenReadGivesTheSameCurve)
{
    CalibrationCurve c = calibration_default();
    c.density[0] = 2.125;
    c.density[4] = 0.05;
    c.level[2] = 80;
    c.level[5] = 0;
    c.color[1][0] = 10;
    c.color[4][2] = 254;
    c.white[0] = 1;
    c.white[1] = 128;
    c.white[2] = 0;
    const std::string path = temp_path("round_trip");
    ASSERT_EQ(calibration_write(path, c), 0);

    std::ifstream in(path, std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "MonitorCalibrationCurve 1.0\r");

    CalibrationCurve back;
    back.white[0] = back.white[1] = back.white[2] = 7;
    ASSERT_EQ(calibration_read(path, back), 0);
    EXPECT_EQ(back, c);
    std::remove(path.c_str());

    EXPECT_EQ(calibration_write(testing::TempDir() + "no_such_dir/morvane.cal", c), 3);
}

TEST_F(InstalledState, StartupLoadsAndInstalls)
{
    const std::string dir = testing::TempDir();
    const std::string path = calibration_path(dir);
    std::remove(path.c_str());
    EXPECT_EQ(calibration_startup(dir), 4);
    EXPECT_EQ(display_lookup().blue[255], 255);  // nothing installed when absent

    std::ofstream(path, std::ios::binary)
        << "MonitorCalibrationCurve 1.0\r\nwhite 1.000 0.000 0.922\r\nnpts 5\r\n" << kPoints
        << "end\r\n";
    ASSERT_EQ(calibration_startup(dir), 0);
    EXPECT_EQ(display_lookup().red[100], 100);
    EXPECT_EQ(display_lookup().green[255], 0);
    EXPECT_EQ(display_lookup().blue[255], 235);
    EXPECT_EQ(calibration_curve().white[1], 0);

    // A damaged file leaves the installed curve alone.
    std::ofstream(path, std::ios::binary) << "MonitorCalibrationCurve 1.0\r\nnpts 4\r\nend\r\n";
    EXPECT_EQ(calibration_startup(dir), 17);
    EXPECT_EQ(display_lookup().green[255], 0);
    std::remove(path.c_str());
}
