#pragma once
// One stream of a local media file with its decoder: the part that reading pictures and reading
// sound have in common.

#include <string>

#include "platform/dshow/ffmpeg_handles.h"

namespace dshow {

class StreamDecoder {
public:
    // Opens the file (local files only) and picks its best stream of the type; false, with the
    // reason in `error`, when there is none.
    bool OpenStream(const std::string& hostPath, AVMediaType type, std::string& error);
    // Opens the decoder of the chosen stream.
    bool OpenDecoder(std::string& error);
    // The next decoded frame of the stream into Frame(); false at the end or on a dead decoder.
    bool DecodeNext();

    AVFormatContext& Format() const { return *m_format; }
    const AVStream& Stream() const { return *m_format->streams[m_streamIndex]; }
    int StreamIndex() const { return m_streamIndex; }
    AVCodecContext& Codec() const { return *m_codec; }
    AVFrame& Frame() const { return *m_frame; }
    AVPacket& Packet() const { return *m_packet; }

private:
    bool FeedDecoder();

    FormatHandle m_format;
    CodecHandle m_codec;
    FrameHandle m_frame{av_frame_alloc()};
    PacketHandle m_packet{av_packet_alloc()};
    int m_streamIndex = -1;
};

}  // namespace dshow
