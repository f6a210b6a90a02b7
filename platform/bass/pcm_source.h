#pragma once
// Where a stream's samples come from: a decoded file or the caller's own procedure. Samples are
// 16-bit, interleaved, mono or stereo.

#include <cstddef>
#include <cstdint>

namespace bass {

class PcmSource {
public:
    virtual ~PcmSource() = default;

    virtual int Channels() const = 0;
    virtual int Rate() const = 0;
    // Fills up to frames frames; fewer at the end of the data.
    virtual std::size_t ReadFrames(std::int16_t* out, std::size_t frames) = 0;
    // Makes the next read start again from the beginning where the source has one.
    virtual bool Rewind() = 0;
};

}  // namespace bass
