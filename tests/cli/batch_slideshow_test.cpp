#include "batch_test_support.h"

#include "formats/file_io.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

const std::vector<std::string> kPictures = {"chelsea.png", "coffee.png", "refimg.jpg",
                                            "rocket.jpg"};

} // namespace

TEST_F(BatchTest, SlideshowBuildsAndExportsTheSamples)
{
    std::vector<std::string> args = {"slideshow", "build", file("show.ss"), "--size", "320x240",
                                     "--duration", "1", "--quality", "high"};
    for (const std::string& p : kPictures)
        args.push_back(sample(p));
    const RunResult built = run(args);
    ASSERT_EQ(built.status, 0) << built.err;
    for (const char* name : {"show.ss", "show.t01", "show.s01", "show.t04", "show.s04"})
        EXPECT_TRUE(mv::file_exists(file(name))) << name;
    EXPECT_FALSE(mv::file_exists(file("show.s05")));
    const mv::Image slide = load(file("show.s02"));
    EXPECT_LE(slide.width, 320);
    EXPECT_LE(slide.height, 240);

    const RunResult exported = run({"slideshow", "export", file("show.ss"), file("show.avi")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    AVFormatContext* fmt = nullptr;
    ASSERT_GE(avformat_open_input(&fmt, file("show.avi").c_str(), nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(fmt, nullptr), 0);
    const int v = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    ASSERT_GE(v, 0);
    EXPECT_EQ(fmt->streams[v]->codecpar->width, 320);
    EXPECT_EQ(fmt->streams[v]->codecpar->height, 240);
    EXPECT_EQ(fmt->streams[v]->codecpar->bits_per_coded_sample, 24);
    EXPECT_EQ(fmt->streams[v]->nb_frames, 4 * 30 + 1);
    avformat_close_input(&fmt);
}

TEST_F(BatchTest, SlideshowReportsBadArguments)
{
    EXPECT_EQ(run({"slideshow", "build", file("show.jpg"), sample("coffee.png")}).status, 2);
    EXPECT_EQ(run({"slideshow", "build", file("show.ss"), sample("coffee.png"), "--size",
                   "10x10"})
                  .status,
              2);
    EXPECT_EQ(run({"slideshow", "export", file("a.ss"), file("a.avi"), "--compressor", "none"})
                  .status,
              2);
    EXPECT_EQ(run({"slideshow", "play"}).status, 2);

    const RunResult missing = run({"slideshow", "build", file("show.ss"), file("none.png")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("File does not exist"), std::string::npos) << missing.err;

    const std::string bad = file("bad.ss");
    mv::FileHandle f;
    ASSERT_EQ(mv::file_create(bad, f), 0);
    ASSERT_EQ(mv::file_write_line(f, "SlideShow 9.9"), 0);
    f.close();
    const RunResult illegal = run({"slideshow", "export", bad, file("bad.avi")});
    EXPECT_EQ(illegal.status, 1);
    EXPECT_NE(illegal.err.find("Illegal overview file"), std::string::npos) << illegal.err;
}
