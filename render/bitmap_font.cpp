#include "render/bitmap_font.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "app/debug_log.h"
#include "render/application_device.h"
#include "render/font_cache.h"
#include "render/texture_cache.h"
#include "resource/paths.h"
#include "resource/xml.h"

namespace {

constexpr DWORD kTextVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 324
constexpr UINT kVertexBufferBytes = 9600;
constexpr UINT kTrianglesBeforeDraw = 98;

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (end > start) {
            lines.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

bool IsFontImageFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 ||
           format == D3DFMT_A1R5G5B5;
}

std::vector<std::uint32_t> ReadLockedPixels(const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc) {
    const bool wide = desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_X8R8G8B8;
    std::vector<std::uint32_t> pixels(std::size_t(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(locked.pBits) + std::size_t(y) * locked.Pitch;
        for (UINT x = 0; x < desc.Width; ++x) {
            std::uint32_t value = 0;
            std::memcpy(&value, row + x * (wide ? 4 : 2), wide ? 4 : 2);
            pixels[std::size_t(y) * desc.Width + x] = value;
        }
    }
    return pixels;
}

}  // namespace

struct CBitmapFont::tTextVertex {
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};

// Fills the vertex buffer and draws whenever it holds more than 98 triangles, and at the end.
class CBitmapFont::CVertexWriter {
public:
    CVertexWriter(IDirect3DDevice8* device, IDirect3DVertexBuffer8* buffer)
        : m_device(device), m_buffer(buffer) {
        Lock();
    }
    ~CVertexWriter() { Draw(); }

    void AddQuad(const tTextVertex& topLeft, const tTextVertex& bottomRight) {
        if (m_vertices == nullptr) {
            return;
        }
        const tTextVertex topRight{bottomRight.x, topLeft.y,     topLeft.z, 1.0f,
                                   topLeft.color, bottomRight.u, topLeft.v};
        const tTextVertex bottomLeft{topLeft.x,     bottomRight.y, topLeft.z,    1.0f,
                                     topLeft.color, topLeft.u,     bottomRight.v};
        for (const tTextVertex& vertex : {topLeft, topRight, bottomLeft, topRight, bottomRight, bottomLeft}) {
            m_vertices[m_count++] = vertex;
        }
        if (m_count / 3 > kTrianglesBeforeDraw) {
            Draw();
            Lock();
        }
    }

private:
    void Lock() {
        BYTE* data = nullptr;
        const bool locked = SUCCEEDED(m_buffer->Lock(0, 0, &data, D3DLOCK_DISCARD));
        m_vertices = locked ? reinterpret_cast<tTextVertex*>(data) : nullptr;
        m_count = 0;
    }
    void Draw() {
        if (m_vertices == nullptr) {
            return;
        }
        m_buffer->Unlock();
        m_vertices = nullptr;
        if (m_count > 0) {
            m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, m_count / 3);
        }
    }

    IDirect3DDevice8* m_device;
    IDirect3DVertexBuffer8* m_buffer;
    tTextVertex* m_vertices = nullptr;
    UINT m_count = 0;
};

CBitmapFont::CBitmapFont(std::string name) : m_name(std::move(name)) {}

CBitmapFont::~CBitmapFont() {
    DeleteDeviceObjects();
}

HRESULT CBitmapFont::InitDeviceObjects(IDirect3DDevice8* device) {
    std::string fileName;
    if (!CFontCache::Instance().GetFontFileName(m_name, fileName)) {
        return E_FAIL;
    }
    return LoadFontFile(device, GetProgramFolder() + "Fonts\\" + fileName, fileName);
}

