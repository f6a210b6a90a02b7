#pragma once
// What the OpenGL back end last gave OpenGL, so that a draw sends only the state that changed.
// Software OpenGL re-validates and copies its state on many calls even when the values are
// unchanged, which costs more per draw than the drawing itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <unordered_map>

namespace d3d8 {

// Groups of OpenGL state; a key is a group and an index within it (a capability, a texture
// unit, a light, a texture name).
enum class GlSlot : std::uint32_t {
    Enable,
    TextureEnable,
    BlendFunction,
    BlendEquation,
    AlphaFunction,
    DepthFunction,
    DepthMask,
    StencilFunction,
    StencilOperation,
    StencilMask,
    CullFace,
    PolygonMode,
    ShadeModel,
    ColourMask,
    PointSize,
    Fog,
    Viewport,
    Projection,
    Material,
    ColourMaterial,
    LightModel,
    Light,
    ClipPlane,
    TextureMatrix,
    TextureBinding,
    TextureEnvironment,  // a unit's colour or alpha combiner
    TextureFactor,       // a unit's combine mode and constant colour
    Sampler,
    ClientArray,
    ArrayPointer,
    CurrentColour,
    CurrentNormal,
};

class GlStateShadow {
public:
    static constexpr std::size_t kMaxBytes = 192;

    // True when the values differ from those last remembered under the key, which then holds
    // them: the caller sends them to OpenGL exactly when this returns true.
    template <class... Values>
    bool Changed(GlSlot slot, std::uint32_t index, const Values&... values) {
        static_assert((std::is_trivially_copyable_v<Values> && ...));
        static_assert((sizeof(Values) + ... + 0) <= kMaxBytes);
        Entry wanted;
        wanted.size = 0;
        (Append(wanted, values), ...);
        return Remember(Key(slot, index), wanted);
    }

    // OpenGL state under the key changed behind the shadow: the next setting is sent.
    void Forget(GlSlot slot, std::uint32_t index) { m_entries.erase(Key(slot, index)); }
    // Everything is sent again, as after a change the shadow cannot follow.
    void ForgetAll() { m_entries.clear(); }

private:
    struct Entry {
        std::size_t size = 0;
        std::array<std::byte, kMaxBytes> bytes{};
    };

    static std::uint64_t Key(GlSlot slot, std::uint32_t index) {
        return (static_cast<std::uint64_t>(slot) << 32) | index;
    }

    template <class Value>
    static void Append(Entry& entry, const Value& value) {
        std::memcpy(entry.bytes.data() + entry.size, &value, sizeof(Value));
        entry.size += sizeof(Value);
    }

    bool Remember(std::uint64_t key, const Entry& wanted);

    std::unordered_map<std::uint64_t, Entry> m_entries;
};

}  // namespace d3d8
