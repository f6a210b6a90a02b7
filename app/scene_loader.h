#pragma once
// Loads scenes ("\Scenes\<name>" below the program folder) into the entity manager, resets the
// current one, and carries out the messages "ResetScene", "LoadScene" and "ExitApplication".

#include <string>

#include "engine/singleton.h"
#include "platform/win32/types.h"

class CSceneLoader : public tmSingleton<CSceneLoader> {
public:
    // Scenes and entities below the running program's folder.
    CSceneLoader();
    // Scenes and entities below another program folder (with its trailing backslash).
    explicit CSceneLoader(std::string programFolder);

    // Adds the scene's entities to the ones that exist; false when the file cannot be read.
    bool LoadScene(const std::string& sceneFileName);
    // Deletes every entity; the argument is not used. Always true.
    bool ResetScene(const std::string& argument);
    // Acts on the messages published for this tick, in their order.
    void Tick();

    // The window that receives the Exit command when "ExitApplication" arrives.
    void SetMainWindow(HWND window) { m_mainWindow = window; }

private:
    std::string m_programFolder;
    HWND m_mainWindow = nullptr;
};
