#include "ai/screen_saver_logic.h"

#include <cstdlib>
#include <cstring>
#include <numbers>

#include "app/camera_manager.h"
#include "app/d3d_application.h"
#include "app/debug_log.h"
#include "app/resource_ids.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/messages_broker.h"
#include "input/input_devices.h"
#include "platform/win32/files.h"
#include "platform/win32/process.h"
#include "platform/win32/registry.h"
#include "platform/win32/window.h"
#include "render/d3d_file.h"
#include "render/model.h"
#include "resource/paths.h"
#include "resource/xml.h"
#include "sound/sound_manager.h"

namespace {

// Shared by every instance: the wave clock and the once-per-process set-up.
std::uint64_t g_tickCount = 0;
bool g_firstTick = true;

constexpr const char* kGameKey = "SOFTWARE\\Kervala Studio\\Zumbo\\1.0";
constexpr std::size_t kMaxGamePath = 260;
constexpr int kEscapeKey = 0x01;  // DirectInput's code of Escape

tWave ReadWave(const enXml& element, const char* axis) {
    const std::string prefix = std::string("f") + axis;
    tWave wave;
    element.GetValueFloat((prefix + "Amplitude").c_str(), wave.amplitude);
    element.GetValueFloat((prefix + "Frequency").c_str(), wave.frequency);
    element.GetValueFloat((prefix + "Phase").c_str(), wave.phase);
    element.GetValueFloat((prefix + "Speed").c_str(), wave.speed);
    return wave;
}

void SetUpCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& lookAt, float fieldOfView) {
    const CD3DApplication* application = CD3DApplication::GetInstance();
    const float aspect =
        application != nullptr && application->BackBufferDesc().Height != 0
            ? float(application->BackBufferDesc().Width) / float(application->BackBufferDesc().Height)
            : 4.0f / 3.0f;
    CCameraManager& cameras = CCameraManager::Instance();
    cameras.Reset(aspect);
    CCamera& camera = cameras.SceneCamera();
    cameras.SetView(camera, eye, lookAt, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    cameras.SetProjection(camera, fieldOfView, aspect, 1.0f, 300.0f);
}

bool MaterialTint(CD3DMesh* mesh, void* context) {
    const auto& ambient = *static_cast<const D3DCOLORVALUE*>(context);
    for (DWORD i = 0; i < mesh->GetMaterialCount(); ++i) {
        mesh->GetMaterial(i).Ambient = ambient;
    }
    return true;
}

bool FirstMesh(CD3DMesh* mesh, void* context) {
    *static_cast<CD3DMesh**>(context) = mesh;
    return false;
}

// The program ends without its normal shutdown, as a replaced process would.
[[noreturn]] void EndAtOnce() {
    std::_Exit(0);
}

}  // namespace

CAIScreenSaverLogic::CAIScreenSaverLogic(const enXml& element) {
    D3DXVECTOR3 ambient(0.0f, 0.0f, 0.0f);
    element.GetValueVector("vAmbient", ambient);
    m_ambient = {ambient.x / 255.0f, ambient.y / 255.0f, ambient.z / 255.0f, 1.0f};
    element.GetValueFloat("fWaterAlpha", m_waterAlpha);
    D3DXVECTOR3 eye(-61.0f, -271.0f, 16.0f);
    D3DXVECTOR3 lookAt(0.0f, 16.0f, 20.0f);
    float fieldOfView = 45.0f;
    element.GetValueVector("p3EyePoint", eye);
    element.GetValueVector("p3LookAtPoint", lookAt);
    element.GetValueFloat("fFOV", fieldOfView);
    m_xWave = ReadWave(element, "X");
    m_yWave = ReadWave(element, "Y");
    SetUpCamera(eye, lookAt, fieldOfView * (1.0f / 180.0f) * std::numbers::pi_v<float>);
}

void CAIScreenSaverLogic::ResetProcessState() {
    g_tickCount = 0;
    g_firstTick = true;
}

bool CAIScreenSaverLogic::Update() {
    ++g_tickCount;
    if (g_firstTick) {
        g_firstTick = false;
        SetUpOnFirstTick();
        CSoundManager::Instance().StartMusic("menu.ogg", kMusicSwitchThroughSilence);
        return true;
    }
    // A later instance (the scene loaded again) sets up its own water on its first tick.
    if (!m_setUp) {
        SetUpOnFirstTick();
    }
    MoveWater();
    const CInputDeviceKeyboard* keyboard = CInputDevices::Instance().Keyboard();
    const CD3DApplication* application = CD3DApplication::GetInstance();
    if (keyboard != nullptr && application != nullptr && keyboard->WasPressed(kEscapeKey)) {
        win32::PostMessage(application->GetHWND(), win32::WM_COMMAND, IDM_EXIT, 0);
    }
    for (const tMessage& message : CMessagesBroker::Instance().GetCurrentMessages()) {
        if (message.code == kMessageButtonPressed) {
            BackToGame(message.argument);
        }
    }
    return true;
}

