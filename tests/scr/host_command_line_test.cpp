#include "scr/host_command_line.h"

#include <gtest/gtest.h>

#include "platform/x11/x11_windows.h"

namespace {

using Arguments = std::vector<std::string>;

HostCommand Parse(const Arguments& arguments, std::string_view daemonWindow = "") {
    return ParseHostCommandLine(arguments, daemonWindow);
}

TEST(HostCommandLine, RunSwitchIgnoresCaseAndSwitchCharacter) {
    for (const char* argument : {"/s", "/S", "-s", "-S", "/screensaver"}) {
        EXPECT_EQ(Parse({argument}).mode, HostMode::Run) << argument;
    }
}

TEST(HostCommandLine, InstallAndUninstallAreWholeWords) {
    EXPECT_EQ(Parse({"/install"}).mode, HostMode::Install);
    EXPECT_EQ(Parse({"-INSTALL"}).mode, HostMode::Install);
    EXPECT_EQ(Parse({"/Uninstall"}).mode, HostMode::Uninstall);
    EXPECT_EQ(Parse({"/douninstall"}).mode, HostMode::DoUninstall);
    // Only the whole words: "/installer" is a switch with the letter i, which is skipped.
    EXPECT_EQ(Parse({"/installer"}).mode, HostMode::End);
}

TEST(HostCommandLine, OptionsOwnerAfterColonOrBlankElseForeground) {
    for (const char* argument : {"/c:4711", "/c 4711", "/C:4711", "-c  4711", "/c:\t4711"}) {
        const HostCommand command = Parse({argument});
        EXPECT_EQ(command.mode, HostMode::Options) << argument;
        EXPECT_EQ(command.window, std::optional<std::uint64_t>(4711)) << argument;
        EXPECT_FALSE(command.ownedByForeground) << argument;
    }
    const HostCommand alone = Parse({"/c"});
    EXPECT_EQ(alone.mode, HostMode::Options);
    EXPECT_TRUE(alone.ownedByForeground);
    EXPECT_FALSE(alone.window);
    // The handle must be in the same argument: a following one is not looked at.
    EXPECT_TRUE(Parse({"/c", "4711"}).ownedByForeground);
    const HostCommand garbage = Parse({"/c:abc"});
    EXPECT_TRUE(garbage.ownedByForeground);
    EXPECT_FALSE(garbage.problem.empty());
}

TEST(HostCommandLine, PreviewHandleInTheSameOrTheNextArgument) {
    for (const Arguments& arguments :
         {Arguments{"/p", "2468"}, Arguments{"/p:2468"}, Arguments{"/p 2468"}, Arguments{"-P:2468", "99"}}) {
        const HostCommand command = Parse(arguments);
        EXPECT_EQ(command.mode, HostMode::Preview) << arguments[0];
        EXPECT_EQ(command.window, std::optional<std::uint64_t>(2468)) << arguments[0];
    }
}

TEST(HostCommandLine, PreviewWithoutAUsableHandleIsRefused) {
    for (const Arguments& arguments :
         {Arguments{"/p"}, Arguments{"/p:"}, Arguments{"/p", "abc"}, Arguments{"/p:12x"},
          Arguments{"/p", "0"}, Arguments{"/p", "-5"}, Arguments{"/p", "99999999999"}}) {
        const HostCommand command = Parse(arguments);
        EXPECT_EQ(command.mode, HostMode::BadWindow) << arguments.back();
        EXPECT_FALSE(command.problem.empty());
    }
}

TEST(HostCommandLine, UnknownSwitchesAreSkippedAndNonSwitchesShowOptions) {
    EXPECT_EQ(Parse({"/x", "/s"}).mode, HostMode::Run);
    EXPECT_EQ(Parse({"-foo", "/bar", "/p", "12"}).mode, HostMode::Preview);
    EXPECT_EQ(Parse({"/x"}).mode, HostMode::End);
    EXPECT_EQ(Parse({"/x", "-y"}).mode, HostMode::End);
    // No switch character, or too short: the options dialog without an owner.
    for (const Arguments& arguments :
         {Arguments{}, Arguments{"s"}, Arguments{"/"}, Arguments{"x", "/s"}, Arguments{"/x", "s"}}) {
        const HostCommand command = Parse(arguments);
        EXPECT_EQ(command.mode, HostMode::Options);
        EXPECT_FALSE(command.window);
        EXPECT_FALSE(command.ownedByForeground);
    }
}

TEST(HostCommandLine, DaemonOptionsNameTheWindowAndVolume) {
    const HostCommand given = Parse({"-window-id", "0x2a00007", "-volume", "35"});
    EXPECT_EQ(given.mode, HostMode::Hack);
    EXPECT_EQ(given.window, std::optional<std::uint64_t>(0x2a00007));
    EXPECT_EQ(given.volume, std::optional<int>(35));

    const HostCommand daemon = Parse({"-root"}, "0x1c00003");
    EXPECT_EQ(daemon.mode, HostMode::Hack);
    EXPECT_EQ(daemon.window, std::optional<std::uint64_t>(0x1c00003));
    EXPECT_FALSE(daemon.rootWindow);
    EXPECT_FALSE(daemon.volume);

    const HostCommand root = Parse({"-ROOT"});
    EXPECT_EQ(root.mode, HostMode::Hack);
    EXPECT_TRUE(root.rootWindow);
    EXPECT_FALSE(root.window);

    EXPECT_EQ(Parse({"-window-id", "1234"}).window, std::optional<std::uint64_t>(1234));
}

TEST(HostCommandLine, BadDaemonOptionsAreRefused) {
    for (const auto& [arguments, daemonWindow] :
         std::vector<std::pair<Arguments, std::string>>{{{"-window-id"}, ""},
                                                        {{"-window-id", "junk"}, ""},
                                                        {{"-window-id", "0x"}, ""},
                                                        {{"-root"}, "not-a-window"},
                                                        {{"-root", "-volume", "101"}, ""},
                                                        {{"-root", "-volume", "-1"}, ""},
                                                        {{"-root", "-volume"}, ""},
                                                        {{"-volume", "20"}, ""}}) {
        const HostCommand command = Parse(arguments, daemonWindow);
        EXPECT_EQ(command.mode, HostMode::BadWindow) << arguments.back();
        EXPECT_FALSE(command.problem.empty()) << arguments.back();
    }
}

TEST(WindowId, DecimalOrHexadecimalWithinThirtyTwoBits) {
    EXPECT_EQ(x11::ParseWindowId("12345"), std::optional<std::uint64_t>(12345));
    EXPECT_EQ(x11::ParseWindowId("0x3e"), std::optional<std::uint64_t>(62));
    EXPECT_EQ(x11::ParseWindowId("0X3E"), std::optional<std::uint64_t>(62));
    EXPECT_EQ(x11::ParseWindowId("4294967295"), std::optional<std::uint64_t>(4294967295u));
    for (const char* bad : {"", "0", "0x0", "4294967296", "+5", "-5", "12 ", " 12", "1e3", "0x1g"}) {
        EXPECT_FALSE(x11::ParseWindowId(bad)) << bad;
    }
}

}  // namespace
