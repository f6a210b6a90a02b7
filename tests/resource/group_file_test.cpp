#include "resource/group_file.h"

#include <gtest/gtest.h>

#include "platform/win32/files.h"
#include "resource/group_archive.h"
#include "resource/paths.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// Raw archive bytes for damaged archives that the writer refuses to produce.
struct RawArchive {
    RawArchive& Word(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<char>(value >> shift));
        }
        return *this;
    }
    RawArchive& Name(std::string_view name) {
        Word(static_cast<std::uint32_t>(name.size()));
        bytes.append(name);
        return *this;
    }
    std::string bytes;
};

class GroupFileTest : public ::testing::Test {
protected:
    void TearDown() override { CGroupFile::DestroyInstance(); }

    std::string WriteArchive(const tGroupArchiveFolder& root) {
        std::vector<std::uint8_t> bytes;
        std::string problem;
        EXPECT_TRUE(WriteGroupArchive(root, bytes, problem)) << problem;
        return WriteRaw(std::string(bytes.begin(), bytes.end()));
    }

    std::string WriteRaw(const std::string& bytes) {
        m_temp.Write("test.grp", bytes);
        return m_temp.WindowsPath() + "test.grp";
    }

    bool OpenSample() {
        tGroupArchiveFolder root;
        AddGroupArchiveFile(root, "Models/Ball.X", Bytes("ball mesh"));
        AddGroupArchiveFile(root, "Models/Rock.x", Bytes("rock"));
        AddGroupArchiveFile(root, "Models/Cave/Wall.X", Bytes("wall"));
        AddGroupArchiveFile(root, "Models/Cave/wall.dds", Bytes("texture"));
        AddGroupArchiveFile(root, "Intro.lbm", Bytes("scene"));
        return CGroupFile::Instance().Open(WriteArchive(root));
    }

    static std::string InProgram(std::string_view relative) { return MakeFullPath(relative); }

    zumbo::test::TempDir m_temp;
};

TEST_F(GroupFileTest, EntriesAreFoundIgnoringCaseAndSlashDirection) {
    ASSERT_TRUE(OpenSample());
    CGroupFile& group = CGroupFile::Instance();
    const tFileEntry* upper = group.FindEntry(InProgram("Models\\Ball.X"));
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(group.FindEntry(InProgram("models/ball.x")), upper);
    EXPECT_EQ(group.FindEntry(NormalizedPath(InProgram("MODELS\\\\BALL.X"))), upper);
    EXPECT_EQ(upper->name->Text(), "ball.x");
    EXPECT_EQ(upper->size, 9u);
    EXPECT_NE(group.FindEntry(InProgram("Models\\Cave\\Wall.x")), nullptr);
    EXPECT_EQ(group.FindEntry(InProgram("Models\\Missing.x")), nullptr);
    EXPECT_EQ(group.FindEntry(InProgram("Cave\\Wall.x")), nullptr);
}

TEST_F(GroupFileTest, PathsOutsideTheProgramFolderFindNothing) {
    ASSERT_TRUE(OpenSample());
    CGroupFile& group = CGroupFile::Instance();
    EXPECT_EQ(group.FindEntry("Q:\\Intro.lbm"), nullptr);
    EXPECT_EQ(group.FindEntry("Intro.lbm"), nullptr);
    EXPECT_EQ(group.FindEntry(GetProgramFolder()), nullptr);
    EXPECT_NE(group.FindEntry(GetProgramFolder() + "Intro.lbm"), nullptr);
}

