// The batch tool's file commands, run as the real executable.
#include "core/image.h"
#include "core/util.h"
#include "formats/file_open.h"
#include "formats/file_save.h"
#include "formats/file_types.h"
#include "transform/operation.h"

#include "batch_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using BatchFiles = BatchTest;

TEST_F(BatchFiles, UsageErrorsExitTwo)
{
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"info"}).status, 2);
    EXPECT_EQ(run({"count-colors"}).status, 2);
    EXPECT_EQ(run({"convert", sample("chelsea.png")}).status, 2);
    EXPECT_EQ(run({"convert", sample("chelsea.png"), file("x.tif"), "--quality", "101"}).status, 2);
    EXPECT_EQ(run({"convert", sample("chelsea.png"), file("x.jpg"), "--quality"}).status, 2);
    EXPECT_EQ(run({"convert", sample("chelsea.png"), file("x.jpg"), "--sampling", "4:2:0"}).status, 2);
    EXPECT_EQ(run({"convert", sample("chelsea.png"), file("x.tif"), "--bogus"}).status, 2);
    EXPECT_EQ(run({"convert", sample("chelsea.png"), file("x.webp")}).status, 2);
    EXPECT_EQ(run({"convert", sample("chelsea.png"), file("x"), "--format", "webp"}).status, 2);
    const RunResult wrong = run({"convert", sample("chelsea.png"), file("x.jpg"), "--format", "tiff"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("TIFF files must have an extension of .tif or .tiff"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file("x.jpg")));
    const RunResult version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("morvane-batch ", 0), 0u);
}

