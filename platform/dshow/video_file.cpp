#include "platform/dshow/video_file.h"

#include <cmath>

#include "platform/win32/files.h"

#include "platform/dshow/ffmpeg_handles.h"

extern "C" {
#include <libavutil/log.h>
}

namespace dshow {

namespace {

// A hostile file must not make the opening pass read for ever.
constexpr long kMaxFrameCount = 1L << 24;
constexpr double kDefaultFrameRate = 25.0;
constexpr double kMaxFrameRate = 1000.0;

struct FormatDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

double UsableRate(AVRational rate) {
    if (rate.num <= 0 || rate.den <= 0) {
        return 0.0;
    }
    const double value = av_q2d(rate);
    return value <= kMaxFrameRate ? value : 0.0;
}

double StreamFrameRate(const AVStream& stream) {
    if (const double average = UsableRate(stream.avg_frame_rate); average > 0.0) {
        return average;
    }
    if (const double real = UsableRate(stream.r_frame_rate); real > 0.0) {
        return real;
    }
    return kDefaultFrameRate;
}

}  // namespace

int DibPitch(int width) {
    return (width * 3 + 3) & ~3;
}

struct VideoFile::Impl {
    std::unique_ptr<AVFormatContext, FormatDeleter> format;
    CodecHandle codec;
    FrameHandle frame{av_frame_alloc()};
    PacketHandle packet{av_packet_alloc()};
    ScaleHandle scaler;
    int streamIndex = -1;
    int width = 0;
    int height = 0;
    double frameRate = kDefaultFrameRate;
    long frameCount = 0;
    bool hasAudio = false;
    bool hasTimestamps = true;
    std::int64_t startTime = 0;
    long nextIndex = 0;  // the number the next decoded frame gets when it carries no time

    bool OpenFile(const std::string& hostPath, std::string& error);
    bool OpenDecoder(std::string& error);
    void CountFrames();
    bool SeekToStart();
    bool SeekTo(long index);
    bool FeedDecoder();
    bool DecodeNext();
    long IndexOfDecoded();
    bool Convert(DibFrame& out);
};

bool VideoFile::Impl::OpenFile(const std::string& hostPath, std::string& error) {
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
    format.reset(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        error = "cannot read the stream information";
        return false;
    }
    streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (streamIndex < 0) {
        error = "no video stream";
        return false;
    }
    hasAudio = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
    const AVStream& stream = *format->streams[streamIndex];
    frameRate = StreamFrameRate(stream);
    startTime = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
    return true;
}

bool VideoFile::Impl::OpenDecoder(std::string& error) {
    const AVCodecParameters& parameters = *format->streams[streamIndex]->codecpar;
    width = parameters.width;
    height = parameters.height;
    if (width <= 0 || height <= 0 || width > kMaxVideoDimension || height > kMaxVideoDimension) {
        error = "unusable picture size";
        return false;
    }
    const AVCodec* decoder = avcodec_find_decoder(parameters.codec_id);
    if (!decoder) {
        error = "no decoder for the video codec";
        return false;
    }
    codec.reset(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), &parameters) < 0) {
        error = "cannot set up the decoder";
        return false;
    }
    // The engine is single-threaded and frames are small: one decoding thread is enough.
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        error = "cannot open the decoder";
        return false;
    }
    return true;
}

void VideoFile::Impl::CountFrames() {
    frameCount = 0;
    while (frameCount < kMaxFrameCount && av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == streamIndex) {
            ++frameCount;
            if (packet->pts == AV_NOPTS_VALUE && packet->dts == AV_NOPTS_VALUE) {
                hasTimestamps = false;
            }
        }
        av_packet_unref(packet.get());
    }
}

bool VideoFile::Impl::SeekToStart() {
    avcodec_flush_buffers(codec.get());
    nextIndex = 0;
    if (av_seek_frame(format.get(), streamIndex, startTime, AVSEEK_FLAG_BACKWARD) >= 0) {
        return true;
    }
    return avformat_seek_file(format.get(), -1, INT64_MIN, 0, INT64_MAX, AVSEEK_FLAG_BYTE) >= 0;
}

