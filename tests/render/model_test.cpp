// Models: their documents, their recorded states, their placement and their drawing on the
// recording back end.

#include "render/model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/xmodel_manager.h"
#include "tests/render/model_fixture.h"

namespace {

class ModelTest : public zumbo::test::ModelFixture {
protected:
    CModel* Model(const zumbo::test::Settings& settings, const char* root = "Model") {
        return LoadModel(settings, root);
    }

    DWORD RenderState(D3DRENDERSTATETYPE state) const {
        DWORD value = 0;
        Device()->GetRenderState(state, &value);
        return value;
    }
    DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const {
        DWORD value = 0;
        Device()->GetTextureStageState(stage, type, &value);
        return value;
    }
};

TEST_F(ModelTest, AWrongRootOrAMissingXFileLoadsNothing) {
    EXPECT_EQ(Model({}, "Mesh"), nullptr);
    EXPECT_EQ(m_log.Count("tag name must be \"Model\"."), 1);
    m_sandbox.Write("tri.x", "xof 0303txt 0032\nMesh Broken { 3; 0;0;0;, ");
    CXModelManager::DestroyInstance();
    EXPECT_EQ(Model({}), nullptr);
}

TEST_F(ModelTest, AlphaModelsWriteNoDepthUnlessTheyAskForIt) {
    CModel* alpha = Model({{"bUseAlpha", "true"}});
    ASSERT_NE(alpha, nullptr) << m_log.Text();
    alpha->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), 1u);
    Model({{"bUseAlpha", "true"}, {"bZWriteEnable", "true"}})->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 1u);
}

TEST_F(ModelTest, OpaqueModelsModulateTheTextureOrAddTheDynamicLight) {
    Model({{"bEnableLighting", "true"}})->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_ALPHATESTENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), 1u);
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(StageState(0, D3DTSS_COLORARG2), DWORD(D3DTA_DIFFUSE));
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), DWORD(D3DTOP_DISABLE));
    Model({{"bEnableDynamicLighting", "true"}})->SetupRender(Device());
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), DWORD(D3DTOP_ADD));
    Model({})->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CW));
    EXPECT_EQ(StageState(0, D3DTSS_MIPFILTER), DWORD(D3DTEXF_POINT));
}

TEST_F(ModelTest, TheAlphaFunctionsBlendAsTheyShould) {
    Model({{"bUseAlpha", "true"}, {"bEnableLighting", "true"}})->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(StageState(0, D3DTSS_COLORARG2), DWORD(D3DTA_TFACTOR));
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(RenderState(D3DRS_ALPHATESTENABLE), 1u);

    // Additive without light: the factor's colour scaled by its alpha 0x80, alpha 255.
    Model({{"bUseAlpha", "true"}, {"sAlphaFunction", "add"}, {"dwTextureFactor", "80FF8040"}})
        ->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0xFF804020u);
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), DWORD(D3DTOP_DISABLE));

    Model({{"bUseAlpha", "true"},
           {"sAlphaFunction", "Add"},
           {"bEnableLighting", "true"},
           {"dwTextureFactor", "80FF8040"}})
        ->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x80FF8040u);
    EXPECT_EQ(StageState(0, D3DTSS_COLORARG2), DWORD(D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE));
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), DWORD(D3DTOP_MULTIPLYADD));
    EXPECT_EQ(StageState(1, D3DTSS_COLORARG2), DWORD(D3DTA_DIFFUSE));

    Model({{"bUseAlpha", "true"}, {"sAlphaFunction", "SATURATE"}})->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_DESTCOLOR));
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(RenderState(D3DRS_ALPHAFUNC), DWORD(D3DCMP_GREATER));
}

TEST_F(ModelTest, SetAlphaRecordsTheStatesAgainWithTheNewFactor) {
    CModel* model = Model({{"bUseAlpha", "true"}, {"sAlphaFunction", "Add"}});
    model->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0xFFFFFFFFu);
    model->SetAlpha(128);
    EXPECT_EQ(model->GetAlpha(), 128);
    model->SetupRender(Device());
    EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0xFF808080u);
}

