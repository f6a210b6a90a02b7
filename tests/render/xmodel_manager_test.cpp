#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/file_time.h"
#include "platform/win32/files.h"
#include "render/xmodel_manager.h"
#include "resource/group_archive.h"
#include "resource/group_file.h"
#include "resource/paths.h"
#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"
#include "tests/support/log_capture.h"
#include "tests/support/program_folder_sandbox.h"
#include "tests/support/xfile_writer.h"

namespace {

using zumbo::test::LogCapture;
using zumbo::test::XFileWriter;

std::vector<std::uint8_t> TriangleFile(XFileWriter::Encoding encoding) {
    XFileWriter writer;
    writer.Open("Mesh").Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3, 0, 1, 2}).Close();
    return writer.Bytes(encoding);
}

std::vector<std::uint8_t> SampleFile() {
    XFileWriter writer;
    zumbo::test::WriteSampleScene(writer);
    return writer.Bytes(XFileWriter::Encoding::Text);
}

// ctime's text, written out by hand: "Mon Jan  5 10:30:00 2007".
std::string CtimeText(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char text[64];
    std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y", &local);
    return text;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

struct MetricsEntry {
    std::string fileName;
    std::string time;
    std::string box;
};

class XModelManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_models = win32::ToHostPath(GetProgramFolder() + "Models");
        std::filesystem::remove_all(m_models);
        std::filesystem::create_directories(m_models / "sub");
        NextRun();
    }

    void TearDown() override {
        CXModelManager::DestroyInstance();
        CGroupFile::DestroyInstance();
        XmlCache::DestroyInstance();
        std::filesystem::remove_all(m_models);
    }

    // What a new start of the program sees: no manager and no documents read yet.
    void NextRun() {
        CXModelManager::DestroyInstance();
        XmlCache::DestroyInstance();
    }

    void WriteModel(const std::string& relative, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(m_models / relative, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::string ProgramPath(const std::string& relative) const {
        return Lower(GetProgramFolder() + relative);
    }

    std::time_t HostTime(const std::filesystem::path& path) const {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return status.st_mtime;
    }

    std::vector<MetricsEntry> SavedEntries(const char* fileName) const {
        std::vector<std::uint8_t> bytes;
        std::vector<MetricsEntry> entries;
        if (!win32::ReadHostFile(m_models / fileName, bytes, 1 << 20)) {
            return entries;
        }
        const std::unique_ptr<enXml> document = CXmlBmlConverter::FromBinary(bytes);
        if (!document) {
            return entries;
        }
        EXPECT_EQ(document->GetName()->Text(), "XFilesMetrics");
        for (const enXml* entry = document->FirstChild(); entry != nullptr; entry = entry->NextSibling()) {
            MetricsEntry read;
            entry->GetAttributeString("FileName", read.fileName);
            entry->GetValueString("Time", read.time);
            entry->GetValueString("b3BBox", read.box);
            entries.push_back(read);
        }
        return entries;
    }

    std::filesystem::path m_models;
};

TEST_F(XModelManagerTest, MetricsHoldPathTimeAndBoxAndOnlyChangedFilesAreLoadedAgain) {
    WriteModel("Rock.x", SampleFile());
    WriteModel("sub/pebble.x", TriangleFile(XFileWriter::Encoding::BinaryZip));
    WriteModel("broken.x", {'x', 'o', 'f', ' ', '0', '3'});
    const std::string rock = ProgramPath("Models\\rock.x");
    const std::string pebble = ProgramPath("Models\\sub\\pebble.x");
    {
        LogCapture log;
        CXModelManager::Instance();
        NextRun();
        EXPECT_EQ(log.Count("Missing X-Files Mertics Cache with generic file \"" + rock + "\"."), 1);
        EXPECT_EQ(log.Count("Missing X-Files Mertics Cache with generic file \"" + pebble + "\"."), 1);
        EXPECT_EQ(log.Count("Missing X-Files Mertics Cache with generic file"), 3);
    }
    std::vector<MetricsEntry> entries = SavedEntries("XFilesMetrics.lbm");
    ASSERT_EQ(entries.size(), 2u);  // the broken file gets no entry
    EXPECT_EQ(entries[0].fileName, rock);
    EXPECT_EQ(entries[0].time, CtimeText(HostTime(m_models / "Rock.x")));
    // The sample's box: x 0..2 mirrored, then moved by (10, 20, 30).
    EXPECT_EQ(entries[0].box, "8,20,30,10,21,31");
    EXPECT_EQ(entries[1].fileName, pebble);
    EXPECT_EQ(entries[1].box, "-1,0,0,0,1,0");
    {
        LogCapture log;
        CXModelManager::Instance();
        NextRun();
        EXPECT_EQ(log.Count("Missing X-Files Mertics Cache with generic file \"" + rock + "\"."), 0);
        EXPECT_EQ(log.Count("Missing X-Files Mertics Cache with generic file \"" + pebble + "\"."), 0);
    }
    ASSERT_TRUE(win32::SetFileLastWriteTime(rock, HostTime(m_models / "Rock.x") - 3600));
    {
        LogCapture log;
        CXModelManager::Instance();
        NextRun();
        EXPECT_EQ(log.Count("Missing X-Files Mertics Cache with generic file \"" + rock + "\"."), 1);
        EXPECT_EQ(log.Count("Missing X-Files Mertics Cache with generic file \"" + pebble + "\"."), 0);
    }
    entries = SavedEntries("XFilesMetrics.lbm");
    ASSERT_EQ(entries.size(), 3u);  // the stale entry stays, the new one follows
    EXPECT_EQ(entries[2].fileName, rock);
    EXPECT_EQ(entries[2].time, CtimeText(HostTime(m_models / "Rock.x")));
    EXPECT_NE(entries[2].time, entries[0].time);
    // The documents are renamed into place: no temporary file is left beside them.
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(m_models)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"GrpXFilesMetrics.lbm", "Rock.x", "XFilesMetrics.lbm",
                                               "broken.x", "sub"}));
}

