#include "tests/support/render_application.h"

#include <stdlib.h>

#include "render/deferral_buffer.h"

namespace zumbo::test {

void RenderTest::SetUp() {
    setenv("ZUMBO_HEADLESS", "1", 1);
    m_application = &RenderApplication::Instance();
    ASSERT_EQ(m_application->Create(nullptr, 0, 0), S_OK);
    ASSERT_NE(Device(), nullptr);
}

void RenderTest::TearDown() {
    // The batch buffers belong to this test's device.
    if (CDeferralBuffer::Exists()) {
        CDeferralBuffer::Instance().InvalidateDeviceObjects();
    }
    if (m_application) {
        m_application->DestroyEnvironment();
        m_application->DestroyInstance();
    }
}

}  // namespace zumbo::test
