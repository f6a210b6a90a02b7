#include "ai/light_manager.h"

#include <algorithm>
#include <numeric>

float CLightManager::Intensity(std::int32_t age, std::int32_t fadeIn, std::int32_t hold,
                               std::int32_t fadeOut) {
    // 64-bit sums: envelope lengths come from data and may be anything.
    const std::int64_t a = age;
    const std::int64_t endOfHold = static_cast<std::int64_t>(fadeIn) + hold;
    if (a < fadeIn) {
        return static_cast<float>(a) / static_cast<float>(fadeIn);
    }
    if (a <= endOfHold) {
        return 1.0f;
    }
    if (a < endOfHold + fadeOut) {
        return 1.0f - static_cast<float>(a - endOfHold) / static_cast<float>(fadeOut);
    }
    return 0.0f;
}

void CLightManager::AddStaticLight(const D3DLIGHT8* light) {
    m_staticLights.push_back(light);
}

void CLightManager::RemoveStaticLight(const D3DLIGHT8* light) {
    std::erase(m_staticLights, light);
}

float CLightManager::Strength(const tDynamicLight& light) {
    return Intensity(light.age, light.fadeIn, light.hold, light.fadeOut) * light.light.Range;
}

void CLightManager::RefreshColors(tDynamicLight& light) {
    const float intensity = Intensity(light.age, light.fadeIn, light.hold, light.fadeOut);
    const D3DCOLORVALUE scaled{light.baseColor.r * intensity, light.baseColor.g * intensity,
                               light.baseColor.b * intensity, light.baseColor.a};
    light.light.Diffuse = scaled;
    light.light.Specular = scaled;
    light.light.Ambient = scaled;
}

void CLightManager::SpawnDynamicLight(const D3DXVECTOR3& position, const D3DCOLORVALUE& color, float range,
                                      std::int32_t fadeIn, std::int32_t hold, std::int32_t fadeOut) {
    if (m_dynamicLights.size() >= kMaxDynamicLights) {
        // The first of the weakest goes, so the choice never depends on anything but the lights.
        const auto weakest = std::min_element(
            m_dynamicLights.begin(), m_dynamicLights.end(),
            [](const tDynamicLight& a, const tDynamicLight& b) { return Strength(a) < Strength(b); });
        m_dynamicLights.erase(weakest);
    }
    tDynamicLight record{};
    record.light.Type = D3DLIGHT_POINT;
    record.light.Position = D3DVECTOR{-position.x, position.y, position.z};
    record.light.Range = range;
    record.light.Attenuation0 = 1.0f;
    record.baseColor = color;
    record.fadeIn = fadeIn;
    record.hold = hold;
    record.fadeOut = fadeOut;
    record.age = 0;
    RefreshColors(record);
    m_dynamicLights.push_back(record);
}

void CLightManager::Tick() {
    for (tDynamicLight& light : m_dynamicLights) {
        ++light.age;
        RefreshColors(light);
    }
    std::erase_if(m_dynamicLights, [](const tDynamicLight& light) {
        return light.age >= static_cast<std::int64_t>(light.fadeIn) + light.hold + light.fadeOut;
    });
}

std::vector<std::size_t> CLightManager::StrongestDynamicLights(std::size_t count) const {
    std::vector<std::size_t> order(m_dynamicLights.size());
    std::iota(order.begin(), order.end(), 0);
    // Stable: among equally strong lights the earlier spawned one stays.
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return Strength(m_dynamicLights[a]) > Strength(m_dynamicLights[b]);
    });
    order.resize(std::min(count, order.size()));
    std::sort(order.begin(), order.end());
    return order;
}

void CLightManager::ApplyToDevice(IDirect3DDevice8* device, bool useStatic, bool useDynamic) const {
    D3DCAPS8 caps{};
    if (!device || FAILED(device->GetDeviceCaps(&caps))) {
        return;
    }
    const DWORD slots = caps.MaxActiveLights;
    DWORD slot = 0;
    if (useStatic) {
        for (std::size_t k = 0; k < m_staticLights.size() && slot < slots; ++k, ++slot) {
            device->SetLight(slot, m_staticLights[k]);
            device->LightEnable(slot, true);
        }
    }
    if (useDynamic) {
        for (const std::size_t index : StrongestDynamicLights(slots - slot)) {
            device->SetLight(slot, &m_dynamicLights[index].light);
            device->LightEnable(slot, true);
            ++slot;
        }
    }
    for (; slot < slots; ++slot) {
        device->LightEnable(slot, false);
    }
}
