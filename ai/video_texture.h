#pragma once
// The target texture of the video components: fetched from the texture cache, checked for a
// format a frame can be converted into, and filled with frames.

#include <string>

#include "platform/d3d8/d3d8.h"
#include "platform/dshow/video_file.h"

// The four formats frames convert into: A8R8G8B8, X8R8G8B8, R5G6B5 and A1R5G5B5.
bool IsVideoTextureFormat(D3DFORMAT format);

// Copies a bottom-up 24-bit frame into the top-left corner of level 0, converting every pixel;
// whatever lies beyond the texture's edges is left out. False when the texture cannot be
// locked or has another format.
bool CopyFrameToTexture(const dshow::DibFrame& frame, IDirect3DTexture8* texture);

struct tVideoTexture {
    IDirect3DTexture8* texture = nullptr;
    D3DSURFACE_DESC description{};
};

// Fetches the texture of that path; failures are logged under the component's class name.
bool AcquireVideoTexture(const std::string& path, const char* className, tVideoTexture& target);

class enXml;

// The properties both texture components share; the paths are full paths already.
struct tVideoSettings {
    std::string sourceFile;
    std::string targetTexture;
    bool looped = true;
    bool dieOnFinish = false;
};
tVideoSettings ReadVideoSettings(const enXml& element);
