// The link messages: only web addresses and existing files are handed to the desktop's
// opener, as one argument, and nothing with shell syntax runs.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "frontend/frontend_links.h"
#include "platform/win32/files.h"
#include "resource/paths.h"
#include "tests/frontend/frontend_fixture.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

using namespace zumbo::test;
namespace fs = std::filesystem;

namespace {

class LinksTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        // A stand-in opener that records its one argument.
        const fs::path opener =
            m_temp.Write("bin/xdg-open",
                         "#!/bin/sh\n"
                         "printf '%s' \"$1\" > \"$(dirname \"$0\")/../opened.tmp\"\n"
                         "mv \"$(dirname \"$0\")/../opened.tmp\" \"$(dirname \"$0\")/../opened\"\n");
        ::chmod(opener.c_str(), 0755);
        m_path = std::make_unique<ScopedEnvironmentVariable>(
            "PATH", (m_temp.Path() / "bin").string() + ":/usr/bin:/bin");
    }
    // What the opener was given, waiting up to ten seconds for it.
    std::string Opened() {
        const fs::path opened = m_temp.Path() / "opened";
        for (int i = 0; i < 1000 && !fs::exists(opened); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const std::string text = fs::exists(opened) ? ReadFileText(opened) : std::string();
        fs::remove(opened);
        return text;
    }
    bool NothingOpened() const { return !fs::exists(m_temp.Path() / "opened"); }

    TempDir m_temp;
    std::unique_ptr<ScopedEnvironmentVariable> m_path;
};

TEST_F(LinksTest, WebAddressIsOpenedUnchanged) {
    frontend_links::OpenWebLink("https://example.invalid/zumbo?a=1&b=2");
    EXPECT_EQ(Opened(), "https://example.invalid/zumbo?a=1&b=2");
    frontend_links::OpenWebLink("HTTP://example.invalid/");
    EXPECT_EQ(Opened(), "HTTP://example.invalid/");
}

TEST_F(LinksTest, TargetsWithShellSyntaxOpenNothingAndRunNothing) {
    const fs::path marker = m_temp.Path() / "ran";
    const std::string touch = "touch " + marker.string();
    const std::vector<std::string> targets = {
        "http://example.invalid/`" + touch + "`", "https://example.invalid/$(" + touch + ")",
        "http://example.invalid/;" + touch,       "http://example.invalid/|" + touch,
        "http://example.invalid/\"'\n" + touch,
    };
    for (const std::string& target : targets) {
        EXPECT_FALSE(frontend_links::Open(target)) << target;
        frontend_links::OpenWebLink(target);
        frontend_links::OpenLocalLink(target);
    }
    frontend_links::OpenLocalLink("x.html; " + touch);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(NothingOpened());
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(LinksTest, TargetThatIsNeitherAnAddressNorAnExistingFileIsRefused) {
    for (const char* target : {"ftp://example.invalid/", "http://", "-help", "notes.txt", "mailto:someone"}) {
        ClearLog();
        frontend_links::OpenWebLink(target);
        EXPECT_TRUE(LogContains(std::string("Error! Link \"") + target +
                                "\" is neither a web address nor an existing file and is not opened."));
    }
    EXPECT_TRUE(NothingOpened());
}

TEST_F(LinksTest, LocalLinkOpensAFileBelowTheProgramFolderOrAnAbsolutePath) {
    const fs::path file = m_temp.Write("Help Page.html", "<html/>");
    frontend_links::OpenLocalLink(m_temp.WindowsPath() + "help page.html");
    EXPECT_EQ(Opened(), file.string());
    // A relative name is looked for below the program folder, where there is no such file.
    frontend_links::OpenLocalLink("Help Page.html");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(NothingOpened());
    EXPECT_TRUE(LogContains("Error! Link \"" + MakeFullPath("Help Page.html") +
                            "\" is neither a web address nor an existing file and is not opened."));
}

TEST_F(LinksTest, AffiliateLinkNeedsAReadableShortcut) {
    const fs::path shortcut = win32::ToHostPath(GetProgramFolder()) / "register.url";
    ASSERT_FALSE(fs::exists(shortcut)) << "left over by an earlier run";
    frontend_links::OpenAffiliateLink();
    EXPECT_TRUE(LogContains("Error! Failed to open affiliate link: register.url was not found."));
    { std::ofstream(shortcut) << "[InternetShortcut]\nIconIndex=0\n"; }
    frontend_links::OpenAffiliateLink();
    EXPECT_TRUE(
        LogContains("Error! Failed to open affiliate link: register.url has wrong format or URL is empty."));
    { std::ofstream(shortcut) << "[InternetShortcut]\nURL=https://example.invalid/register\n"; }
    frontend_links::OpenAffiliateLink();
    fs::remove(shortcut);
    EXPECT_EQ(Opened(), "https://example.invalid/register");
}

}  // namespace
