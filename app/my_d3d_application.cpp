#include "app/my_d3d_application.h"

#include <cstdlib>
#include <cstring>

#include "ai/light_manager.h"
#include "app/camera_manager.h"
#include "app/debug_log.h"
#include "app/options_dialog.h"
#include "app/resource_ids.h"
#include "app/scene_loader.h"
#include "engine/entity_manager.h"
#include "engine/game_manager.h"
#include "engine/global_options.h"
#include "engine/hit_manager.h"
#include "frontend/frontend_manager.h"
#include "input/input_devices.h"
#include "platform/win32/files.h"
#include "platform/win32/foreign_window.h"
#include "platform/win32/registry.h"
#include "platform/win32/window.h"
#include "render/deferral_buffer.h"
#include "render/font_cache.h"
#include "render/texture_cache.h"
#include "render/xmodel_manager.h"
#include "resource/group_file.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "resource/translator.h"
#include "sound/sound_manager.h"

namespace {

constexpr const char* kRegistryKey = "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0";
constexpr int kTicksPerSecondMark = 30;
// The application slows the frontend's dialog cross-fade down from the manager's own default.
constexpr int kDialogFadeTicks = 10;
constexpr std::size_t kScreenSaverPathLimit = 260;

// A value longer than four bytes counts as missing; the stored type is not compared.
bool QueryDword(HKEY key, const char* name, DWORD& value) {
    DWORD data = 0;
    DWORD size = sizeof(data);
    DWORD type = 0;
    if (win32::RegQueryValueEx(key, name, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS) {
        return false;
    }
    value = data;
    return true;
}

void SetDword(HKEY key, const char* name, DWORD value) {
    win32::RegSetValueEx(key, name, win32::REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

D3DMATRIX IdentityMatrix() {
    D3DMATRIX matrix{};
    matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
    return matrix;
}

long MaxTicksFromEnvironment() {
    const std::string text = win32::GetEnvironmentVariable("ZUMBO_MAX_TICKS");
    if (text.empty()) {
        return 0;
    }
    char* end = nullptr;
    const long ticks = std::strtol(text.c_str(), &end, 10);
    return (end && *end == '\0' && ticks > 0) ? ticks : 0;
}

}  // namespace

CMyD3DApplication::CMyD3DApplication() {
    m_strWindowTitle = "Zumbo";
    m_dwCreationWidth = 800;
    m_dwCreationHeight = 600;
    m_bStartFullscreen = false;
    m_bShowCursorWhenFullscreen = false;
    m_bClipCursorWhenFullscreen = true;
    m_d3dEnumeration.AppMinDepthBits = 16;
    m_d3dEnumeration.AppMinStencilBits = 0;
    m_d3dEnumeration.AppUsesDepthBuffer = true;
    m_d3dEnumeration.AppUsesMixedVP = true;
    m_maxTicks = MaxTicksFromEnvironment();

    win32::CreateDirectory(CDebugLog::Folder());
    CDebugLog& log = CDebugLog::Instance();
    if (!m_externalDebug.Start()) {
        log.LogLevel(2, "Warning: Could not start CrashTrace.exe -- Call Stack logging is disabled.");
    }
    log.Log("=========== Program Started ============");

    CGlobalOptions::Instance().Load();
    ReadRegistrySettings();
}

CMyD3DApplication::~CMyD3DApplication() {
    CDebugLog::Instance().Log("=========== Program Finished ===========");
}

void CMyD3DApplication::ReadRegistrySettings() {
    HKEY key = nullptr;
    if (win32::RegCreateKeyEx(win32::HKEY_CURRENT_USER, kRegistryKey, &key) != ERROR_SUCCESS) {
        return;
    }
    auto readOr = [key](const char* name, DWORD fallback) {
        DWORD value = fallback;
        QueryDword(key, name, value);
        return value;
    };
    m_dwCreationWidth = readOr("Width", 800);
    m_dwCreationHeight = readOr("Height", 600);
    m_dwFullScreenWidth = readOr("FullScreenWidth", 800);
    m_dwFullScreenHeight = readOr("FullScreenHeight", 600);
    m_dwFullScreenRefresh = readOr("FullScreenRefreshRate", 75);
    // A window borrowed from a screen saver daemon is drawn into as it is.
    m_bStartFullscreen = readOr("FullScreen", 1) != 0 && !win32::ForeignMainWindow();
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.iMusicVolume = static_cast<int>(readOr("MusicVolume", static_cast<DWORD>(options.iMusicVolume)));

    char path[kScreenSaverPathLimit] = {};
    DWORD size = sizeof(path);
    DWORD type = 0;
    if (win32::RegQueryValueEx(key, "ScreenSaverPath", &type, reinterpret_cast<BYTE*>(path), &size) !=
        ERROR_SUCCESS) {
        const std::string self = win32::GetModuleFileName();
        win32::RegSetValueEx(key, "", win32::REG_SZ, reinterpret_cast<const BYTE*>(self.c_str()),
                             static_cast<DWORD>(self.size()));
    }
    win32::RegCloseKey(key);
}

void CMyD3DApplication::WriteRegistrySettings() {
    const RECT& client = m_workingClient;
    HKEY key = nullptr;
    if (client.right <= client.left ||
        win32::RegCreateKeyEx(win32::HKEY_CURRENT_USER, kRegistryKey, &key) != ERROR_SUCCESS) {
        return;
    }
    const D3DDISPLAYMODE& mode = m_d3dSettings.Fullscreen.DisplayMode;
    SetDword(key, "Width", static_cast<DWORD>(client.right - client.left));
    SetDword(key, "Height", static_cast<DWORD>(client.bottom - client.top));
    SetDword(key, "FullScreenWidth", mode.Width);
    SetDword(key, "FullScreenHeight", mode.Height);
    SetDword(key, "FullScreenRefreshRate", mode.RefreshRate);
    SetDword(key, "FullScreen", m_bWindowed ? 0 : 1);
    win32::RegCloseKey(key);
}

// ---- Command line ----

std::vector<std::string> CMyD3DApplication::TokenizeCommandLine(const std::string& commandLine) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= commandLine.size()) {
        const std::size_t quote = commandLine.find('"', start);
        const std::size_t end = quote == std::string::npos ? commandLine.size() : quote;
        if (end > start) {
            pieces.push_back(commandLine.substr(start, end - start));
        }
        start = end + 1;
    }
    std::vector<std::string> tokens;
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        if (index % 2 == 1) {
            tokens.push_back(pieces[index]);
            continue;
        }
        std::size_t position = 0;
        const std::string& piece = pieces[index];
        while (position < piece.size()) {
            const std::size_t blank = piece.find(' ', position);
            const std::size_t wordEnd = blank == std::string::npos ? piece.size() : blank;
            if (wordEnd > position) {
                tokens.push_back(piece.substr(position, wordEnd - position));
            }
            position = wordEnd + 1;
        }
    }
    return tokens;
}

