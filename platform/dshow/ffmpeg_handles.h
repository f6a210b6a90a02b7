#pragma once
// Owning handles for FFmpeg's objects, so every path out of a function frees what it made.

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace dshow {

struct FormatDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScaleDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct ResampleDeleter {
    void operator()(SwrContext* context) const { swr_free(&context); }
};

using FormatHandle = std::unique_ptr<AVFormatContext, FormatDeleter>;
using CodecHandle = std::unique_ptr<AVCodecContext, CodecDeleter>;
using FrameHandle = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketHandle = std::unique_ptr<AVPacket, PacketDeleter>;
using ScaleHandle = std::unique_ptr<SwsContext, ScaleDeleter>;
using ResampleHandle = std::unique_ptr<SwrContext, ResampleDeleter>;

}  // namespace dshow
