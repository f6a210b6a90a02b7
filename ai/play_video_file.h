#pragma once
// Plays a video file over the whole window while the engine stops drawing; at the end of the
// file the scene shows again.

#include <memory>
#include <string>

#include "ai/video_screen.h"
#include "ai/video_sound.h"
#include "ai/video_stream.h"
#include "engine/ai.h"

class enXml;

class CAIPlayVideoFile : public C_AI {
public:
    explicit CAIPlayVideoFile(const enXml& element);
    ~CAIPlayVideoFile() override;
    bool Update() override;

    bool IsPlaying() const { return m_stream != nullptr; }

private:
    bool Start();
    // Releases the video and lets the engine draw again.
    void Stop();

    std::string m_fileName;
    std::unique_ptr<CVideoStream> m_stream;
    std::unique_ptr<CVideoScreen> m_screen;
    std::unique_ptr<CVideoSound> m_sound;  // null for a file without sound or without a device
    bool m_windowed = true;
};
