#include "tests/support/test_video.h"

#include <memory>
#include <vector>

#include "platform/dshow/ffmpeg_handles.h"

namespace zumbo::test {

namespace {

struct OutputDeleter {
    void operator()(AVFormatContext* context) const {
        if (context->pb) {
            avio_closep(&context->pb);
        }
        avformat_free_context(context);
    }
};
using dshow::CodecHandle;
using dshow::FrameHandle;
using dshow::PacketHandle;
using dshow::ScaleHandle;

// An RGB layout when the encoder takes one, so lossless encoders keep the exact colours.
AVPixelFormat ChoosePixelFormat(const AVCodec& codec) {
    if (!codec.pix_fmts) {
        return AV_PIX_FMT_YUV420P;
    }
    for (const AVPixelFormat wanted : {AV_PIX_FMT_BGR0, AV_PIX_FMT_BGR24, AV_PIX_FMT_RGB24}) {
        for (const AVPixelFormat* offered = codec.pix_fmts; *offered != AV_PIX_FMT_NONE; ++offered) {
            if (*offered == wanted) {
                return wanted;
            }
        }
    }
    return codec.pix_fmts[0];
}

class Encoder {
public:
    bool Open(const TestVideo& video, const std::filesystem::path& file, std::string& message);
    bool WriteFrame(AVFrame* frame);
    bool Finish();
    AVCodecContext* Codec() { return m_codec.get(); }

private:
    std::unique_ptr<AVFormatContext, OutputDeleter> m_output;
    CodecHandle m_codec;
    PacketHandle m_packet{av_packet_alloc()};
    AVStream* m_stream = nullptr;
};

bool Encoder::Open(const TestVideo& video, const std::filesystem::path& file, std::string& message) {
    AVFormatContext* output = nullptr;
    if (avformat_alloc_output_context2(&output, nullptr, nullptr, file.c_str()) < 0) {
        message = "no container for " + file.string();
        return false;
    }
    m_output.reset(output);
    const AVCodec* codec = avcodec_find_encoder_by_name(video.encoder.c_str());
    if (!codec) {
        message = "no encoder " + video.encoder;
        return false;
    }
    m_stream = avformat_new_stream(output, nullptr);
    m_codec.reset(avcodec_alloc_context3(codec));
    m_codec->width = video.width;
    m_codec->height = video.height;
    m_codec->time_base = AVRational{1, video.frameRate};
    m_codec->framerate = AVRational{video.frameRate, 1};
    m_codec->pix_fmt = ChoosePixelFormat(*codec);
    m_codec->gop_size = 4;  // several key frames, so that seeking is exercised
    if (output->oformat->flags & AVFMT_GLOBALHEADER) {
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(m_codec.get(), codec, nullptr) < 0 ||
        avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()) < 0) {
        message = "cannot open the encoder " + video.encoder;
        return false;
    }
    m_stream->time_base = m_codec->time_base;
    m_stream->avg_frame_rate = m_codec->framerate;
    if (avio_open(&output->pb, file.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(output, nullptr) < 0) {
        message = "cannot write " + file.string();
        return false;
    }
    return true;
}

// Sends a frame (null drains the encoder) and writes every packet that comes out.
bool Encoder::WriteFrame(AVFrame* frame) {
    if (avcodec_send_frame(m_codec.get(), frame) < 0) {
        return false;
    }
    while (avcodec_receive_packet(m_codec.get(), m_packet.get()) >= 0) {
        av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        if (av_interleaved_write_frame(m_output.get(), m_packet.get()) < 0) {
            return false;
        }
    }
    return true;
}

bool Encoder::Finish() {
    return WriteFrame(nullptr) && av_write_trailer(m_output.get()) >= 0;
}

}  // namespace

Rgb TestVideo::BarColour(int x, int width) {
    static constexpr Rgb kBars[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    return kBars[x * 4 / width];
}

int TestVideo::BoxLeft(int frame) const {
    return (frame * kBoxSize) % (width - kBoxSize + 1);
}

Rgb TestVideo::ColourAt(int frame, int x, int y) const {
    if (y < height / 2) {
        return BarColour(x, width);
    }
    const int left = BoxLeft(frame);
    const bool inBox = x >= left && x < left + kBoxSize && y >= height / 2 && y < height / 2 + kBoxSize;
    return inBox ? Rgb{255, 255, 0} : Rgb{0, 0, 0};
}

bool TestVideo::Write(const std::filesystem::path& file, std::string& message) const {
    Encoder encoder;
    if (!encoder.Open(*this, file, message)) {
        return false;
    }
    AVCodecContext* codec = encoder.Codec();
    FrameHandle frame(av_frame_alloc());
    frame->format = codec->pix_fmt;
    frame->width = width;
    frame->height = height;
    ScaleHandle scaler(sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, codec->pix_fmt,
                                      SWS_POINT, nullptr, nullptr, nullptr));
    if (av_frame_get_buffer(frame.get(), 0) < 0 || !scaler) {
        message = "cannot allocate a frame";
        return false;
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int number = 0; number < frames; ++number) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgb colour = ColourAt(number, x, y);
                std::uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                pixel[0] = colour.red;
                pixel[1] = colour.green;
                pixel[2] = colour.blue;
            }
        }
        const std::uint8_t* source[1] = {rgb.data()};
        const int stride[1] = {width * 3};
        if (av_frame_make_writable(frame.get()) < 0) {
            message = "frame not writable";
            return false;
        }
        sws_scale(scaler.get(), source, stride, 0, height, frame->data, frame->linesize);
        frame->pts = number;
        if (!encoder.WriteFrame(frame.get())) {
            message = "cannot encode frame " + std::to_string(number);
            return false;
        }
    }
    if (!encoder.Finish()) {
        message = "cannot finish " + file.string();
        return false;
    }
    return true;
}

}  // namespace zumbo::test
