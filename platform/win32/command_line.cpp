// Windows command lines: one string whose arguments the receiving program splits with
// the rules of CommandLineToArgv.
#include <algorithm>
#include <string>

#include "platform/win32/process.h"

namespace win32 {

namespace {

std::string& ProcessCommandLine() {
    static std::string commandLine;
    return commandLine;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool NeedsQuotes(std::string_view argument) {
    return argument.empty() || argument.find_first_of(" \t\"") != std::string_view::npos;
}

std::string Quote(std::string_view argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them; then each one is doubled.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');  // the closing quote follows them
    return quoted + '"';
}

}  // namespace

void SetCommandLineFromArgv(int argc, char** argv) {
    ProcessCommandLine() = JoinCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}

const std::string& GetCommandLine() {
    return ProcessCommandLine();
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        line += i == 0 ? "" : " ";
        line += NeedsQuotes(arguments[i]) ? Quote(arguments[i]) : arguments[i];
    }
    return line;
}

std::pair<std::string, std::string_view> SplitProgramName(std::string_view commandLine) {
    if (commandLine.starts_with('"')) {
        const std::size_t close = std::min(commandLine.find('"', 1), commandLine.size());
        return {std::string(commandLine.substr(1, close - 1)),
                commandLine.substr(std::min(close + 1, commandLine.size()))};
    }
    std::size_t end = 0;
    while (end < commandLine.size() && !IsBlank(commandLine[end])) {
        ++end;
    }
    return {std::string(commandLine.substr(0, end)), commandLine.substr(end)};
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool inQuotes = false;
    for (std::size_t i = 0; i < commandLine.size();) {
        const char c = commandLine[i];
        if (IsBlank(c) && !inQuotes) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t count = 0;
            while (i < commandLine.size() && commandLine[i] == '\\') {
                ++count;
                ++i;
            }
            const bool beforeQuote = i < commandLine.size() && commandLine[i] == '"';
            current.append(beforeQuote ? count / 2 : count, '\\');
            if (beforeQuote && count % 2 == 1) {
                current += '"';
                ++i;
            }
        } else if (c == '"') {
            if (inQuotes && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
                current += '"';  // a doubled quote inside quotes stands for one
                i += 2;
            } else {
                inQuotes = !inQuotes;
                ++i;
            }
        } else {
            current += c;
            ++i;
        }
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

}  // namespace win32
