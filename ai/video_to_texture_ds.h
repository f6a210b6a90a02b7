#pragma once
// Plays a video file into a texture of the texture cache as a running stream: frames arrive in
// order as the ticks pass; at the end of the file the stream starts over, or the entity dies.

#include <memory>

#include "ai/video_stream.h"
#include "ai/video_texture.h"
#include "engine/ai.h"

class enXml;

class CAIVideo2TextureDS : public C_AI {
public:
    explicit CAIVideo2TextureDS(const enXml& element);
    bool Update() override;

    bool IsRunning() const { return m_running; }
    // Frames delivered into the texture since the stream (re)started.
    long GetFramesDelivered() const { return m_stream ? m_stream->FramesDelivered() : 0; }

private:
    bool Open();

    tVideoSettings m_settings;
    std::unique_ptr<CVideoStream> m_stream;
    tVideoTexture m_target;
    bool m_running = false;
};
