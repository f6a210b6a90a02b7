#include "ai/particle_generator.h"

#include <cstdlib>
#include <memory>

#include "ai/matrix_components.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "resource/xml.h"

namespace {

// rand() scaled to 0..pi.
constexpr float kRandomAngleScale = 9.587673e-05f;
constexpr int kRandomRange = 32767;

// The angles (x, y, z) in radians as a turn about z (roll), then x (pitch), then y (yaw).
D3DXMATRIX RotationFromAngles(const D3DXVECTOR3& angles) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, angles.y, angles.x, angles.z);
    return rotation;
}

void AppendNames(const std::string& text, std::vector<std::string>& names) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(",;", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::size_t first = text.find_first_not_of(" \t", start);
        const std::size_t last = text.find_last_not_of(" \t", end == 0 ? 0 : end - 1);
        if (first != std::string::npos && first < end && last >= first) {
            names.push_back(text.substr(first, last - first + 1));
        }
        start = end + 1;
    }
}

}  // namespace

CAIParticleGenerator::CAIParticleGenerator(const enXml& element) {
    element.GetValueVector("p3Source", m_source);
    element.GetValueVector("p3Direction", m_direction);
    element.GetValueBool("bRandomDirection", m_randomDirection);
    element.GetValueBool("bInheritSpawnerMatrix", m_inheritSpawnerMatrix);
    element.GetValueInt("iDelay", m_delay);
    if (m_delay <= 0) {
        m_delay = 1;
    }
    element.GetValueBool("bRandomSpawn", m_randomSpawn);
    std::string names;
    element.GetValueString("sParticlesNames", names);
    AppendNames(names, m_names);
    std::string name;
    element.GetValueString("sParticleName", name);
    AppendNames(name, m_names);
}

void CAIParticleGenerator::Reset() {
    m_tick = 0;
    m_nameIndex = 0;
}

bool CAIParticleGenerator::IsSpawnTick() const {
    return m_tick == 0 || (m_tick - 1) % m_delay == 0;
}

const std::string* CAIParticleGenerator::ChooseName() {
    if (m_names.empty()) {
        return nullptr;
    }
    if (m_names.size() > 1) {
        if (m_randomSpawn) {
            const std::size_t index = static_cast<std::size_t>(std::rand()) * m_names.size() / kRandomRange;
            m_nameIndex = std::min(index, m_names.size() - 1);
        } else {
            m_nameIndex = (m_nameIndex + 1) % m_names.size();
        }
    }
    return &m_names[m_nameIndex];
}

D3DXMATRIX CAIParticleGenerator::SpawnMatrix() const {
    D3DXMATRIX spawn;
    if (m_randomDirection) {
        D3DXMatrixIdentity(&spawn);
    } else {
        spawn = RotationFromAngles(m_direction);
    }
    spawn._41 = m_source.x;
    spawn._42 = m_source.y;
    spawn._43 = m_source.z;
    const D3DXMATRIX& world = m_owner->GetWorldPlacementMatrix();
    if (m_inheritSpawnerMatrix) {
        D3DXMATRIX product;
        D3DXMatrixMultiply(&product, &spawn, &world);
        return product;
    }
    spawn._41 += world._41;
    spawn._42 += world._42;
    spawn._43 += world._43;
    return spawn;
}

void CAIParticleGenerator::Spawn(const std::string& name) {
    CEntity* particle = enEntityManager::Instance().CreateEntityFromFile(name);
    if (!particle) {
        return;
    }
    if (m_randomDirection) {
        const D3DXVECTOR3 angles(static_cast<float>(std::rand()) * kRandomAngleScale,
                                 static_cast<float>(std::rand()) * kRandomAngleScale,
                                 static_cast<float>(std::rand()) * kRandomAngleScale);
        auto turn = std::make_unique<CAIMatrix>(particle);
        turn->SetMatrix(RotationFromAngles(angles));
        particle->AddPrefixComponent(std::move(turn));
    }
    const D3DXMATRIX placement = SpawnMatrix();
    auto matrix = std::make_unique<CAIMatrix>(particle);
    matrix->SetMatrix(placement);
    particle->AddSuffixComponent(std::move(matrix));
    particle->GetPlacementMatrix() = placement;
    particle->UpdateWorldMatrices(true);
}

bool CAIParticleGenerator::Update() {
    if (IsSpawnTick()) {
        if (const std::string* name = ChooseName()) {
            Spawn(*name);
        }
    }
    ++m_tick;
    // Keeps the cadence without ever overflowing on a screen that runs for months.
    if (m_tick > m_delay) {
        m_tick -= m_delay;
    }
    return true;
}
