// "cmake --install" of the build: the program folder, the daemon's hack and configuration, and
// the desktop entry, all under the prefix given at install time.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/file_text.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace zumbo::test;

TEST(InstallRules, EverythingLandsUnderTheGivenPrefix) {
    // The data beside the programs in the build goes beside them when installed, logs do not.
    std::vector<fs::path> built;
    for (const auto& entry : fs::recursive_directory_iterator(ZUMBO_BIN_DIR)) {
        const fs::path relative = entry.path().lexically_relative(ZUMBO_BIN_DIR);
        if (entry.is_regular_file() && *relative.begin() != "DebugLogs") {
            built.push_back(relative);
        }
    }
    TempDir prefix;
    const fs::path build = fs::path(ZUMBO_BIN_DIR).parent_path();
    const std::string command = "cmake --install '" + build.string() + "' --prefix '" +
                                prefix.Path().string() + "' > '" + (prefix.Path() / "install.log").string() +
                                "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(prefix.Path() / "install.log");

    // The hack is a link to the host in the program folder (lib/zumbocave, or below the
    // multiarch library folder when the prefix is /usr).
    const fs::path hack = prefix.Path() / "libexec/xscreensaver/zumbocave";
    ASSERT_TRUE(fs::is_symlink(hack));
    const fs::path programs = fs::read_symlink(hack).parent_path();
    EXPECT_EQ(fs::read_symlink(hack).filename(), "ZumboCave.scr");
    EXPECT_EQ(programs.filename(), "zumbocave");
    EXPECT_EQ(programs.string().rfind(prefix.Path().string() + "/lib", 0), 0u) << programs;
    for (const char* program : {"ZumboCave.exe", "ZumboCave.scr"}) {
        EXPECT_EQ(fs::status(programs / program).permissions() & fs::perms::owner_exec, fs::perms::owner_exec)
            << program;
    }
    for (const fs::path& relative : built) {
        EXPECT_TRUE(fs::exists(programs / relative)) << relative;
    }
    EXPECT_FALSE(fs::exists(programs / "DebugLogs"));

    const std::string configuration = ReadFileText(prefix.Path() / "share/xscreensaver/config/zumbocave.xml");
    EXPECT_NE(configuration.find("<screensaver name=\"zumbocave\""), std::string::npos);
    EXPECT_NE(configuration.find("arg=\"-volume %\""), std::string::npos);

    const std::string desktop = ReadFileText(prefix.Path() / "share/applications/zumbocave.desktop");
    EXPECT_NE(desktop.find("Exec=\"" + (programs / "ZumboCave.exe").string() + "\"\n"), std::string::npos)
        << desktop;
    EXPECT_NE(desktop.find("Exec=\"" + (programs / "ZumboCave.scr").string() + "\" /c\n"), std::string::npos);
}

}  // namespace
