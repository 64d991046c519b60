// AVI export through libavformat and libavcodec.
#include "avi_export.h"

#include "avi_audio.h"
#include "slide_files.h"
#include "video_library.h"

#include "core/error.h"
#include "core/progress.h"
#include "formats/file_io.h"


#include <algorithm>
#include <cstring>

namespace mv {
namespace {

struct Candidate {
    const char* name;
    const char* label;
};

// The compressors offered when the library has them, in the order the dialog lists them.
constexpr Candidate kCandidates[] = {
    {"rawvideo", "Uncompressed"},
    {"mjpeg", "Motion JPEG"},
    {"ffv1", "FFV1 (lossless)"},
    {"huffyuv", "HuffYUV (lossless)"},
    {"utvideo", "Ut Video (lossless)"},
    {"png", "PNG (lossless)"},
    {"zmbv", "Zip Motion Blocks (lossless)"},
    {"mpeg4", "MPEG-4 Part 2"},
};

constexpr int kAudioChunk = 4096; // sample frames per audio packet

// The video library's functions; only called once video_library() has loaded them.
const VideoLibrary& ff()
{
    return *video_library();
}

bool offered(const char* name)
{
    const AVCodec* codec = ff().avcodec_find_encoder_by_name(name);
    const AVOutputFormat* avi = ff().av_guess_format("avi", nullptr, nullptr);
    return codec && avi && codec->type == AVMEDIA_TYPE_VIDEO &&
           ff().avformat_query_codec(avi, codec->id, FF_COMPLIANCE_NORMAL) == 1;
}

bool lists(const AVCodec* codec, AVPixelFormat format)
{
    if (!codec->pix_fmts)
        return false;
    for (const AVPixelFormat* f = codec->pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
        if (*f == format)
            return true;
    return false;
}

// Gray slides are built as 8-bit gray, or as 8-bit indices into a gray palette (the form
// uncompressed 8-bit video files take) when the compressor takes those and no gray.
AVPixelFormat source_format(const AVCodec* codec, bool gray)
{
    if (!gray)
        return AV_PIX_FMT_BGR24;
    if (!lists(codec, AV_PIX_FMT_GRAY8) && (!codec->pix_fmts || lists(codec, AV_PIX_FMT_PAL8)))
        return AV_PIX_FMT_PAL8;
    return AV_PIX_FMT_GRAY8;
}

// Chooses the encoder's pixel format closest to the frames we build.
AVPixelFormat encoder_format(const AVCodec* codec, AVPixelFormat source)
{
    if (!codec->pix_fmts || lists(codec, source))
        return source;
    return ff().avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, source, 0, nullptr);
}

bool full_range(AVPixelFormat f)
{
    return f == AV_PIX_FMT_YUVJ420P || f == AV_PIX_FMT_YUVJ422P || f == AV_PIX_FMT_YUVJ444P;
}

// Everything the export allocates from the libraries, freed on every path.
struct Writer {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVStream* video_stream = nullptr;
    AVStream* audio_stream = nullptr;
    AVFrame* frame = nullptr;    // the slide as we build it: gray or blue-green-red
    AVFrame* encoded = nullptr;  // in the encoder's format when that differs
    SwsContext* scale = nullptr;
    AVPacket* packet = nullptr;
    bool file_open = false;
    bool header_written = false;

