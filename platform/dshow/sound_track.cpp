#include "platform/dshow/sound_track.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/dshow/ffmpeg_handles.h"
#include "platform/dshow/stream_decoder.h"
#include "platform/win32/files.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace dshow {

namespace {

// Sound parameters beyond these are refused as hostile: they would make the resampler's output
// for one frame grow without bound.
constexpr int kMinRate = 4000;
constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 16;
constexpr int kMaxFrameSamples = 1 << 16;
// Sound and picture that start further apart than this are not lined up beyond it.
constexpr double kMaxStartOffset = 10.0;

bool UsableParameters(int rate, int channels) {
    return rate >= kMinRate && rate <= kMaxRate && channels >= 1 && channels <= kMaxChannels;
}

bool UsableFrame(const AVFrame& frame) {
    return UsableParameters(frame.sample_rate, frame.ch_layout.nb_channels) && frame.nb_samples > 0 &&
           frame.nb_samples <= kMaxFrameSamples && frame.format >= 0 &&
           av_get_bytes_per_sample(static_cast<AVSampleFormat>(frame.format)) > 0;
}

// A layout whose channels carry no names gets the usual one for their count, so that the
// resampler knows how to mix them down to stereo.
bool NamedLayout(const AVChannelLayout& given, AVChannelLayout& named) {
    if (given.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&named, given.nb_channels);
        return true;
    }
    return av_channel_layout_copy(&named, &given) >= 0;
}

// A start time a hostile file makes meaningless counts as 0.
double StartSeconds(const AVStream& stream) {
    if (stream.start_time == AV_NOPTS_VALUE) {
        return 0.0;
    }
    const double seconds = static_cast<double>(stream.start_time) * av_q2d(stream.time_base);
    return std::isfinite(seconds) ? seconds : 0.0;
}

}  // namespace

struct SoundTrack::Impl {
    StreamDecoder input;
    ResampleHandle resampler;
    // The input the resampler is set up for.
    AVChannelLayout layout{};
    int rate = 0;
    int format = -1;
    std::vector<std::int16_t> pending;  // converted samples not yet read
    std::size_t pendingRead = 0;
    bool ended = false;

    ~Impl() { av_channel_layout_uninit(&layout); }

    bool Configure(const AVFrame& frame);
    bool Append(const std::uint8_t** data, int samples);
    void ConvertFrame();
    bool Refill();
    std::size_t Read(std::int16_t* out, std::size_t frames);
    void LineUpWithPicture();
};

// Sets the resampler up for the frame's input unless it already is; samples it still holds
// for the old input are kept.
bool SoundTrack::Impl::Configure(const AVFrame& frame) {
    AVChannelLayout named{};
    if (!NamedLayout(frame.ch_layout, named)) {
        return false;
    }
    if (resampler && frame.sample_rate == rate && frame.format == format &&
        av_channel_layout_compare(&named, &layout) == 0) {
        av_channel_layout_uninit(&named);
        return true;
    }
    if (resampler) {
        Append(nullptr, 0);
    }
    av_channel_layout_uninit(&layout);
    layout = named;
    rate = frame.sample_rate;
    format = frame.format;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* context = nullptr;
    const bool made = swr_alloc_set_opts2(&context, &stereo, AV_SAMPLE_FMT_S16, kRate, &layout,
                                          static_cast<AVSampleFormat>(format), rate, 0, nullptr) >= 0;
    resampler.reset(context);
    // Mono is heard at its full level on both sides, as players do, rather than split between them.
    static constexpr double kMonoToBothSides[2] = {1.0, 1.0};
    if (made && layout.nb_channels == 1) {
        swr_set_matrix(context, kMonoToBothSides, 1);
    }
    if (!made || swr_init(context) < 0) {
        resampler.reset();
        return false;
    }
    return true;
}

// Converts the samples (null: what the resampler still holds) and appends them to the pending
// ones.
bool SoundTrack::Impl::Append(const std::uint8_t** data, int samples) {
    const int room = swr_get_out_samples(resampler.get(), samples);
    if (room <= 0) {
        return room == 0;
    }
    const std::size_t start = pending.size();
    pending.resize(start + static_cast<std::size_t>(room) * kChannels);
    auto* out = reinterpret_cast<std::uint8_t*>(pending.data() + start);
    const int converted = swr_convert(resampler.get(), &out, room, data, samples);
    pending.resize(start + static_cast<std::size_t>(std::max(converted, 0)) * kChannels);
    return converted >= 0;
}

// A frame the resampler cannot take is skipped; the sound goes on with the next one.
void SoundTrack::Impl::ConvertFrame() {
    const AVFrame& frame = input.Frame();
    if (UsableFrame(frame) && Configure(frame)) {
        Append(const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
    }
}

// Decodes until there are samples to read; false at the end of the sound.
bool SoundTrack::Impl::Refill() {
    pending.clear();
    pendingRead = 0;
    while (pending.empty() && !ended) {
        if (input.DecodeNext()) {
            ConvertFrame();
            continue;
        }
        ended = true;
        if (resampler) {
            Append(nullptr, 0);
        }
    }
    return !pending.empty();
}

std::size_t SoundTrack::Impl::Read(std::int16_t* out, std::size_t frames) {
    std::size_t filled = 0;
    while (filled < frames) {
        if (pendingRead == pending.size() && !Refill()) {
            break;
        }
        const std::size_t available = (pending.size() - pendingRead) / kChannels;
        const std::size_t taken = std::min(available, frames - filled);
        std::copy_n(pending.data() + pendingRead, taken * kChannels, out + filled * kChannels);
        pendingRead += taken * kChannels;
        filled += taken;
    }
    return filled;
}

// The sound's time 0 is the first picture: sound that starts later is preceded by silence, and
// sound from before the first picture is dropped.
void SoundTrack::Impl::LineUpWithPicture() {
    AVFormatContext& file = input.Format();
    const int picture = av_find_best_stream(&file, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (picture < 0) {
        return;
    }
    const double offset = std::clamp(StartSeconds(input.Stream()) - StartSeconds(*file.streams[picture]),
                                     -kMaxStartOffset, kMaxStartOffset);
    const auto frames = static_cast<std::size_t>(std::abs(offset) * kRate);
    if (offset > 0.0) {
        pending.assign(frames * kChannels, 0);
        return;
    }
    std::int16_t dropped[4096 * kChannels];
    for (std::size_t left = frames; left > 0;) {
        const std::size_t read = Read(dropped, std::min<std::size_t>(left, 4096));
        if (read == 0) {
            return;
        }
        left -= read;
    }
}

std::unique_ptr<SoundTrack> SoundTrack::Open(const std::string& path, std::string& error) {
    auto impl = std::make_unique<Impl>();
    if (!impl->input.OpenStream(win32::ToHostPath(path).string(), AVMEDIA_TYPE_AUDIO, error)) {
        return nullptr;
    }
    const AVCodecParameters& parameters = *impl->input.Stream().codecpar;
    if (!UsableParameters(parameters.sample_rate, parameters.ch_layout.nb_channels)) {
        error = "unusable sound format";
        return nullptr;
    }
    if (!impl->input.OpenDecoder(error)) {
        return nullptr;
    }
    impl->LineUpWithPicture();
    return std::unique_ptr<SoundTrack>(new SoundTrack(std::move(impl)));
}

SoundTrack::SoundTrack(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
SoundTrack::~SoundTrack() = default;

std::size_t SoundTrack::ReadFrames(std::int16_t* out, std::size_t frames) {
    return m_impl->Read(out, frames);
}

}  // namespace dshow
