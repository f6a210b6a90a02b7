#pragma once
// Path rules shared by every loader: the program folder, full paths, normalised paths and
// the existence test.

#include <string>
#include <string_view>
#include <vector>

// Folder of the running program file with its trailing backslash; cached for the run.
const std::string& GetProgramFolder();
// A path whose second character is ':' is returned unchanged; otherwise the program folder,
// a backslash and the path.
std::string MakeFullPath(std::string_view path);
// Drops one leading backslash, turns '/' into '\', lower-cases the rest and removes every
// backslash that directly follows another.
void NormalizePath(std::string& path);
std::string NormalizedPath(std::string_view path);
// "X:" exists; otherwise one trailing backslash is dropped and a file search must find it.
bool FileExists(std::string_view path);
// The non-empty pieces between any of the separators.
std::vector<std::string_view> SplitAtAny(std::string_view text, std::string_view separators);
// Splits at every '\\' and '/', dropping empty pieces.
std::vector<std::string_view> SplitPath(std::string_view path);
// How a file name found inside a document is resolved: a name with a drive stays as it is;
// a name starting with the piece "." is taken from the program folder, any other from the
// folder of the document's source path; leading ".." pieces climb, but never above the drive.
std::string ResolvePath(std::string_view fileName, std::string_view documentSourcePath);
