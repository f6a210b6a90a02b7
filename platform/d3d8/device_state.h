#pragma once
// The fixed-function state of a device and the Set calls that change it. Both back ends keep
// their state here, and state blocks record the same commands, so recording, replaying and
// drawing all see one set of rules.

#include <array>
#include <map>
#include <string_view>
#include <variant>

#include "platform/d3d8/d3d8.h"

namespace d3d8 {

constexpr DWORD kTextureStageCount = 8;
constexpr DWORD kTextureStageStateCount = 29;
constexpr DWORD kRenderStateCount = 256;
constexpr DWORD kClipPlaneCount = 6;
constexpr DWORD kActiveLightLimit = 8;
constexpr UINT kStreamCount = 1;

using ClipPlane = std::array<float, 4>;

struct LightSlot {
    D3DLIGHT8 light;
    bool enabled;
};

struct StreamSource {
    IDirect3DVertexBuffer8* buffer = nullptr;
    UINT stride = 0;
};

struct IndexSource {
    IDirect3DIndexBuffer8* buffer = nullptr;
    UINT baseVertexIndex = 0;
};

struct RenderStateCommand {
    D3DRENDERSTATETYPE state;
    DWORD value;
};
struct TextureStageCommand {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};
struct TransformCommand {
    D3DTRANSFORMSTATETYPE state;
    D3DMATRIX matrix;
};
struct ViewportCommand {
    D3DVIEWPORT8 viewport;
};
struct MaterialCommand {
    D3DMATERIAL8 material;
};
struct LightCommand {
    DWORD index;
    D3DLIGHT8 light;
};
struct LightEnableCommand {
    DWORD index;
    bool enable;
};
struct ClipPlaneCommand {
    DWORD index;
    ClipPlane plane;
};
struct TextureCommand {
    DWORD stage;
    IDirect3DBaseTexture8* texture;
};
struct VertexShaderCommand {
    DWORD handle;
};
struct PixelShaderCommand {
    DWORD handle;
};
struct StreamSourceCommand {
    UINT stream;
    StreamSource source;
};
struct IndicesCommand {
    IndexSource source;
};

using StateCommand =
    std::variant<RenderStateCommand, TextureStageCommand, TransformCommand, ViewportCommand, MaterialCommand,
                 LightCommand, LightEnableCommand, ClipPlaneCommand, TextureCommand, VertexShaderCommand,
                 PixelShaderCommand, StreamSourceCommand, IndicesCommand>;

// The device method that issues the command, e.g. "SetRenderState".
std::string_view MethodName(const StateCommand& command);
// True when the command names a slot that exists.
bool IsValid(const StateCommand& command);

D3DMATRIX IdentityMatrix();

class DeviceState {
public:
    DeviceState();

    // The state of a freshly created or reset device.
    void SetDefaults(bool depthBuffer, const D3DVIEWPORT8& viewport);
    void Execute(const StateCommand& command);
    // Replaces the command's value by the current one (what capturing a state block does).
    void Capture(StateCommand& command) const;
    // Drops every binding of a resource that is being destroyed.
    void Forget(const void* resource);

    DWORD RenderState(D3DRENDERSTATETYPE state) const { return m_renderStates[state]; }
    DWORD TextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const {
        return m_textureStages[stage][type];
    }
    D3DMATRIX Transform(D3DTRANSFORMSTATETYPE state) const;
    const D3DVIEWPORT8& Viewport() const { return m_viewport; }
    const D3DMATERIAL8& Material() const { return m_material; }
    const LightSlot* Light(DWORD index) const;
    const std::map<DWORD, LightSlot>& Lights() const { return m_lights; }
    const ClipPlane& Plane(DWORD index) const { return m_clipPlanes[index]; }
    IDirect3DBaseTexture8* Texture(DWORD stage) const { return m_textures[stage]; }
    DWORD VertexShader() const { return m_vertexShader; }
    DWORD PixelShader() const { return m_pixelShader; }
    const StreamSource& Stream(UINT stream) const { return m_streams[stream]; }
    const IndexSource& Indices() const { return m_indices; }

private:
    void Apply(const RenderStateCommand& command) { m_renderStates[command.state] = command.value; }
    void Apply(const TextureStageCommand& command) {
        m_textureStages[command.stage][command.type] = command.value;
    }
    void Apply(const TransformCommand& command) { m_transforms[command.state] = command.matrix; }
    void Apply(const ViewportCommand& command) { m_viewport = command.viewport; }
    void Apply(const MaterialCommand& command) { m_material = command.material; }
    void Apply(const LightCommand& command);
    void Apply(const LightEnableCommand& command);
    void Apply(const ClipPlaneCommand& command) { m_clipPlanes[command.index] = command.plane; }
    void Apply(const TextureCommand& command) { m_textures[command.stage] = command.texture; }
    void Apply(const VertexShaderCommand& command) { m_vertexShader = command.handle; }
    void Apply(const PixelShaderCommand& command) { m_pixelShader = command.handle; }
    void Apply(const StreamSourceCommand& command) { m_streams[command.stream] = command.source; }
    void Apply(const IndicesCommand& command) { m_indices = command.source; }

    void Read(RenderStateCommand& command) const { command.value = RenderState(command.state); }
    void Read(TextureStageCommand& command) const {
        command.value = TextureStageState(command.stage, command.type);
    }
    void Read(TransformCommand& command) const { command.matrix = Transform(command.state); }
    void Read(ViewportCommand& command) const { command.viewport = m_viewport; }
    void Read(MaterialCommand& command) const { command.material = m_material; }
    void Read(LightCommand& command) const;
    void Read(LightEnableCommand& command) const;
    void Read(ClipPlaneCommand& command) const { command.plane = m_clipPlanes[command.index]; }
    void Read(TextureCommand& command) const { command.texture = m_textures[command.stage]; }
    void Read(VertexShaderCommand& command) const { command.handle = m_vertexShader; }
    void Read(PixelShaderCommand& command) const { command.handle = m_pixelShader; }
    void Read(StreamSourceCommand& command) const { command.source = m_streams[command.stream]; }
    void Read(IndicesCommand& command) const { command.source = m_indices; }

    std::array<DWORD, kRenderStateCount> m_renderStates{};
    std::array<std::array<DWORD, kTextureStageStateCount>, kTextureStageCount> m_textureStages{};
    std::map<DWORD, D3DMATRIX> m_transforms;
    D3DVIEWPORT8 m_viewport{};
    D3DMATERIAL8 m_material{};
    std::map<DWORD, LightSlot> m_lights;
    std::array<ClipPlane, kClipPlaneCount> m_clipPlanes{};
    std::array<IDirect3DBaseTexture8*, kTextureStageCount> m_textures{};
    DWORD m_vertexShader = 0;
    DWORD m_pixelShader = 0;
    std::array<StreamSource, kStreamCount> m_streams{};
    IndexSource m_indices;
};

}  // namespace d3d8