TEST_F(GroupFileTest, ReadFileAndLocateFileGiveTheEntrysBytes) {
    ASSERT_TRUE(OpenSample());
    CGroupFile& group = CGroupFile::Instance();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(group.ReadFile(InProgram("Models\\Cave\\Wall.X"), bytes));
    EXPECT_EQ(bytes, Bytes("wall"));
    std::uint32_t offset = 0, size = 0;
    ASSERT_TRUE(group.LocateFile(InProgram("intro.lbm"), offset, size));
    std::vector<std::uint8_t> range;
    ASSERT_TRUE(win32::ReadFileRange(group.Path(), offset, size, range));
    EXPECT_EQ(range, Bytes("scene"));
    EXPECT_FALSE(group.ReadFile(InProgram("missing.lbm"), bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(group.LocateFile(InProgram("missing.lbm"), offset, size));
}

TEST_F(GroupFileTest, AMissingArchiveIsLoggedAndEveryReadFails) {
    zumbo::test::LogCapture log;
    const std::string path = m_temp.WindowsPath() + "absent.grp";
    EXPECT_FALSE(CGroupFile::Instance().Open(path));
    EXPECT_EQ(log.Count("Failed to open group file " + path + "."), 1);
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(CGroupFile::Instance().ReadFile(InProgram("intro.lbm"), bytes));
}

TEST_F(GroupFileTest, VersionTwoIsRejectedWithTheWrongVersionMessage) {
    zumbo::test::LogCapture log;
    RawArchive raw;
    raw.Word(2).Name("").Word(1).Name("intro.lbm").Word(0).Word(4).Word(0);
    EXPECT_FALSE(CGroupFile::Instance().Open(WriteRaw(raw.bytes)));
    EXPECT_EQ(log.Count("Wrong version of the group file 2. Must be 1."), 1);
    EXPECT_FALSE(CGroupFile::Instance().IsOpen());
}

TEST_F(GroupFileTest, ATruncatedDirectoryFailsWithoutAMessage) {
    RawArchive raw;
    raw.Word(1).Word(0).Word(1).Word(20).bytes += "short";
    zumbo::test::LogCapture log;
    EXPECT_FALSE(CGroupFile::Instance().Open(WriteRaw(raw.bytes)));
    EXPECT_EQ(log.Text(), "");
    // A truncated archive after a good one leaves nothing of the good one behind.
    ASSERT_TRUE(OpenSample());
    EXPECT_FALSE(CGroupFile::Instance().Open(WriteRaw(raw.bytes)));
    EXPECT_EQ(CGroupFile::Instance().FindEntry(InProgram("intro.lbm")), nullptr);
    EXPECT_EQ(CGroupFile::Instance().FirstChild(), nullptr);
}

TEST_F(GroupFileTest, HostileCountsNamesAndDepthsAreRejected) {
    RawArchive hugeCount;
    hugeCount.Word(1).Name("").Word(0xFFFFFFFFu);
    EXPECT_FALSE(CGroupFile::Instance().Open(WriteRaw(hugeCount.bytes)));

    RawArchive longName;
    longName.Word(1).Name("").Word(1).Name(std::string(260, 'n')).Word(0).Word(0).Word(0);
    EXPECT_FALSE(CGroupFile::Instance().Open(WriteRaw(longName.bytes)));

    RawArchive deep;
    deep.Word(1);
    for (int level = 0; level <= kMaxGroupFolderDepth + 1; ++level) {
        deep.Name("d").Word(0).Word(1);
    }
    deep.bytes += std::string(100, '\0');
    EXPECT_FALSE(CGroupFile::Instance().Open(WriteRaw(deep.bytes)));
}

TEST_F(GroupFileTest, EntriesOutsideTheArchiveOrEmptyAreLoggedAndOthersStayReadable) {
    RawArchive raw;
    raw.Word(1).Name("").Word(4);
    raw.Name("far.bin").Word(100000).Word(4);
    raw.Name("long.bin").Word(0).Word(100000);
    raw.Name("empty.bin").Word(0).Word(0);
    raw.Name("good.bin").Word(0).Word(4);
    raw.Word(0);
    ASSERT_TRUE(CGroupFile::Instance().Open(WriteRaw(raw.bytes)));
    zumbo::test::LogCapture log;
    CGroupFile& group = CGroupFile::Instance();
    std::vector<std::uint8_t> bytes;
    const std::string far = InProgram("Far.bin");
    EXPECT_FALSE(group.ReadFile(far, bytes));
    EXPECT_EQ(
        log.Count("Error in group file! Failed to seek to position 100000 for reading file " + far + "!"), 1);
    const std::string longer = InProgram("long.bin");
    EXPECT_FALSE(group.ReadFile(longer, bytes));
    EXPECT_EQ(
        log.Count("Error in group file! Failed to read file " + longer + "! (Position 0, size 100000)."), 1);
    EXPECT_FALSE(group.ReadFile(InProgram("empty.bin"), bytes));
    EXPECT_EQ(log.Count("(Position 0, size 0)."), 1);
    ASSERT_TRUE(group.ReadFile(InProgram("good.bin"), bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

TEST_F(GroupFileTest, EnumerateFilesListsPackedXFilesOnly) {
    ASSERT_TRUE(OpenSample());
    CGroupFile& group = CGroupFile::Instance();
    const std::string models = GetProgramFolder() + "Models";
    std::vector<std::string> found{"stale"};
    group.EnumerateFiles(found, models, "*.X", true);
    EXPECT_EQ(found, (std::vector<std::string>{models + "\\ball.x", models + "\\rock.x",
                                               models + "\\cave\\wall.x"}));
    group.EnumerateFiles(found, models, "*.x", false);
    EXPECT_EQ(found.size(), 2u);
    group.EnumerateFiles(found, models, "*.dds", true);
    EXPECT_TRUE(found.empty());
    group.EnumerateFiles(found, GetProgramFolder() + "MODELS\\CAVE", "*.x", false);
    EXPECT_EQ(found, (std::vector<std::string>{GetProgramFolder() + "MODELS\\CAVE\\wall.x"}));
    group.EnumerateFiles(found, GetProgramFolder() + "Textures", "*.x", true);
    EXPECT_TRUE(found.empty());
    group.EnumerateFiles(found, "Q:\\Models", "*.x", true);
    EXPECT_TRUE(found.empty());
}

}  // namespace
