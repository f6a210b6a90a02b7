#pragma once
// Decodes WAV, Ogg Vorbis, FLAC and MP3 from a byte source into 16-bit samples, mono or stereo
// (files with more channels give their first two).

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bass/byte_source.h"
#include "platform/bass/pcm_source.h"

struct sf_private_tag;
struct SF_VIRTUAL_IO;

namespace bass {

class SoundDecoder : public PcmSource {
public:
    // Null when the bytes are not an audio file libsndfile understands, or its format is out of
    // the supported range.
    static std::unique_ptr<SoundDecoder> Open(std::unique_ptr<ByteSource> source);
    ~SoundDecoder() override;
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    int Channels() const override { return m_outputChannels; }
    int Rate() const override { return m_rate; }
    // Fills up to frames frames of interleaved samples; fewer at the end or on a read error.
    std::size_t ReadFrames(std::int16_t* out, std::size_t frames) override;
    bool Rewind() override;
    // The whole rest of the file; false when it would exceed maxSamples.
    bool DecodeAll(std::vector<std::int16_t>& samples, std::size_t maxSamples);

private:
    SoundDecoder() = default;

    std::unique_ptr<ByteSource> m_source;
    std::unique_ptr<SF_VIRTUAL_IO> m_io;
    sf_private_tag* m_file = nullptr;
    int m_fileChannels = 0;
    int m_outputChannels = 0;
    int m_rate = 0;
    std::vector<std::int16_t> m_wideFrames;  // frames of files with more than two channels
};

}  // namespace bass
