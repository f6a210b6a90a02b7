#include "resource/paths.h"

#include <gtest/gtest.h>

#include "tests/support/program_folder_sandbox.h"

namespace {

TEST(Paths, ProgramFolderIsTheTestProgramsFolderOnItsDrive) {
    const std::string folder = GetProgramFolder();
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder[1], ':');
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(folder.find('/'), std::string::npos);
}

TEST(Paths, MakeFullPathKeepsDrivesAndJoinsEverythingElse) {
    EXPECT_EQ(MakeFullPath("C:\\Windows"), "C:\\Windows");
    EXPECT_EQ(MakeFullPath("x:"), "x:");
    EXPECT_EQ(MakeFullPath("Scenes\\Intro.lbm"), GetProgramFolder() + "\\Scenes\\Intro.lbm");
    EXPECT_EQ(MakeFullPath("\\Options.lbm"), GetProgramFolder() + "\\\\Options.lbm");
    EXPECT_EQ(NormalizedPath(MakeFullPath("\\Options.lbm")),
              NormalizedPath(GetProgramFolder() + "options.lbm"));
}

TEST(Paths, NormalizePathLowersFoldsSlashesAndCollapsesBackslashes) {
    EXPECT_EQ(NormalizedPath("\\Models//Ball.X"), "models\\ball.x");
    EXPECT_EQ(NormalizedPath("Z:\\\\\\A\\B"), "z:\\a\\b");
    EXPECT_EQ(NormalizedPath("\\\\share"), "\\share");  // only one leading backslash goes
    EXPECT_EQ(NormalizedPath(""), "");
    // Lower case is the C locale's, whatever locale a dialog library switched the process to.
    EXPECT_EQ(NormalizedPath("\xC4\xD6Z\xDC"), "\xC4\xD6z\xDC");
    std::string inPlace = "A/b\\C";
    NormalizePath(inPlace);
    EXPECT_EQ(inPlace, "a\\b\\c");
}

TEST(Paths, FileExistsFindsFilesAndFoldersIgnoringCaseAndATrailingBackslash) {
    zumbo::test::ProgramFolderSandbox sandbox;
    sandbox.Write("Sub/Data.lbm", "x");
    const std::string base = GetProgramFolder() + sandbox.Relative();
    EXPECT_TRUE(FileExists(base + "\\Sub\\Data.lbm"));
    EXPECT_TRUE(FileExists(base + "\\SUB\\data.LBM"));
    EXPECT_TRUE(FileExists(base + "\\Sub\\"));
    EXPECT_FALSE(FileExists(base + "\\Sub\\Missing.lbm"));
    EXPECT_TRUE(FileExists("Q:"));
}

TEST(Paths, SplitPathDropsEmptyPieces) {
    EXPECT_EQ(SplitPath("\\a//b\\\\c\\"), (std::vector<std::string_view>{"a", "b", "c"}));
    EXPECT_TRUE(SplitPath("\\/").empty());
}

TEST(Paths, ResolvePathKeepsDrivesAndStartsFromTheDocumentsFolder) {
    const std::string document = "z:\\game\\entities\\monsters\\bat.lbm";
    EXPECT_EQ(ResolvePath("C:/x.dds", document), "C:/x.dds");
    EXPECT_EQ(ResolvePath("wing.x", document), "z:\\game\\entities\\monsters\\wing.x");
    EXPECT_EQ(ResolvePath("//Sub/wing.x", document), "z:\\game\\entities\\monsters\\Sub\\wing.x");
    EXPECT_EQ(ResolvePath("..\\..\\Models\\bat.x", document), "z:\\game\\Models\\bat.x");
}

TEST(Paths, ResolvePathClimbsOnlyLeadingDotDotsAndNeverAboveTheDrive) {
    const std::string document = "z:\\game\\bat.lbm";
    EXPECT_EQ(ResolvePath("..\\..\\..\\x.x", document), "z:\\x.x");
    EXPECT_EQ(ResolvePath("a\\..\\x.x", document), "z:\\game\\a\\..\\x.x");
    // A document built in memory has no source: the name stays relative.
    EXPECT_EQ(ResolvePath("..\\Models/x.x", ""), "Models\\x.x");
}

TEST(Paths, ResolvePathWithALeadingDotStartsFromTheProgramFolder) {
    const std::string folder = GetProgramFolder();
    const std::string expected = folder + "Models\\ball.x";
    EXPECT_EQ(ResolvePath(".\\Models\\ball.x", "z:\\elsewhere\\doc.lbm"), expected);
    EXPECT_EQ(ResolvePath("./../Models/ball.x", "z:\\elsewhere\\doc.lbm"),
              folder.substr(0, folder.find_last_of('\\', folder.size() - 2) + 1) + "Models\\ball.x");
}

}  // namespace