void CAIScreenSaverLogic::SetUpOnFirstTick() {
    m_setUp = true;
    TintOwnerMaterials();
    CEntity* water = m_owner->FindChild("water");
    if (water != nullptr && water->GetModel() != nullptr) {
        water->GetModel()->SetAlpha(
            static_cast<BYTE>(static_cast<std::int64_t>(m_waterAlpha * 255.0f) & 0xFF));
    }
    m_waterMesh = FindWaterMesh(water);
    if (m_waterMesh == nullptr) {
        return;
    }
    BYTE* data = nullptr;
    if (FAILED(m_waterMesh->LockVertexBuffer(D3DLOCK_READONLY, &data))) {
        m_waterMesh = nullptr;
        return;
    }
    m_restVertices.resize(m_waterMesh->GetNumVertices());
    std::memcpy(m_restVertices.data(), data, m_restVertices.size() * sizeof(tWaterVertex));
    m_waterMesh->UnlockVertexBuffer();
}

void CAIScreenSaverLogic::TintOwnerMaterials() {
    CModel* model = m_owner->GetModel();
    if (model != nullptr && model->GetXModel() != nullptr) {
        model->GetXModel()->EnumMeshes(&MaterialTint, &m_ambient);
    }
}

ID3DXMesh* CAIScreenSaverLogic::FindWaterMesh(CEntity* water) {
    CD3DMesh* mesh = nullptr;
    if (water != nullptr && water->GetModel() != nullptr && water->GetModel()->GetXModel() != nullptr) {
        water->GetModel()->GetXModel()->EnumMeshes(&FirstMesh, &mesh);
    }
    ID3DXMesh* deviceMesh = mesh != nullptr ? mesh->GetDeviceMesh() : nullptr;
    if (deviceMesh == nullptr) {
        CDebugLog::Instance().LogLevel(1,
                                       "Warning: the screen saver scene has no \"water\" child with a mesh.");
        return nullptr;
    }
    // Only the position, normal and texture layout of the water can be waved.
    if (deviceMesh->GetFVF() != (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1)) {
        CDebugLog::Instance().LogLevel(1,
                                       "Warning: the \"water\" mesh is not made of positions, normals and "
                                       "texture coordinates.");
        return nullptr;
    }
    return deviceMesh;
}

void CAIScreenSaverLogic::MoveWater() {
    if (m_waterMesh == nullptr || m_restVertices.empty()) {
        return;
    }
    BYTE* data = nullptr;
    if (FAILED(m_waterMesh->LockVertexBuffer(D3DLOCK_DISCARD, &data))) {
        return;
    }
    const float t = float(g_tickCount) * 0.01f;
    ApplyWaterWaves(m_restVertices, m_xWave, m_yWave, t,
                    std::span<tWaterVertex>(reinterpret_cast<tWaterVertex*>(data), m_restVertices.size()));
    m_waterMesh->UnlockVertexBuffer();
}

void CAIScreenSaverLogic::BackToGame(const std::string& buttonName) {
    if (EqualsIgnoringCase(buttonName, "Install")) {
        // Replaces this process; it returns only when the start failed, and then nothing else happens.
        win32::SetCurrentDirectory(GetProgramFolder());
        win32::ExecProcess("ZumboCave.scr", "ZumboCave.scr /install");
    } else if (EqualsIgnoringCase(buttonName, "Back")) {
        HKEY key = nullptr;
        std::string gamePath;
        const bool found = win32::RegCreateKeyEx(win32::HKEY_CURRENT_USER, kGameKey, &key) == ERROR_SUCCESS &&
                           win32::RegReadString(key, "", gamePath) && gamePath.size() < kMaxGamePath;
        if (key != nullptr) {
            win32::RegCloseKey(key);
        }
        if (!found) {
            CDebugLog::Instance().Log(
                "CAIScreenSaverLogic::BackToGame(): Failed to obtain necessary information from the "
                "registry");
            EndAtOnce();
        }
        win32::ExecProcess(gamePath, "\"" + gamePath + "\" /scene StartUp.xml");
        EndAtOnce();
    } else if (EqualsIgnoringCase(buttonName, "Credits")) {
        ShowCredits();
    }
}

void CAIScreenSaverLogic::ShowCredits() {
    enEntityManager& entities = enEntityManager::Instance();
    if (m_creditsSerial >= 0 && entities.IsAlive(std::uint32_t(m_creditsSerial))) {
        return;
    }
    CEntity* credits = entities.CreateEntityByName("Credits");
    m_creditsSerial = credits != nullptr ? std::int64_t(credits->GetSerial()) : -1;
}
