#include "ai/video_to_texture_ds.h"

#include "app/debug_log.h"
#include "engine/entity.h"
#include "resource/paths.h"

namespace {

constexpr double kTickSeconds = 1.0 / 60.0;
constexpr const char* kClassName = "CAIVideo2TextureDS";
// The source filter's failure code for a file it cannot play.
constexpr unsigned kUnsupportedStream = 0x80040265u;

}  // namespace

CAIVideo2TextureDS::CAIVideo2TextureDS(const enXml& element) : m_settings(ReadVideoSettings(element)) {
    m_running = Open();
}

bool CAIVideo2TextureDS::Open() {
    CDebugLog& log = CDebugLog::Instance();
    std::string error;
    m_video = dshow::VideoFile::Open(m_settings.sourceFile, error);
    if (!m_video) {
        if (!FileExists(m_settings.sourceFile)) {
            log.LogLevel(1,
                         "CAIVideo2TextureDS: Could not add source filter to graph!  (hr==VFW_E_NOT_FOUND)");
        } else {
            log.LogLevel(1, "CAIVideo2TextureDS: Could not add source filter to graph!  hr=0x%x",
                         kUnsupportedStream);
        }
        return false;
    }
    return AcquireVideoTexture(m_settings.targetTexture, kClassName, m_target);
}

bool CAIVideo2TextureDS::ReadDueFrames(bool& gotFrame) {
    gotFrame = false;
    const double interval = 1.0 / m_video->FrameRate();
    // A frame is due once the stream time has reached its start.
    while (static_cast<double>(m_delivered) * interval <= m_streamTime + 1e-9) {
        if (!m_video->ReadNextFrame(m_frame)) {
            return false;
        }
        ++m_delivered;
        gotFrame = true;
    }
    return true;
}

void CAIVideo2TextureDS::Complete() {
    if (m_settings.looped) {
        m_video->Rewind();
        m_streamTime = 0.0;
        m_delivered = 0;
    } else {
        m_running = false;
        m_owner->Kill();
    }
}

bool CAIVideo2TextureDS::Update() {
    if (!m_running) {
        return true;
    }
    bool gotFrame = false;
    const bool more = ReadDueFrames(gotFrame);
    if (gotFrame) {
        CopyFrameToTexture(m_frame, m_target.texture);
    }
    if (!more) {
        Complete();
    } else {
        m_streamTime += kTickSeconds;
    }
    return true;
}
