// Look-ups through the group file's sorted directory indexes: repeated names, colliding
// hashes, large directories and odd path shapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource/group_archive.h"
#include "resource/group_file.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "tests/support/temp_dir.h"

namespace {

tGroupArchiveEntry Entry(const std::string& name, std::size_t size) {
    tGroupArchiveEntry entry;
    entry.name = name;
    entry.data.assign(size, 0x5A);
    return entry;
}

tGroupArchiveFolder Folder(const std::string& name, std::vector<tGroupArchiveEntry> files) {
    return tGroupArchiveFolder{name, std::move(files), {}};
}

class GroupFileIndexTest : public ::testing::Test {
protected:
    void TearDown() override { CGroupFile::DestroyInstance(); }

    bool Open(const tGroupArchiveFolder& root, const std::string& fileName = "index.grp") {
        std::vector<std::uint8_t> bytes;
        std::string problem;
        EXPECT_TRUE(WriteGroupArchive(root, bytes, problem)) << problem;
        m_temp.Write(fileName, std::string(bytes.begin(), bytes.end()));
        return CGroupFile::Instance().Open(m_temp.WindowsPath() + fileName);
    }

    static const tFileEntry* Find(const std::string& relative) {
        return CGroupFile::Instance().FindEntry(GetProgramFolder() + relative);
    }

    zumbo::test::TempDir m_temp;
};

TEST_F(GroupFileIndexTest, TheFirstOfRepeatedNamesWinsInALargeDirectory) {
    tGroupArchiveFolder root;
    for (int i = 0; i < 300; ++i) {
        root.files.push_back(Entry("file" + std::to_string(i) + ".bin", 1));
        if (i == 40) {
            root.files.push_back(Entry("Dup.bin", 7));
        }
    }
    root.files.push_back(Entry("DUP.BIN", 9));
    root.folders.push_back(Folder("Cave", {Entry("first.x", 3)}));
    root.folders.push_back(Folder("CAVE", {Entry("second.x", 4)}));
    ASSERT_TRUE(Open(root));

    ASSERT_NE(Find("dup.bin"), nullptr);
    EXPECT_EQ(Find("dup.bin")->size, 7u);
    for (const int i : {0, 1, 150, 299}) {
        const tFileEntry* entry = Find("File" + std::to_string(i) + ".BIN");
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_EQ(entry->name->Text(), "file" + std::to_string(i) + ".bin");
    }
    // Only the first of two folders that normalise alike is ever walked into.
    EXPECT_NE(Find("cave\\first.x"), nullptr);
    EXPECT_EQ(Find("cave\\second.x"), nullptr);
}

TEST_F(GroupFileIndexTest, NamesWithTheSameHashAreToldApartByTheirText) {
    // The hash rotates by 8 bits per byte, so the first and fifth bytes of a five-byte name land
    // on the same bits and may trade places.
    ASSERT_EQ(NameAtom::HashOf("abcde"), NameAtom::HashOf("ebcda"));
    tGroupArchiveFolder root;
    root.files = {Entry("abcde", 1), Entry("ebcda", 2)};
    root.folders.push_back(Folder("abcde", {Entry("in.a", 3)}));
    root.folders.push_back(Folder("ebcda", {Entry("in.e", 4)}));
    ASSERT_TRUE(Open(root));

    EXPECT_EQ(Find("abcde")->size, 1u);
    EXPECT_EQ(Find("EBCDA")->size, 2u);
    EXPECT_EQ(Find("abcde\\in.a")->size, 3u);
    EXPECT_EQ(Find("ebcda\\in.e")->size, 4u);
    EXPECT_EQ(Find("abcde\\in.e"), nullptr);
    EXPECT_EQ(Find("aebcd"), nullptr);
}

TEST_F(GroupFileIndexTest, PathShapesFollowTheNormalisedSplit) {
    tGroupArchiveFolder root;
    root.folders.push_back(Folder("Models", {Entry("Ball.X", 5), Entry(std::string(259, 'n'), 6)}));
    root.folders.back().folders.push_back(Folder("Cave", {Entry("Wall.x", 8)}));
    ASSERT_TRUE(Open(root));

    EXPECT_EQ(Find("\\\\Models//Cave\\\\\\wall.X")->size, 8u);
    EXPECT_EQ(Find("models/ball.x\\")->size, 5u);
    EXPECT_EQ(Find("Models\\" + std::string(259, 'N'))->size, 6u);
    EXPECT_EQ(Find("Models\\" + std::string(260, 'n')), nullptr);
    EXPECT_EQ(Find(std::string(300, 'm') + "\\ball.x"), nullptr);
    EXPECT_EQ(Find("Models"), nullptr);  // a folder is no file
    EXPECT_EQ(Find("Models\\Cave"), nullptr);
    EXPECT_EQ(Find("\\\\"), nullptr);
    // The program folder matches ignoring case and doubled separators, as normalising it would.
    std::string shouted = GetProgramFolder();
    for (char& c : shouted) {
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    EXPECT_EQ(CGroupFile::Instance().FindEntry(shouted + "\\\\MODELS\\BALL.X")->size, 5u);
    EXPECT_EQ(CGroupFile::Instance().FindEntry(shouted.substr(0, shouted.size() - 2)), nullptr);
}

TEST_F(GroupFileIndexTest, ReopeningReplacesEveryNameOfTheFormerArchive) {
    tGroupArchiveFolder first;
    first.folders.push_back(Folder("Old", {Entry("gone.bin", 1)}));
    ASSERT_TRUE(Open(first, "first.grp"));
    const tFileEntry* gone = Find("old\\gone.bin");
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(gone->name->Text(), "gone.bin");

    tGroupArchiveFolder second;
    for (int i = 0; i < 5000; ++i) {
        second.files.push_back(Entry("Name" + std::to_string(i) + std::string(40, 'x'), 1));
    }
    ASSERT_TRUE(Open(second, "second.grp"));
    EXPECT_EQ(Find("old\\gone.bin"), nullptr);
    const tFileEntry* last = Find("name4999" + std::string(40, 'X'));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->name->Text(), "name4999" + std::string(40, 'x'));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(
        CGroupFile::Instance().ReadFile(GetProgramFolder() + "NAME4999" + std::string(40, 'x'), bytes));
    EXPECT_EQ(bytes, std::vector<std::uint8_t>{0x5A});
}

}  // namespace
