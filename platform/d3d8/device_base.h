#pragma once
// The device behaviour both back ends share: argument checks, the state machine, state
// blocks, scenes, resources, the lost/reset cycle and the validation of draw calls. A back end
// supplies only what touches the screen: clearing, drawing, presenting and mode switches.

#include <map>
#include <optional>
#include <string_view>

#include "platform/d3d8/com_object.h"
#include "platform/d3d8/device_state.h"
#include "platform/d3d8/state_block.h"
#include "platform/d3d8/vertex_format.h"

namespace d3d8 {

class Direct3DBase;
class Texture;

// A validated draw call: every vertex it reads lies inside the given vertex data.
struct DrawCall {
    std::string_view method;
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    DWORD fvf;
    VertexLayout layout;
    const BYTE* vertices;
    UINT stride;
    UINT vertexCount;     // vertices readable from `vertices`
    const void* indices;  // null for non-indexed draws
    bool wideIndices;     // 32-bit indices
    UINT indexCount;      // indices, or vertices of a non-indexed draw
};

class DeviceBase : public ComObject<IDirect3DDevice8> {
public:
    DeviceBase(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
               const D3DPRESENT_PARAMETERS& presentation);
    ~DeviceBase() override;

    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT GetDirect3D(IDirect3D8** direct3D) override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
    HRESULT SetCursorProperties(UINT hotSpotX, UINT hotSpotY, IDirect3DSurface8* cursorBitmap) override;
    void SetCursorPosition(UINT x, UINT y, DWORD flags) override;
    bool ShowCursor(bool show) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* presentationParameters) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const void* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBuffer) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** vertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8** indexBuffer) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT GetMaterial(D3DMATERIAL8* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, bool enable) override;
    HRESULT GetLightEnable(DWORD index, bool* enable) override;
    HRESULT SetClipPlane(DWORD index, const float* plane) override;
    HRESULT GetClipPlane(DWORD index, float* plane) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* token) override;
    HRESULT ApplyStateBlock(DWORD token) override;
    HRESULT CaptureStateBlock(DWORD token) override;
    HRESULT DeleteStateBlock(DWORD token) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                 UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                   UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                   const void* vertexData, UINT vertexStride) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT GetVertexShader(DWORD* handle) override;
    HRESULT SetPixelShader(DWORD handle) override;
    HRESULT GetPixelShader(DWORD* handle) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* data, UINT stride) override;
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer8** data, UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) override;
    HRESULT GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) override;

    const D3DCAPS8& Caps() const;
    const DeviceState& State() const { return m_state; }
    const D3DPRESENT_PARAMETERS& Presentation() const { return m_presentation; }
    bool InScene() const { return m_inScene; }

    // Resource bookkeeping (see resource.h).
    void Attach(D3DPOOL pool);
    void Detach(const void* resource, D3DPOOL pool);
    // Called by a texture that is being destroyed, while it is still whole.
    virtual void ForgetTexture(Texture& /*texture*/) {}

protected:
    // The device answers D3DERR_DEVICELOST to the next lostTests cooperative-level tests and
    // D3DERR_DEVICENOTRESET after them, until a reset succeeds.
    void LoseDevice(unsigned lostTests);
    bool IsLost() const { return m_cooperation != Cooperation::kOk; }

    // Back-end hooks.
    virtual void OnCall(std::string_view /*method*/) {}
    // Every Set call, valid or not, recorded into a state block or applied.
    virtual void OnSubmit(const StateCommand& command) { OnCall(MethodName(command)); }
    virtual void OnClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                         DWORD stencil) = 0;
    virtual HRESULT OnDraw(const DrawCall& draw) = 0;
    virtual HRESULT OnPresent() = 0;
    // Switches to the new presentation parameters; they are kept only when this succeeds.
    virtual HRESULT OnReset(const D3DPRESENT_PARAMETERS& presentation) = 0;

private:
    enum class Cooperation { kOk, kLost, kNotReset };

    HRESULT Submit(const StateCommand& command);
    HRESULT Draw(const DrawCall& draw);
    HRESULT CheckDrawStart(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride, DrawCall* draw) const;
    HRESULT DrawIndexed(DrawCall& draw, const void* indices, D3DFORMAT format);
    void ResetState();
    StateBlock* FindBlock(DWORD token);

    Direct3DBase& m_direct3D;
    D3DDEVICE_CREATION_PARAMETERS m_creation;
    D3DPRESENT_PARAMETERS m_presentation;
    DeviceState m_state;
    std::map<DWORD, StateBlock> m_stateBlocks;
    std::optional<StateBlock> m_recording;
    DWORD m_nextToken = 1;
    bool m_inScene = false;
    bool m_cursorVisible = false;
    Cooperation m_cooperation = Cooperation::kOk;
    unsigned m_lostTestsLeft = 0;
    unsigned m_defaultPoolResources = 0;
};

}  // namespace d3d8