HRESULT CBitmapFont::LoadFontFile(IDirect3DDevice8* device, const std::string& fontFilePath,
                                  const std::string& fileName) {
    CDebugLog& log = CDebugLog::Instance();
    enXml font;
    font.Load(fontFilePath);
    const enXml* image = font.GetChild("Image");
    std::string imageName;
    if (!image || !image->GetAttributeString("FileName", imageName)) {
        log.LogLevel(1, "Can't resolve image file name by font file %s.", fileName.c_str());
        return E_FAIL;
    }
    const std::string imagePath = ResolvePath(imageName, fontFilePath);
    m_resolutionX = 640;
    m_resolutionY = 480;
    font.GetValueInt("iScreenResolutionX", m_resolutionX);
    font.GetValueInt("iScreenResolutionY", m_resolutionY);
    const enXml* lettersElement = font.GetChild("Letters");
    if (!lettersElement) {
        log.LogLevel(1, "Can't find \"Letters\" tag in the font file %s.", fileName.c_str());
        return E_FAIL;
    }
    std::string letters;
    if (!ReadLetters(*lettersElement, fileName, letters)) {
        return E_FAIL;
    }
    IDirect3DTexture8* texture = CTextureCache::Instance().LoadTexture(
        imagePath, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
        D3DX_FILTER_NONE, 0, nullptr, nullptr);
    if (!texture) {
        log.LogLevel(1, "Couldn't load image for font file %s.", fileName.c_str());
        return E_FAIL;
    }
    if (!ScanImage(texture, imagePath, letters, fileName)) {
        return E_FAIL;
    }
    log.LogLevel(3, "Load font: %s -- OK.", imagePath.c_str());
    m_device = device;
    return S_OK;
}

bool CBitmapFont::ReadLetters(const enXml& letters, const std::string& fileName, std::string& out) const {
    CDebugLog& log = CDebugLog::Instance();
    for (const enXml* letter = letters.FirstChild(); letter; letter = letter->NextSibling()) {
        std::string character;
        std::int32_t code = 0;
        if (letter->GetAttributeString("Char", character)) {
            if (character.size() != 1) {
                log.LogLevel(1, "Font file %s contains wrong tag -- wrong \"Char\" attribute %s.",
                             fileName.c_str(), character.c_str());
                return false;
            }
            out += character;
        } else if (letter->GetAttributeInt("ASCII", code)) {
            if (code < 0 || code > 255) {
                log.LogLevel(
                    1,
                    "Font file %s contains wrong tag -- wrong \"ASCII\" attribute %i (Must be between 0 and "
                    "255).",
                    fileName.c_str(), code);
                return false;
            }
            out += static_cast<char>(code);
        } else {
            log.LogLevel(
                1,
                "Font file %s contains wrong tag which does not contain neither \"ASCII\" nor \"Char\" "
                "attribute.",
                fileName.c_str());
            return false;
        }
    }
    return true;
}

bool CBitmapFont::ScanImage(IDirect3DTexture8* texture, const std::string& imagePath,
                            const std::string& letters, const std::string& fileName) {
    CDebugLog& log = CDebugLog::Instance();
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    if (!IsFontImageFormat(desc.Format)) {
        log.LogLevel(1, "Unsupported image format of %s. (Current format is %i).", imagePath.c_str(),
                     static_cast<int>(desc.Format));
        return false;
    }
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
        log.LogLevel(1, "Couldn't lock image rect for reading: %s.", imagePath.c_str());
        return false;
    }
    const CFontImage image(desc.Width, desc.Height, ReadLockedPixels(locked, desc));
    texture->UnlockRect(0);
    const tFontScan scan = ScanFontImage(image, letters, imagePath, fileName);
    m_glyphs = scan.glyphs;
    m_lineHeight = scan.lineHeight;
    m_texture = texture;
    m_imageWidth = desc.Width;
    m_imageHeight = desc.Height;
    return true;
}

HRESULT CBitmapFont::RestoreDeviceObjects() {
    if (m_vertexBuffer) {
        return S_OK;
    }
    if (!m_device) {
        if (FAILED(InitDeviceObjects(GetApplicationDevice()))) {
            return E_FAIL;
        }
    }
    if (FAILED(m_device->CreateVertexBuffer(kVertexBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                            D3DPOOL_DEFAULT, &m_vertexBuffer))) {
        return E_FAIL;
    }
    for (DWORD* block : {&m_savedStateBlock, &m_drawStateBlock}) {
        m_device->BeginStateBlock();
        RecordDrawStates();
        m_device->EndStateBlock(block);
    }
    return S_OK;
}