TEST_F(BatchFiles, ConvertRoundTripsAndSaveRules)
{
    // PNG to TIFF and back keeps every pixel.
    ASSERT_EQ(run({"convert", sample("chelsea.png"), file("c.tif")}).status, 0);
    ASSERT_EQ(run({"convert", file("c.tif"), file("c.png")}).status, 0);
    EXPECT_TRUE(same_pixels(load(sample("chelsea.png")), load(file("c.png"))));

    // 16-bit FITS to TIFF keeps the 16-bit values.
    ASSERT_EQ(run({"convert", sample("simple.fits"), file("s.tif")}).status, 0);
    const mv::Image fits = load(sample("simple.fits"));
    EXPECT_EQ(fits.type, mv::IMAGE_GRAY16);
    EXPECT_TRUE(same_pixels(fits, load(file("s.tif"))));

    // --format with a name lacking an extension gets the default one.
    ASSERT_EQ(run({"convert", sample("coffee.png"), file("k"), "--format", "JPEG", "--quality",
                   "75", "--sampling", "4:2:2"})
                  .status,
              0);
    EXPECT_EQ(load(file("k.jpg")).type, mv::IMAGE_COLOR);

    // A colour picture cannot become FITS, a binary one cannot become JPEG.
    const RunResult fits_colour = run({"convert", sample("chelsea.png"), file("c.fit")});
    EXPECT_EQ(fits_colour.status, 1);
    EXPECT_NE(fits_colour.err.find(
                  "morvane-batch: Only grayscale or color images can be saved in FITS format (error 46)"),
              std::string::npos);
    mv::Image bin;
    ASSERT_EQ(mv::image_alloc(bin, mv::IMAGE_BINARY, 20, 20, 100), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            mv::bit_put(bin.row(y), x, (x + y) % 3 == 0);
    ASSERT_EQ(mv::file_save_path(file("b.png"), mv::SAVE_PNG, bin), 0);
    const RunResult jpeg_binary = run({"convert", file("b.png"), file("b.jpg")});
    EXPECT_EQ(jpeg_binary.status, 1);
    EXPECT_NE(jpeg_binary.err.find("(error 24)"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file("b.jpg")));

    // A missing input fails with its message.
    const RunResult missing = run({"convert", file("none.png"), file("n.tif")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("File does not exist: " + file("none.png")), std::string::npos);
}

TEST_F(BatchFiles, InfoAndCountColors)
{
    const RunResult info = run({"info", sample("chelsea.png"), sample("simple.fits")});
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("Image type: Color Image\n"), std::string::npos);
    EXPECT_NE(info.out.find("Size: 451 x 300 pixels\n"), std::string::npos);
    EXPECT_NE(info.out.find("Memory: 406,800 bytes\n"), std::string::npos);
    EXPECT_NE(info.out.find("File format: PNG\n"), std::string::npos);
    EXPECT_NE(info.out.find("File format: FITS\n"), std::string::npos);
    EXPECT_NE(info.out.find("Image type: Black and White Image (16-bit)\n"), std::string::npos);

    // Damaged input: the format's error code.
    {
        std::ofstream junk(file("bad.png"), std::ios::binary);
        junk << "\x89PNG\r\n\x1a\n not really";
    }
    const RunResult bad = run({"info", file("bad.png")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("(error 48)"), std::string::npos);

    // A picture of exactly three gray levels.
    mv::Image gray;
    ASSERT_EQ(mv::image_alloc(gray, mv::IMAGE_GRAY, 30, 30, 100), 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            gray.row(y)[x] = std::uint8_t((x / 10) * 100);
    ASSERT_EQ(mv::file_save_path(file("g.bmp"), mv::SAVE_BMP, gray), 0);
    const RunResult count = run({"count-colors", file("g.bmp")});
    EXPECT_EQ(count.status, 0);
    EXPECT_EQ(count.out, "Unique Colors: 3\n");
    const RunResult many = run({"count-colors", sample("coffee.png")});
    EXPECT_EQ(many.status, 0);
    EXPECT_EQ(many.out.rfind("Unique Colors: ", 0), 0u);
}

TEST_F(BatchFiles, ApplyMatchesTheEngineBitForBitAndChecksItsArguments)
{
    const std::string out = file("blur.tif");
    const RunResult r = run({"apply", sample("chelsea.png"), out, "blur", "method=gaussian", "radius=4",
                             "--amount", "60"});
    ASSERT_EQ(r.status, 0) << r.err;

    const mv::Operation* op = mv::operation_find("blur");
    ASSERT_NE(op, nullptr);
    mv::OperationValues values = mv::operation_defaults(*op);
    std::string message;
    ASSERT_TRUE(mv::operation_set(*op, values, "method", "Gaussian", message));
    ASSERT_TRUE(mv::operation_set(*op, values, "radius", "4", message));
    mv::Image expected;
    ASSERT_EQ(mv::operation_apply(*op, values, load(sample("chelsea.png")), expected, 614), 0);
    EXPECT_TRUE(same_pixels(load(out), expected));

    const RunResult list = run({"list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("method=blur|blur-more|gaussian|median-3x3|median-5x5"), std::string::npos);

    EXPECT_EQ(run({"apply", sample("chelsea.png"), out, "blur", "radius=999"}).status, 2);
    EXPECT_EQ(run({"apply", sample("chelsea.png"), out, "blur", "colour=red"}).status, 2);
    EXPECT_EQ(run({"apply", sample("chelsea.png"), out, "no-such-operation"}).status, 2);
    EXPECT_EQ(run({"apply", sample("chelsea.png"), out, "brightness", "--amount", "150"}).status, 2);

    // Saturation takes colour pictures only: a gray input is refused with error 14.
    const std::string gray = file("gray.png");
    mv::Image g;
    ASSERT_EQ(mv::image_alloc(g, mv::IMAGE_GRAY, 8, 8, 72.0), 0);
    for (int y = 0; y < 8; ++y)
        std::memset(g.row(y), y * 30, 8);
    ASSERT_EQ(mv::file_save_path(gray, mv::save_filter_from_extension(gray), g), 0);
    const RunResult refused = run({"apply", gray, file("s.png"), "saturation", "--amount", "20"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Illegal input image type (error 14)"), std::string::npos);
}
