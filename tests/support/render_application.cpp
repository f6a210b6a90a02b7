#include "tests/support/render_application.h"

#include <stdlib.h>

namespace zumbo::test {

void RenderTest::SetUp() {
    setenv("ZUMBO_HEADLESS", "1", 1);
    m_application = &RenderApplication::Instance();
    ASSERT_EQ(m_application->Create(nullptr, 0, 0), S_OK);
    ASSERT_NE(Device(), nullptr);
}

void RenderTest::TearDown() {
    if (m_application) {
        m_application->DestroyEnvironment();
        m_application->DestroyInstance();
    }
}

}  // namespace zumbo::test
