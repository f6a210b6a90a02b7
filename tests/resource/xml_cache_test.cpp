#include "resource/xml_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "resource/group_archive.h"
#include "resource/group_file.h"
#include "resource/paths.h"
#include "resource/xml_bml_converter.h"
#include "tests/support/log_capture.h"
#include "tests/support/program_folder_sandbox.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Document(const char* rootName, const char* label) {
    enXml root(rootName);
    root.AddAttribute("Name", label);
    CXmlBmlConverter converter;
    EXPECT_TRUE(converter.ToBinary(root));
    return converter.Buffer();
}

std::string LabelOf(const enXml* document) {
    return document ? document->FindAttribute("Name")->value : std::string("<none>");
}

class XmlCacheTest : public ::testing::Test {
protected:
    void TearDown() override {
        XmlCache::DestroyInstance();
        CGroupFile::DestroyInstance();
    }

    // A document name below the sandbox, relative to the program folder.
    std::string Name(const std::string& relative) const { return m_sandbox.Relative() + "\\" + relative; }

    void Pack(const std::vector<std::pair<std::string, Bytes>>& files) {
        tGroupArchiveFolder root;
        for (const auto& [relative, bytes] : files) {
            AddGroupArchiveFile(root, m_sandbox.Relative() + "/" + relative, bytes);
        }
        std::vector<std::uint8_t> archive;
        std::string problem;
        ASSERT_TRUE(WriteGroupArchive(root, archive, problem));
        m_sandbox.Write("Test.grp", archive);
        ASSERT_TRUE(CGroupFile::Instance().Open(m_sandbox.Relative() + "\\Test.grp"));
    }

    zumbo::test::ProgramFolderSandbox m_sandbox;
};

TEST_F(XmlCacheTest, TheStoredFileEndsInLbm) {
    m_sandbox.Write("Fonts/AllFonts.lbm", Document("Fonts", "plain"));
    const enXml* document = XmlCache::Instance().Load(Name("Fonts\\AllFonts.xml"));
    EXPECT_EQ(LabelOf(document), "plain");
    EXPECT_EQ(document->GetSourceName(), NormalizedPath(MakeFullPath(Name("Fonts\\AllFonts.lbm"))));
    EXPECT_EQ(ReplaceXmlExtension("a.xml"), "a.lbm");
    EXPECT_EQ(ReplaceXmlExtension("abc"), "lbm");
}

TEST_F(XmlCacheTest, NamesShorterThanThreeCharactersLoadNothing) {
    zumbo::test::LogCapture log;
    EXPECT_EQ(XmlCache::Instance().Load("ab"), nullptr);
    EXPECT_EQ(log.Text(), "");
}

