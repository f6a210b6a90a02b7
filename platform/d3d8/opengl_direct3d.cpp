#include "platform/d3d8/opengl_direct3d.h"

#include <SDL.h>

#include <algorithm>

#include "platform/d3d8/opengl_device.h"
#include "platform/win32/sdl_window.h"

namespace d3d8 {
namespace {

constexpr UINT kDefaultRefreshRate = 60;
constexpr int kDisplayQueryTries = 10;
constexpr Uint32 kDisplayQueryPauseMs = 30;

D3DFORMAT FormatOf(Uint32 sdlFormat) {
    switch (SDL_BITSPERPIXEL(sdlFormat)) {
        case 24:
        case 32:
            return D3DFMT_X8R8G8B8;
        case 16:
            return D3DFMT_R5G6B5;
        case 15:
            return D3DFMT_X1R5G5B5;
        default:
            return D3DFMT_UNKNOWN;
    }
}

D3DDISPLAYMODE ModeOf(const SDL_DisplayMode& mode) {
    return {static_cast<UINT>(mode.w), static_cast<UINT>(mode.h),
            mode.refresh_rate > 0 ? static_cast<UINT>(mode.refresh_rate) : kDefaultRefreshRate,
            FormatOf(mode.format)};
}

bool IsUsableMode(const D3DDISPLAYMODE& mode) {
    return mode.Width > 0 && mode.Height > 0 && mode.Format != D3DFMT_UNKNOWN;
}

bool SameMode(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
    return a.Width == b.Width && a.Height == b.Height && a.RefreshRate == b.RefreshRate &&
           a.Format == b.Format;
}

Adapter DisplayAdapter(int display) {
    Adapter adapter;
    adapter.driver = "zumbo_opengl";
    const char* name = SDL_GetDisplayName(display);
    adapter.description = std::string("OpenGL on ") + (name != nullptr ? name : "display");
    adapter.textureMemory = 256u << 20;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(display, &desktop) == 0) {
        adapter.desktop = ModeOf(desktop);
    }
    for (int index = 0; index < SDL_GetNumDisplayModes(display); ++index) {
        SDL_DisplayMode sdlMode{};
        if (SDL_GetDisplayMode(display, index, &sdlMode) != 0) {
            continue;
        }
        const D3DDISPLAYMODE mode = ModeOf(sdlMode);
        const bool known = std::any_of(adapter.modes.begin(), adapter.modes.end(),
                                       [&](const D3DDISPLAYMODE& listed) { return SameMode(listed, mode); });
        if (IsUsableMode(mode) && !known) {
            adapter.modes.push_back(mode);
        }
    }
    return adapter;
}

}  // namespace

std::vector<Adapter> SdlAdapters() {
    std::vector<Adapter> adapters;
    for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
        adapters.push_back(DisplayAdapter(display));
    }
    return adapters;
}

bool AreUsable(const std::vector<Adapter>& adapters) {
    return !adapters.empty() && std::all_of(adapters.begin(), adapters.end(), [](const Adapter& adapter) {
        return IsUsableMode(adapter.desktop) && !adapter.modes.empty();
    });
}

std::vector<Adapter> QueryUntilUsable(const std::function<std::vector<Adapter>()>& query,
                                      const std::function<void()>& askAgain, int tries) {
    std::vector<Adapter> adapters = query();
    for (int tried = 1; tried < tries && !AreUsable(adapters); ++tried) {
        askAgain();
        adapters = query();
    }
    return adapters;
}

IDirect3D8* OpenGLDirect3D::Create() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return nullptr;
    }
    // An X server that is reconfiguring (the window of the previous run going away, another
    // client at work) sometimes answers with a display without modes. SDL reads the displays
    // when its video starts, so asking again means restarting it after a short pause.
    bool videoRunning = true;
    const auto askAgain = [&videoRunning] {
        SDL_Delay(kDisplayQueryPauseMs);
        videoRunning = win32::RestartSdlVideo() || SDL_WasInit(SDL_INIT_VIDEO) != 0;
    };
    const auto query = [&videoRunning] { return videoRunning ? SdlAdapters() : std::vector<Adapter>(); };
    std::vector<Adapter> adapters = QueryUntilUsable(query, askAgain, kDisplayQueryTries);
    if (!videoRunning) {
        return nullptr;
    }
    return new OpenGLDirect3D(std::move(adapters));
}

OpenGLDirect3D::OpenGLDirect3D(std::vector<Adapter> adapters)
    : Direct3DBase(std::move(adapters), FixedFunctionCaps()) {}

OpenGLDirect3D::~OpenGLDirect3D() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

HRESULT OpenGLDirect3D::MakeDevice(const D3DDEVICE_CREATION_PARAMETERS& creation,
                                   const D3DPRESENT_PARAMETERS& presentation, IDirect3DDevice8** device) {
    const HWND target =
        presentation.hDeviceWindow != nullptr ? presentation.hDeviceWindow : creation.hFocusWindow;
    SDL_Window* window = win32::SdlWindowOf(target);
    if (window == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    return OpenGLDevice::Create(*this, creation, presentation, window, device);
}

}  // namespace d3d8