void CMyD3DApplication::ParseCommandLine(const std::string& commandLine) {
    if (commandLine.empty()) {
        return;
    }
    CDebugLog& log = CDebugLog::Instance();
    log.LogLevel(1, "CommandLine: %s", commandLine.c_str());
    const std::vector<std::string> tokens = TokenizeCommandLine(commandLine);
    for (std::size_t index = 0; index < tokens.size(); ++index) {
        const std::string& token = tokens[index];
        if (EqualsIgnoringCase(token, "/scene")) {
            if (index + 1 < tokens.size()) {
                m_sceneName = tokens[++index];
                CSceneLoader::Instance().ResetScene("");
                CSceneLoader::Instance().LoadScene(m_sceneName);
            }
        } else if (EqualsIgnoringCase(token, "/normalinput")) {
            m_bExitOnInput = false;
        } else {
            log.LogLevel(1, "Warning. Wrong command line switch found: \"%s\". Skipping.", token.c_str());
        }
    }
}

// ---- Hooks ----

HRESULT CMyD3DApplication::AcceptDevice(const D3DCAPS8&, DWORD, D3DFORMAT) {
    return S_OK;
}

HRESULT CMyD3DApplication::InitApplication() {
    win32::SendMessage(m_hWnd, win32::WM_PAINT, 0, 0);
    CGroupFile::Instance().Open("ZumboSS.grp");
    // The table is read once, so only now that the log runs and the group file that may hold
    // it is open.
    m_strWindowTitle = CTranslator::Instance().Translate(m_strWindowTitle);
    win32::SetWindowText(m_hWnd, m_strWindowTitle);
    if (SUCCEEDED(CInputDevices::Instance().Create(m_hWnd))) {
        m_inputControllers.Create(CInputDevices::Instance());
    }
    CSoundManager::Instance().Init(m_hWnd);
    CSceneLoader::Instance().SetMainWindow(m_hWnd);
    CFrontendManager::Instance().SetFadeLength(kDialogFadeTicks);
    return S_OK;
}

