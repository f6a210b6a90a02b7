#include "scr/screen_saver_host_app.h"

#include <cstdio>

#include "platform/win32/files.h"
#include "platform/win32/process.h"
#include "platform/win32/window.h"
#include "platform/x11/x11_windows.h"
#include "scr/host_installer.h"
#include "scr/host_options_dlg.h"
#include "scr/host_registry.h"
#include "scr/preview_wnd.h"

namespace {

constexpr const char* kMainProgramName = "ZumboCave.exe";

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

void Complain(const std::string& text) {
    std::fprintf(stderr, "ZumboCave.scr: %s\n", text.c_str());
}

}  // namespace

CScreenSaverHostApp::CScreenSaverHostApp(std::string hostFile, CHostPrompter& prompter)
    : m_hostFile(std::move(hostFile)), m_prompter(prompter) {}

int CScreenSaverHostApp::Run(const std::vector<std::string>& arguments, const std::string& daemonWindow) {
    const HostCommand command = ParseHostCommandLine(arguments, daemonWindow);
    if (!command.problem.empty()) {
        Complain(command.problem);
    }
    CHostInstaller installer(m_hostFile, m_prompter);
    switch (command.mode) {
        case HostMode::Install:
            return installer.Install();
        case HostMode::Uninstall:
            return installer.Uninstall();
        case HostMode::DoUninstall:
            return installer.DoUninstall();
        case HostMode::Run:
            return RunScreenSaver();
        case HostMode::Preview:
            return ShowPreview(command);
        case HostMode::Hack:
            return RunHack(command);
        case HostMode::Options:
            return ShowOptions(command);
        case HostMode::End:
            return 0;
        case HostMode::BadWindow:
            break;
    }
    return 2;
}

int CScreenSaverHostApp::RunScreenSaver() {
    const auto mainProgram = host_registry::MainProgramPath();
    if (!mainProgram) {
        m_prompter.Show("Failed to obtain necessary information from the registry", kHostCaption,
                        win32::MB_OK);
        return 1;
    }
    win32::PROCESS_INFORMATION process;
    if (!win32::CreateProcess(*mainProgram, Quoted(*mainProgram), &process)) {
        Complain("cannot start the main program \"" + *mainProgram + "\"");
        return 1;
    }
    win32::WaitForSingleObject(process.hProcess, INFINITE);
    win32::CloseHandle(process.hProcess);
    return 0;
}

// The main program installed beside the host (the daemon's layout), else the one the
// registry names.
std::string CScreenSaverHostApp::HackMainProgram() const {
    const std::size_t separator = m_hostFile.find_last_of('\\');
    const std::string beside = m_hostFile.substr(0, separator + 1) + kMainProgramName;
    if (win32::FileExists(beside)) {
        return beside;
    }
    return host_registry::MainProgramPath().value_or("");
}

int CScreenSaverHostApp::RunHack(const HostCommand& command) {
    const auto window = command.rootWindow ? x11::RootWindowId() : command.window;
    if (!window || !x11::WindowExists(*window)) {
        Complain("the window to draw into does not exist");
        return 2;
    }
    if (command.volume && !host_registry::WriteDword(win32::HKEY_CURRENT_USER, host_registry::kHostKey,
                                                     "MusicVolume", DWORD(*command.volume))) {
        Complain("cannot store the music volume");
    }
    const std::string mainProgram = HackMainProgram();
    // The daemon ends the hack with a signal: the main program takes this process's place
    // so that the signal reaches it.
    win32::ExecProcess(mainProgram,
                       Quoted(mainProgram) + " /normalinput -window-id " + std::to_string(*window));
    Complain("cannot start the main program \"" + mainProgram + "\"");
    return 1;
}

int CScreenSaverHostApp::ShowOptions(const HostCommand& command) {
    CHostOptionsDlg dialog;
    const auto owner = command.ownedByForeground ? x11::ActiveWindowId() : command.window;
    if (dialog.DoModal(owner) == win32::VolumeDialogResult::NotShown) {
        Complain("the options dialog needs a display");
        return 1;
    }
    return 0;
}

int CScreenSaverHostApp::ShowPreview(const HostCommand& command) {
    CPreviewWnd preview;
    if (!preview.Run(*command.window)) {
        Complain("cannot show the preview in window " + std::to_string(*command.window));
        return 1;
    }
    return 0;
}
