#include "platform/d3d8/device_state.h"

#include <bit>

namespace d3d8 {
namespace {

constexpr DWORD kFloatOne = std::bit_cast<DWORD>(1.0f);
constexpr DWORD kTrue = 1;

struct RenderStateDefault {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

// Render states whose default is not zero.
constexpr RenderStateDefault kRenderStateDefaults[] = {
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_ZWRITEENABLE, kTrue},
    {D3DRS_LASTPIXEL, kTrue},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_FOGEND, kFloatOne},
    {D3DRS_FOGDENSITY, kFloatOne},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_STENCILMASK, 0xFFFFFFFFu},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
    {D3DRS_CLIPPING, kTrue},
    {D3DRS_LIGHTING, kTrue},
    {D3DRS_COLORVERTEX, kTrue},
    {D3DRS_LOCALVIEWER, kTrue},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_POINTSIZE, kFloatOne},
    {D3DRS_POINTSCALE_A, kFloatOne},
    {D3DRS_MULTISAMPLEANTIALIAS, kTrue},
    {D3DRS_MULTISAMPLEMASK, 0xFFFFFFFFu},
    {D3DRS_PATCHSEGMENTS, kFloatOne},
    {D3DRS_POINTSIZE_MAX, std::bit_cast<DWORD>(64.0f)},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_POSITIONORDER, 3},
    {D3DRS_NORMALORDER, 1},
};

bool IsTransformSlot(D3DTRANSFORMSTATETYPE state) {
    return state == D3DTS_VIEW || state == D3DTS_PROJECTION ||
           (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) || (state >= D3DTS_WORLD && state < 512);
}

// A light enabled before it was set is a white directional light pointing along +z.
D3DLIGHT8 DefaultLight() {
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

struct Validator {
    bool operator()(const RenderStateCommand& c) const { return c.state < kRenderStateCount; }
    bool operator()(const TextureStageCommand& c) const {
        return c.stage < kTextureStageCount && c.type > 0 && c.type < kTextureStageStateCount;
    }
    bool operator()(const TransformCommand& c) const { return IsTransformSlot(c.state); }
    bool operator()(const ViewportCommand&) const { return true; }
    bool operator()(const MaterialCommand&) const { return true; }
    bool operator()(const LightCommand& c) const {
        return c.light.Type >= D3DLIGHT_POINT && c.light.Type <= D3DLIGHT_DIRECTIONAL;
    }
    bool operator()(const LightEnableCommand&) const { return true; }
    bool operator()(const ClipPlaneCommand& c) const { return c.index < kClipPlaneCount; }
    bool operator()(const TextureCommand& c) const { return c.stage < kTextureStageCount; }
    bool operator()(const VertexShaderCommand&) const { return true; }
    bool operator()(const PixelShaderCommand&) const { return true; }
    bool operator()(const StreamSourceCommand& c) const { return c.stream < kStreamCount; }
    bool operator()(const IndicesCommand&) const { return true; }
};

struct Namer {
    std::string_view operator()(const RenderStateCommand&) const { return "SetRenderState"; }
    std::string_view operator()(const TextureStageCommand&) const { return "SetTextureStageState"; }
    std::string_view operator()(const TransformCommand&) const { return "SetTransform"; }
    std::string_view operator()(const ViewportCommand&) const { return "SetViewport"; }
    std::string_view operator()(const MaterialCommand&) const { return "SetMaterial"; }
    std::string_view operator()(const LightCommand&) const { return "SetLight"; }
    std::string_view operator()(const LightEnableCommand&) const { return "LightEnable"; }
    std::string_view operator()(const ClipPlaneCommand&) const { return "SetClipPlane"; }
    std::string_view operator()(const TextureCommand&) const { return "SetTexture"; }
    std::string_view operator()(const VertexShaderCommand&) const { return "SetVertexShader"; }
    std::string_view operator()(const PixelShaderCommand&) const { return "SetPixelShader"; }
    std::string_view operator()(const StreamSourceCommand&) const { return "SetStreamSource"; }
    std::string_view operator()(const IndicesCommand&) const { return "SetIndices"; }
};

}  // namespace

std::string_view MethodName(const StateCommand& command) {
    return std::visit(Namer{}, command);
}

bool IsValid(const StateCommand& command) {
    return std::visit(Validator{}, command);
}

D3DMATRIX IdentityMatrix() {
    D3DMATRIX matrix{};
    matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
    return matrix;
}

DeviceState::DeviceState() {
    SetDefaults(false, D3DVIEWPORT8{0, 0, 0, 0, 0.0f, 1.0f});
}

void DeviceState::SetDefaults(bool depthBuffer, const D3DVIEWPORT8& viewport) {
    m_renderStates.fill(0);
    for (const RenderStateDefault& entry : kRenderStateDefaults) {
        m_renderStates[entry.state] = entry.value;
    }
    m_renderStates[D3DRS_ZENABLE] = depthBuffer ? D3DZB_TRUE : D3DZB_FALSE;

    for (DWORD stage = 0; stage < kTextureStageCount; ++stage) {
        auto& states = m_textureStages[stage];
        states.fill(0);
        states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        states[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        states[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        states[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        states[D3DTSS_TEXCOORDINDEX] = stage;
        states[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        states[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        states[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        states[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        states[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        states[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        states[D3DTSS_MAXANISOTROPY] = 1;
    }

    m_transforms.clear();
    m_viewport = viewport;
    m_material = D3DMATERIAL8{};
    m_lights.clear();
    m_clipPlanes.fill(ClipPlane{});
    m_textures.fill(nullptr);
    m_vertexShader = 0;
    m_pixelShader = 0;
    m_streams.fill(StreamSource{});
    m_indices = IndexSource{};
}

void DeviceState::Execute(const StateCommand& command) {
    std::visit([this](const auto& c) { Apply(c); }, command);
}

void DeviceState::Capture(StateCommand& command) const {
    std::visit([this](auto& c) { Read(c); }, command);
}

void DeviceState::Forget(const void* resource) {
    for (auto& texture : m_textures) {
        if (texture == resource) {
            texture = nullptr;
        }
    }
    for (auto& stream : m_streams) {
        if (stream.buffer == resource) {
            stream = StreamSource{};
        }
    }
    if (m_indices.buffer == resource) {
        m_indices = IndexSource{};
    }
}

D3DMATRIX DeviceState::Transform(D3DTRANSFORMSTATETYPE state) const {
    const auto found = m_transforms.find(state);
    return found == m_transforms.end() ? IdentityMatrix() : found->second;
}

const LightSlot* DeviceState::Light(DWORD index) const {
    const auto found = m_lights.find(index);
    return found == m_lights.end() ? nullptr : &found->second;
}

void DeviceState::Apply(const LightCommand& command) {
    const auto [slot, inserted] = m_lights.try_emplace(command.index, LightSlot{command.light, false});
    if (!inserted) {
        slot->second.light = command.light;
    }
}

void DeviceState::Apply(const LightEnableCommand& command) {
    m_lights.try_emplace(command.index, LightSlot{DefaultLight(), false}).first->second.enabled =
        command.enable;
}

void DeviceState::Read(LightCommand& command) const {
    if (const LightSlot* slot = Light(command.index)) {
        command.light = slot->light;
    }
}

void DeviceState::Read(LightEnableCommand& command) const {
    const LightSlot* slot = Light(command.index);
    command.enable = slot != nullptr && slot->enabled;
}

}  // namespace d3d8
