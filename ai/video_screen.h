#pragma once
// The video window of full-window playback: frames drawn over the whole back buffer, black
// bars keeping the picture's proportions, and presented at once.

#include "platform/d3d8/d3d8.h"
#include "platform/dshow/video_file.h"

class CVideoScreen {
public:
    CVideoScreen() = default;
    ~CVideoScreen();
    CVideoScreen(const CVideoScreen&) = delete;
    CVideoScreen& operator=(const CVideoScreen&) = delete;

    // A texture large enough for frames of this size; false when the device refuses one.
    bool Create(IDirect3DDevice8* device, int width, int height);
    void SetFrame(const dshow::DibFrame& frame);
    // Draws the last frame over the viewport and presents it.
    void Show();

private:
    IDirect3DDevice8* m_device = nullptr;
    IDirect3DTexture8* m_texture = nullptr;
    int m_width = 0;
    int m_height = 0;
    UINT m_textureWidth = 0;
    UINT m_textureHeight = 0;
};