TEST_F(ModelTest, FilterNamesSetBothStagesAndUnknownOnesFallBackToPoint) {
    Model({{"sMIPFilter", "LINEAR"}, {"sMINMAGFilter", "bilinear"}, {"sCullMode", "sideways"}})
        ->SetupRender(Device());
    EXPECT_EQ(StageState(0, D3DTSS_MIPFILTER), DWORD(D3DTEXF_LINEAR));
    EXPECT_EQ(StageState(1, D3DTSS_MIPFILTER), DWORD(D3DTEXF_LINEAR));
    EXPECT_EQ(StageState(1, D3DTSS_MAGFILTER), DWORD(D3DTEXF_POINT));
    EXPECT_EQ(m_log.Count("Unknown texture filter type met: bilinear. Setting POINT."), 1);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CW));
}

TEST_F(ModelTest, TheLocalTransformRotatesAboutXFirstAndScalesRows) {
    EXPECT_FALSE(Model({{"p3Rotation", "0, 0, 0"}, {"p3Scale", "1, 1, 1"}})->HasLocalTransform());
    const D3DXMATRIX& turned = Model({{"p3Rotation", "90, 0, 0"}})->GetLocalTransform();
    // A quarter turn about x: y goes to z, z to -y.
    EXPECT_NEAR(turned._11, 1.0f, 1e-6f);
    EXPECT_NEAR(turned._23, 1.0f, 1e-6f);
    EXPECT_NEAR(turned._32, -1.0f, 1e-6f);
    EXPECT_NEAR(turned._22, 0.0f, 1e-6f);
    const D3DXMATRIX& scaled =
        Model({{"p3Rotation", "30, 40, 50"}, {"p3Scale", "2, 2, 2"}, {"p3Position", "1, 2, 3"}})
            ->GetLocalTransform();
    for (const float* row : {&scaled._11, &scaled._21, &scaled._31}) {
        EXPECT_NEAR(std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]), 2.0f, 1e-5f);
    }
    EXPECT_EQ(scaled._42, 2.0f);
}

TEST_F(ModelTest, TwoDimensionalModelsExchangeTheirTranslation) {
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 10, 20, 30);
    const D3DXMATRIX final = Model({{"b2D", "true"}})->FinalMatrix(world);
    EXPECT_EQ(final._41, 10.0f);
    EXPECT_EQ(final._42, 30.0f);
    EXPECT_EQ(final._43, -20.0f);
}

TEST_F(ModelTest, ModelsOfOneCameraKindSetTheCameraOnce) {
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    CModel* first = Model({});
    CModel* second = Model({});
    CModel* flat = Model({{"b2D", "true"}});
    Device()->BeginScene();
    const unsigned before = Record().TransformSets(D3DTS_VIEW);
    first->Render(world);
    second->Render(world);
    EXPECT_EQ(Record().TransformSets(D3DTS_VIEW), before + 1);
    flat->Render(world);
    EXPECT_EQ(Record().TransformSets(D3DTS_VIEW), before + 2);
    Device()->EndScene();
    EXPECT_EQ(Record().draws.size(), 3u);
}

TEST_F(ModelTest, ClipPlanesFollowTheModelAndAreSwitchedOffAfterTheDraw) {
    CModel* model = Model({});
    model->AddClipPlane(D3DXPLANE{0, 0, 1, 0});
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 0, 5);
    Device()->BeginScene();
    model->Render(world);
    Device()->EndScene();
    float plane[4] = {};
    Device()->GetClipPlane(0, plane);
    // z = 0 moved 5 along z is z - 5 = 0.
    EXPECT_NEAR(plane[2], 1.0f, 1e-6f);
    EXPECT_NEAR(plane[3], -5.0f, 1e-5f);
    EXPECT_EQ(RenderState(D3DRS_CLIPPLANEENABLE), 0u);
}

}  // namespace
