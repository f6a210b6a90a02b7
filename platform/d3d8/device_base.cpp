#include "platform/d3d8/device_base.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/d3d8/buffer.h"
#include "platform/d3d8/direct3d_base.h"
#include "platform/d3d8/texture.h"

namespace d3d8 {
namespace {

constexpr UINT kMaxBufferBytes = 64u << 20;

D3DVIEWPORT8 FullViewport(const D3DPRESENT_PARAMETERS& presentation) {
    return {0, 0, presentation.BackBufferWidth, presentation.BackBufferHeight, 0.0f, 1.0f};
}

// The back buffer as a surface: its description only, it cannot be locked.
class BackBufferSurface : public Resource<IDirect3DSurface8> {
public:
    BackBufferSurface(DeviceBase& device, const D3DPRESENT_PARAMETERS& presentation)
        : Resource(device, D3DPOOL_DEFAULT),
          m_description{presentation.BackBufferFormat,
                        D3DRTYPE_SURFACE,
                        D3DUSAGE_RENDERTARGET,
                        D3DPOOL_DEFAULT,
                        presentation.BackBufferWidth * presentation.BackBufferHeight * 4,
                        presentation.MultiSampleType,
                        presentation.BackBufferWidth,
                        presentation.BackBufferHeight} {}

    HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
        if (desc == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *desc = m_description;
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockRect() override { return D3DERR_INVALIDCALL; }

private:
    D3DSURFACE_DESC m_description;
};

template <class Index>
bool IndicesInRange(const void* indices, UINT count, UINT vertexCount) {
    const Index* values = static_cast<const Index*>(indices);
    return std::all_of(values, values + count, [vertexCount](Index index) { return index < vertexCount; });
}

bool IsPrimitiveType(D3DPRIMITIVETYPE type) {
    return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN;
}

}  // namespace

void AttachResource(DeviceBase& device, D3DPOOL pool) {
    device.Attach(pool);
}

void DetachResource(DeviceBase& device, const void* resource, D3DPOOL pool) {
    device.Detach(resource, pool);
}

IDirect3DDevice8* AsInterface(DeviceBase& device) {
    return &device;
}

DeviceBase::DeviceBase(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
                       const D3DPRESENT_PARAMETERS& presentation)
    : m_direct3D(direct3D), m_creation(creation), m_presentation(presentation) {
    m_direct3D.AddRef();
    ResetState();
}

DeviceBase::~DeviceBase() {
    m_direct3D.Release();
}

const D3DCAPS8& DeviceBase::Caps() const {
    return m_direct3D.Caps();
}

void DeviceBase::Attach(D3DPOOL pool) {
    AddRef();
    if (pool == D3DPOOL_DEFAULT) {
        ++m_defaultPoolResources;
    }
}

void DeviceBase::Detach(const void* resource, D3DPOOL pool) {
    m_state.Forget(resource);
    for (auto& [token, block] : m_stateBlocks) {
        block.Forget(resource);
    }
    if (m_recording) {
        m_recording->Forget(resource);
    }
    if (pool == D3DPOOL_DEFAULT) {
        --m_defaultPoolResources;
    }
    Release();
}

void DeviceBase::LoseDevice(unsigned lostTests) {
    m_cooperation = Cooperation::kLost;
    m_lostTestsLeft = lostTests;
}

HRESULT DeviceBase::TestCooperativeLevel() {
    OnCall("TestCooperativeLevel");
    if (m_cooperation == Cooperation::kLost) {
        if (m_lostTestsLeft > 0) {
            --m_lostTestsLeft;
            return D3DERR_DEVICELOST;
        }
        m_cooperation = Cooperation::kNotReset;
    }
    return m_cooperation == Cooperation::kNotReset ? D3DERR_DEVICENOTRESET : D3D_OK;
}

UINT DeviceBase::GetAvailableTextureMem() {
    return m_direct3D.AdapterAt(m_creation.AdapterOrdinal).textureMemory;
}

HRESULT DeviceBase::GetDirect3D(IDirect3D8** direct3D) {
    if (direct3D == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *direct3D = Share(&m_direct3D);
    return D3D_OK;
}

HRESULT DeviceBase::GetDeviceCaps(D3DCAPS8* caps) {
    return m_direct3D.GetDeviceCaps(m_creation.AdapterOrdinal, m_creation.DeviceType, caps);
}

HRESULT DeviceBase::GetDisplayMode(D3DDISPLAYMODE* mode) {
    if (mode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (m_presentation.Windowed) {
        *mode = m_direct3D.AdapterAt(m_creation.AdapterOrdinal).desktop;
    } else {
        *mode = {m_presentation.BackBufferWidth, m_presentation.BackBufferHeight,
                 m_presentation.FullScreen_RefreshRateInHz, m_presentation.BackBufferFormat};
    }
    return D3D_OK;
}

HRESULT DeviceBase::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (parameters == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *parameters = m_creation;
    return D3D_OK;
}

HRESULT DeviceBase::SetCursorProperties(UINT /*hotSpotX*/, UINT /*hotSpotY*/,
                                        IDirect3DSurface8* cursorBitmap) {
    OnCall("SetCursorProperties");
    return cursorBitmap == nullptr ? D3DERR_INVALIDCALL : D3D_OK;
}

void DeviceBase::SetCursorPosition(UINT /*x*/, UINT /*y*/, DWORD /*flags*/) {
    OnCall("SetCursorPosition");
}

bool DeviceBase::ShowCursor(bool show) {
    OnCall("ShowCursor");
    return std::exchange(m_cursorVisible, show);
}

HRESULT DeviceBase::Reset(D3DPRESENT_PARAMETERS* presentationParameters) {
    OnCall("Reset");
    if (presentationParameters == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (m_cooperation == Cooperation::kLost) {
        return D3DERR_DEVICELOST;
    }
    // Resources of the default pool do not survive a reset: the caller releases them first.
    if (m_defaultPoolResources > 0) {
        m_cooperation = Cooperation::kNotReset;
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS presentation = *presentationParameters;
    HRESULT result =
        m_direct3D.CompletePresentation(m_creation.AdapterOrdinal, m_creation.hFocusWindow, presentation);
    if (SUCCEEDED(result)) {
        result = OnReset(presentation);
    }
    if (FAILED(result)) {
        m_cooperation = Cooperation::kNotReset;
        return result;
    }
    *presentationParameters = presentation;
    m_presentation = presentation;
    m_cooperation = Cooperation::kOk;
    ResetState();
    return D3D_OK;
}

void DeviceBase::ResetState() {
    m_state.SetDefaults(m_presentation.EnableAutoDepthStencil, FullViewport(m_presentation));
    m_recording.reset();
    m_inScene = false;
}

HRESULT DeviceBase::Present(const RECT* /*sourceRect*/, const RECT* /*destRect*/, HWND /*destWindowOverride*/,
                            const void* /*dirtyRegion*/) {
    OnCall("Present");
    if (m_inScene) {
        return D3DERR_INVALIDCALL;
    }
    if (IsLost()) {
        return D3DERR_DEVICELOST;
    }
    return OnPresent();
}

HRESULT DeviceBase::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBuffer) {
    if (backBuffer == nullptr || index >= m_presentation.BackBufferCount || type != D3DBACKBUFFER_TYPE_MONO) {
        return D3DERR_INVALIDCALL;
    }
    *backBuffer = new BackBufferSurface(*this, m_presentation);
    return D3D_OK;
}

HRESULT DeviceBase::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DTexture8** texture) {
    OnCall("CreateTexture");
    return Texture::Create(*this, width, height, levels, usage, format, pool, texture);
}

HRESULT DeviceBase::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8** vertexBuffer) {
    OnCall("CreateVertexBuffer");
    if (vertexBuffer == nullptr || length == 0 || pool > D3DPOOL_SYSTEMMEM) {
        return D3DERR_INVALIDCALL;
    }
    if (length > kMaxBufferBytes) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *vertexBuffer =
        new VertexBuffer(*this, {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf});
    return D3D_OK;
}

HRESULT DeviceBase::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8** indexBuffer) {
    OnCall("CreateIndexBuffer");
    if (indexBuffer == nullptr || length == 0 || pool > D3DPOOL_SYSTEMMEM ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    if (length > kMaxBufferBytes) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *indexBuffer = new IndexBuffer(*this, {format, D3DRTYPE_INDEXBUFFER, usage, pool, length});
    return D3D_OK;
}

HRESULT DeviceBase::BeginScene() {
    OnCall("BeginScene");
    if (m_inScene) {
        return D3DERR_INVALIDCALL;
    }
    m_inScene = true;
    return D3D_OK;
}

HRESULT DeviceBase::EndScene() {
    OnCall("EndScene");
    if (!m_inScene) {
        return D3DERR_INVALIDCALL;
    }
    m_inScene = false;
    return D3D_OK;
}

HRESULT DeviceBase::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) {
    OnCall("Clear");
    const bool depthWanted = (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0;
    if ((count > 0 && rects == nullptr) || (depthWanted && !m_presentation.EnableAutoDepthStencil) ||
        (flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) == 0) {
        return D3DERR_INVALIDCALL;
    }
    if (!IsLost()) {
        OnClear(count, rects, flags, color, z, stencil);
    }
    return D3D_OK;
}

HRESULT DeviceBase::Submit(const StateCommand& command) {
    OnSubmit(command);
    if (!IsValid(command)) {
        return D3DERR_INVALIDCALL;
    }
    if (m_recording) {
        m_recording->Append(command);
    } else {
        m_state.Execute(command);
    }
    return D3D_OK;
}

HRESULT DeviceBase::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    return matrix == nullptr ? D3DERR_INVALIDCALL : Submit(TransformCommand{state, *matrix});
}

HRESULT DeviceBase::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (matrix == nullptr || !IsValid(TransformCommand{state, {}})) {
        return D3DERR_INVALIDCALL;
    }
    *matrix = m_state.Transform(state);
    return D3D_OK;
}

HRESULT DeviceBase::SetViewport(const D3DVIEWPORT8* viewport) {
    if (viewport == nullptr || viewport->Width == 0 || viewport->Height == 0 ||
        static_cast<std::uint64_t>(viewport->X) + viewport->Width > m_presentation.BackBufferWidth ||
        static_cast<std::uint64_t>(viewport->Y) + viewport->Height > m_presentation.BackBufferHeight) {
        return D3DERR_INVALIDCALL;
    }
    return Submit(ViewportCommand{*viewport});
}

HRESULT DeviceBase::GetViewport(D3DVIEWPORT8* viewport) {
    if (viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *viewport = m_state.Viewport();
    return D3D_OK;
}

HRESULT DeviceBase::SetMaterial(const D3DMATERIAL8* material) {
    return material == nullptr ? D3DERR_INVALIDCALL : Submit(MaterialCommand{*material});
}

HRESULT DeviceBase::GetMaterial(D3DMATERIAL8* material) {
    if (material == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *material = m_state.Material();
    return D3D_OK;
}

HRESULT DeviceBase::SetLight(DWORD index, const D3DLIGHT8* light) {
    return light == nullptr ? D3DERR_INVALIDCALL : Submit(LightCommand{index, *light});
}

HRESULT DeviceBase::GetLight(DWORD index, D3DLIGHT8* light) {
    const LightSlot* slot = m_state.Light(index);
    if (light == nullptr || slot == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *light = slot->light;
    return D3D_OK;
}

HRESULT DeviceBase::LightEnable(DWORD index, bool enable) {
    return Submit(LightEnableCommand{index, enable});
}

HRESULT DeviceBase::GetLightEnable(DWORD index, bool* enable) {
    const LightSlot* slot = m_state.Light(index);
    if (enable == nullptr || slot == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *enable = slot->enabled;
    return D3D_OK;
}

HRESULT DeviceBase::SetClipPlane(DWORD index, const float* plane) {
    return plane == nullptr ? D3DERR_INVALIDCALL
                            : Submit(ClipPlaneCommand{index, {plane[0], plane[1], plane[2], plane[3]}});
}

HRESULT DeviceBase::GetClipPlane(DWORD index, float* plane) {
    if (plane == nullptr || index >= kClipPlaneCount) {
        return D3DERR_INVALIDCALL;
    }
    std::copy_n(m_state.Plane(index).begin(), 4, plane);
    return D3D_OK;
}

HRESULT DeviceBase::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    return Submit(RenderStateCommand{state, value});
}

HRESULT DeviceBase::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (value == nullptr || !IsValid(RenderStateCommand{state, 0})) {
        return D3DERR_INVALIDCALL;
    }
    *value = m_state.RenderState(state);
    return D3D_OK;
}

HRESULT DeviceBase::BeginStateBlock() {
    OnCall("BeginStateBlock");
    if (m_recording) {
        return D3DERR_INVALIDCALL;
    }
    m_recording.emplace();
    return D3D_OK;
}

HRESULT DeviceBase::EndStateBlock(DWORD* token) {
    OnCall("EndStateBlock");
    if (token == nullptr || !m_recording) {
        return D3DERR_INVALIDCALL;
    }
    *token = m_nextToken++;
    m_stateBlocks.emplace(*token, std::move(*m_recording));
    m_recording.reset();
    return D3D_OK;
}

StateBlock* DeviceBase::FindBlock(DWORD token) {
    const auto found = m_stateBlocks.find(token);
    return found == m_stateBlocks.end() ? nullptr : &found->second;
}

HRESULT DeviceBase::ApplyStateBlock(DWORD token) {
    OnCall("ApplyStateBlock");
    const StateBlock* block = FindBlock(token);
    if (block == nullptr || m_recording) {
        return D3DERR_INVALIDCALL;
    }
    for (const StateCommand& command : block->Commands()) {
        m_state.Execute(command);
    }
    return D3D_OK;
}

HRESULT DeviceBase::CaptureStateBlock(DWORD token) {
    OnCall("CaptureStateBlock");
    StateBlock* block = FindBlock(token);
    if (block == nullptr || m_recording) {
        return D3DERR_INVALIDCALL;
    }
    block->Capture(m_state);
    return D3D_OK;
}

HRESULT DeviceBase::DeleteStateBlock(DWORD token) {
    OnCall("DeleteStateBlock");
    if (m_recording) {
        return D3DERR_INVALIDCALL;
    }
    return m_stateBlocks.erase(token) == 1 ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT DeviceBase::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
    if (texture == nullptr || stage >= kTextureStageCount) {
        return D3DERR_INVALIDCALL;
    }
    *texture = Share(m_state.Texture(stage));
    return D3D_OK;
}

HRESULT DeviceBase::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    if (texture != nullptr && &static_cast<Texture*>(texture)->Owner() != this) {
        return D3DERR_INVALIDCALL;
    }
    return Submit(TextureCommand{stage, texture});
}

HRESULT DeviceBase::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (value == nullptr || !IsValid(TextureStageCommand{stage, type, 0})) {
        return D3DERR_INVALIDCALL;
    }
    *value = m_state.TextureStageState(stage, type);
    return D3D_OK;
}

HRESULT DeviceBase::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    return Submit(TextureStageCommand{stage, type, value});
}

