#pragma once
// The host's command line: which mode to run and the window it concerns.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class HostMode {
    Options,      // the options dialog
    Install,      // install, then end
    Uninstall,    // ask, then hand over to a temporary copy
    DoUninstall,  // remove everything, then end
    Run,          // run the screen saver
    Preview,      // the still picture inside a given window
    Hack,         // run inside the window that a Linux screen saver daemon gives
    End,          // only unknown switches: nothing to do
    BadWindow,    // a window was required and none or garbage was given
};

struct HostCommand {
    HostMode mode = HostMode::Options;
    // The options dialog's owner or the preview's parent; missing means no owner for the
    // options dialog and the foreground window for "/c" without a number.
    std::optional<std::uint64_t> window;
    bool ownedByForeground = false;
    // Hack mode: "-root" draws into the daemon's window (or the root window without one).
    bool rootWindow = false;
    // Hack mode: the daemon's volume slider, 0 to 100.
    std::optional<int> volume;
    // What was wrong, for the message on standard error.
    std::string problem;
};

// The arguments after the program name. daemonWindow is the value of the daemon's window
// environment variable (empty when unset).
HostCommand ParseHostCommandLine(const std::vector<std::string>& arguments, std::string_view daemonWindow);
