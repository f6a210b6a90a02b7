// The start of the external call-stack logger: a "CrashTrace.exe" of the current folder is
// started with the name of a shared block that holds the "Counter" record.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/external_debug.h"
#include "platform/win32/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Runs the test inside a folder of its own, since the logger is looked for in the current one.
class ExternalDebugTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = fs::current_path();
        fs::current_path(m_dir.Path());
    }
    void TearDown() override { fs::current_path(m_previous); }

    // A logger that writes its arguments to "arguments.txt".
    void WriteLogger() const {
        const fs::path logger = m_dir.Write("CrashTrace.exe",
                                            "#!/bin/sh\necho \"$@\" > arguments.tmp\n"
                                            "mv arguments.tmp arguments.txt\n");
        fs::permissions(logger, fs::perms::owner_all);
    }

    std::string ArgumentsOfTheLogger() const {
        const fs::path file = m_dir.Path() / "arguments.txt";
        // The logger runs on its own; it is given a generous while to write its file.
        for (int waited = 0; waited < 500 && !fs::exists(file); ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream in(file);
        std::string line;
        std::getline(in, line);
        return line;
    }

    zumbo::test::TempDir m_dir;
    fs::path m_previous;
};

TEST_F(ExternalDebugTest, WithoutTheLoggerProgramNothingStarts) {
    CExternalDebug missing;
    EXPECT_FALSE(missing.Start());
    EXPECT_FALSE(missing.IsEnabled());
    EXPECT_EQ(missing.UsedRecords(), 0u);

    fs::create_directory(m_dir.Path() / "CrashTrace.exe");
    CExternalDebug folder;
    EXPECT_FALSE(folder.Start());
    EXPECT_FALSE(folder.IsEnabled());
}

TEST_F(ExternalDebugTest, TheLoggerGetsTheBlockNameAndProcessIdAndTheBlockHoldsTheCounter) {
    WriteLogger();
    CExternalDebug debug;
    char pid[16];
    std::snprintf(pid, sizeof(pid), "%x", static_cast<unsigned>(getpid()));
    EXPECT_EQ(debug.BlockName(), std::string("ExternalDebug") + pid);
    ASSERT_TRUE(debug.Start());
    EXPECT_TRUE(debug.IsEnabled());
    EXPECT_EQ(debug.UsedRecords(), 1u);
    EXPECT_EQ(ArgumentsOfTheLogger(), debug.BlockName() + " " + pid);

    HANDLE mapping = win32::OpenFileMapping(debug.BlockName());
    ASSERT_NE(mapping, nullptr);
    auto* block = static_cast<const unsigned char*>(win32::MapViewOfFile(mapping));
    ASSERT_NE(block, nullptr);
    // Record 0: a zero-padded 100-byte text, then a 32-bit value; the rest of the block is zero.
    EXPECT_EQ(std::memcmp(block, "Counter\0", 8), 0);
    EXPECT_EQ(std::count(block + 8, block + 100, 0), 92);
    EXPECT_EQ(block[100] | block[101] << 8 | block[102] << 16 | block[103] << 24, 1);
    EXPECT_EQ(std::count(block + 104, block + 104000, 0), 104000 - 104);
    win32::UnmapViewOfFile(const_cast<unsigned char*>(block));
    win32::CloseHandle(mapping);
}

}  // namespace
