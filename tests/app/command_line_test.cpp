#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/my_d3d_application.h"
#include "engine/global_options.h"
#include "tests/support/temp_dir.h"

namespace {

using Tokens = std::vector<std::string>;

TEST(CommandLineTokensTest, QuotedPiecesKeepTheirBlanks) {
    EXPECT_EQ(CMyD3DApplication::TokenizeCommandLine("/scene \"My Cave.xml\" /normalinput"),
              (Tokens{"/scene", "My Cave.xml", "/normalinput"}));
}

TEST(CommandLineTokensTest, BlanksSplitAndEmptyWordsDrop) {
    EXPECT_EQ(CMyD3DApplication::TokenizeCommandLine("  /scene   Menu.xml  "),
              (Tokens{"/scene", "Menu.xml"}));
    EXPECT_EQ(CMyD3DApplication::TokenizeCommandLine(""), Tokens{});
    EXPECT_EQ(CMyD3DApplication::TokenizeCommandLine("\"\""), Tokens{});
}

TEST(CommandLineTokensTest, EmptyPiecesDropBeforeQuotedPiecesAreCounted) {
    // The empty piece before the first quote drops, so "a b" counts as unquoted text.
    EXPECT_EQ(CMyD3DApplication::TokenizeCommandLine("\"a b\" \"c d\""), (Tokens{"a", "b", " ", "c", "d"}));
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZUMBO_HEADLESS", "1", 1);
        setenv("ZUMBO_REGISTRY", (dir.Path() / "registry.reg").c_str(), 1);
        CGlobalOptions::Instance().ResetToDefaults();
        CDebugLog::Instance().SetFolder(dir.WindowsPath());
        app = &CMyD3DApplication::Instance();
    }
    void TearDown() override { app->DestroyInstance(); }

    std::string LogText() const {
        std::ifstream in(dir.Path() / "Debug0000.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    zumbo::test::TempDir dir;
    CMyD3DApplication* app = nullptr;
};

TEST_F(CommandLineTest, SceneAndNormalInputAreRecognisedInAnyCase) {
    app->ParseCommandLine("/SCENE Menu.xml /NormalInput");
    EXPECT_EQ(app->SceneName(), "Menu.xml");
    EXPECT_FALSE(app->ExitOnInput());
    EXPECT_NE(LogText().find("CommandLine: /SCENE Menu.xml /NormalInput"), std::string::npos);
}

TEST_F(CommandLineTest, TrailingSceneSwitchChangesNothingAndLogsNothing) {
    app->ParseCommandLine("/scene");
    EXPECT_EQ(app->SceneName(), "Intro.xml");
    EXPECT_TRUE(app->ExitOnInput());
    EXPECT_EQ(LogText().find("Warning. Wrong command line switch"), std::string::npos);
}

TEST_F(CommandLineTest, UnknownTokensAreLoggedAndSkipped) {
    app->ParseCommandLine("/fast /normalinput");
    EXPECT_NE(LogText().find("Warning. Wrong command line switch found: \"/fast\". Skipping."),
              std::string::npos);
    EXPECT_FALSE(app->ExitOnInput());
}

TEST_F(CommandLineTest, EmptyCommandLineLogsNothing) {
    app->ParseCommandLine("");
    EXPECT_EQ(LogText().find("CommandLine:"), std::string::npos);
}

}  // namespace
