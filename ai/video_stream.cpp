#include "ai/video_stream.h"

#include "resource/paths.h"

namespace {

constexpr double kTickSeconds = 1.0 / 60.0;
constexpr unsigned kNotFound = 0x80040216u;           // VFW_E_NOT_FOUND
constexpr unsigned kUnsupportedStream = 0x80040265u;  // VFW_E_UNSUPPORTED_STREAM

}  // namespace

std::unique_ptr<CVideoStream> CVideoStream::Open(const std::string& path, unsigned& failureCode) {
    std::string error;
    std::unique_ptr<dshow::VideoFile> video = dshow::VideoFile::Open(path, error);
    if (!video) {
        failureCode = FileExists(path) ? kUnsupportedStream : kNotFound;
        return nullptr;
    }
    failureCode = 0;
    return std::unique_ptr<CVideoStream>(new CVideoStream(std::move(video)));
}

CVideoStream::eStep CVideoStream::Tick() {
    const double interval = 1.0 / m_video->FrameRate();
    eStep step = eStep::NoNewFrame;
    // A frame is due once the stream time has reached its start.
    while (static_cast<double>(m_delivered) * interval <= m_streamTime + 1e-9) {
        if (!m_video->ReadNextFrame(m_frame)) {
            return eStep::EndOfFile;
        }
        ++m_delivered;
        step = eStep::NewFrame;
    }
    m_streamTime += kTickSeconds;
    return step;
}

void CVideoStream::Restart() {
    m_video->Rewind();
    m_streamTime = 0.0;
    m_delivered = 0;
}
