#include "tests/support/test_video.h"

#include <cmath>
#include <memory>
#include <numbers>
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

// One stream of the file being written, with its encoder.
class StreamEncoder {
public:
    // The encoder by name with its settings made by `configure`, and its stream in the file.
    template <class Configure>
    bool Open(AVFormatContext& output, const std::string& name, Configure configure, std::string& message);
    // Sends a frame (null drains the encoder) and writes every packet that comes out.
    bool Write(AVFormatContext& output, AVFrame* frame);
    AVCodecContext* Codec() { return m_codec.get(); }

private:
    CodecHandle m_codec;
    PacketHandle m_packet{av_packet_alloc()};
    AVStream* m_stream = nullptr;
};

template <class Configure>
bool StreamEncoder::Open(AVFormatContext& output, const std::string& name, Configure configure,
                         std::string& message) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    if (!codec) {
        message = "no encoder " + name;
        return false;
    }
    m_stream = avformat_new_stream(&output, nullptr);
    m_codec.reset(avcodec_alloc_context3(codec));
    configure(*codec, *m_codec);
    if (output.oformat->flags & AVFMT_GLOBALHEADER) {
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(m_codec.get(), codec, nullptr) < 0 ||
        avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()) < 0) {
        message = "cannot open the encoder " + name;
        return false;
    }
    m_stream->time_base = m_codec->time_base;
    m_stream->avg_frame_rate = m_codec->framerate;
    return true;
}

bool StreamEncoder::Write(AVFormatContext& output, AVFrame* frame) {
    if (avcodec_send_frame(m_codec.get(), frame) < 0) {
        return false;
    }
    while (avcodec_receive_packet(m_codec.get(), m_packet.get()) >= 0) {
        av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        if (av_interleaved_write_frame(&output, m_packet.get()) < 0) {
            return false;
        }
    }
    return true;
}

class VideoWriter {
public:
    VideoWriter(const TestVideo& video, std::string& message) : m_video(video), m_message(message) {}
    bool Write(const std::filesystem::path& file);

private:
    bool Open(const std::filesystem::path& file);
    bool WritePictures();
    bool WriteSound();
    bool Fail(const std::string& message) {
        m_message = message;
        return false;
    }

    const TestVideo& m_video;
    std::string& m_message;
    std::unique_ptr<AVFormatContext, OutputDeleter> m_output;
    StreamEncoder m_pictures;
    StreamEncoder m_sound;
};

bool VideoWriter::Open(const std::filesystem::path& file) {
    AVFormatContext* output = nullptr;
    if (avformat_alloc_output_context2(&output, nullptr, nullptr, file.c_str()) < 0) {
        return Fail("no container for " + file.string());
    }
    m_output.reset(output);
    const TestVideo& video = m_video;
    const auto pictureSettings = [&video](const AVCodec& codec, AVCodecContext& context) {
        context.width = video.width;
        context.height = video.height;
        context.time_base = AVRational{1, video.frameRate};
        context.framerate = AVRational{video.frameRate, 1};
        context.pix_fmt = ChoosePixelFormat(codec);
        context.gop_size = 4;  // several key frames, so that seeking is exercised
    };
    if (!m_pictures.Open(*output, video.encoder, pictureSettings, m_message)) {
        return false;
    }
    const auto soundSettings = [&video](const AVCodec& codec, AVCodecContext& context) {
        context.sample_rate = video.audioRate;
        context.time_base = AVRational{1, video.audioRate};
        context.sample_fmt = codec.sample_fmts ? codec.sample_fmts[0] : AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&context.ch_layout, video.audioChannels);
    };
    if (video.toneFrequency > 0.0 && !m_sound.Open(*output, video.audioEncoder, soundSettings, m_message)) {
        return false;
    }
    if (avio_open(&output->pb, file.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(output, nullptr) < 0) {
        return Fail("cannot write " + file.string());
    }
    return true;
}

