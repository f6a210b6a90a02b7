#pragma once
// Plays a video file into a texture of the texture cache: every tick the frame due at the
// playing time is copied in. Plays once, looped, or back and forth.

#include <memory>
#include <string>

#include "ai/video_texture.h"
#include "engine/ai.h"
#include "platform/dshow/video_file.h"

class enXml;

class CAIVideo2Texture : public C_AI {
public:
    explicit CAIVideo2Texture(const enXml& element);
    bool Update() override;

    bool IsReady() const { return m_ready; }
    long GetLastShownFrame() const { return m_lastShown; }

private:
    bool Open();
    // The frame due after this tick's step, with the wrap, bounce or end applied.
    long NextFrame();
    void Show(long frame);

    tVideoSettings m_settings;
    bool m_pingPong = false;

    std::unique_ptr<dshow::VideoFile> m_video;
    tVideoTexture m_target;
    long m_first = 0;
    long m_end = 0;
    double m_rate = 0.0;
    double m_time = 0.0;
    bool m_forward = true;
    long m_lastShown = -1;
    bool m_ready = false;
    dshow::DibFrame m_frame;
};
