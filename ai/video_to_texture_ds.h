#pragma once
// Plays a video file into a texture of the texture cache as a running stream: frames arrive in
// order as the ticks pass; at the end of the file the stream starts over, or the entity dies.

#include <memory>

#include "ai/video_texture.h"
#include "engine/ai.h"
#include "platform/dshow/video_file.h"

class enXml;

class CAIVideo2TextureDS : public C_AI {
public:
    explicit CAIVideo2TextureDS(const enXml& element);
    bool Update() override;

    bool IsRunning() const { return m_running; }
    // Frames delivered into the texture since the stream (re)started.
    long GetFramesDelivered() const { return m_delivered; }

private:
    bool Open();
    // Reads every frame due by the stream time into m_frame; false at the end of the file.
    bool ReadDueFrames(bool& gotFrame);
    void Complete();

    tVideoSettings m_settings;
    std::unique_ptr<dshow::VideoFile> m_video;
    tVideoTexture m_target;
    double m_streamTime = 0.0;
    long m_delivered = 0;
    bool m_running = false;
    dshow::DibFrame m_frame;
};
