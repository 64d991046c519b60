#include "slideshow/avi_export.h"
#include "slideshow/slide_show.h"

#include "core/error.h"
#include "formats/file_io.h"
#include "slideshow_test_support.h"
#include "test_messages.h"
#include "test_progress.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

using namespace mv;
using mv::test::RecordingMessageSink;
using mv::test::TempFolder;
using namespace slidetest;

namespace {

// What libavformat finds in an AVI file: the video's format, its packets and the first
// pixel of the last picture.
struct AviFacts {
    bool opened = false;
    int width = 0, height = 0;
    int pixel_format = -1;
    int bits = 0;
    long long frames = 0;          // the video's frame count
    long long pictures = 0;        // packets that carry a picture
    long long last_picture_pts = -1;
    bool last_black = false;
    std::vector<std::uint8_t> first;   // the first picture as gray, rows top first
    int audio_rate = 0;
    long long audio_bytes = 0;
};

// The picture as 8-bit gray, rows top first.
std::vector<std::uint8_t> gray_of(const AVFrame* frame)
{
    SwsContext* sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                     frame->width, frame->height, AV_PIX_FMT_GRAY8, SWS_POINT,
                                     nullptr, nullptr, nullptr);
    std::vector<std::uint8_t> gray(std::size_t(frame->width) * frame->height);
    std::uint8_t* planes[4] = {gray.data()};
    int strides[4] = {frame->width};
    sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
    sws_freeContext(sws);
    return gray;
}

// True when the picture is black: no gray level above 8.
bool is_black(const AVFrame* frame)
{
    const std::vector<std::uint8_t> gray = gray_of(frame);
    return !gray.empty() && *std::max_element(gray.begin(), gray.end()) <= 8;
}

AviFacts inspect(const std::string& path)
{
    AviFacts f;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0)
        return f;
    avformat_find_stream_info(fmt, nullptr);
    const int v = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int a = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (v < 0) {
        avformat_close_input(&fmt);
        return f;
    }
    const AVCodecParameters* par = fmt->streams[v]->codecpar;
    f.opened = true;
    f.width = par->width;
    f.height = par->height;
    f.pixel_format = par->format;
    f.bits = par->bits_per_coded_sample;
    f.frames = fmt->streams[v]->nb_frames;
    if (a >= 0)
        f.audio_rate = fmt->streams[a]->codecpar->sample_rate;

    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(dec, par);
    avcodec_open2(dec, codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == a)
            f.audio_bytes += pkt->size;
        if (pkt->stream_index == v && pkt->size > 0) {
            ++f.pictures;
            f.last_picture_pts = pkt->pts;
            if (avcodec_send_packet(dec, pkt) >= 0)
                while (avcodec_receive_frame(dec, frame) >= 0) {
                    if (f.first.empty())
                        f.first = gray_of(frame);
                    f.last_black = is_black(frame);
                }
        }
        av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    while (avcodec_receive_frame(dec, frame) >= 0)
        f.last_black = is_black(frame);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
    return f;
}

} // namespace

TEST(AviExport, AnAllGrayShowIsEightBitVideo)
{
    TempFolder temp;
    RecordingMessageSink messages;
    SlideShow show(temp.path());
    show.size_index = 0; // 320x240
    show.duration = 2;
    Image top_white = gray_picture(32, 24, 0);
    for (int y = 12; y < 24; ++y) // row 0 is the bottom row
        std::fill_n(top_white.row(y), 32, 255);
    ASSERT_EQ(slideshow_add_picture(show, top_white), 0);
    ASSERT_EQ(slideshow_add_picture(show, gray_picture(400, 300)), 0);
    slideshow_set_slide_duration(show, 1, 1);
    const std::string path = temp.file("gray.avi");
    ASSERT_EQ(avi_export(show, path, "rawvideo"), 0);

    const AviFacts f = inspect(path);
    ASSERT_TRUE(f.opened);
    EXPECT_EQ(f.width, 320);
    EXPECT_EQ(f.height, 240);
    EXPECT_EQ(f.bits, 8);
    EXPECT_TRUE(f.pixel_format == AV_PIX_FMT_GRAY8 || f.pixel_format == AV_PIX_FMT_PAL8)
        << f.pixel_format;
    EXPECT_EQ(f.frames, 3 * 30 + 1); // slides at frames 0 and 60, the black frame at 90
    EXPECT_EQ(f.pictures, 3);
    EXPECT_EQ(f.last_picture_pts, 90);
    EXPECT_TRUE(f.last_black);
    ASSERT_EQ(f.first.size(), 320u * 240u);
    EXPECT_EQ(f.first[0], 0);                  // black around the centred slide
    EXPECT_EQ(f.first[108 * 320 + 160], 255);  // its top half is white
    EXPECT_EQ(f.first[130 * 320 + 160], 0);
    EXPECT_EQ(f.audio_rate, 0);
    EXPECT_TRUE(messages.messages.empty());
}

TEST(AviExport, ColourSoundsAndCompressors)
{
    TempFolder temp;
    RecordingMessageSink messages;
    SlideShow show(temp.path());
    show.size_index = 0;
    show.duration = 1;
    ASSERT_EQ(slideshow_add_picture(show, gray_picture(16, 16)), 0);
    ASSERT_EQ(slideshow_add_picture(show, color_picture(64, 48)), 0);
    const std::string wav = temp.file("a.wav");
    mv::test::write_bytes(wav, wav_bytes(8000, 1, 12000)); // 1.5 s: runs into slide 2
    ASSERT_EQ(slideshow_set_sound(show, 0, wav), 0);

    const std::vector<AviCompressor> list = avi_compressors();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].label, "Uncompressed");
    for (const AviCompressor& c : list) {
        const std::string path = temp.file(c.name + ".avi");
        ASSERT_EQ(avi_export(show, path, c.name), 0) << c.name;
        const AviFacts f = inspect(path);
        EXPECT_TRUE(f.opened) << c.name;
        EXPECT_EQ(f.pictures, 3) << c.name;
        EXPECT_TRUE(f.last_black) << c.name;
        EXPECT_EQ(f.audio_rate, 8000) << c.name;
        EXPECT_EQ(f.audio_bytes, 16000 * 2) << c.name; // the sound, then silence to the end
        if (c.name == "rawvideo") {
            EXPECT_EQ(f.bits, 24);
        }
    }

    // A second sound at another rate cannot join the stream; nothing is left behind.
    mv::test::write_bytes(wav, wav_bytes(11025, 1, 100));
    ASSERT_EQ(slideshow_set_sound(show, 1, wav), 0);
    const std::string path = temp.file("mixed.avi");
    EXPECT_EQ(avi_export(show, path, "rawvideo"), kSlideShowShown);
    EXPECT_EQ(messages.messages.back().text,
              "WAV files have different sampling rates and cannot be combined in a single AVI "
              "file");
    EXPECT_FALSE(file_exists(path));

    // Cancel stops the export and removes the partial file.
    slideshow_reset_sound(show, 1);
    mv::test::TestProgressSink progress;
    progress.cancel_during(0);
    EXPECT_EQ(avi_export(show, path, "rawvideo"), kAborted);
    EXPECT_FALSE(file_exists(path));
    EXPECT_EQ(progress.begins.back().title, "Building AVI File");
}
