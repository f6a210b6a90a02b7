#pragma once
// Test access to the recording back end: what a device was asked to do, and forced failures.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace d3d8 {

struct RecordedDraw {
    std::string method;
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    DWORD fvf;
    IDirect3DBaseTexture8* texture;  // stage 0 when drawn; compare only, it may be gone
    D3DMATRIX world;
    DWORD alphaBlendEnable;
    DWORD zEnable;
    DWORD zWriteEnable;
    DWORD lighting;
    DWORD cullMode;
    DWORD textureFactor;
};

struct RecordedClear {
    DWORD rectCount;
    DWORD flags;
    D3DCOLOR color;
    float z;
    DWORD stencil;
};

struct DeviceRecord {
    std::map<std::string, unsigned, std::less<>> calls;  // calls per method name
    std::map<DWORD, unsigned> transformSets;             // SetTransform calls per transform type
    std::vector<RecordedDraw> draws;
    std::vector<RecordedClear> clears;
    unsigned presents = 0;

    unsigned Calls(std::string_view method) const;
    unsigned TransformSets(D3DTRANSFORMSTATETYPE state) const;
};

class RecordingControl {
public:
    // The recording device created last, as long as it exists.
    static RecordingControl* LastDevice();

    virtual IDirect3DDevice8* Device() = 0;
    virtual DeviceRecord& Record() = 0;
    // The next lostTests cooperative-level tests answer D3DERR_DEVICELOST, later ones
    // D3DERR_DEVICENOTRESET until a reset succeeds.
    virtual void LoseDevice(unsigned lostTests) = 0;
    virtual void FailNextPresent(HRESULT result) = 0;
    virtual void FailNextReset(HRESULT result) = 0;

protected:
    ~RecordingControl() = default;
};

// The next CreateDevice of any recording Direct3D object fails with this result.
void FailNextCreateDevice(HRESULT result);

// A recording Direct3D object, whatever the environment says.
IDirect3D8* CreateRecordingDirect3D();

}  // namespace d3d8
