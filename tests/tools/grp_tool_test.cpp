#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "resource/group_archive.h"
#include "resource/group_file.h"
#include "resource/paths.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"

namespace {

namespace fs = std::filesystem;
using zumbo::test::RunTool;

class GrpToolTest : public ::testing::Test {
protected:
    void TearDown() override { CGroupFile::DestroyInstance(); }

    fs::path Path(const std::string& name) const { return m_temp.Path() / name; }

    void WriteSample() {
        m_temp.Write("data/Models/Ball.X", "ball mesh");
        m_temp.Write("data/Models/Cave/Wall.x", "wall");
        m_temp.Write("data/Scenes/Intro.lbm", "scene bytes");
        m_temp.Write("data/Options.lbm", "");
    }

    std::string Pack(const fs::path& folder, const fs::path& archive) {
        const auto result = RunTool("zumbo-grp", {"pack", folder.string(), archive.string()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return List(archive);
    }

    std::string List(const fs::path& archive) {
        const auto result = RunTool("zumbo-grp", {"list", archive.string()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    void WriteRaw(const std::string& name, const tGroupArchiveFolder& root) {
        std::vector<std::uint8_t> bytes;
        std::string problem;
        ASSERT_TRUE(WriteGroupArchive(root, bytes, problem));
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    zumbo::test::TempDir m_temp;
};

TEST_F(GrpToolTest, ThePackedArchiveIsReadByTheEngineAndListedAsPacked) {
    WriteSample();
    const fs::path archive = Path("ZumboSS.grp");
    const std::string listing = Pack(Path("data"), archive);
    CGroupFile& group = CGroupFile::Instance();
    ASSERT_TRUE(group.Open(m_temp.WindowsPath() + "ZumboSS.grp"));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(group.ReadFile(MakeFullPath("models/cave/wall.X"), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "wall");
    std::uint32_t ball = 0, size = 0, intro = 0;
    ASSERT_TRUE(group.LocateFile(MakeFullPath("Models\\Ball.X"), ball, size));
    ASSERT_TRUE(group.LocateFile(MakeFullPath("Scenes\\Intro.lbm"), intro, size));
    std::uint32_t options = 0;
    ASSERT_TRUE(group.LocateFile(MakeFullPath("Options.lbm"), options, size));
    std::ostringstream expected;
    expected << "Options.lbm\t" << options << "\t0\n"
             << "Models\\Ball.X\t" << ball << "\t9\n"
             << "Models\\Cave\\Wall.x\t" << ball + 9 << "\t4\n"
             << "Scenes\\Intro.lbm\t" << intro << "\t11\n";
    EXPECT_EQ(listing, expected.str());
}

TEST_F(GrpToolTest, ExtractingAndRepackingGivesTheSameListing) {
    WriteSample();
    const std::string listing = Pack(Path("data"), Path("first.grp"));
    const auto extracted =
        RunTool("zumbo-grp", {"extract", Path("first.grp").string(), Path("out").string()});
    ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
    std::ifstream wall(Path("out/Models/Cave/Wall.x"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(wall), {}), "wall");
    EXPECT_EQ(Pack(Path("out"), Path("second.grp")), listing);
}

TEST_F(GrpToolTest, AnArchiveInsideThePackedFolderIsNotPackedIntoItself) {
    WriteSample();
    const std::string first = Pack(Path("data"), Path("data/ZumboSS.grp"));
    EXPECT_EQ(Pack(Path("data"), Path("data/ZumboSS.grp")), first);
    EXPECT_EQ(first.find("ZumboSS.grp"), std::string::npos);
}

TEST_F(GrpToolTest, DamagedArchivesAreRefusedWithoutOutput) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("\x02\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), "unsupported version 2"},
        {std::string("\x01\0\0\0\0\0\0\0\x05\0\0\0", 12), "damaged directory"},
        {std::string("\x01\0\0\0\0\0\0\0\x01\0\0\0\x01\0\0\0x\x40\0\0\0\x04\0\0\0\0\0\0\0", 29),
         "the data of \"x\" lies outside the archive"},
    };
    for (const auto& [bytes, problem] : cases) {
        std::ofstream(Path("bad.grp"), std::ios::binary) << bytes;
        const auto listed = RunTool("zumbo-grp", {"list", Path("bad.grp").string()});
        EXPECT_EQ(listed.exitCode, 1);
        EXPECT_NE(listed.err.find(Path("bad.grp").string() + ": " + problem), std::string::npos)
            << listed.err;
        EXPECT_EQ(listed.out, "");
        const auto extracted =
            RunTool("zumbo-grp", {"extract", Path("bad.grp").string(), Path("out").string()});
        EXPECT_EQ(extracted.exitCode, 1);
        EXPECT_FALSE(fs::exists(Path("out")));
    }
}

TEST_F(GrpToolTest, NamesThatWouldEscapeTheFolderAreRefusedBeforeAnythingIsWritten) {
    for (const char* name : {"..", "a/b", "a\\b", "."}) {
        tGroupArchiveFolder root;
        AddGroupArchiveFile(root, "first.txt", {'1'});
        tGroupArchiveEntry entry;
        entry.name = name;
        entry.data = {'x'};
        root.files.push_back(entry);
        WriteRaw("escape.grp", root);
        const auto result =
            RunTool("zumbo-grp", {"extract", Path("escape.grp").string(), Path("out").string()});
        EXPECT_EQ(result.exitCode, 1) << name;
        EXPECT_NE(result.err.find("would escape the folder"), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(Path("out"))) << name;
    }
    tGroupArchiveFolder parent;
    parent.folders.push_back({"..", {}, {}});
    AddGroupArchiveFile(parent.folders.back(), "evil.txt", {'x'});
    WriteRaw("escape.grp", parent);
    EXPECT_EQ(
        RunTool("zumbo-grp", {"extract", Path("escape.grp").string(), Path("out/inner").string()}).exitCode,
        1);
    EXPECT_FALSE(fs::exists(Path("out/evil.txt")));
}

TEST_F(GrpToolTest, FilesStoredTwiceAreRefusedOnExtraction) {
    tGroupArchiveFolder root;
    AddGroupArchiveFile(root, "Models/a.x", {'1'});
    AddGroupArchiveFile(root, "Models/a.x", {'2'});
    WriteRaw("twice.grp", root);
    const auto result = RunTool("zumbo-grp", {"extract", Path("twice.grp").string(), Path("out").string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("stored twice"), std::string::npos) << result.err;
}

TEST_F(GrpToolTest, NamesThatDifferOnlyInCaseAreRefusedWithoutOutput) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Models/a.x", "models/b.x"},  // two folders
        {"Models/a.x", "Models/A.x"},  // two files in one folder
        {"Cave", "cave/wall.x"},       // a file and a folder
    };
    for (const auto& [first, second] : cases) {
        zumbo::test::TempDir tree;
        tree.Write("data/" + first, "1");
        tree.Write("data/" + second, "2");
        const fs::path folder = tree.Path() / "data";
        const auto result = RunTool("zumbo-grp", {"pack", folder.string(), Path("case.grp").string()});
        EXPECT_EQ(result.exitCode, 1) << first << " / " << second;
        EXPECT_EQ(result.err.rfind("zumbo-grp: " + folder.string() + ": ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("differ only in case"), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(Path("case.grp")));
    }
}

TEST_F(GrpToolTest, ANameOverTheLimitIsNotPacked) {
    m_temp.Write("data/" + std::string(255, 'n') + ".lbm", "x");  // 259 bytes fit
    EXPECT_EQ(RunTool("zumbo-grp", {"pack", Path("data").string(), Path("ok.grp").string()}).exitCode, 0);
    tGroupArchiveFolder root;
    AddGroupArchiveFile(root, std::string(260, 'n'), {'x'});
    std::vector<std::uint8_t> bytes;
    std::string problem;
    EXPECT_FALSE(WriteGroupArchive(root, bytes, problem));
    EXPECT_NE(problem.find("longer than 259 bytes"), std::string::npos);
    const auto missing = RunTool("zumbo-grp", {"pack", Path("nothing").string(), Path("no.grp").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("not a folder"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("no.grp")));
}

}  // namespace