    ~Writer()
    {
        if (header_written)
            ff().av_write_trailer(format);
        if (file_open)
            ff().avio_closep(&format->pb);
        ff().sws_freeContext(scale);
        ff().av_frame_free(&frame);
        ff().av_frame_free(&encoded);
        ff().av_packet_free(&packet);
        ff().avcodec_free_context(&video);
        ff().avformat_free_context(format);
    }
};

// A failure of the video library; cancels and our own failures keep their codes.
constexpr int kLibraryFailed = -2;

int open_video(Writer& w, const std::string& compressor, int width, int height, bool gray)
{
    const AVCodec* codec = ff().avcodec_find_encoder_by_name(compressor.c_str());
    if (!codec || !offered(compressor.c_str()))
        return kLibraryFailed;
    const AVPixelFormat source = source_format(codec, gray);
    w.video = ff().avcodec_alloc_context3(codec);
    w.video_stream = ff().avformat_new_stream(w.format, nullptr);
    if (!w.video || !w.video_stream)
        return kLibraryFailed;
    AVCodecContext* c = w.video;
    c->width = width;
    c->height = height;
    c->time_base = {1, kAviFramesPerSecond};
    c->framerate = {kAviFramesPerSecond, 1};
    c->pix_fmt = encoder_format(codec, source);
    c->gop_size = 1 << 30; // key frames are requested per slide
    c->max_b_frames = 0;
    if (full_range(c->pix_fmt))
        c->color_range = AVCOL_RANGE_JPEG;
    if (!(codec->capabilities & AV_CODEC_CAP_LOSSLESS) && std::strcmp(codec->name, "rawvideo")) {
        c->flags |= AV_CODEC_FLAG_QSCALE; // fixed high quality for lossy compressors
        c->global_quality = FF_QP2LAMBDA * 2;
    }
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (ff().avcodec_open2(c, codec, nullptr) < 0 ||
        ff().avcodec_parameters_from_context(w.video_stream->codecpar, c) < 0)
        return kLibraryFailed;
    w.video_stream->time_base = c->time_base;
    w.video_stream->avg_frame_rate = c->framerate;

    w.frame = ff().av_frame_alloc();
    w.packet = ff().av_packet_alloc();
    if (!w.frame || !w.packet)
        return kLibraryFailed;
    w.frame->format = source;
    w.frame->width = width;
    w.frame->height = height;
    if (ff().av_frame_get_buffer(w.frame, 0) < 0)
        return kLibraryFailed;
    if (c->pix_fmt != source) {
        w.encoded = ff().av_frame_alloc();
        if (!w.encoded)
            return kLibraryFailed;
        w.encoded->format = c->pix_fmt;
        w.encoded->width = width;
        w.encoded->height = height;
        w.scale = ff().sws_getContext(width, height, source, width, height, c->pix_fmt, SWS_BICUBIC,
                                 nullptr, nullptr, nullptr);
        if (ff().av_frame_get_buffer(w.encoded, 0) < 0 || !w.scale)
            return kLibraryFailed;
    }
    return kOk;
}

int open_audio(Writer& w, const AviSoundTrack& track)
{
    w.audio_stream = ff().avformat_new_stream(w.format, nullptr);
    if (!w.audio_stream)
        return kLibraryFailed;
    AVCodecParameters* p = w.audio_stream->codecpar;
    p->codec_type = AVMEDIA_TYPE_AUDIO;
    p->codec_id = AV_CODEC_ID_PCM_S16LE;
    p->format = AV_SAMPLE_FMT_S16;
    p->sample_rate = track.sample_rate();
    ff().av_channel_layout_default(&p->ch_layout, track.channels());
    p->bits_per_coded_sample = 16;
    p->block_align = 2 * track.channels();
    p->bit_rate = std::int64_t(track.sample_rate()) * track.channels() * 16;
    w.audio_stream->time_base = {1, track.sample_rate()};
    return kOk;
}

int write_packets(Writer& w)
{
    for (;;) {
        const int r = ff().avcodec_receive_packet(w.video, w.packet);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
            return kOk;
        if (r < 0)
            return kLibraryFailed;
        ff().av_packet_rescale_ts(w.packet, w.video->time_base, w.video_stream->time_base);
        w.packet->stream_index = w.video_stream->index;
        if (ff().av_interleaved_write_frame(w.format, w.packet) < 0)
            return kLibraryFailed;
    }
}

// Paints the frame black and copies `img` centred into it (rows top first).
void fill_frame(AVFrame* f, const Image* img, bool gray)
{
    const int pixel = gray ? 1 : 3;
    for (int y = 0; y < f->height; ++y)
        std::memset(f->data[0] + std::ptrdiff_t(y) * f->linesize[0], 0, std::size_t(f->width) * pixel);
    if (!img)
        return;
    const int left = (f->width - img->width) / 2;
    const int top = (f->height - img->height) / 2;
    const int x0 = std::max(0, -left), x1 = std::min(img->width, f->width - left);
    for (int sy = 0; sy < img->height; ++sy) {
        const int fy = top + sy;
        if (fy < 0 || fy >= f->height || x1 <= x0)
            continue;
        const std::uint8_t* src = img->row(img->height - 1 - sy);
        std::uint8_t* dst = f->data[0] + std::ptrdiff_t(fy) * f->linesize[0] + (left + x0) * pixel;
        if (img->type == IMAGE_COLOR || gray) {
            std::memcpy(dst, src + x0 * pixel, std::size_t(x1 - x0) * pixel);
        } else {
            for (int x = x0; x < x1; ++x, dst += 3)
                dst[0] = dst[1] = dst[2] = src[x];
        }
    }
}

int encode_frame(Writer& w, const Image* img, bool gray, std::int64_t pts)
{
    if (ff().av_frame_make_writable(w.frame) < 0)
        return kLibraryFailed;
    fill_frame(w.frame, img, gray);
    if (w.frame->format == AV_PIX_FMT_PAL8) {
        auto* palette = reinterpret_cast<std::uint32_t*>(w.frame->data[1]);
        for (std::uint32_t i = 0; i < 256; ++i)
            palette[i] = 0xFF000000u | i << 16 | i << 8 | i;
    }
    AVFrame* out = w.frame;
    if (w.encoded) {
        if (ff().av_frame_make_writable(w.encoded) < 0)
            return kLibraryFailed;
        ff().sws_scale(w.scale, w.frame->data, w.frame->linesize, 0, w.frame->height,
                  w.encoded->data, w.encoded->linesize);
        out = w.encoded;
    }
    out->pts = pts;
    out->key_frame = 1;
    out->pict_type = AV_PICTURE_TYPE_I;
    if (ff().avcodec_send_frame(w.video, out) < 0)
        return kLibraryFailed;
    return write_packets(w);
}

// Writes the sound track from `written` up to sample frame `until`.
int write_audio(Writer& w, AviSoundTrack& track, std::int64_t& written, std::int64_t until)
{
    std::vector<std::int16_t> samples;
    while (written < until) {
        const int count = int(std::min<std::int64_t>(kAudioChunk, until - written));
        if (int code = track.render(written, count, samples); code != kOk)
            return code;
        const int bytes = int(samples.size() * sizeof(std::int16_t));
        if (ff().av_new_packet(w.packet, bytes) < 0)
            return kLibraryFailed;
        std::memcpy(w.packet->data, samples.data(), std::size_t(bytes));
        w.packet->pts = w.packet->dts = written;
        w.packet->duration = count;
        w.packet->flags |= AV_PKT_FLAG_KEY;
        w.packet->stream_index = w.audio_stream->index;
        ff().av_packet_rescale_ts(w.packet, AVRational{1, track.sample_rate()},
                             w.audio_stream->time_base);
        if (ff().av_interleaved_write_frame(w.format, w.packet) < 0)
            return kLibraryFailed;
        written += count;
    }
    return kOk;
}

int export_slides(Writer& w, const SlideShow& show, AviSoundTrack& track, bool gray)
{
    const int count = int(show.slides.size());
    std::int64_t seconds = 0;
    std::int64_t audio_written = 0;
    progress_begin(0, std::max(count - 1, 0), "Building AVI File", true);
    int code = kOk;
    for (int i = 0; i < count && code == kOk; ++i) {
        const Slide& slide = show.slides[i];
        Image img;
        code = slide_read_image(slide, img);
        if (code == kOk)
            code = encode_frame(w, &img, gray, seconds * kAviFramesPerSecond);
        seconds += slide_seconds(show, slide);
        if (code == kOk && w.audio_stream)
            code = write_audio(w, track, audio_written, seconds * track.sample_rate());
        if (code == kOk)
            code = progress_update(i);
    }
    progress_end();
    if (code != kOk)
        return code;
    code = encode_frame(w, nullptr, gray, seconds * kAviFramesPerSecond);
    if (code == kOk && ff().avcodec_send_frame(w.video, nullptr) < 0)
        code = kLibraryFailed;
    if (code == kOk)
        code = write_packets(w);
    if (code == kOk && w.audio_stream)
        code = write_audio(w, track, audio_written, track.end());
    return code;
}

int run_export(const SlideShow& show, const std::string& path, const std::string& compressor)
{
    AviSoundTrack track;
    if (int code = track.plan(show); code != kOk)
        return code;
    const bool gray = std::all_of(show.slides.begin(), show.slides.end(),
                                  [](const Slide& s) { return s.gray; });
    const SlideSize& size = slide_size(show.size_index);

    Writer w;
    if (ff().avformat_alloc_output_context2(&w.format, nullptr, "avi", path.c_str()) < 0 || !w.format)
        return kLibraryFailed;
    if (int code = open_video(w, compressor.empty() ? "rawvideo" : compressor, size.width,
                              size.height, gray);
        code != kOk)
        return code;
    if (!track.empty())
        if (int code = open_audio(w, track); code != kOk)
            return code;
    if (ff().avio_open(&w.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return kCannotCreateFile;
    w.file_open = true;
    if (ff().avformat_write_header(w.format, nullptr) < 0)
        return kLibraryFailed;
    w.header_written = true;
    const int code = export_slides(w, show, track, gray);
    if (code != kOk)
        return code;
    w.header_written = false;
    if (ff().av_write_trailer(w.format) < 0)
        return kLibraryFailed;
    w.file_open = false;
    if (ff().avio_closep(&w.format->pb) < 0)
        return kErrorWritingFile;
    return kOk;
}

} // namespace

std::vector<AviCompressor> avi_compressors()
{
    std::vector<AviCompressor> list;
    if (!video_library())
        return list;
    for (const Candidate& c : kCandidates)
        if (offered(c.name))
            list.push_back({c.name, c.label});
    return list;
}

bool avi_compressor_available(const std::string& name)
{
    return std::any_of(std::begin(kCandidates), std::end(kCandidates),
                       [&](const Candidate& c) { return name == c.name; }) &&
           video_library() && offered(name.c_str());
}

int avi_export(const SlideShow& show, const std::string& path, const std::string& compressor)
{
    int code = kLibraryFailed;
    if (video_library()) {
        ff().av_log_set_level(AV_LOG_QUIET);
        code = run_export(show, path, compressor);
    }
    if (code == kOk)
        return kOk;
    if (file_exists(path))
        file_delete(path);
    if (code == kLibraryFailed || code == kCannotCreateFile) {
        error_message("Error creating AVI file");
        return kSlideShowShown;
    }
    return code;
}

int slideshow_save_avi(const SlideShow& show, const std::string& path,
                       const std::string& compressor)
{
    std::string message;
    if (!avi_path_ok(path, message)) {
        error_message("%s", message);
        return kSlideShowShown;
    }
    const int code = avi_export(show, path, compressor);
    if (code == kOk)
        message_box("Save Slide Show", "Slide Show Save Completed Successfully");
    return code;
}

} // namespace mv
