#pragma once
// The sound of a video file, the audio side of a filter graph: the file's best audio stream
// decoded and resampled to 16-bit stereo at the output rate, the form the audio library plays.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace dshow {

class SoundTrack {
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;

    // Null when the file is missing, has no audio stream or its sound cannot be decoded;
    // `error` then says why.
    static std::unique_ptr<SoundTrack> Open(const std::string& path, std::string& error);
    ~SoundTrack();
    SoundTrack(const SoundTrack&) = delete;
    SoundTrack& operator=(const SoundTrack&) = delete;

    // Fills up to `frames` frames of interleaved samples (left, right); fewer only at the end
    // of the sound.
    std::size_t ReadFrames(std::int16_t* out, std::size_t frames);

private:
    struct Impl;
    explicit SoundTrack(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace dshow
