#include "tests/support/render_application.h"

#include <stdlib.h>

#include "app/camera_manager.h"
#include "render/deferral_buffer.h"
#include "render/font_cache.h"
#include "render/texture_cache.h"
#include "render/xmodel_manager.h"
#include "resource/paths.h"
#include "resource/xml_cache.h"

namespace zumbo::test {

void RenderTest::SetUp() {
    if (Headless()) {
        setenv("ZUMBO_HEADLESS", "1", 1);
    } else if (!getenv("DISPLAY")) {
        GTEST_SKIP() << "no display";
    } else {
        unsetenv("ZUMBO_HEADLESS");
    }
    CCameraManager::DestroyInstance();
    m_application = &RenderApplication::Instance();
    if (!Headless()) {
        m_application->UseDepthBuffer();
    }
    ASSERT_EQ(m_application->Create(nullptr, 0, 0), S_OK);
    ASSERT_NE(Device(), nullptr);
}

std::string RenderTest::InSandbox(const std::string& name) const {
    return MakeFullPath(m_sandbox.Relative() + "\\" + name);
}

void RenderTest::TearDown() {
    // Everything the caches hold belongs to this test's device and files.
    CDeferralBuffer::DestroyInstance();
    CFontCache::DestroyInstance();
    CXModelManager::DestroyInstance();
    if (CTextureCache::Exists()) {
        CTextureCache::Instance().ReleaseAll();
    }
    CTextureCache::DestroyInstance();
    XmlCache::DestroyInstance();
    CCameraManager::DestroyInstance();
    if (m_application) {
        m_application->DestroyEnvironment();
        m_application->DestroyInstance();
    }
}

}  // namespace zumbo::test
