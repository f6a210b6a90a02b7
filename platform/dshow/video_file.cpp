#include "platform/dshow/video_file.h"

#include <cmath>

#include "platform/win32/files.h"

#include "platform/dshow/ffmpeg_handles.h"
#include "platform/dshow/stream_decoder.h"

namespace dshow {

namespace {

// A hostile file must not make the opening pass read for ever.
constexpr long kMaxFrameCount = 1L << 24;
constexpr double kDefaultFrameRate = 25.0;
constexpr double kMaxFrameRate = 1000.0;

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
    StreamDecoder input;
    ScaleHandle scaler;
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
    long IndexOfDecoded();
    bool Convert(DibFrame& out);
};

bool VideoFile::Impl::OpenFile(const std::string& hostPath, std::string& error) {
    if (!input.OpenStream(hostPath, AVMEDIA_TYPE_VIDEO, error)) {
        return false;
    }
    hasAudio = av_find_best_stream(&input.Format(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
    const AVStream& stream = input.Stream();
    frameRate = StreamFrameRate(stream);
    startTime = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
    return true;
}

bool VideoFile::Impl::OpenDecoder(std::string& error) {
    const AVCodecParameters& parameters = *input.Stream().codecpar;
    width = parameters.width;
    height = parameters.height;
    if (width <= 0 || height <= 0 || width > kMaxVideoDimension || height > kMaxVideoDimension) {
        error = "unusable picture size";
        return false;
    }
    return input.OpenDecoder(error);
}

void VideoFile::Impl::CountFrames() {
    frameCount = 0;
    AVPacket& packet = input.Packet();
    while (frameCount < kMaxFrameCount && av_read_frame(&input.Format(), &packet) >= 0) {
        if (packet.stream_index == input.StreamIndex()) {
            ++frameCount;
            if (packet.pts == AV_NOPTS_VALUE && packet.dts == AV_NOPTS_VALUE) {
                hasTimestamps = false;
            }
        }
        av_packet_unref(&packet);
    }
}

bool VideoFile::Impl::SeekToStart() {
    avcodec_flush_buffers(&input.Codec());
    nextIndex = 0;
    if (av_seek_frame(&input.Format(), input.StreamIndex(), startTime, AVSEEK_FLAG_BACKWARD) >= 0) {
        return true;
    }
    return avformat_seek_file(&input.Format(), -1, INT64_MIN, 0, INT64_MAX, AVSEEK_FLAG_BYTE) >= 0;
}

bool VideoFile::Impl::SeekTo(long index) {
    if (index == 0 || !hasTimestamps) {
        return SeekToStart();
    }
    const AVRational timeBase = input.Stream().time_base;
    const double seconds = static_cast<double>(index) / frameRate;
    const std::int64_t target = startTime + static_cast<std::int64_t>(seconds / av_q2d(timeBase));
    avcodec_flush_buffers(&input.Codec());
    if (av_seek_frame(&input.Format(), input.StreamIndex(), target, AVSEEK_FLAG_BACKWARD) < 0) {
        return SeekToStart();
    }
    return true;
}

long VideoFile::Impl::IndexOfDecoded() {
    const std::int64_t time = input.Frame().best_effort_timestamp;
    long index = nextIndex;
    if (hasTimestamps && time != AV_NOPTS_VALUE) {
        const double seconds = static_cast<double>(time - startTime) * av_q2d(input.Stream().time_base);
        const double number = std::round(seconds * frameRate);
        index = number < 0.0 ? 0 : static_cast<long>(std::min(number, static_cast<double>(kMaxFrameCount)));
    }
    nextIndex = index + 1;
    return index;
}

bool VideoFile::Impl::Convert(DibFrame& out) {
    const AVFrame* frame = &input.Frame();
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
    auto impl = std::make_unique<Impl>();
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
    while (m_impl->input.DecodeNext()) {
        if (m_impl->IndexOfDecoded() >= index) {
            return m_impl->Convert(frame);
        }
    }
    return false;
}

bool VideoFile::ReadNextFrame(DibFrame& frame) {
    if (!m_impl->input.DecodeNext()) {
        return false;
    }
    m_impl->IndexOfDecoded();
    return m_impl->Convert(frame);
}

void VideoFile::Rewind() {
    m_impl->SeekToStart();
}

}  // namespace dshow
