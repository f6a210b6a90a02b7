#pragma once
// Processes, command lines, named shared memory and the shell's "open" action.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/types.h"

namespace win32 {

// The program's Windows-style command line: argv[1..] joined with blanks, arguments that
// hold a blank (or are empty) put in double quotes by Windows' quoting rules.
void SetCommandLineFromArgv(int argc, char** argv);
const std::string& GetCommandLine();
std::string JoinCommandLine(const std::vector<std::string>& arguments);
// The reverse of JoinCommandLine (CommandLineToArgv rules).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
// Splits the program name off the front of a full command line, by the rules the C
// runtime uses for it: a quoted name runs to the next quote, any other up to the first
// blank, so a line that starts with a blank has an empty name. Returns the name and the
// rest of the line.
std::pair<std::string, std::string_view> SplitProgramName(std::string_view commandLine);

struct PROCESS_INFORMATION {
    HANDLE hProcess = nullptr;
    DWORD dwProcessId = 0;
};
// Starts applicationPath (a Windows path; empty means the first argument of the command
// line). As on Windows, the command line starts with the program's name (see
// SplitProgramName): the program gets argv[0] = its host path and argv[1..] = the
// arguments after that name.
bool CreateProcess(std::string_view applicationPath, std::string_view commandLine, PROCESS_INFORMATION* info);
// Replaces the running process; returns only on failure.
bool ExecProcess(std::string_view applicationPath, std::string_view commandLine);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
bool GetExitCodeProcess(HANDLE process, DWORD* exitCode);
bool CloseHandle(HANDLE handle);
DWORD GetCurrentProcessId();

// Named shared memory (page-file backed).
HANDLE CreateFileMapping(std::string_view name, std::size_t size);
HANDLE OpenFileMapping(std::string_view name);
void* MapViewOfFile(HANDLE mapping);
bool UnmapViewOfFile(void* view);

// The shell's "open" action for a file, folder or address; true when it was started.
bool ShellExecuteOpen(std::string_view target);

}  // namespace win32
