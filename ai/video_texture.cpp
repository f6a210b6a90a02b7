#include "ai/video_texture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app/debug_log.h"
#include "platform/d3dx8/texture_loading.h"
#include "render/texture_cache.h"
#include "resource/paths.h"
#include "resource/xml.h"

namespace {

std::uint32_t ToX8R8G8B8(const std::uint8_t* bgr) {
    return 0xFF000000u | std::uint32_t(bgr[2]) << 16 | std::uint32_t(bgr[1]) << 8 | bgr[0];
}

std::uint16_t ToR5G6B5(const std::uint8_t* bgr) {
    return static_cast<std::uint16_t>((bgr[2] >> 3) << 11 | (bgr[1] >> 2) << 5 | (bgr[0] >> 3));
}

std::uint16_t ToA1R5G5B5(const std::uint8_t* bgr) {
    return static_cast<std::uint16_t>(0x8000 | (bgr[2] >> 3) << 10 | (bgr[1] >> 3) << 5 | (bgr[0] >> 3));
}

template <class Pixel, Pixel (*convert)(const std::uint8_t*)>
void ConvertRow(const std::uint8_t* source, std::uint8_t* destination, int width) {
    for (int x = 0; x < width; ++x) {
        const Pixel pixel = convert(source + 3 * x);
        std::memcpy(destination + sizeof(Pixel) * x, &pixel, sizeof(Pixel));
    }
}

using RowConverter = void (*)(const std::uint8_t*, std::uint8_t*, int);

RowConverter ConverterFor(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            return &ConvertRow<std::uint32_t, &ToX8R8G8B8>;
        case D3DFMT_R5G6B5:
            return &ConvertRow<std::uint16_t, &ToR5G6B5>;
        case D3DFMT_A1R5G5B5:
            return &ConvertRow<std::uint16_t, &ToA1R5G5B5>;
        default:
            return nullptr;
    }
}

}  // namespace

bool IsVideoTextureFormat(D3DFORMAT format) {
    return ConverterFor(format) != nullptr;
}

bool CopyFrameToTexture(const dshow::DibFrame& frame, IDirect3DTexture8* texture) {
    D3DSURFACE_DESC description{};
    if (!texture || FAILED(texture->GetLevelDesc(0, &description))) {
        return false;
    }
    const RowConverter convert = ConverterFor(description.Format);
    if (!convert || frame.pitch < frame.width * 3 ||
        frame.bits.size() < static_cast<std::size_t>(frame.pitch) * frame.height) {
        return false;
    }
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
        return false;
    }
    const int width = std::min(frame.width, static_cast<int>(description.Width));
    const int height = std::min(frame.height, static_cast<int>(description.Height));
    auto* destination = static_cast<std::uint8_t*>(locked.pBits);
    for (int y = 0; y < height; ++y) {
        // The bitmap keeps its rows bottom-up; the texture's first row is the picture's top.
        const std::uint8_t* source =
            frame.bits.data() + static_cast<std::size_t>(frame.height - 1 - y) * frame.pitch;
        convert(source, destination + static_cast<std::ptrdiff_t>(y) * locked.Pitch, width);
    }
    texture->UnlockRect(0);
    return true;
}

bool AcquireVideoTexture(const std::string& path, const char* className, tVideoTexture& target) {
    CDebugLog& log = CDebugLog::Instance();
    target.texture = CTextureCache::Instance().LoadTexture(path, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0,
                                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                           D3DX_DEFAULT, 0, nullptr, nullptr);
    if (!target.texture) {
        log.LogLevel(1, "%s: Could not obtain the D3DX texture by filename %s!", className, path.c_str());
        return false;
    }
    if (const HRESULT hr = target.texture->GetLevelDesc(0, &target.description); FAILED(hr)) {
        log.LogLevel(1, "%s: Could not get level Description of D3DX texture!  hr=0x%x", className,
                     static_cast<unsigned>(hr));
        return false;
    }
    if (!IsVideoTextureFormat(target.description.Format)) {
        log.LogLevel(1, "%s: Texture is format we can't handle! Format = 0x%x", className,
                     static_cast<unsigned>(target.description.Format));
        return false;
    }
    return true;
}

tVideoSettings ReadVideoSettings(const enXml& element) {
    tVideoSettings settings;
    element.GetValueString("sSourceFile", settings.sourceFile);
    element.GetValueString("sTargetTexture", settings.targetTexture);
    element.GetValueBool("bLooped", settings.looped);
    element.GetValueBool("bDieOnFinish", settings.dieOnFinish);
    // Names of the data resolve against the program folder unless they carry a drive.
    settings.sourceFile = MakeFullPath(settings.sourceFile);
    settings.targetTexture = MakeFullPath(settings.targetTexture);
    return settings;
}