HRESULT DeviceBase::SetVertexShader(DWORD handle) {
    return Submit(VertexShaderCommand{handle});
}

HRESULT DeviceBase::GetVertexShader(DWORD* handle) {
    if (handle == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *handle = m_state.VertexShader();
    return D3D_OK;
}

HRESULT DeviceBase::SetPixelShader(DWORD handle) {
    // Only the fixed-function pipeline exists: no pixel shader can be created.
    return handle == 0 ? Submit(PixelShaderCommand{handle}) : D3DERR_INVALIDCALL;
}

HRESULT DeviceBase::GetPixelShader(DWORD* handle) {
    if (handle == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *handle = m_state.PixelShader();
    return D3D_OK;
}

HRESULT DeviceBase::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* data, UINT stride) {
    if (data != nullptr && (&static_cast<VertexBuffer*>(data)->Owner() != this || stride == 0 ||
                            stride > Caps().MaxStreamStride)) {
        return D3DERR_INVALIDCALL;
    }
    return Submit(StreamSourceCommand{stream, {data, stride}});
}

HRESULT DeviceBase::GetStreamSource(UINT stream, IDirect3DVertexBuffer8** data, UINT* stride) {
    if (data == nullptr || stride == nullptr || stream >= kStreamCount) {
        return D3DERR_INVALIDCALL;
    }
    *data = Share(m_state.Stream(stream).buffer);
    *stride = m_state.Stream(stream).stride;
    return D3D_OK;
}

HRESULT DeviceBase::SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) {
    if (indexData != nullptr && &static_cast<IndexBuffer*>(indexData)->Owner() != this) {
        return D3DERR_INVALIDCALL;
    }
    return Submit(IndicesCommand{{indexData, baseVertexIndex}});
}

