#include "ai/play_video_file.h"

#include "app/d3d_application.h"
#include "app/debug_log.h"
#include "resource/paths.h"
#include "resource/xml.h"

namespace {

constexpr unsigned kOutOfMemory = 0x8007000Eu;

void LogFailure(unsigned hr, const char* call) {
    CDebugLog::Instance().Log("FAILED(hr=0x%x) in %s", hr, call);
}

// While the video plays the frame loop neither draws nor presents the scene.
void SetSceneDrawingOff(bool off) {
    if (CD3DApplication* application = CD3DApplication::GetInstance()) {
        application->SetRenderingOff(off);
    }
}

bool IsWindowed() {
    const CD3DApplication* application = CD3DApplication::GetInstance();
    return !application || application->IsWindowed();
}

}  // namespace

CAIPlayVideoFile::CAIPlayVideoFile(const enXml& element) {
    std::string name;
    element.GetValueString("sFileName", name);
    m_fileName = ResolvePath(name, element.GetSourceName());
    SetSceneDrawingOff(true);
    if (!Start()) {
        Stop();
    }
}

CAIPlayVideoFile::~CAIPlayVideoFile() {
    if (m_stream) {
        Stop();
    }
}

bool CAIPlayVideoFile::Start() {
    unsigned failure = 0;
    m_stream = CVideoStream::Open(m_fileName, failure);
    if (!m_stream) {
        LogFailure(failure, "m_pGB->RenderFile(wFileName, NULL)");
        return false;
    }
    const CD3DApplication* application = CD3DApplication::GetInstance();
    m_windowed = IsWindowed();
    m_screen = std::make_unique<CVideoScreen>();
    if (!application ||
        !m_screen->Create(application->GetDevice(), m_stream->Video().Width(), m_stream->Video().Height())) {
        LogFailure(kOutOfMemory, "m_pVW->put_Owner((OAHWND)hWnd)");
        return false;
    }
    if (m_stream->Video().HasAudio()) {
        m_sound = CVideoSound::Open(m_fileName);
    }
    return true;
}

void CAIPlayVideoFile::Stop() {
    m_sound.reset();
    m_screen.reset();
    m_stream.reset();
    m_fileName.clear();
    SetSceneDrawingOff(false);
}

bool CAIPlayVideoFile::Update() {
    if (!m_stream) {
        return true;
    }
    const CVideoStream::eStep step = m_stream->Tick();
    if (step == CVideoStream::eStep::EndOfFile) {
        Stop();
        return true;
    }
    if (step == CVideoStream::eStep::NewFrame) {
        m_screen->SetFrame(m_stream->Frame());
        // The sound starts with the first picture, so both run on from the same moment.
        if (m_sound && m_stream->FramesDelivered() == 1) {
            m_sound->Play();
        }
    }
    // A switch between window and full screen needs the picture placed on the new client area.
    const bool windowed = IsWindowed();
    if (step == CVideoStream::eStep::NewFrame || windowed != m_windowed) {
        m_windowed = windowed;
        m_screen->Show();
    }
    return true;
}
