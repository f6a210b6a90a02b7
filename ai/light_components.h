#pragma once
// Components that light the scene through the light manager.

#include <cstdint>

#include "ai/lifetime_components.h"
#include "engine/ai.h"
#include "platform/d3d8/d3d8.h"

class enXml;

// One fixed light, lit from construction to destruction; it follows neither the entity nor
// its visibility.
class CAIStaticLight : public C_AI {
public:
    explicit CAIStaticLight(const enXml& element);
    ~CAIStaticLight() override;
    bool Update() override;

    const D3DLIGHT8& GetLight() const { return m_light; }

private:
    D3DLIGHT8 m_light{};
};

// Spawns one fading dynamic light at the entity's world position and dies on its first tick.
class CAISpawnDynamicLight : public CAISingleTickLifeTime {
public:
    explicit CAISpawnDynamicLight(const enXml& element);
    bool Update() override;

private:
    D3DCOLORVALUE m_color{1.0f, 1.0f, 1.0f, 1.0f};
    float m_range = 30.0f;
    std::int32_t m_fadeIn = 2;
    std::int32_t m_hold = 2;
    std::int32_t m_fadeOut = 2;
};
