#include "platform/bass/user_stream_source.h"

#include <algorithm>
#include <limits>

namespace bass {

std::size_t UserStreamSource::ReadFrames(std::int16_t* out, std::size_t frames) {
    const std::size_t frameBytes = static_cast<std::size_t>(m_channels) * sizeof(std::int16_t);
    const std::size_t asked =
        std::min(frames, (std::numeric_limits<DWORD>::max() & ~BASS_STREAMPROC_END) / frameBytes) *
        frameBytes;
    if (m_ended || asked == 0) {
        return 0;
    }
    const DWORD result = m_procedure(m_handle, out, static_cast<DWORD>(asked), m_user);
    m_ended = (result & BASS_STREAMPROC_END) != 0;
    // A procedure that claims more than it was given room for is held to the room.
    const std::size_t written = std::min<std::size_t>(result & ~BASS_STREAMPROC_END, asked);
    return written / frameBytes;
}

}  // namespace bass
