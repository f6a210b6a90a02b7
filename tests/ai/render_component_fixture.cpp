#include "tests/ai/render_component_fixture.h"

#include <stdlib.h>

#include "engine/entity_manager.h"
#include "render/texture_cache.h"
#include "render/xmodel_manager.h"

namespace zumbo::test {

void RenderComponentTest::SetUp() {
    ComponentTest::SetUp();
    setenv("ZUMBO_HEADLESS", "1", 1);
    m_application = &RenderApplication::Instance();
    ASSERT_EQ(m_application->Create(nullptr, 0, 0), S_OK);
}

void RenderComponentTest::TearDown() {
    m_component.reset();
    // Models hold device objects: they go before the device does.
    enEntityManager::Instance().DeleteAllEntities();
    CXModelManager::DestroyInstance();
    CTextureCache::Instance().ReleaseAll();
    CTextureCache::DestroyInstance();
    m_application->DestroyEnvironment();
    m_application->DestroyInstance();
    ComponentTest::TearDown();
}

}  // namespace zumbo::test
