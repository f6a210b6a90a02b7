#include "platform/win32/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/registry_text.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace win32;
using zumbo::test::ReadFileText;
using zumbo::test::ScopedEnvironmentVariable;
using zumbo::test::TempDir;

constexpr std::string_view kProductKey = "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0";

// Opens (creating) a key and closes it at the end of the scope.
class Key {
public:
    Key(HKEY parent, std::string_view path) { m_status = RegCreateKeyEx(parent, path, &m_key); }
    ~Key() {
        if (m_status == ERROR_SUCCESS) {
            RegCloseKey(m_key);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    operator HKEY() const { return m_key; }
    LONG Status() const { return m_status; }

private:
    HKEY m_key = nullptr;
    LONG m_status;
};

std::string ReadString(HKEY parent, std::string_view path, std::string_view name) {
    Key key(parent, path);
    std::string text;
    EXPECT_TRUE(RegReadString(key, name, text)) << name;
    return text;
}

class RegistryTest : public ::testing::Test {
protected:
    void WriteRegistryFile(const std::string& text) const {
        fs::create_directories(m_file.parent_path());
        std::ofstream(m_file, std::ios::binary) << text;
    }
    fs::path Aside(int n) const { return fs::path(m_file.string() + ".bad-" + std::to_string(n)); }

    TempDir m_temp;
    fs::path m_file = m_temp.Path() / "config" / "registry.reg";
    ScopedEnvironmentVariable m_registry{"ZUMBO_REGISTRY", m_file.string()};
};

TEST_F(RegistryTest, AwkwardStringsDwordsAndDefaultValuesSurviveTheFile) {
    const std::vector<std::pair<std::string, std::string>> values = {
        {"Quotes", "say \"hi\" \\\"there\\\""},
        {"Path", "C:\\Program Files\\Zumbo Screen Saver\\"},
        {"Equals", "a=b;c=\"d\""},
        {"Accents", "Zümbo Höhle ☃"},
        {"Breaks", "one\r\ntwo\tthree"},
        {"Empty", ""},
        {"Section", "[HKEY_LOCAL_MACHINE\\Evil]"},
        {"we\"ird=na\\me", "x"},
    };
    {
        Key key(HKEY_CURRENT_USER, kProductKey);
        ASSERT_EQ(key.Status(), ERROR_SUCCESS);
        for (const auto& [name, text] : values) {
            ASSERT_TRUE(RegWriteString(key, name, text)) << name;
        }
        ASSERT_TRUE(RegWriteString(key, "", "Z:\\opt\\zumbo\\ZumboCave.exe"));
        ASSERT_TRUE(RegWriteDword(key, "MusicVolume", 10));
        ASSERT_TRUE(RegWriteDword(key, "Big", 0xFEDCBA98u));
    }
    for (const auto& [name, text] : values) {
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kProductKey, name), text) << name;
    }
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kProductKey, ""), "Z:\\opt\\zumbo\\ZumboCave.exe");
    Key key(HKEY_CURRENT_USER, kProductKey);
    DWORD number = 0;
    ASSERT_TRUE(RegReadDword(key, "musicvolume", number));
    EXPECT_EQ(number, 10u);
    ASSERT_TRUE(RegReadDword(key, "Big", number));
    EXPECT_EQ(number, 0xFEDCBA98u);

    const std::string file = ReadFileText(m_file);
    EXPECT_TRUE(file.starts_with("REGEDIT4\n"));
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\n"),
              std::string::npos);
    EXPECT_NE(file.find("\n@=\"Z:\\\\opt\\\\zumbo\\\\ZumboCave.exe\"\n"), std::string::npos);
    EXPECT_NE(file.find("\n\"MusicVolume\"=dword:0000000a\n"), std::string::npos);
    EXPECT_NE(file.find("\n\"Breaks\"=hex(1):6f,6e,65,0d,0a,74,77,6f,09,74,68,72,65,65\n"),
              std::string::npos);
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCase) {
    {
        Key key(HKEY_CURRENT_USER, "Software\\Kervala Studio");
        ASSERT_TRUE(RegWriteString(key, "Name", "first"));
    }
    Key other(HKEY_CURRENT_USER, "SOFTWARE\\kervala studio\\");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "software\\KERVALA STUDIO", "NAME"), "first");
    ASSERT_TRUE(RegWriteString(other, "nAmE", "second"));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Kervala Studio", "name"), "second");

    const std::string file = ReadFileText(m_file);
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Kervala Studio]\n\"Name\"=\"second\"\n"),
              std::string::npos);
    EXPECT_EQ(file.find("\"nAmE\""), std::string::npos);
}

