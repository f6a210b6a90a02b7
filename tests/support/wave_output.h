#pragma once
// OpenAL Soft's file-writing back end as the sound device: what a test plays is recorded in a
// WAV file, from the opening of the device to its closing.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace zumbo::test {

// OpenAL reads its configuration once per process: a test program registers one of these as a
// global environment, and one recording file serves all its tests.
class WaveOutputEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    std::filesystem::path RecordingPath() const { return m_folder.Path() / "output.wav"; }

private:
    TempDir m_folder;
};

}  // namespace zumbo::test
