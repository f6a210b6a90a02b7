#pragma once
// Components that draw or fill textures: an application on the recording back end gives them
// the application's device and the texture cache.

#include "platform/d3d8/recording_control.h"
#include "tests/ai/component_fixture.h"
#include "tests/support/render_application.h"

namespace zumbo::test {

class RenderComponentTest : public ComponentTest {
protected:
    void SetUp() override;
    // Destroys the component under test first, then the textures and the device.
    void TearDown() override;

    static d3d8::DeviceRecord& Record() { return d3d8::RecordingControl::LastDevice()->Record(); }

    RenderApplication* m_application = nullptr;
    std::unique_ptr<C_AI> m_component;
};

}  // namespace zumbo::test