bool VideoFile::Impl::SeekTo(long index) {
    if (index == 0 || !hasTimestamps) {
        return SeekToStart();
    }
    const AVRational timeBase = format->streams[streamIndex]->time_base;
    const double seconds = static_cast<double>(index) / frameRate;
    const std::int64_t target = startTime + static_cast<std::int64_t>(seconds / av_q2d(timeBase));
    avcodec_flush_buffers(codec.get());
    if (av_seek_frame(format.get(), streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0) {
        return SeekToStart();
    }
    return true;
}

// Sends the next packet of the video stream, or the end-of-stream marker; false when even
// that has been sent.
bool VideoFile::Impl::FeedDecoder() {
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        const bool ours = packet->stream_index == streamIndex;
        // A damaged packet is skipped; the decoder resynchronises on a later one.
        const int sent = ours ? avcodec_send_packet(codec.get(), packet.get()) : -1;
        av_packet_unref(packet.get());
        if (sent >= 0) {
            return true;
        }
    }
    return avcodec_send_packet(codec.get(), nullptr) >= 0;
}

bool VideoFile::Impl::DecodeNext() {
    for (;;) {
        const int received = avcodec_receive_frame(codec.get(), frame.get());
        if (received >= 0) {
            return true;
        }
        if (received != AVERROR(EAGAIN) || !FeedDecoder()) {
            return false;
        }
    }
}

long VideoFile::Impl::IndexOfDecoded() {
    const std::int64_t time = frame->best_effort_timestamp;
    long index = nextIndex;
    if (hasTimestamps && time != AV_NOPTS_VALUE) {
        const double seconds =
            static_cast<double>(time - startTime) * av_q2d(format->streams[streamIndex]->time_base);
        const double number = std::round(seconds * frameRate);
        index = number < 0.0 ? 0 : static_cast<long>(std::min(number, static_cast<double>(kMaxFrameCount)));
    }
    nextIndex = index + 1;
    return index;
}

bool VideoFile::Impl::Convert(DibFrame& out) {
    if (frame->width <= 0 || frame->height <= 0 || frame->format < 0) {
        return false;
    }
    // Every frame is scaled to the stream's size, so a stream that changes size mid-way still
    // fills exactly the bitmap its readers expect.
    scaler.reset(sws_getCachedContext(scaler.release(), frame->width, frame->height,
                                      static_cast<AVPixelFormat>(frame->format), width, height,
                                      AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.pitch = DibPitch(width);
    out.bits.assign(static_cast<std::size_t>(out.pitch) * height, 0);
    // A negative stride writes the rows bottom-up, as a device-independent bitmap stores them.
    std::uint8_t* destination[4] = {out.bits.data() + static_cast<std::size_t>(height - 1) * out.pitch,
                                    nullptr, nullptr, nullptr};
    const int strides[4] = {-out.pitch, 0, 0, 0};
    return sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, destination, strides) ==
           height;
}

std::unique_ptr<VideoFile> VideoFile::Open(const std::string& path, std::string& error) {
    av_log_set_level(AV_LOG_QUIET);
    auto impl = std::make_unique<Impl>();
    if (!impl->frame || !impl->packet) {
        error = "out of memory";
        return nullptr;
    }
    if (!impl->OpenFile(win32::ToHostPath(path).string(), error) || !impl->OpenDecoder(error)) {
        return nullptr;
    }
    impl->CountFrames();
    if (impl->frameCount == 0) {
        error = "no video frames";
        return nullptr;
    }
    if (!impl->SeekToStart()) {
        error = "cannot seek to the first frame";
        return nullptr;
    }
    return std::unique_ptr<VideoFile>(new VideoFile(std::move(impl)));
}

VideoFile::VideoFile(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
VideoFile::~VideoFile() = default;

int VideoFile::Width() const {
    return m_impl->width;
}
int VideoFile::Height() const {
    return m_impl->height;
}
double VideoFile::FrameRate() const {
    return m_impl->frameRate;
}
long VideoFile::FrameCount() const {
    return m_impl->frameCount;
}
bool VideoFile::HasAudio() const {
    return m_impl->hasAudio;
}

bool VideoFile::ReadFrame(long index, DibFrame& frame) {
    if (index < 0 || index >= m_impl->frameCount) {
        return false;
    }
    // Going back, or far ahead, seeks; the frames in between are decoded and dropped.
    const long reachableByDecoding = m_impl->nextIndex + static_cast<long>(2 * m_impl->frameRate);
    if (index < m_impl->nextIndex || index > reachableByDecoding) {
        if (!m_impl->SeekTo(index)) {
            return false;
        }
    }
    while (m_impl->DecodeNext()) {
        if (m_impl->IndexOfDecoded() >= index) {
            return m_impl->Convert(frame);
        }
    }
    return false;
}

bool VideoFile::ReadNextFrame(DibFrame& frame) {
    if (!m_impl->DecodeNext()) {
        return false;
    }
    m_impl->IndexOfDecoded();
    return m_impl->Convert(frame);
}

void VideoFile::Rewind() {
    m_impl->SeekToStart();
}

}  // namespace dshow
