#include "scr/host_installer.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/win32/files.h"
#include "platform/win32/path_resolver.h"
#include "platform/win32/process.h"
#include "platform/win32/profile.h"
#include "platform/win32/window.h"
#include "scr/host_registry.h"
#include "scr/wininit_rename.h"

namespace {

using namespace host_registry;

constexpr const char* kInstallFolderName = "Zumbo Screen Saver";
constexpr const char* kUninstallerName = "uninst.exe";
constexpr const char* kMainProgramName = "ZumboCave.exe";
constexpr const char* kTemporaryCopyName = "ZumboScreenSaverUninstall.exe";
constexpr std::uint64_t kMaxComparedBytes = std::uint64_t(1) << 30;

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

std::string FileNameOf(std::string_view path) {
    const std::size_t separator = LastSeparator(path);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

// The folder part without trailing backslashes.
std::string FolderOf(std::string_view path) {
    const std::size_t separator = LastSeparator(path);
    std::string folder(separator == std::string_view::npos ? std::string_view() : path.substr(0, separator));
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

std::string Normalized(std::string_view path) {
    std::string full = win32::GetFullPathName(path);
    while (full.size() > 3 && full.back() == '\\') {
        full.pop_back();
    }
    return full;
}

bool SamePath(std::string_view a, std::string_view b) {
    const std::string first = Normalized(a);
    return !first.empty() && win32::EqualsIgnoringCase(first, Normalized(b));
}

bool SameContent(std::string_view a, std::string_view b) {
    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> second;
    return win32::ReadFile(a, first, kMaxComparedBytes) && win32::ReadFile(b, second, kMaxComparedBytes) &&
           first == second;
}

std::optional<std::string> ProgramsFolder() {
    return ReadString(win32::HKEY_LOCAL_MACHINE, kWindowsVersionKey, "ProgramFilesDir");
}

void Refuse(std::string_view what, std::string_view path) {
    std::fprintf(stderr,
                 "ZumboCave.scr: not removing %.*s \"%.*s\": it is not the one Zumbo Cave installed\n",
                 int(what.size()), what.data(), int(path.size()), path.data());
}

}  // namespace

CHostInstaller::CHostInstaller(std::string hostFile, CHostPrompter& prompter)
    : m_hostFile(std::move(hostFile)), m_prompter(prompter) {}

void CHostInstaller::Require(bool done, std::string_view what) {
    if (!done) {
        m_failures.emplace_back(what);
    }
}

std::string CHostInstaller::WindowsCopyPath() const {
    return win32::GetWindowsDirectory() + "\\" + FileNameOf(m_hostFile);
}

int CHostInstaller::Install() {
    m_failures.clear();
    const std::string windowsCopy = WindowsCopyPath();
    win32::DeleteFile(windowsCopy);
    Require(win32::CopyFile(m_hostFile, windowsCopy, false), "the copy in the Windows folder");

    const auto programs = ProgramsFolder();
    if (!programs) {
        m_prompter.Show("Failed to obtain program files path from the registry", kHostCaption, win32::MB_OK);
        m_failures.emplace_back("the programs folder");
    }
    const std::string sourceFolder = FolderOf(m_hostFile);
    const std::string mainProgramName = MainProgramNameForInstall(sourceFolder);
    // Without a programs folder there is nowhere to put the installed folder, and the values
    // that name it would point at the drive's root.
    if (programs) {
        const std::string targetFolder = *programs + "\\" + kInstallFolderName;
        CopyProgramFolder(sourceFolder, targetFolder);
        RegisterInstalledCopy(targetFolder, mainProgramName);
    }
    RegisterScreenSaver(windowsCopy);

    if (!m_failures.empty()) {
        std::string text = "Zumbo Cave Screen Saver\ncould not be installed completely. Not done:";
        for (const auto& failure : m_failures) {
            text += "\n- " + failure;
        }
        m_prompter.Show(text, kHostCaption, win32::MB_OK | win32::MB_ICONERROR);
        return 1;
    }
    m_prompter.Show("Zumbo Cave Screen Saver\nsuccessfully installed on your computer.", kHostCaption,
                    win32::MB_OK | win32::MB_ICONINFORMATION);
    return 0;
}

// The main program's file name from the path it stored; when it never ran, the main
// program beside the host, so the installed path names a program and not a folder.
std::string CHostInstaller::MainProgramNameForInstall(const std::string& sourceFolder) {
    const auto mainProgram = MainProgramPath();
    if (mainProgram) {
        return FileNameOf(*mainProgram);
    }
    m_prompter.Show("Failed to obtain necessary information from the registry", kHostCaption, win32::MB_OK);
    return win32::FileExists(sourceFolder + "\\" + kMainProgramName) ? kMainProgramName : "";
}

void CHostInstaller::CopyProgramFolder(const std::string& sourceFolder, const std::string& targetFolder) {
    const std::string programs = FolderOf(targetFolder);
    if (!win32::DirectoryExists(programs)) {
        m_failures.emplace_back("the programs folder \"" + programs + "\" does not exist");
        return;
    }
    // Installing again from the installed folder finds everything in place.
    if (!SamePath(sourceFolder, targetFolder)) {
        Require(win32::CopyDirectoryTree(sourceFolder, targetFolder), "the copy of the program folder");
    }
    Require(win32::CopyFile(m_hostFile, targetFolder + "\\" + kUninstallerName, false), "the uninstaller");
}

void CHostInstaller::RegisterInstalledCopy(const std::string& targetFolder,
                                           const std::string& mainProgramName) {
    Require(WriteString(win32::HKEY_CURRENT_USER, kHostKey, "", targetFolder + "\\" + mainProgramName),
            "the main program's path in the registry");
    const std::string uninstaller = targetFolder + "\\" + kUninstallerName;
    Require(WriteString(win32::HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Zumbo Cave ScreenSaver") &&
                WriteString(win32::HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString",
                            uninstaller + " /uninstall"),
            "the uninstall entry");
}

void CHostInstaller::RegisterScreenSaver(const std::string& windowsCopy) {
    Require(WriteString(win32::HKEY_CURRENT_USER, kHostKey, "ScreenSaverPath", windowsCopy),
            "the screen saver's path in the registry");
    const std::string shortPath = win32::GetShortPathName(windowsCopy);
    Require(!shortPath.empty() &&
                win32::WritePrivateProfileString("boot", "SCRNSAVE.EXE", shortPath, "system.ini"),
            "the screen saver in system.ini");
    Require(WriteString(win32::HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive", "1"),
            "switching the screen saver on");
}

int CHostInstaller::Uninstall() {
    if (m_prompter.Show("Are you sure that you want to uninstall Zumbo Cave Screen Saver?",
                        "Uninstall Zumbo Cave Screen Saver",
                        win32::MB_YESNO | win32::MB_ICONQUESTION) != win32::IDYES) {
        return 0;
    }
    // The installed files are in use while this copy runs: a temporary copy removes them.
    const std::string temporaryFolder = win32::GetTempPath();
    win32::SetCurrentDirectory(temporaryFolder);
    const std::string copy = temporaryFolder + kTemporaryCopyName;
    win32::DeleteFile(copy);
    if (win32::CopyFile(m_hostFile, copy, false)) {
        win32::ExecProcess(copy, std::string("\"") + kTemporaryCopyName + "\" \"/douninstall\"");
    }
    m_prompter.Show("Zumbo Cave Screen Saver could not start its uninstaller \"" + copy + "\".", kHostCaption,
                    win32::MB_OK | win32::MB_ICONERROR);
    return 1;
}

int CHostInstaller::DoUninstall() {
    m_failures.clear();
    Require(ScheduleDeleteAtRestart(m_hostFile), "scheduling the temporary uninstaller's removal");
    RemoveWindowsCopy();
    RemoveInstalledFolder();
    win32::RegDeleteKey(win32::HKEY_CURRENT_USER, kHostKey);
    win32::RegDeleteKey(win32::HKEY_LOCAL_MACHINE, kUninstallKey);
    for (const auto& failure : m_failures) {
        std::fprintf(stderr, "ZumboCave.scr: uninstall: not done: %s\n", failure.c_str());
    }
    return m_failures.empty() ? 0 : 1;
}

// A file counts as the host's only when it holds exactly the running host's bytes.
bool CHostInstaller::IsOurs(std::string_view file) const {
    return SameContent(file, m_hostFile);
}

void CHostInstaller::RemoveWindowsCopy() {
    const auto copy = ReadString(win32::HKEY_CURRENT_USER, kHostKey, "ScreenSaverPath");
    if (!copy) {
        return;
    }
    if (!SamePath(FolderOf(*copy), win32::GetWindowsDirectory()) || !IsOurs(*copy)) {
        Refuse("the file", *copy);
        m_failures.emplace_back("removing \"" + *copy + "\"");
        return;
    }
    Require(win32::DeleteFile(*copy), "removing \"" + *copy + "\"");
}

void CHostInstaller::RemoveInstalledFolder() {
    const auto mainProgram = MainProgramPath();
    if (!mainProgram) {
        return;
    }
    const std::string folder = FolderOf(*mainProgram);
    const auto programs = ProgramsFolder();
    const bool ours = programs && SamePath(FolderOf(folder), *programs) &&
                      win32::EqualsIgnoringCase(FileNameOf(folder), kInstallFolderName) &&
                      IsOurs(folder + "\\" + kUninstallerName);
    if (!ours) {
        Refuse("the folder", folder);
        m_failures.emplace_back("removing \"" + folder + "\"");
        return;
    }
    Require(win32::RemoveDirectoryTree(folder), "removing \"" + folder + "\"");
}
