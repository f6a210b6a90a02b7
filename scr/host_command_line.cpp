#include "scr/host_command_line.h"

#include <cctype>
#include <charconv>
#include <limits>

#include "platform/win32/path_resolver.h"
#include "platform/x11/x11_windows.h"

namespace {

bool IsSwitch(std::string_view argument) {
    return argument.size() >= 2 && (argument[0] == '/' || argument[0] == '-');
}

// What follows "/c" or "/p" in the same argument: a colon or blanks, then the number.
std::string_view WindowTextAfterLetter(std::string_view rest) {
    std::size_t start = 1;
    while (start < rest.size() && (rest[start] == ':' || rest[start] == ' ' || rest[start] == '\t')) {
        ++start;
    }
    return rest.substr(start);
}

HostCommand ModeOnly(HostMode mode) {
    HostCommand command;
    command.mode = mode;
    return command;
}

HostCommand BadWindow(std::string problem) {
    HostCommand command;
    command.mode = HostMode::BadWindow;
    command.problem = std::move(problem);
    return command;
}

HostCommand OptionsCommand(std::string_view windowText) {
    HostCommand command;
    command.mode = HostMode::Options;
    if (windowText.empty()) {
        command.ownedByForeground = true;
        return command;
    }
    command.window = x11::ParseWindowId(windowText);
    if (!command.window) {
        command.ownedByForeground = true;
        command.problem = "ignoring the window handle \"" + std::string(windowText) + "\"";
    }
    return command;
}

// The daemon's options, gathered over the whole command line.
struct HackOptions {
    bool root = false;
    std::optional<std::string> windowText;
    std::optional<int> volume;
    std::string problem;

    bool Any() const { return root || windowText || volume; }
};

std::optional<int> ParseVolume(std::string_view text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 100) {
        return std::nullopt;
    }
    return value;
}

// Takes a daemon option at arguments[i] (and its value); false when it is none.
bool TakeHackOption(const std::vector<std::string>& arguments, std::size_t& i, HackOptions& hack) {
    const std::string_view name = std::string_view(arguments[i]).substr(1);
    const bool hasValue = i + 1 < arguments.size();
    if (win32::EqualsIgnoringCase(name, "root")) {
        hack.root = true;
    } else if (win32::EqualsIgnoringCase(name, "window-id")) {
        hack.windowText = hasValue ? arguments[++i] : std::string();
    } else if (win32::EqualsIgnoringCase(name, "volume")) {
        hack.volume = hasValue ? ParseVolume(arguments[++i]) : std::nullopt;
        if (!hack.volume) {
            hack.problem = "the volume must be a whole number from 0 to 100";
        }
    } else {
        return false;
    }
    return true;
}

HostCommand HackCommand(const HackOptions& hack, std::string_view daemonWindow) {
    if (!hack.problem.empty()) {
        return BadWindow(hack.problem);
    }
    HostCommand command;
    command.mode = HostMode::Hack;
    command.volume = hack.volume;
    std::string_view windowText;
    if (hack.windowText) {
        windowText = *hack.windowText;
        if (windowText.empty()) {
            return BadWindow("-window-id needs a window id");
        }
    } else if (hack.root) {
        command.rootWindow = daemonWindow.empty();
        windowText = daemonWindow;
    } else {
        return BadWindow("-volume needs -root or -window-id");
    }
    if (!windowText.empty()) {
        command.window = x11::ParseWindowId(windowText);
        if (!command.window) {
            return BadWindow("\"" + std::string(windowText) + "\" is no window id");
        }
    }
    return command;
}

}  // namespace

HostCommand ParseHostCommandLine(const std::vector<std::string>& arguments, std::string_view daemonWindow) {
    if (arguments.empty()) {
        return HostCommand{};
    }
    HackOptions hack;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!IsSwitch(argument)) {
            return HostCommand{};
        }
        if (TakeHackOption(arguments, i, hack)) {
            continue;
        }
        const std::string_view rest = argument.substr(1);
        if (win32::EqualsIgnoringCase(rest, "install")) {
            return ModeOnly(HostMode::Install);
        }
        if (win32::EqualsIgnoringCase(rest, "uninstall")) {
            return ModeOnly(HostMode::Uninstall);
        }
        if (win32::EqualsIgnoringCase(rest, "douninstall")) {
            return ModeOnly(HostMode::DoUninstall);
        }
        switch (std::tolower(static_cast<unsigned char>(rest[0]))) {
            case 's':
                return ModeOnly(HostMode::Run);
            case 'c':
                return OptionsCommand(WindowTextAfterLetter(rest));
            case 'p': {
                std::string_view windowText = WindowTextAfterLetter(rest);
                if (windowText.empty() && i + 1 < arguments.size()) {
                    windowText = arguments[i + 1];
                }
                const auto window = x11::ParseWindowId(windowText);
                if (!window) {
                    return BadWindow(windowText.empty()
                                         ? "/p needs a window handle"
                                         : "\"" + std::string(windowText) + "\" is no window handle");
                }
                HostCommand command = ModeOnly(HostMode::Preview);
                command.window = window;
                return command;
            }
            default:
                break;  // another switch: skipped
        }
    }
    return hack.Any() ? HackCommand(hack, daemonWindow) : ModeOnly(HostMode::End);
}
