#pragma once
// The component that makes a scene the screen saver: camera, ambient tint of the owner's mesh,
// translucent water moved by two travelling waves, the menu music, Escape, and the buttons
// "Install", "Back" and "Credits".

#include <cstdint>
#include <string>
#include <vector>

#include "ai/water_waves.h"
#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;
class CEntity;
struct ID3DXMesh;

class CAIScreenSaverLogic : public C_AI {
public:
    explicit CAIScreenSaverLogic(const enXml& element);
    bool Update() override;

    void BackToGame(const std::string& buttonName);

    // The process-wide tick count and first-tick flag start again (a new run in the same process).
    static void ResetProcessState();

private:
    void SetUpOnFirstTick();
    void TintOwnerMaterials();
    // The water child's mesh, or null (logged once) when the scene lacks it.
    ID3DXMesh* FindWaterMesh(CEntity* water);
    void MoveWater();
    void ShowCredits();

    D3DCOLORVALUE m_ambient{0.0f, 0.0f, 0.0f, 1.0f};
    float m_waterAlpha = 180.0f;
    tWave m_xWave;
    tWave m_yWave;
    ID3DXMesh* m_waterMesh = nullptr;
    std::vector<tWaterVertex> m_restVertices;
    std::int64_t m_creditsSerial = -1;
    bool m_setUp = false;
};
