#include "platform/dshow/stream_decoder.h"

extern "C" {
#include <libavutil/log.h>
}

namespace dshow {

bool StreamDecoder::OpenStream(const std::string& hostPath, AVMediaType type, std::string& error) {
    // Damaged files are expected here; their reasons go to `error`, not to standard error.
    av_log_set_level(AV_LOG_QUIET);
    if (!m_frame || !m_packet) {
        error = "out of memory";
        return false;
    }
    AVDictionary* options = nullptr;
    // Only local files: a hostile playlist must not reach out to the network.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, hostPath.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        error = "cannot open the file";
        return false;
    }
    m_format.reset(raw);
    if (avformat_find_stream_info(m_format.get(), nullptr) < 0) {
        error = "cannot read the stream information";
        return false;
    }
    m_streamIndex = av_find_best_stream(m_format.get(), type, -1, -1, nullptr, 0);
    if (m_streamIndex < 0) {
        error = type == AVMEDIA_TYPE_VIDEO ? "no video stream" : "no audio stream";
        return false;
    }
    return true;
}

bool StreamDecoder::OpenDecoder(std::string& error) {
    const AVCodecParameters& parameters = *Stream().codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters.codec_id);
    if (!decoder) {
        error = "no decoder for the codec";
        return false;
    }
    m_codec.reset(avcodec_alloc_context3(decoder));
    if (!m_codec || avcodec_parameters_to_context(m_codec.get(), &parameters) < 0) {
        error = "cannot set up the decoder";
        return false;
    }
    // The engine is single-threaded and the streams are small: one decoding thread is enough.
    m_codec->thread_count = 1;
    if (avcodec_open2(m_codec.get(), decoder, nullptr) < 0) {
        error = "cannot open the decoder";
        return false;
    }
    return true;
}

// Sends the next packet of the stream, or the end-of-stream marker; false when even that has
// been sent.
bool StreamDecoder::FeedDecoder() {
    while (av_read_frame(m_format.get(), m_packet.get()) >= 0) {
        const bool ours = m_packet->stream_index == m_streamIndex;
        // A damaged packet is skipped; the decoder resynchronises on a later one.
        const int sent = ours ? avcodec_send_packet(m_codec.get(), m_packet.get()) : -1;
        av_packet_unref(m_packet.get());
        if (sent >= 0) {
            return true;
        }
    }
    return avcodec_send_packet(m_codec.get(), nullptr) >= 0;
}

bool StreamDecoder::DecodeNext() {
    for (;;) {
        const int received = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (received >= 0) {
            return true;
        }
        if (received != AVERROR(EAGAIN) || !FeedDecoder()) {
            return false;
        }
    }
}

}  // namespace dshow