TEST_F(XModelManagerTest, ANewGroupFileRevalidatesEveryPackedXFile) {
    zumbo::test::ProgramFolderSandbox sandbox;
    tGroupArchiveFolder root;
    AddGroupArchiveFile(root, "Models/Packed.x", TriangleFile(XFileWriter::Encoding::Binary));
    AddGroupArchiveFile(root, "Models/Deep/Other.x", TriangleFile(XFileWriter::Encoding::TextZip));
    std::vector<std::uint8_t> archive;
    std::string problem;
    ASSERT_TRUE(WriteGroupArchive(root, archive, problem)) << problem;
    sandbox.Write("Test.grp", archive);
    const std::string groupPath = GetProgramFolder() + sandbox.Relative() + "\\Test.grp";
    ASSERT_TRUE(CGroupFile::Instance().Open(groupPath));
    // Packed paths are the folder as asked for and the names as stored (lower case).
    const std::string packed = GetProgramFolder() + "Models\\packed.x";
    const std::string missing = "Missing X-Files Mertics Cache with grouped file \"";
    const auto run = [&](int expectedMissing) {
        LogCapture log;
        CXModelManager::Instance();
        NextRun();
        EXPECT_EQ(log.Count(missing), expectedMissing);
        EXPECT_EQ(log.Count(missing + packed + "\"."), expectedMissing / 2);
    };
    run(2);
    const std::vector<MetricsEntry> entries = SavedEntries("GrpXFilesMetrics.lbm");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].time, CtimeText(HostTime(sandbox.HostPath() / "Test.grp")));
    EXPECT_EQ(SavedEntries("XFilesMetrics.lbm").size(), 0u);
    run(0);
    ASSERT_TRUE(win32::SetFileLastWriteTime(groupPath, HostTime(sandbox.HostPath() / "Test.grp") + 60));
    run(2);
    EXPECT_EQ(SavedEntries("GrpXFilesMetrics.lbm").size(), 4u);
}

TEST_F(XModelManagerTest, CachableModelsAreSharedAndFailuresAreNotRemembered) {
    WriteModel("rock.x", SampleFile());
    LogCapture log;
    CXModelManager& manager = CXModelManager::Instance();
    CD3DFile* first = manager.GetModelByFileName("Models\\Rock.x", true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(manager.GetModelByFileName("models/rock.x", true), first);
    EXPECT_EQ(manager.SharedCount(), 1u);
    EXPECT_EQ(log.Count("Created X-Model from generic file: " + ProgramPath("Models\\rock.x")), 1);
    EXPECT_EQ(log.Count("GetModelByFileName( \"Models\\Rock.x\" ) -- first time."), 1);
    EXPECT_EQ(log.Count("GetModuleByFileName( \"models/rock.x\" ) -- cached."), 1);

    std::unique_ptr<CD3DFile> own(manager.GetModelByFileName("Models\\Rock.x", false));
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own.get(), first);
    EXPECT_EQ(manager.SharedCount(), 1u);

    // A truncated file fails like a missing one, and is asked for again each time.
    const std::vector<std::uint8_t> sample = SampleFile();
    WriteModel("cut.x", std::vector<std::uint8_t>(sample.begin(), sample.begin() + sample.size() / 2));
    EXPECT_EQ(manager.GetModelByFileName("Models\\cut.x", true), nullptr);
    EXPECT_EQ(log.Count("Failed to create X-Model: " + ProgramPath("Models\\cut.x")), 1);
    EXPECT_EQ(manager.GetModelByFileName("Models\\nothing.x", true), nullptr);
    EXPECT_EQ(manager.GetModelByFileName("Models\\nothing.x", true), nullptr);
    EXPECT_EQ(log.Count("Failed to create X-Model: " + ProgramPath("Models\\nothing.x")), 2);
    EXPECT_EQ(manager.SharedCount(), 1u);
}

}  // namespace