TEST_F(RegistryTest, QueryFollowsTheBufferSizeProtocol) {
    Key key(HKEY_CURRENT_USER, kProductKey);
    ASSERT_TRUE(RegWriteString(key, "ScreenSaverPath", "C:\\x.scr"));
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueEx(key, "ScreenSaverPath", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 9u);  // the terminating zero is part of the data

    BYTE buffer[16] = {};
    size = 8;
    EXPECT_EQ(RegQueryValueEx(key, "ScreenSaverPath", nullptr, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 9u);
    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueEx(key, "ScreenSaverPath", nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 9u);
    EXPECT_STREQ(reinterpret_cast<const char*>(buffer), "C:\\x.scr");

    EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, buffer, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(key, "ScreenSaverPath", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);

    // A value longer than a DWORD does not read as one.
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(RegSetValueEx(key, "Width", REG_BINARY, eight, sizeof eight), ERROR_SUCCESS);
    DWORD width = 800;
    EXPECT_FALSE(RegReadDword(key, "Width", width));
    EXPECT_EQ(width, 800u);
    ASSERT_EQ(RegDeleteValue(key, "Width"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, "Width"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, OpeningDoesNotCreateAndDeletingIsRecursive) {
    HKEY handle = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\A", &handle), ERROR_FILE_NOT_FOUND);
    {
        Key deep(HKEY_CURRENT_USER, "Software\\A\\B\\C");
        ASSERT_TRUE(RegWriteDword(deep, "x", 1));
        Key sibling(HKEY_CURRENT_USER, "Software\\Sibling");
    }
    Key kept(HKEY_CURRENT_USER, "Software\\A\\B");
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "software\\a"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\A\\B\\C", &handle), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\A", &handle), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Sibling", &handle), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(handle), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(handle), ERROR_INVALID_HANDLE);

    // A handle to a deleted key does not bring the key back.
    EXPECT_EQ(RegWriteDword(kept, "y", 2), false);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\A", &handle), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\A"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, FreshRegistryKnowsTheProgramsFolder) {
    EXPECT_EQ(
        ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
        "C:\\Program Files");
}

TEST_F(RegistryTest, ChangesByAnotherProcessAreSeenThroughAnOpenHandle) {
    Key key(HKEY_CURRENT_USER, kProductKey);
    WriteRegistryFile(
        "REGEDIT4\r\n\r\n; written elsewhere\r\n"
        "[HKEY_CURRENT_USER\\Software\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\r\n"
        "\"FullScreen\"=dword:00000000\r\n");
    DWORD fullScreen = 1;
    ASSERT_TRUE(RegReadDword(key, "FullScreen", fullScreen));
    EXPECT_EQ(fullScreen, 0u);
}

TEST_F(RegistryTest, ProgramsWritingAtTheSameTimeKeepEachOthersValues) {
    RegWriteDword(Key(HKEY_CURRENT_USER, "Shared"), "start", 1);
    constexpr int kWriters = 2;
    constexpr int kValuesEach = 25;
    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int n = 0; n < kValuesEach; ++n) {
                ok = RegWriteDword(Key(HKEY_CURRENT_USER, "Shared"),
                                   std::to_string(writer) + "-" + std::to_string(n), DWORD(n)) &&
                     ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Key shared(HKEY_CURRENT_USER, "Shared");
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int n = 0; n < kValuesEach; ++n) {
            DWORD value = 0;
            EXPECT_TRUE(RegReadDword(shared, std::to_string(writer) + "-" + std::to_string(n), value))
                << writer << n;
        }
    }
}

