// The progress bar cuts its model with a user clip plane: the plane a draw hands the device.

#include <gtest/gtest.h>

#include <stdlib.h>

#include "engine/broker.h"
#include "engine/entity_manager.h"
#include "frontend/progress.h"
#include "render/deferral_buffer.h"
#include "render/model.h"
#include "render/texture_cache.h"
#include "render/xmodel_manager.h"
#include "resource/paths.h"
#include "resource/xml_cache.h"
#include "tests/frontend/frontend_fixture.h"
#include "tests/support/program_folder_sandbox.h"
#include "tests/support/render_application.h"
#include "tests/support/xfile_writer.h"
#include "tests/support/xml_builder.h"

using namespace zumbo::test;

namespace {

class ProgressTest : public FrontendTest {
protected:
    void SetUp() override {
        setenv("ZUMBO_HEADLESS", "1", 1);
        FrontendTest::SetUp();
        m_application = &RenderApplication::Instance();
        ASSERT_EQ(m_application->Create(nullptr, 0, 0), S_OK);
        // The mesh spans x from 0 to 2 and the X-file's root frame mirrors x: the model's box is
        // x from -2 to 0, not centred on x = 0.
        m_sandbox.Write("tri.x", TriangleXFile());
        auto document = MakeRoot("Model", {{"Name", "Bar"}});
        AddValue(*document, "FileName", "tri.x");
        ASSERT_TRUE(document->Save(MakeFullPath(m_sandbox.Relative() + "\\bar.xml")));
    }
    void TearDown() override {
        // Models hold device objects: they go before the device does.
        enEntityManager::Instance().DeleteAllEntities();
        CDeferralBuffer::DestroyInstance();
        CXModelManager::DestroyInstance();
        CTextureCache::Instance().ReleaseAll();
        CTextureCache::DestroyInstance();
        XmlCache::DestroyInstance();
        m_application->DestroyEnvironment();
        m_application->DestroyInstance();
        FrontendTest::TearDown();
    }

    // A bar entity with the model, placed by the matrix, and its progress component.
    CEntity& MakeBar(const D3DXMATRIX& placement, const Properties& properties) {
        auto* bar = new CEntity();
        bar->SetName("bar");
        EXPECT_NE(bar->CreateModel(MakeFullPath(m_sandbox.Relative() + "\\bar.xml")), nullptr);
        bar->GetPlacementMatrix() = placement;
        Attach<CAIProgress>(*bar, "CAIProgress", properties);
        return *bar;
    }

    // Draws the bar and answers the clip plane 0 the device received (x, y, z, w).
    D3DXPLANE DrawnPlane(CEntity& bar) {
        bar.Render();
        D3DXPLANE plane;
        m_application->GetDevice()->GetClipPlane(0, &plane.a);
        return plane;
    }
    static unsigned Calls(const char* method) {
        return d3d8::RecordingControl::LastDevice()->Record().Calls(method);
    }

    RenderApplication* m_application = nullptr;
    ProgramFolderSandbox m_sandbox;
};

void ExpectPlane(const D3DXPLANE& plane, float a, float d) {
    EXPECT_NEAR(plane.a, a, 1e-5f);
    EXPECT_FLOAT_EQ(plane.b, 0.0f);
    EXPECT_FLOAT_EQ(plane.c, 0.0f);
    EXPECT_NEAR(plane.d, d, 1e-5f);
}

D3DXMATRIX Identity() {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return identity;
}

}  // namespace

// Stretched twice in x and moved by 10: a quarter of [-2, 0] is x <= -1.5 in the model, which is
// world x <= 7, the plane -0.5 x + 3.5 >= 0.
TEST_F(ProgressTest, TheDeviceGetsThePlaneOfTheValueInWorldSpace) {
    D3DXMATRIX placement;
    D3DXMatrixScaling(&placement, 2.0f, 1.0f, 1.0f);
    placement._41 = 10.0f;
    CEntity& bar = MakeBar(placement, {{"sBrokerPath", "Load\\fDone"}});
    CBroker::Instance().SetFloat("Load\\fDone", 25.0f);
    Frame();
    ExpectPlane(DrawnPlane(bar), -0.5f, 3.5f);
    EXPECT_EQ(Calls("SetClipPlane"), 1u);
    DWORD enabled = 1;
    m_application->GetDevice()->GetRenderState(D3DRS_CLIPPLANEENABLE, &enabled);
    EXPECT_EQ(enabled, 0u) << "clipping ends with the draw";
}

TEST_F(ProgressTest, ThePlaneFollowsTheBrokerAndKeepsTheLastValueWhenItIsMissing) {
    CEntity& bar = MakeBar(Identity(), {{"sBrokerPath", "Load\\fDone"}});
    Frame();
    ExpectPlane(DrawnPlane(bar), -1.0f, -1.0f);  // the default half
    CBroker::Instance().SetFloat("Load\\fDone", 75.0f);
    Frames(3);
    ExpectPlane(DrawnPlane(bar), -1.0f, -0.5f);
    // One plane, replaced each tick rather than added.
    EXPECT_EQ(Calls("SetClipPlane"), 2u);
}

TEST_F(ProgressTest, EmptyAndFullBarsCutAtTheEndsOfTheModel) {
    CEntity& bar = MakeBar(Identity(), {{"sBrokerPath", "Load\\fDone"}});
    CBroker::Instance().SetFloat("Load\\fDone", 0.0f);
    Frame();
    ExpectPlane(DrawnPlane(bar), -1.0f, -2.0f);
    CBroker::Instance().SetFloat("Load\\fDone", 100.0f);
    Frame();
    ExpectPlane(DrawnPlane(bar), -1.0f, 0.0f);
}

TEST_F(ProgressTest, ABarWithoutAModelReadsNothingAndDrawsNoPlane) {
    auto* bar = new CEntity();
    bar->SetName("bare");
    CAIProgress& progress = Attach<CAIProgress>(*bar, "CAIProgress", {{"sBrokerPath", "Load\\fDone"}});
    CBroker::Instance().SetFloat("Load\\fDone", 80.0f);
    Frames(2);
    EXPECT_FLOAT_EQ(progress.GetPercentage(), 50.0f);
    bar->Render();
    EXPECT_EQ(Calls("SetClipPlane"), 0u);
}
