#pragma once
// Files to delete at the next restart, listed in the "[Rename]" section of "wininit.ini"
// in the Windows folder, for systems that offer no delayed file moves.

#include <string>
#include <string_view>

// The text with line inserted at the end of its "[Rename]" section (the header compared
// without regard to case), or with the section appended when there is none.
std::string AddRenameLine(std::string_view text, std::string_view line);

// Adds "NUL=<short path>" for the file; false when the file has no short path or one
// longer than 1024 characters, or wininit.ini cannot be read or written.
bool ScheduleDeleteAtRestart(std::string_view path);