HRESULT CMyD3DApplication::InitDeviceObjects() {
    enEntityManager::Instance().InitDeviceObjects(m_pd3dDevice);
    // A scene that does not load leaves the program running.
    return CSceneLoader::Instance().LoadScene(m_sceneName) ? S_OK : S_FALSE;
}

HRESULT CMyD3DApplication::RestoreDeviceObjects() {
    // A windowed back buffer is the client size; a full-screen one stands in until a window works.
    if (m_bWindowed || m_workingClient.right == 0) {
        m_workingClient = RECT{0, 0, LONG(m_d3dsdBackBuffer.Width), LONG(m_d3dsdBackBuffer.Height)};
    }
    D3DMATERIAL8 material{};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    m_pd3dDevice->SetMaterial(&material);

    m_pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    m_pd3dDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);

    m_pd3dDevice->SetRenderState(D3DRS_DITHERENABLE, 0);
    m_pd3dDevice->SetRenderState(D3DRS_SPECULARENABLE, 0);
    m_pd3dDevice->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    m_pd3dDevice->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);

    D3DMATRIX identity = IdentityMatrix();
    m_pd3dDevice->SetTransform(D3DTS_WORLD, &identity);

    CCameraManager& cameras = CCameraManager::Instance();
    cameras.Restore(static_cast<float>(m_d3dsdBackBuffer.Width) /
                    static_cast<float>(m_d3dsdBackBuffer.Height));
    cameras.ApplySceneCamera(m_pd3dDevice);
    enEntityManager::Instance().RestoreDeviceObjects();
    CFontCache::Instance().RestoreDeviceObjects();
    CXModelManager::Instance().RestoreDeviceObjects();
    return S_OK;
}

HRESULT CMyD3DApplication::UpdateFrame() {
    CInputDevices::Instance().Poll();
    m_controlState.ClearInputs();
    m_inputControllers.Update(m_controlState);
    DeriveAxes();
    m_controlState.SuppressControlsOnce = 0;
    CCameraManager::Instance().ApplySceneCamera(m_pd3dDevice);
    return S_OK;
}

void CMyD3DApplication::DeriveAxes() {
    ControlState& c = m_controlState;
    c.X = 0.0f;
    c.Y = 0.0f;
    if (c.Left.down) {
        c.X += 1.0f;
    }
    if (c.Right.down) {
        c.X -= 1.0f;
    }
    if (c.Up.down) {
        c.Y += 1.0f;
    }
    if (c.Down.down) {
        c.Y -= 1.0f;
    }
}

HRESULT CMyD3DApplication::RenderFrame() {
    if (FAILED(m_pd3dDevice->BeginScene())) {
        return S_OK;
    }
    m_pd3dDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    D3DMATRIX identity = IdentityMatrix();
    m_pd3dDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    enEntityManager::Instance().RenderAll();
    m_pd3dDevice->EndScene();
    return S_OK;
}

HRESULT CMyD3DApplication::InvalidateDeviceObjects() {
    enEntityManager::Instance().InvalidateDeviceObjects();
    if (CFontCache::Exists()) {
        CFontCache::Instance().InvalidateDeviceObjects();
    }
    CDeferralBuffer::Instance().InvalidateDeviceObjects();
    CXModelManager::Instance().InvalidateDeviceObjects();
    return S_OK;
}

