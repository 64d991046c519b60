#include "slideshow/slide_files.h"
#include "slideshow/slide_overview.h"
#include "slideshow/slide_show.h"
#include "slideshow/wav_file.h"

#include "core/error.h"
#include "formats/file_io.h"
#include "slideshow_test_support.h"
#include "test_messages.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace mv;
using mv::test::RecordingMessageSink;
using mv::test::TempFolder;
using namespace slidetest;

TEST(SlideShow, CodesNamesAndSizes)
{
    EXPECT_EQ(slide_code(0), "01");
    EXPECT_EQ(slide_code(34), "0Z");
    EXPECT_EQ(slide_code(35), "10");
    EXPECT_EQ(slide_code(499), "DW");
    EXPECT_EQ(saved_slide_path("/a/show.SS", 0, 't'), "/a/show.t01");
    EXPECT_EQ(saved_slide_path("/a/show.ss", 35, 'w'), "/a/show.w10");
    EXPECT_EQ(slide_round_size(0), 0);
    EXPECT_EQ(slide_round_size(1), 512);
    EXPECT_EQ(slide_round_size(1024), 1024);
    EXPECT_EQ(slide_size_index("800x600"), 6);
    EXPECT_EQ(slide_quality_jpeg(slide_quality_index("highest")), 98);

    SlideShow empty;
    empty.save_with = kSaveRunnableViewer;
    EXPECT_EQ(slideshow_total_bytes(empty), 254464 + 512);
}