bool VideoWriter::WritePictures() {
    const int width = m_video.width;
    const int height = m_video.height;
    AVCodecContext* codec = m_pictures.Codec();
    FrameHandle frame(av_frame_alloc());
    frame->format = codec->pix_fmt;
    frame->width = width;
    frame->height = height;
    ScaleHandle scaler(sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, codec->pix_fmt,
                                      SWS_POINT, nullptr, nullptr, nullptr));
    if (av_frame_get_buffer(frame.get(), 0) < 0 || !scaler) {
        return Fail("cannot allocate a frame");
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int number = 0; number < m_video.frames; ++number) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgb colour = m_video.ColourAt(number, x, y);
                std::uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                pixel[0] = colour.red;
                pixel[1] = colour.green;
                pixel[2] = colour.blue;
            }
        }
        const std::uint8_t* source[1] = {rgb.data()};
        const int stride[1] = {width * 3};
        if (av_frame_make_writable(frame.get()) < 0) {
            return Fail("frame not writable");
        }
        sws_scale(scaler.get(), source, stride, 0, height, frame->data, frame->linesize);
        frame->pts = m_video.firstPictureFrame + number;
        if (!m_pictures.Write(*m_output, frame.get())) {
            return Fail("cannot encode frame " + std::to_string(number));
        }
    }
    return m_pictures.Write(*m_output, nullptr) || Fail("cannot finish the pictures");
}

// Stores one sample value in the frame's own layout: 16-bit or float, packed or planar.
bool StoreSample(AVFrame& frame, int index, int channel, int channels, double value) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int plane = planar ? channel : 0;
    const int slot = planar ? index : index * channels + channel;
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_S16:
            reinterpret_cast<std::int16_t*>(frame.extended_data[plane])[slot] =
                static_cast<std::int16_t>(std::lround(value * 32767.0));
            return true;
        case AV_SAMPLE_FMT_FLT:
            reinterpret_cast<float*>(frame.extended_data[plane])[slot] = static_cast<float>(value);
            return true;
        default:
            return false;
    }
}

bool VideoWriter::WriteSound() {
    AVCodecContext* codec = m_sound.Codec();
    const int perFrame = codec->frame_size > 0 ? codec->frame_size : 1024;
    const auto total = static_cast<int>(std::lround(m_video.SoundSeconds() * m_video.audioRate));
    FrameHandle frame(av_frame_alloc());
    for (int first = 0; first < total; first += perFrame) {
        frame->format = codec->sample_fmt;
        frame->sample_rate = codec->sample_rate;
        frame->nb_samples = std::min(perFrame, total - first);
        av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0) {
            return Fail("cannot allocate a sound frame");
        }
        for (int i = 0; i < frame->nb_samples; ++i) {
            const double phase =
                2.0 * std::numbers::pi * m_video.toneFrequency * (first + i) / m_video.audioRate;
            for (int channel = 0; channel < m_video.audioChannels; ++channel) {
                if (!StoreSample(*frame, i, channel, m_video.audioChannels,
                                 m_video.toneAmplitude * std::sin(phase))) {
                    return Fail("unexpected sample format of " + m_video.audioEncoder);
                }
            }
        }
        frame->pts = m_video.firstSoundSample + first;
        if (!m_sound.Write(*m_output, frame.get())) {
            return Fail("cannot encode the sound");
        }
        av_frame_unref(frame.get());
    }
    return m_sound.Write(*m_output, nullptr) || Fail("cannot finish the sound");
}

bool VideoWriter::Write(const std::filesystem::path& file) {
    if (!Open(file) || !WritePictures() || (m_video.toneFrequency > 0.0 && !WriteSound())) {
        return false;
    }
    return av_write_trailer(m_output.get()) >= 0 || Fail("cannot finish " + file.string());
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
    return VideoWriter(*this, message).Write(file);
}

}  // namespace zumbo::test