TEST_F(RegistryTest, DamagedFilesAreReportedAndKeptAside) {
    const std::string garbage = "\x01\x02 this is no registry\n";
    const std::string truncated = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Name\"=\"cut";
    WriteRegistryFile(garbage);
    ::testing::internal::CaptureStderr();
    std::string text;
    EXPECT_FALSE(RegReadString(Key(HKEY_CURRENT_USER, "Software"), "Name", text));
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find(m_file.string()), std::string::npos);
    EXPECT_NE(report.find(Aside(1).string()), std::string::npos);
    EXPECT_EQ(ReadFileText(Aside(1)), garbage);

    // The registry goes on empty and writable.
    EXPECT_EQ(
        ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
        "C:\\Program Files");
    ASSERT_TRUE(RegWriteString(Key(HKEY_CURRENT_USER, "Software"), "Name", "fresh"));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software", "Name"), "fresh");

    // A second damaged file takes the next free name; the first one stays as it was.
    WriteRegistryFile(truncated);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(RegReadString(Key(HKEY_CURRENT_USER, "Software"), "Name", text));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("cut off"), std::string::npos);
    EXPECT_EQ(ReadFileText(Aside(1)), garbage);
    EXPECT_EQ(ReadFileText(Aside(2)), truncated);
}

TEST(RegistryText, FormatsWhatItParses) {
    const std::string text =
        "REGEDIT4\n"
        "\n"
        "[HKEY_CURRENT_USER]\n"
        "\"Top\"=\"level\"\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Blobs]\n"
        "@=hex:\n"
        "\"Expand\"=hex(2):25,41,25,00\n"
        "\"Multi\"=hex(7):61,00,62,00,00\n"
        "\"Raw\"=hex:00,ff,10\n"
        "\"Short\"=hex(4):01,02\n"
        "\n";
    RegistryTree tree;
    std::string error;
    ASSERT_TRUE(ParseRegistryText(text, tree, error)) << error;
    EXPECT_EQ(FormatRegistryText(tree), text);
}

TEST(RegistryText, AcceptsCommentsBlanksAndWindowsLineEnds) {
    RegistryTree tree;
    std::string error;
    ASSERT_TRUE(
        ParseRegistryText("REGEDIT4\r\n; comment\r\n  \r\n[hkey_current_user\\A]  \r\n  "
                          "\"n\"=dword:A\r\n\"s\"=hex(1):68,69,00,7a\r\n",
                          tree, error))
        << error;
    const RegistryKey* key = tree.currentUser.Find({"a"});
    ASSERT_NE(key, nullptr);
    ASSERT_NE(key->FindValue("N"), nullptr);
    EXPECT_EQ(key->FindValue("N")->data, (std::vector<BYTE>{10, 0, 0, 0}));
    EXPECT_EQ(key->FindValue("s")->data, (std::vector<BYTE>{'h', 'i'}));
}

TEST(RegistryText, RejectsWhatItCannotRepresent) {
    const std::vector<std::string> broken = {
        "",
        "REGEDIT5\n",
        "REGEDIT4\n\"orphan\"=\"value\"\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\\n\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\" trailing\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=dword:123456789\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=dword:\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex:1,,2\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex(:00\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=-\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\"",
    };
    for (const auto& text : broken) {
        RegistryTree tree;
        std::string error;
        EXPECT_FALSE(ParseRegistryText(text, tree, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    std::string deep = "REGEDIT4\n[HKEY_CURRENT_USER";
    for (std::size_t i = 0; i <= kMaxKeyDepth; ++i) {
        deep += "\\k";
    }
    RegistryTree tree;
    std::string error;
    EXPECT_FALSE(ParseRegistryText(deep + "]\n", tree, error));
}

}  // namespace
