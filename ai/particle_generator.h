#pragma once
// Spawns particle entities from a list of entity files at a fixed cadence and places each one
// with a fixed matrix relative to the generator.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

class CAIParticleGenerator : public C_AI {
public:
    explicit CAIParticleGenerator(const enXml& element);
    bool Update() override;
    void Reset() override;

    const std::vector<std::string>& GetParticleNames() const { return m_names; }

private:
    bool IsSpawnTick() const;
    const std::string* ChooseName();
    // The particle's placement: the spawn offset and turn, relative to the generator.
    D3DXMATRIX SpawnMatrix() const;
    void Spawn(const std::string& name);

    D3DXVECTOR3 m_source;
    D3DXVECTOR3 m_direction;
    bool m_randomDirection = false;
    bool m_inheritSpawnerMatrix = true;
    std::int32_t m_delay = 5;
    bool m_randomSpawn = false;
    std::vector<std::string> m_names;

    std::int32_t m_tick = 0;
    std::size_t m_nameIndex = 0;
};
