#pragma once
// A bare windowed application on the recording back end, so that render code finds "the
// application's device" as it does in the program.

#include <gtest/gtest.h>

#include "app/d3d_application.h"
#include "platform/d3d8/recording_control.h"
#include "tests/support/log_capture.h"

namespace zumbo::test {

class RenderApplication : public tmSingletonGD<RenderApplication, CD3DApplication> {
public:
    RenderApplication() { m_bStartFullscreen = false; }
    void GameTick() override {}
};

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    IDirect3DDevice8* Device() const { return m_application->GetDevice(); }
    d3d8::DeviceRecord& Record() const { return d3d8::RecordingControl::LastDevice()->Record(); }

    RenderApplication* m_application = nullptr;
    LogCapture m_log{5};
};

}  // namespace zumbo::test