HRESULT DeviceBase::GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) {
    if (indexData == nullptr || baseVertexIndex == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *indexData = Share(m_state.Indices().buffer);
    *baseVertexIndex = m_state.Indices().baseVertexIndex;
    return D3D_OK;
}

HRESULT DeviceBase::CheckDrawStart(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride,
                                   DrawCall* draw) const {
    draw->type = type;
    draw->primitiveCount = primitiveCount;
    draw->fvf = m_state.VertexShader();
    draw->stride = stride;
    draw->indices = nullptr;
    draw->wideIndices = false;
    draw->indexCount = VerticesForPrimitives(type, primitiveCount);
    if (!m_inScene || !IsPrimitiveType(type) || primitiveCount == 0 ||
        primitiveCount > Caps().MaxPrimitiveCount || !DescribeVertexFormat(draw->fvf, &draw->layout) ||
        stride < draw->layout.size) {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT DeviceBase::Draw(const DrawCall& draw) {
    OnCall(draw.method);
    return IsLost() ? D3D_OK : OnDraw(draw);
}

HRESULT DeviceBase::DrawIndexed(DrawCall& draw, const void* indices, D3DFORMAT format) {
    draw.indices = indices;
    draw.wideIndices = format == D3DFMT_INDEX32;
    const bool inRange = draw.wideIndices
                             ? IndicesInRange<std::uint32_t>(indices, draw.indexCount, draw.vertexCount)
                             : IndicesInRange<std::uint16_t>(indices, draw.indexCount, draw.vertexCount);
    return inRange ? Draw(draw) : D3DERR_INVALIDCALL;
}

HRESULT DeviceBase::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    const StreamSource& stream = m_state.Stream(0);
    DrawCall draw{};
    draw.method = "DrawPrimitive";
    if (stream.buffer == nullptr || FAILED(CheckDrawStart(type, primitiveCount, stream.stride, &draw))) {
        return D3DERR_INVALIDCALL;
    }
    const auto* buffer = static_cast<const VertexBuffer*>(stream.buffer);
    const std::uint64_t end = (static_cast<std::uint64_t>(startVertex) + draw.indexCount) * stream.stride;
    if (end > buffer->Size()) {
        return D3DERR_INVALIDCALL;
    }
    draw.vertices = buffer->Data() + static_cast<std::size_t>(startVertex) * stream.stride;
    draw.vertexCount = draw.indexCount;
    return Draw(draw);
}

HRESULT DeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT /*minIndex*/, UINT /*vertexCount*/,
                                         UINT startIndex, UINT primitiveCount) {
    const StreamSource& stream = m_state.Stream(0);
    const IndexSource& source = m_state.Indices();
    DrawCall draw{};
    draw.method = "DrawIndexedPrimitive";
    if (stream.buffer == nullptr || source.buffer == nullptr ||
        FAILED(CheckDrawStart(type, primitiveCount, stream.stride, &draw))) {
        return D3DERR_INVALIDCALL;
    }
    const auto* vertices = static_cast<const VertexBuffer*>(stream.buffer);
    const auto* indices = static_cast<const IndexBuffer*>(source.buffer);
    const D3DFORMAT indexFormat = indices->Desc().Format;
    const UINT indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    const UINT storedVertices = vertices->Size() / stream.stride;
    const std::uint64_t indexEnd = (static_cast<std::uint64_t>(startIndex) + draw.indexCount) * indexSize;
    if (indexEnd > indices->Size() || source.baseVertexIndex >= storedVertices) {
        return D3DERR_INVALIDCALL;
    }
    draw.vertices = vertices->Data() + static_cast<std::size_t>(source.baseVertexIndex) * stream.stride;
    draw.vertexCount = storedVertices - source.baseVertexIndex;
    return DrawIndexed(draw, indices->Data() + static_cast<std::size_t>(startIndex) * indexSize, indexFormat);
}

HRESULT DeviceBase::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                    UINT vertexStride) {
    DrawCall draw{};
    draw.method = "DrawPrimitiveUP";
    if (vertexData == nullptr || FAILED(CheckDrawStart(type, primitiveCount, vertexStride, &draw))) {
        return D3DERR_INVALIDCALL;
    }
    // Drawing from user memory unbinds stream 0.
    m_state.Execute(StreamSourceCommand{0, {}});
    draw.vertices = static_cast<const BYTE*>(vertexData);
    draw.vertexCount = draw.indexCount;
    return Draw(draw);
}

HRESULT DeviceBase::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                           UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                           const void* vertexData, UINT vertexStride) {
    DrawCall draw{};
    draw.method = "DrawIndexedPrimitiveUP";
    if (vertexData == nullptr || indexData == nullptr ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) ||
        FAILED(CheckDrawStart(type, primitiveCount, vertexStride, &draw))) {
        return D3DERR_INVALIDCALL;
    }
    // Drawing from user memory unbinds stream 0 and the indices.
    m_state.Execute(StreamSourceCommand{0, {}});
    m_state.Execute(IndicesCommand{});
    draw.vertices = static_cast<const BYTE*>(vertexData);
    draw.vertexCount = static_cast<UINT>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(minIndex) + vertexCount, UINT32_MAX));
    return DrawIndexed(draw, indexData, indexFormat);
}

}  // namespace d3d8