TEST(SlideShow, AddingSlidesFitsAndReducesPictures)
{
    TempFolder temp;
    RecordingMessageSink messages;
    SlideShow show(temp.path());
    show.size_index = 0; // 320x240

    Image gray16;
    image_alloc(gray16, IMAGE_GRAY16, 40, 30, 72);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            gray16.row16(y)[x] = std::uint16_t(x * 1500 + y * 100);
    ASSERT_EQ(slideshow_add_picture(show, gray16), 0);
    ASSERT_EQ(slideshow_add_picture(show, color_picture(400, 100)), 0);
    ASSERT_EQ(slideshow_add_picture(show, gray_picture(10, 10), 0), 0); // inserted first

    ASSERT_EQ(show.slides.size(), 3u);
    EXPECT_TRUE(show.modified);
    const Slide& small = show.slides[1];
    EXPECT_TRUE(small.gray);
    EXPECT_EQ(small.palette, gray_ramp_palette());
    Image img;
    ASSERT_EQ(slide_read_image(small, img), 0);
    EXPECT_EQ(img.type, IMAGE_GRAY); // a small picture keeps its size, 16 bits become 8
    EXPECT_EQ(img.width, 40);
    EXPECT_EQ(img.height, 30);
    EXPECT_EQ(small.thumbnail.width, 85);
    EXPECT_EQ(small.thumbnail.height, 64);

    const Slide& wide = show.slides[2];
    EXPECT_FALSE(wide.gray);
    EXPECT_EQ(wide.width, 320);
    EXPECT_EQ(wide.height, 80);
    EXPECT_EQ(wide.thumbnail.width, 96);
    EXPECT_EQ(wide.thumbnail.height, 24);
    EXPECT_NE(wide.palette, gray_ramp_palette());

    long long sum = 0;
    for (const Slide& s : show.slides) {
        EXPECT_EQ(s.size % 512, 0);
        EXPECT_GT(s.size, 0);
        sum += s.size;
    }
    show.save_with = kSaveNoViewer;
    EXPECT_EQ(slideshow_total_bytes(show), sum + 2560); // 15 + 3 x 784 overview bytes

    // Moving, removing and closing keep the working files in step.
    const std::string removed = show.slides[0].slide_file;
    slideshow_move(show, 0, 2);
    EXPECT_EQ(show.slides[2].slide_file, removed);
    slideshow_remove(show, 2);
    EXPECT_FALSE(file_exists(removed));
    slideshow_clear(show);
    EXPECT_TRUE(temp.names().empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST(SlideShow, TheFiveHundredAndFirstSlideIsRefused)
{
    TempFolder temp;
    RecordingMessageSink messages;
    SlideShow show(temp.path());
    show.slides.resize(kSlideMax); // placeholders without working files
    EXPECT_EQ(slideshow_add_picture(show, gray_picture(8, 8)), kSlideShowShown);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Too many slides");
    EXPECT_EQ(show.slides.size(), size_t(kSlideMax));
    EXPECT_TRUE(temp.names().empty());
}

TEST(SlideShow, SaveAndLoadKeepEverySlide)
{
    TempFolder temp, work;
    RecordingMessageSink messages(kResultYes);
    SlideShow show(work.path());
    show.save_with = kSaveNoViewer;
    show.duration = 7;
    ASSERT_EQ(slideshow_add_picture(show, gray_picture(30, 20)), 0);
    ASSERT_EQ(slideshow_add_picture(show, color_picture(50, 40)), 0);
    slideshow_set_caption(show, 0, "He said \"cheese\" twice");
    slideshow_set_description(show, 0, std::string("two\r\nlines\0and a zero", 22));
    slideshow_set_loop(show, 1, true);
    slideshow_set_slide_duration(show, 1, 12);
    const std::string wav = temp.file("in.wav");
    mv::test::write_bytes(wav, wav_bytes(8000, 1, 100));
    ASSERT_EQ(slideshow_set_sound(show, 1, wav), 0);
    EXPECT_TRUE(slide_has_sound(show.slides[1]));

    const std::string path = temp.file("show.ss");
    ASSERT_EQ(slideshow_save(show, path, ""), 0);
    EXPECT_FALSE(show.modified);
    for (const char* name : {"show.t01", "show.s01", "show.t02", "show.s02", "show.w02"})
        EXPECT_TRUE(file_exists(temp.file(name))) << name;
    EXPECT_FALSE(file_exists(temp.file("show.w01")));
    EXPECT_EQ(messages.messages.back().text, "Slide Show Save Completed Successfully");

    SlideShow loaded(work.path());
    ASSERT_EQ(slideshow_load(loaded, path), 0);
    ASSERT_EQ(loaded.slides.size(), 2u);
    EXPECT_EQ(loaded.duration, 7);
    EXPECT_EQ(loaded.size_index, 0); // 320x240 holds both slides
    EXPECT_EQ(loaded.slides[0].caption, "He said \"cheese\" twice");
    EXPECT_EQ(loaded.slides[0].description, show.slides[0].description);
    EXPECT_FALSE(loaded.slides[0].loop);
    EXPECT_TRUE(loaded.slides[1].loop);
    EXPECT_EQ(loaded.slides[1].duration, 12);
    EXPECT_TRUE(slide_has_sound(loaded.slides[1]));
    EXPECT_FALSE(slide_has_sound(loaded.slides[0]));
    EXPECT_EQ(loaded.slides[1].palette, show.slides[1].palette);
    EXPECT_TRUE(loaded.slides[0].gray);
    EXPECT_EQ(loaded.slides[1].width, 50);
    EXPECT_EQ(loaded.slides[1].thumbnail.width, 80);
    EXPECT_NE(loaded.slides[0].slide_file, show.slides[0].slide_file);

    // Saving over it asks first; a shorter show leaves no old slide files behind.
    slideshow_remove(show, 1);
    ASSERT_EQ(slideshow_save(show, path, ""), 0);
    EXPECT_EQ(messages.messages[messages.messages.size() - 2].text,
              "Slide show already exists; delete it?");
    EXPECT_FALSE(file_exists(temp.file("show.s02")));
    EXPECT_FALSE(file_exists(temp.file("show.w02")));

    // Loading over slides asks; No keeps them.
    RecordingMessageSink refuse(kResultNo);
    EXPECT_EQ(slideshow_load(loaded, path), kAborted);
    EXPECT_EQ(loaded.slides.size(), 2u);
}

TEST(SlideShow, BadNamesAndFilesAreReported)
{
    TempFolder temp;
    RecordingMessageSink messages(kResultYes);
    SlideShow show(temp.path());
    EXPECT_EQ(slideshow_save(show, temp.file("show.jpg"), ""), kSlideShowShown);
    EXPECT_EQ(messages.messages.back().text, "Slide show pathnames must have an extension of .ss");
    std::string message;
    EXPECT_FALSE(avi_path_ok("movie.mp4", message));
    EXPECT_EQ(message, "AVI file pathnames must have an extension of .avi");

    const auto illegal = [&](const std::string& text) {
        const std::string path = temp.file("bad.ss");
        mv::test::write_bytes(path, mv::test::Bytes(text.begin(), text.end()));
        Overview o;
        messages.messages.clear();
        const int code = overview_read(path, o);
        return code == kSlideShowShown && messages.messages.size() == 1 &&
               messages.messages[0].text == "Illegal overview file";
    };
    EXPECT_TRUE(illegal("SlideShow 2.0\r\nend\r\n"));
    EXPECT_TRUE(illegal("SlideShow 1.0 extra\r\nend\r\n"));
    EXPECT_TRUE(illegal("SlideShow 1.0\r\nnslides 1\r\ncaption 0 \"a\" single 0\r\n"));
    EXPECT_TRUE(illegal("SlideShow 1.0\r\ndescription 0 5000\r\nabc\r\nend\r\n"));
    EXPECT_TRUE(illegal("SlideShow 1.0\r\ncaption 500 \"a\" single 0\r\nend\r\n"));
    EXPECT_TRUE(illegal(""));
    EXPECT_FALSE(illegal("SlideShow 1.0\r\nnslides 1\r\nunknown line\r\nend\r\n"));

    // A show whose slide files are missing loads nothing and says which slide failed.
    EXPECT_EQ(slideshow_load(show, temp.file("bad.ss")), kSlideShowShown);
    EXPECT_EQ(messages.messages.back().text, "Error copying thumbnail for slide 1");
    EXPECT_TRUE(show.slides.empty());

    EXPECT_EQ(slideshow_add_file(show, temp.file("none.png")), kSlideShowShown);
    EXPECT_EQ(messages.messages.back().text, "File does not exist: " + temp.file("none.png"));
}

TEST(SlideShow, WavFilesAreCheckedAndConverted)
{
    TempFolder temp;
    const std::string path = temp.file("s.wav");
    mv::test::write_bytes(path, wav_bytes(11025, 2, 10, 8));
    WavSound sound;
    std::string problem;
    ASSERT_EQ(wav_read(path, sound, problem), 0);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sample_rate, 11025);
    EXPECT_EQ(sound.frames(), 10);
    EXPECT_EQ(sound.samples[1], (129 - 128) * 256);

    mv::test::Bytes bytes = wav_bytes(8000, 1, 100);
    mv::test::write_bytes(path, mv::test::Bytes(bytes.begin(), bytes.begin() + 100));
    EXPECT_EQ(wav_read(path, sound, problem), kErrorReadingFile);
    EXPECT_EQ(problem, "the data chunk runs past the end of the file");
    bytes[20] = 2; // ADPCM
    mv::test::write_bytes(path, bytes);
    EXPECT_EQ(wav_read(path, sound, problem), kErrorReadingFile);
    EXPECT_EQ(problem, "unsupported sample format (compressed sound)");
    mv::test::write_bytes(path, mv::test::Bytes(12, 'x'));
    EXPECT_EQ(wav_read(path, sound, problem), kErrorReadingFile);
    EXPECT_EQ(problem, "not a RIFF/WAVE file");

    RecordingMessageSink messages;
    SlideShow show(temp.path());
    ASSERT_EQ(slideshow_add_picture(show, gray_picture(8, 8)), 0);
    EXPECT_EQ(slideshow_set_sound(show, 0, path), kSlideShowShown);
    EXPECT_EQ(messages.messages.back().text, "Illegal WAV file: not a RIFF/WAVE file");
    EXPECT_FALSE(slide_has_sound(show.slides[0]));
}

TEST(SlideShow, DamagedOverviewAndWavFilesNeverCrash)
{
    TempFolder temp;
    RecordingMessageSink messages;
    Overview o;
    o.slides.resize(3);
    o.slides[1].caption = "x\"y";
    o.slides[2].description = "some words";
    const std::string ss = temp.file("a.ss"), wav = temp.file("a.wav");
    ASSERT_EQ(overview_write(ss, o), 0);
    const mv::test::Bytes good_ss = mv::test::read_bytes(ss);
    const mv::test::Bytes good_wav = wav_bytes(8000, 2, 50);
    std::uint32_t seed = 12345;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int round = 0; round < 100; ++round) {
        for (const auto* good : {&good_ss, &good_wav}) {
            mv::test::Bytes b = *good;
            for (int k = 0; k < 4; ++k)
                b[next() % b.size()] = std::uint8_t(next());
            if (next() % 4 == 0)
                b.resize(next() % b.size());
            if (good == &good_ss) {
                mv::test::write_bytes(ss, b);
                Overview read;
                const int code = overview_read(ss, read);
                EXPECT_TRUE(code == 0 || code == kSlideShowShown) << code;
                EXPECT_LE(read.slides.size(), size_t(kSlideMax));
            } else {
                mv::test::write_bytes(wav, b);
                WavSound sound;
                std::string problem;
                const int code = wav_read(wav, sound, problem);
                EXPECT_TRUE(code == 0 || (code == kErrorReadingFile && !problem.empty()));
            }
        }
    }
}
