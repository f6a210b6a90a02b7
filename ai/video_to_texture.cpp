#include "ai/video_to_texture.h"

#include <algorithm>
#include <cmath>

#include "app/debug_log.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

// One tick in seconds, as the playing time advances.
constexpr double kTickSeconds = 0.016666668;
constexpr const char* kClassName = "CAIVideo2Texture";

}  // namespace

CAIVideo2Texture::CAIVideo2Texture(const enXml& element) : m_settings(ReadVideoSettings(element)) {
    element.GetValueBool("bPingPong", m_pingPong);
    m_ready = Open();
}

bool CAIVideo2Texture::Open() {
    CDebugLog& log = CDebugLog::Instance();
    std::string error;
    m_video = dshow::VideoFile::Open(m_settings.sourceFile, error);
    if (!m_video) {
        log.LogLevel(1, "CAIVideo2Texture Error: Failed to initialize video file renderer for %s",
                     m_settings.sourceFile.c_str());
        return false;
    }
    m_first = 0;
    m_end = m_video->FrameCount();
    m_rate = m_video->FrameRate();
    if (!AcquireVideoTexture(m_settings.targetTexture, kClassName, m_target)) {
        return false;
    }
    // Checked once here rather than for every frame: the size of the stream's frames is fixed.
    if (m_target.description.Width < static_cast<UINT>(m_video->Width()) ||
        m_target.description.Height < static_cast<UINT>(m_video->Height())) {
        log.LogLevel(1, "CAIVideo2Texture: Target texture (%s) is smaller than source video file (%s).",
                     m_settings.targetTexture.c_str(), m_settings.sourceFile.c_str());
        return false;
    }
    return true;
}

long CAIVideo2Texture::NextFrame() {
    m_time += m_forward ? kTickSeconds : -kTickSeconds;
    const double position = std::trunc(m_rate * m_time);
    long frame = position < static_cast<double>(m_end) ? static_cast<long>(position) : m_end;
    if (m_settings.looped) {
        if (frame >= m_end) {
            if (m_pingPong) {
                m_forward = false;
                frame = m_end < 3 ? 0 : m_end - 2;
            } else {
                frame = m_first;
            }
            m_time = static_cast<double>(frame) / m_rate;
        }
        if (!m_forward && frame < m_first) {
            frame = m_end <= 1 ? m_end - 1 : 1;
            m_forward = true;
            m_time = static_cast<double>(frame) / m_rate;
        }
    } else if (frame >= m_end) {
        if (m_settings.dieOnFinish) {
            m_owner->Kill();
        }
        frame = std::max(m_first, m_end - 1);
        m_time = static_cast<double>(frame) / m_rate;
    }
    return frame;
}

void CAIVideo2Texture::Show(long frame) {
    m_lastShown = frame;
    if (!m_video->ReadFrame(frame - m_first, m_frame)) {
        CDebugLog::Instance().LogLevel(1,
                                       "CAIVideo2Texture: Failed to extract frame (%i) from AVI file (%s).",
                                       static_cast<int>(frame), m_settings.sourceFile.c_str());
        return;
    }
    if (m_frame.bits.empty()) {
        return;
    }
    CopyFrameToTexture(m_frame, m_target.texture);
}

bool CAIVideo2Texture::Update() {
    if (!m_ready) {
        return true;
    }
    const long frame = NextFrame();
    if (frame != m_lastShown) {
        Show(frame);
    }
    return true;
}
