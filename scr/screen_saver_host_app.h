#pragma once
// ZumboCave.scr: runs the screen saver, shows its preview or options dialog, installs and
// uninstalls the product, and runs inside a Linux screen saver daemon's window.

#include <string>
#include <vector>

#include "scr/host_command_line.h"
#include "scr/host_prompter.h"

class CScreenSaverHostApp {
public:
    // hostFile is the running host's own file (a Windows path).
    CScreenSaverHostApp(std::string hostFile, CHostPrompter& prompter);

    // Runs the mode that the arguments (after the program name) ask for; returns the exit
    // code. daemonWindow is the daemon's window environment variable.
    int Run(const std::vector<std::string>& arguments, const std::string& daemonWindow);

    // "/s": starts the main program with only its quoted path and waits for it.
    int RunScreenSaver();

private:
    int RunHack(const HostCommand& command);
    int ShowOptions(const HostCommand& command);
    int ShowPreview(const HostCommand& command);
    std::string HackMainProgram() const;

    std::string m_hostFile;
    CHostPrompter& m_prompter;
};
