#pragma once
// Installing and removing the product: the host copied to the Windows folder, the folder it
// runs from copied to "Zumbo Screen Saver" in the programs folder with an "uninst.exe", the
// registry values, the uninstall entry and the system's screen saver setting.

#include <string>
#include <string_view>
#include <vector>

#include "scr/host_prompter.h"

class CHostInstaller {
public:
    // hostFile is the running host's own file (a Windows path).
    CHostInstaller(std::string hostFile, CHostPrompter& prompter);

    // Each returns the program's exit code: 0 when everything was done.
    int Install();
    // Asks, then replaces this process by a temporary copy that removes everything.
    int Uninstall();
    // Removes what Install made; folders and files that are not ours are left alone.
    int DoUninstall();

private:
    // Remembers a step that failed, for the report at the end.
    void Require(bool done, std::string_view what);
    std::string WindowsCopyPath() const;
    std::string MainProgramNameForInstall(const std::string& sourceFolder);
    void CopyProgramFolder(const std::string& sourceFolder, const std::string& targetFolder);
    void RegisterInstalledCopy(const std::string& targetFolder, const std::string& mainProgramName);
    void RegisterScreenSaver(const std::string& windowsCopy);
    void RemoveWindowsCopy();
    void RemoveInstalledFolder();
    bool IsOurs(std::string_view file) const;

    std::string m_hostFile;
    CHostPrompter& m_prompter;
    std::vector<std::string> m_failures;
};
