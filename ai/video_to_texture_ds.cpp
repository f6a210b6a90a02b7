#include "ai/video_to_texture_ds.h"

#include "app/debug_log.h"
#include "engine/entity.h"

namespace {

constexpr const char* kClassName = "CAIVideo2TextureDS";
constexpr unsigned kNotFound = 0x80040216u;

}  // namespace

CAIVideo2TextureDS::CAIVideo2TextureDS(const enXml& element) : m_settings(ReadVideoSettings(element)) {
    m_running = Open();
}

bool CAIVideo2TextureDS::Open() {
    CDebugLog& log = CDebugLog::Instance();
    unsigned failure = 0;
    m_stream = CVideoStream::Open(m_settings.sourceFile, failure);
    if (!m_stream) {
        if (failure == kNotFound) {
            log.LogLevel(1,
                         "CAIVideo2TextureDS: Could not add source filter to graph!  (hr==VFW_E_NOT_FOUND)");
        } else {
            log.LogLevel(1, "CAIVideo2TextureDS: Could not add source filter to graph!  hr=0x%x", failure);
        }
        return false;
    }
    return AcquireVideoTexture(m_settings.targetTexture, kClassName, m_target);
}

bool CAIVideo2TextureDS::Update() {
    if (!m_running) {
        return true;
    }
    switch (m_stream->Tick()) {
        case CVideoStream::eStep::NewFrame:
            CopyFrameToTexture(m_stream->Frame(), m_target.texture);
            break;
        case CVideoStream::eStep::NoNewFrame:
            break;
        case CVideoStream::eStep::EndOfFile:
            if (m_settings.looped) {
                m_stream->Restart();
            } else {
                m_running = false;
                m_owner->Kill();
            }
            break;
    }
    return true;
}