HRESULT CMyD3DApplication::DeleteDeviceObjects() {
    enEntityManager& entities = enEntityManager::Instance();
    entities.DumpEntities(nullptr, 1);
    entities.DeleteDeviceObjects();
    entities.DeleteAllEntities();
    CXModelManager::DestroyInstance();
    CFontCache::DestroyInstance();
    CTextureCache::Instance().ReleaseAll();
    return S_OK;
}

HRESULT CMyD3DApplication::ShutdownApplication() {
    m_inputControllers.Destroy();
    CInputDevices::Instance().Destroy();
    // The borrowed window's size and mode are not the user's settings.
    if (!win32::ForeignMainWindow()) {
        WriteRegistrySettings();
    }
    CGlobalOptions::Instance().Save();
    CSoundManager::DestroyInstance();
    DestroyEngineManagers();
    return S_OK;
}

void CMyD3DApplication::DestroyEngineManagers() {
    if (enEntityManager* entities = enEntityManager::GetInstance()) {
        entities->DestroyInstance();
    }
    if (enHitManager* hits = enHitManager::GetInstance()) {
        hits->DestroyInstance();
    }
    if (enGameManager* game = enGameManager::GetInstance()) {
        game->DestroyInstance();
    }
}

void CMyD3DApplication::CountTicks() {
    if (++m_secondMarkCount == kTicksPerSecondMark) {
        CDebugLog::Instance().LogLevel(3, "--- Game second mark ---");
        m_secondMarkCount = 0;
    }
}

void CMyD3DApplication::GameTick() {
    CountTicks();
    CCameraManager::Instance().Tick();
    enGameManager::Instance().Tick();
    CFrontendManager::Instance().Tick();
    enEntityManager::Instance().Tick();
    CSceneLoader::Instance().Tick();
    CSoundManager::Instance().Tick();
    CLightManager::Instance().Tick();
    CInputDevices& input = CInputDevices::Instance();
    if (m_bExitOnInput && input.AnyNewPressOrMouseMotion()) {
        win32::PostMessage(m_hWnd, win32::WM_COMMAND, IDM_EXIT, 0);
    }
    input.EndTick();
    ++m_ticksRun;
    if (m_maxTicks > 0 && m_ticksRun == m_maxTicks) {
        win32::PostMessage(m_hWnd, win32::WM_COMMAND, IDM_EXIT, 0);
    }
}

LRESULT CMyD3DApplication::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case win32::WM_KEYDOWN:
        case win32::WM_SYSKEYDOWN:
            CInputDevices::Instance().NoteKeyMessage();
            break;
        case win32::WM_ACTIVATE: {
            // The framework records the activation first; the music follows it at once.
            const LRESULT result = CD3DApplication::HandleMessage(window, message, wParam, lParam);
            if (CSoundManager::Exists()) {
                CSoundManager::Instance().ApplyMusicVolume();
            }
            return result;
        }
        case win32::WM_CHAR:
            CInputDevices::Instance().AppendTypedCharacter(wParam);
            break;
        case win32::WM_COMMAND:
            switch (wParam & 0xFFFF) {
                case IDM_TOGGLEFULLSCREEN:
                    Pause(true);
                    m_controlState.SuppressControlsOnce = 1;
                    if (FAILED(ToggleFullScreen())) {
                        ReportError(D3DAPPERR_RESETFAILED, MSGERR_APPMUSTEXIT);
                    }
                    Pause(false);
                    return 0;
                case IDM_EXIT:
                    win32::SendMessage(window, win32::WM_CLOSE, 0, 0);
                    return 0;
                case IDM_OPTIONS:
                    Pause(true);
                    COptionsDlg(window).DoModal();
                    Pause(false);
                    return 0;
            }
            break;
    }
    return CD3DApplication::HandleMessage(window, message, wParam, lParam);
}

void CMyD3DApplication::Pause(bool pause) {
    CD3DApplication::Pause(pause);
}
