#pragma once
// A bare windowed application on the recording back end, so that render code finds "the
// application's device" as it does in the program. Each test starts and ends with empty render
// caches.

#include <gtest/gtest.h>

#include <string>

#include "app/d3d_application.h"
#include "platform/d3d8/recording_control.h"
#include "tests/support/log_capture.h"
#include "tests/support/program_folder_sandbox.h"

namespace zumbo::test {

class RenderApplication : public tmSingletonGD<RenderApplication, CD3DApplication> {
public:
    RenderApplication() { m_bStartFullscreen = false; }
    // A depth buffer, as the program's own application asks for; without it depth tests are off.
    void UseDepthBuffer() { m_d3dEnumeration.AppUsesDepthBuffer = true; }
    void GameTick() override {}
};

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Pixel tests draw through OpenGL on the display instead of recording, with a depth buffer.
    virtual bool Headless() const { return true; }

    IDirect3DDevice8* Device() const { return m_application->GetDevice(); }
    // A full path below the sandbox folder of the program folder.
    std::string InSandbox(const std::string& name) const;
    d3d8::DeviceRecord& Record() const { return d3d8::RecordingControl::LastDevice()->Record(); }

    RenderApplication* m_application = nullptr;
    LogCapture m_log{5};
    ProgramFolderSandbox m_sandbox;
};

}  // namespace zumbo::test
