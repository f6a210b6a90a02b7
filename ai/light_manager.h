#pragma once
// The scene's Direct3D lights: static lights that components own for their entity's life and
// short-lived dynamic lights that fade in, hold and fade out. Programs the device's light
// slots before lit models are drawn.

#include <cstdint>
#include <vector>

#include "engine/singleton.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/math.h"

class CLightManager : public tmSingleton<CLightManager> {
public:
    static constexpr std::size_t kMaxDynamicLights = 7;

    struct tDynamicLight {
        D3DLIGHT8 light;
        D3DCOLORVALUE baseColor;
        std::int32_t fadeIn;
        std::int32_t hold;
        std::int32_t fadeOut;
        std::int32_t age;
    };

    // Fade envelope: rises over the fade-in, stays at 1 through the hold, falls over the fade-out.
    static float Intensity(std::int32_t age, std::int32_t fadeIn, std::int32_t hold, std::int32_t fadeOut);

    void AddStaticLight(const D3DLIGHT8* light);
    // Removes every registration of the light.
    void RemoveStaticLight(const D3DLIGHT8* light);
    // With the store full, the weakest light (current intensity times range) gives way first.
    void SpawnDynamicLight(const D3DXVECTOR3& position, const D3DCOLORVALUE& color, float range,
                           std::int32_t fadeIn, std::int32_t hold, std::int32_t fadeOut);
    // Ages the dynamic lights; a light whose envelope has ended is removed.
    void Tick();
    // Static lights take the first slots; dynamic lights the free slots after them, the
    // strongest ones when there are more than slots; every slot left is disabled.
    void ApplyToDevice(IDirect3DDevice8* device, bool useStatic, bool useDynamic) const;

    const std::vector<const D3DLIGHT8*>& StaticLights() const { return m_staticLights; }
    const std::vector<tDynamicLight>& DynamicLights() const { return m_dynamicLights; }

private:
    friend class tmSingleton<CLightManager>;
    CLightManager() = default;

    static float Strength(const tDynamicLight& light);
    static void RefreshColors(tDynamicLight& light);
    // Positions in m_dynamicLights of the `count` strongest lights, in stored order.
    std::vector<std::size_t> StrongestDynamicLights(std::size_t count) const;

    std::vector<const D3DLIGHT8*> m_staticLights;
    std::vector<tDynamicLight> m_dynamicLights;
};