TEST_F(XmlCacheTest, LoadsDifferingInCaseOrSlashesShareOneEntryAndOneMiss) {
    m_sandbox.Write("Scenes/Intro.lbm", Document("Scene", "intro"));
    zumbo::test::LogCapture log;
    const enXml* first = XmlCache::Instance().Load(Name("Scenes\\Intro.xml"));
    const enXml* second = XmlCache::Instance().Load(Name("scenes/INTRO.XML"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(log.Count("XML Cache miss with "), 1);
    EXPECT_EQ(log.Count("XML Cache miss with " + first->GetSourceName()), 1);
    EXPECT_EQ(XmlCache::Instance().Size(), 1u);
}

TEST_F(XmlCacheTest, APlainFileWinsOverThePackedOne) {
    m_sandbox.Write("Entities/Rock.lbm", Document("Entity", "plain"));
    Pack({{"Entities/Rock.lbm", Document("Entity", "packed")},
          {"Entities/Bat.lbm", Document("Entity", "bat")}});
    EXPECT_EQ(LabelOf(XmlCache::Instance().Load(Name("Entities\\Rock.xml"))), "plain");
    EXPECT_EQ(LabelOf(XmlCache::Instance().Load(Name("Entities\\Bat.xml"))), "bat");
}

TEST_F(XmlCacheTest, ADamagedPlainFileFallsBackToThePackedCopy) {
    Bytes damaged = Document("Entity", "plain");
    damaged.back() ^= 0xFF;
    m_sandbox.Write("Rock.lbm", damaged);
    Pack({{"Rock.lbm", Document("Entity", "packed")}});
    EXPECT_EQ(LabelOf(XmlCache::Instance().Load(Name("Rock.xml"))), "packed");
}

TEST_F(XmlCacheTest, AFailedLoadIsLoggedUnderTheCallersNameAndRetriedLater) {
    zumbo::test::LogCapture log;
    const std::string name = Name("Sound\\AllSounds.xml");
    EXPECT_EQ(XmlCache::Instance().Load(name), nullptr);
    EXPECT_EQ(log.Count("Failed to load XML: " + name), 1);
    m_sandbox.Write("Sound/AllSounds.lbm", Document("Sounds", "late"));
    EXPECT_EQ(LabelOf(XmlCache::Instance().Load(name)), "late");
    EXPECT_EQ(log.Count("XML Cache miss with "), 2);
}

TEST_F(XmlCacheTest, ADamagedDocumentWithoutAPackedCopyFails) {
    m_sandbox.Write("Bad.lbm", std::string("not a document"));
    Pack({{"Other.lbm", Document("Entity", "other")}});
    EXPECT_EQ(XmlCache::Instance().Load(Name("Bad.xml")), nullptr);
}

TEST_F(XmlCacheTest, EnXmlLoadGivesAPrivateCopy) {
    m_sandbox.Write("Options.lbm", Document("Options", "shared"));
    enXml mine;
    ASSERT_TRUE(mine.Load(Name("Options.xml")));
    mine.FindAttribute("Name")->value = "changed";
    EXPECT_EQ(LabelOf(XmlCache::Instance().Load(Name("Options.xml"))), "shared");
    EXPECT_EQ(mine.GetName()->Text(), "Options");
    EXPECT_EQ(mine.GetSourceName(), NormalizedPath(MakeFullPath(Name("Options.lbm"))));
    enXml missing;
    EXPECT_FALSE(missing.Load(Name("Missing.xml")));
}

TEST_F(XmlCacheTest, SaveWritesTheBinaryFormUnderTheLbmName) {
    enXml options("Options");
    options.SetValueInt("iMusicVolume", 80);
    const std::string path = MakeFullPath(Name("Saved.xml"));
    ASSERT_TRUE(options.Save(path));
    EXPECT_TRUE(FileExists(MakeFullPath(Name("Saved.lbm"))));
    EXPECT_FALSE(FileExists(path));
    const enXml* loaded = XmlCache::Instance().Load(Name("Saved.xml"));
    std::int32_t volume = 0;
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->GetValueInt("iMusicVolume", volume));
    EXPECT_EQ(volume, 80);
    EXPECT_FALSE(options.Save("ab"));
}

// The stored path is hashed and compared piece by piece; its drive test looks at the name
// after "lbm" replaced the last three characters, as the path that is logged shows.
TEST_F(XmlCacheTest, TheDriveTestAndTheLbmSuffixApplyToTheReplacedName) {
    std::string folder = GetProgramFolder();
    for (char& c : folder) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    zumbo::test::LogCapture log;
    EXPECT_EQ(XmlCache::Instance().Load("abc"), nullptr);
    EXPECT_EQ(XmlCache::Instance().Load("x:yz"), nullptr);
    EXPECT_EQ(XmlCache::Instance().Load("Q:.xml"), nullptr);
    EXPECT_EQ(log.Count("XML Cache miss with " + folder + "lbm\n"), 1);
    EXPECT_EQ(log.Count("XML Cache miss with " + folder + "xlbm\n"), 1);
    EXPECT_EQ(log.Count("XML Cache miss with q:.lbm\n"), 1);

    // A second load of a four-character name is a hit on the stored "xlbm".
    const std::filesystem::path stored = m_sandbox.HostPath().parent_path() / "xlbm";
    const Bytes bytes = Document("Tiny", "tiny");
    std::ofstream(stored, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const enXml* first = XmlCache::Instance().Load("x:yz");
    const enXml* second = XmlCache::Instance().Load("X:YZ");
    std::filesystem::remove(stored);
    EXPECT_EQ(LabelOf(first), "tiny");
    EXPECT_EQ(first, second);
    EXPECT_EQ(log.Count("XML Cache miss with " + folder + "xlbm\n"), 2);
}

TEST_F(XmlCacheTest, AFullPathAndARelativeNameOfOneFileShareTheEntry) {
    m_sandbox.Write("Models/Ball.lbm", Document("Model", "ball"));
    m_sandbox.Write("Models/Bat.lbm", Document("Model", "bat"));
    zumbo::test::LogCapture log;
    const enXml* relative = XmlCache::Instance().Load(Name("Models\\Ball.xml"));
    const enXml* other = XmlCache::Instance().Load(Name("Models\\Bat.xml"));
    const enXml* full = XmlCache::Instance().Load(MakeFullPath(Name("MODELS\\\\BALL.XML")));
    const enXml* slashed = XmlCache::Instance().Load("\\" + Name("models//ball.xml"));
    ASSERT_NE(relative, nullptr);
    EXPECT_NE(relative, other);
    EXPECT_EQ(full, relative);
    EXPECT_EQ(slashed, relative);
    EXPECT_EQ(log.Count("XML Cache miss with "), 2);
    EXPECT_EQ(XmlCache::Instance().Size(), 2u);
}

}  // namespace
