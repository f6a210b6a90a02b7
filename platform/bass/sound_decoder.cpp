#include "platform/bass/sound_decoder.h"

#include <sndfile.h>

#include <algorithm>

namespace bass {

namespace {

constexpr int kMaxFileChannels = 16;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr std::size_t kDecodeChunkFrames = 4096;

ByteSource& SourceOf(void* user) {
    return *static_cast<ByteSource*>(user);
}

sf_count_t LengthOf(void* user) {
    return SourceOf(user).Length();
}

sf_count_t SeekIn(sf_count_t offset, int whence, void* user) {
    return SourceOf(user).Seek(offset, whence);
}

sf_count_t ReadFrom(void* out, sf_count_t count, void* user) {
    return SourceOf(user).Read(out, count);
}

sf_count_t WriteRefused(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t TellOf(void* user) {
    return SourceOf(user).Tell();
}

}  // namespace

std::unique_ptr<SoundDecoder> SoundDecoder::Open(std::unique_ptr<ByteSource> source) {
    if (!source) {
        return nullptr;
    }
    std::unique_ptr<SoundDecoder> decoder(new SoundDecoder);
    decoder->m_source = std::move(source);
    auto* io = new SF_VIRTUAL_IO{&LengthOf, &SeekIn, &ReadFrom, &WriteRefused, &TellOf};
    decoder->m_io.reset(io);
    SF_INFO info{};
    decoder->m_file = sf_open_virtual(io, SFM_READ, &info, decoder->m_source.get());
    if (!decoder->m_file || info.channels < 1 || info.channels > kMaxFileChannels ||
        info.samplerate < kMinRate || info.samplerate > kMaxRate) {
        return nullptr;
    }
    // Float files are scaled to the 16-bit range instead of being clipped.
    sf_command(decoder->m_file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    decoder->m_fileChannels = info.channels;
    decoder->m_outputChannels = std::min(info.channels, 2);
    decoder->m_rate = info.samplerate;
    return decoder;
}

SoundDecoder::~SoundDecoder() {
    if (m_file) {
        sf_close(m_file);
    }
}

std::size_t SoundDecoder::ReadFrames(std::int16_t* out, std::size_t frames) {
    if (m_fileChannels == m_outputChannels) {
        const sf_count_t got = sf_readf_short(m_file, out, static_cast<sf_count_t>(frames));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    m_wideFrames.resize(frames * static_cast<std::size_t>(m_fileChannels));
    const sf_count_t got = sf_readf_short(m_file, m_wideFrames.data(), static_cast<sf_count_t>(frames));
    const std::size_t count = got > 0 ? static_cast<std::size_t>(got) : 0;
    for (std::size_t frame = 0; frame < count; ++frame) {
        out[frame * 2] = m_wideFrames[frame * static_cast<std::size_t>(m_fileChannels)];
        out[frame * 2 + 1] = m_wideFrames[frame * static_cast<std::size_t>(m_fileChannels) + 1];
    }
    return count;
}

bool SoundDecoder::Rewind() {
    return sf_seek(m_file, 0, SEEK_SET) == 0;
}

bool SoundDecoder::DecodeAll(std::vector<std::int16_t>& samples, std::size_t maxSamples) {
    const std::size_t chunkSamples = kDecodeChunkFrames * static_cast<std::size_t>(m_outputChannels);
    for (;;) {
        const std::size_t used = samples.size();
        samples.resize(used + chunkSamples);
        const std::size_t frames = ReadFrames(samples.data() + used, kDecodeChunkFrames);
        samples.resize(used + frames * static_cast<std::size_t>(m_outputChannels));
        if (samples.size() > maxSamples) {
            return false;
        }
        if (frames < kDecodeChunkFrames) {
            return true;
        }
    }
}

}  // namespace bass
