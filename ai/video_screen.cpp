#include "ai/video_screen.h"

#include <algorithm>

#include "ai/video_texture.h"

namespace {

struct tScreenVertex {
    float x, y, z, rhw;
    float u, v;
};
constexpr DWORD kScreenVertexFormat = D3DFVF_XYZRHW | D3DFVF_TEX1;

UINT PowerOfTwoAtLeast(int size) {
    UINT power = 1;
    while (power < static_cast<UINT>(size)) {
        power <<= 1;
    }
    return power;
}

void SetScreenStates(IDirect3DDevice8* device) {
    device->SetRenderState(D3DRS_ZENABLE, 0);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

}  // namespace

CVideoScreen::~CVideoScreen() {
    if (m_texture) {
        m_texture->Release();
    }
}

bool CVideoScreen::Create(IDirect3DDevice8* device, int width, int height) {
    m_device = device;
    m_width = width;
    m_height = height;
    m_textureWidth = PowerOfTwoAtLeast(width);
    m_textureHeight = PowerOfTwoAtLeast(height);
    return device && SUCCEEDED(device->CreateTexture(m_textureWidth, m_textureHeight, 1, 0, D3DFMT_X8R8G8B8,
                                                     D3DPOOL_MANAGED, &m_texture));
}

void CVideoScreen::SetFrame(const dshow::DibFrame& frame) {
    CopyFrameToTexture(frame, m_texture);
}

void CVideoScreen::Show() {
    D3DVIEWPORT8 viewport{};
    if (!m_texture || FAILED(m_device->GetViewport(&viewport)) || FAILED(m_device->BeginScene())) {
        return;
    }
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // The largest rectangle of the picture's proportions, centred.
    const float scale = std::min(static_cast<float>(viewport.Width) / static_cast<float>(m_width),
                                 static_cast<float>(viewport.Height) / static_cast<float>(m_height));
    const float width = static_cast<float>(m_width) * scale;
    const float height = static_cast<float>(m_height) * scale;
    const float left = viewport.X + (static_cast<float>(viewport.Width) - width) / 2.0f - 0.5f;
    const float top = viewport.Y + (static_cast<float>(viewport.Height) - height) / 2.0f - 0.5f;
    const float u = static_cast<float>(m_width) / static_cast<float>(m_textureWidth);
    const float v = static_cast<float>(m_height) / static_cast<float>(m_textureHeight);
    const tScreenVertex quad[4] = {{left, top, 0.0f, 1.0f, 0.0f, 0.0f},
                                   {left + width, top, 0.0f, 1.0f, u, 0.0f},
                                   {left, top + height, 0.0f, 1.0f, 0.0f, v},
                                   {left + width, top + height, 0.0f, 1.0f, u, v}};
    SetScreenStates(m_device);
    m_device->SetTexture(0, m_texture);
    m_device->SetVertexShader(kScreenVertexFormat);
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(tScreenVertex));
    m_device->SetTexture(0, nullptr);
    m_device->EndScene();
    m_device->Present(nullptr, nullptr, nullptr, nullptr);
}
