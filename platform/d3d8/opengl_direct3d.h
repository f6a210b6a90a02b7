#pragma once
// The Direct3D object of the OpenGL back end: SDL's displays are the adapters.

#include <functional>

#include "platform/d3d8/direct3d_base.h"

namespace d3d8 {

class OpenGLDirect3D : public Direct3DBase {
public:
    // Null when SDL's video subsystem cannot start.
    static IDirect3D8* Create();
    ~OpenGLDirect3D() override;

protected:
    HRESULT MakeDevice(const D3DDEVICE_CREATION_PARAMETERS& creation,
                       const D3DPRESENT_PARAMETERS& presentation, IDirect3DDevice8** device) override;

private:
    explicit OpenGLDirect3D(std::vector<Adapter> adapters);
};

// The adapter of each SDL display with its modes in the formats Direct3D knows.
std::vector<Adapter> SdlAdapters();

// True when there is a display and every one has a desktop mode and a full-screen mode.
bool AreUsable(const std::vector<Adapter>& adapters);

// Asks query until its answer is usable, calling askAgain between tries; after the given number
// of tries the last answer stands.
std::vector<Adapter> QueryUntilUsable(const std::function<std::vector<Adapter>()>& query,
                                      const std::function<void()>& askAgain, int tries);

}  // namespace d3d8