void CBitmapFont::RecordDrawStates() {
    IDirect3DDevice8* device = m_device;
    device->SetTexture(0, m_texture);
    device->SetRenderState(D3DRS_ZENABLE, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_STENCILENABLE, 0);
    device->SetRenderState(D3DRS_CLIPPING, 1);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 0);
    device->SetRenderState(D3DRS_FOGENABLE, 0);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 15);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
}

HRESULT CBitmapFont::InvalidateDeviceObjects() {
    if (m_vertexBuffer) {
        m_vertexBuffer->Release();
        m_vertexBuffer = nullptr;
    }
    for (DWORD* block : {&m_savedStateBlock, &m_drawStateBlock}) {
        if (*block != 0 && m_device) {
            m_device->DeleteStateBlock(*block);
        }
        *block = 0;
    }
    return S_OK;
}

HRESULT CBitmapFont::DeleteDeviceObjects() {
    InvalidateDeviceObjects();
    m_texture = nullptr;
    return S_OK;
}

float CBitmapFont::LineWidth(std::string_view line, float horizontalFactor) const {
    float width = 0.0f;
    for (char character : line) {
        const tGlyph& glyph = m_glyphs[static_cast<unsigned char>(character)];
        width += (glyph.right - glyph.left) * float(m_imageWidth) * horizontalFactor;
    }
    return width;
}

HRESULT CBitmapFont::DrawText(float x, float y, float z, float sizeX, float sizeY, std::string_view text,
                              DWORD color, DWORD flags) {
    if (!m_device || !m_vertexBuffer) {
        return S_OK;
    }
    IDirect3DDevice8* device = m_device;
    device->CaptureStateBlock(m_savedStateBlock);
    device->ApplyStateBlock(m_drawStateBlock);
    device->SetVertexShader(kTextVertexFormat);
    device->SetPixelShader(0);
    device->SetStreamSource(0, m_vertexBuffer, sizeof(tTextVertex));
    const DWORD filter = (flags & D3DFONT_FILTERED) != 0 ? D3DTEXF_LINEAR : D3DTEXF_POINT;
    device->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
    D3DVIEWPORT8 viewport{};
    device->GetViewport(&viewport);

    const float horizontal = sizeX * float(viewport.Width) / float(m_resolutionX);
    const float vertical = sizeY * float(viewport.Height) / float(m_resolutionY);
    const float lineStep = float(m_lineHeight) * vertical;
    const std::vector<std::string_view> lines = SplitLines(text);
    const float left = std::floor(x * float(viewport.Width) / 640.0f);
    const float earlierLines = lines.empty() ? 0.0f : float(lines.size() - 1);
    float baseline = std::floor(y * float(viewport.Height) / 480.0f) - earlierLines * lineStep;
    if ((flags & D3DFONT_CENTERED_Y) != 0) {
        baseline += float(lines.size()) * lineStep * 0.5f;
    }
    if ((flags & D3DFONT_ALIGN_TOP) != 0) {
        baseline += float(lines.size()) * lineStep;
    }
    {
        CVertexWriter writer(device, m_vertexBuffer);
        for (std::string_view line : lines) {
            float pen = left;
            if ((flags & D3DFONT_CENTERED_X) != 0) {
                pen -= LineWidth(line, horizontal) * 0.5f;
            } else if ((flags & D3DFONT_ALIGN_RIGHT) != 0) {
                pen -= LineWidth(line, horizontal);
            }
            for (char character : line) {
                const tGlyph& glyph = m_glyphs[static_cast<unsigned char>(character)];
                const float w = (glyph.right - glyph.left) * float(m_imageWidth) * horizontal;
                if (character != ' ') {
                    const float h = (glyph.bottom - glyph.top) * float(m_imageHeight) * vertical;
                    const float below = glyph.descent * float(m_imageHeight) * vertical;
                    writer.AddQuad({pen, baseline - (h - below), z, 1.0f, color, glyph.left, glyph.top},
                                   {pen + w, baseline + below, z, 1.0f, color, glyph.right, glyph.bottom});
                }
                pen += w;
            }
            baseline += lineStep;
        }
    }
    device->ApplyStateBlock(m_savedStateBlock);
    return S_OK;
}
