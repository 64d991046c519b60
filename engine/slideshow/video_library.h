// FFmpeg (libavformat, libavcodec, libavutil, libswscale), opened on first use (see
// core/shared_library.h): the functions AVI export calls, as a table of pointers.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#define MV_VIDEO_FUNCTIONS(X)                                                                      \
    X(av_channel_layout_default) X(av_frame_alloc) X(av_frame_free) X(av_frame_get_buffer)         \
    X(av_frame_make_writable) X(av_guess_format) X(av_interleaved_write_frame)                    \
    X(av_log_set_level) X(av_new_packet) X(av_packet_alloc) X(av_packet_free)                     \
    X(av_packet_rescale_ts) X(av_write_trailer) X(avcodec_alloc_context3)                         \
    X(avcodec_find_best_pix_fmt_of_list) X(avcodec_find_encoder_by_name) X(avcodec_free_context)  \
    X(avcodec_open2) X(avcodec_parameters_from_context) X(avcodec_receive_packet)                 \
    X(avcodec_send_frame) X(avformat_alloc_output_context2) X(avformat_free_context)              \
    X(avformat_new_stream) X(avformat_query_codec) X(avformat_write_header) X(avio_closep)        \
    X(avio_open) X(sws_freeContext) X(sws_getContext) X(sws_scale)

namespace mv {

struct VideoLibrary {
#define MV_VIDEO_POINTER(name) decltype(&::name) name = nullptr;
    MV_VIDEO_FUNCTIONS(MV_VIDEO_POINTER)
#undef MV_VIDEO_POINTER
};

// The loaded libraries, or nullptr when one cannot be loaded or lacks one of the functions.
const VideoLibrary* video_library();

} // namespace mv
