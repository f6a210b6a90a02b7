#pragma once
// The samples of a user stream, asked of the caller's procedure. Once the procedure reports
// the end of its data, nothing more is asked.

#include "platform/bass/bass.h"
#include "platform/bass/pcm_source.h"

namespace bass {

class UserStreamSource : public PcmSource {
public:
    UserStreamSource(HSTREAM handle, int rate, int channels, STREAMPROC* procedure, void* user)
        : m_handle(handle), m_rate(rate), m_channels(channels), m_procedure(procedure), m_user(user) {}

    int Channels() const override { return m_channels; }
    int Rate() const override { return m_rate; }
    std::size_t ReadFrames(std::int16_t* out, std::size_t frames) override;
    // There is no start to go back to; the next read simply goes on.
    bool Rewind() override { return true; }

private:
    const HSTREAM m_handle;
    const int m_rate;
    const int m_channels;
    STREAMPROC* const m_procedure;
    void* const m_user;
    bool m_ended = false;
};

}  // namespace bass
