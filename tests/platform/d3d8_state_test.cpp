#include <gtest/gtest.h>

#include "tests/platform/d3d8_test_support.h"

namespace {

using D3D8StateTest = zumbo::test::RecordingDeviceTest;

D3DMATRIX Translation(float x, float y, float z) {
    D3DMATRIX matrix{};
    matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
    matrix._41 = x;
    matrix._42 = y;
    matrix._43 = z;
    return matrix;
}

DWORD RenderState(IDirect3DDevice8* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetRenderState(state, &value), D3D_OK);
    return value;
}

DWORD StageState(IDirect3DDevice8* device, DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetTextureStageState(stage, type, &value), D3D_OK);
    return value;
}

TEST_F(D3D8StateTest, StartsWithTheDirect3DDefaults) {
    EXPECT_EQ(RenderState(m_device, D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(RenderState(m_device, D3DRS_LIGHTING), 1u);
    EXPECT_EQ(RenderState(m_device, D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));  // auto depth buffer
    EXPECT_EQ(RenderState(m_device, D3DRS_TEXTUREFACTOR), 0xFFFFFFFFu);
    EXPECT_EQ(RenderState(m_device, D3DRS_COLORWRITEENABLE), 0xFu);
    EXPECT_EQ(StageState(m_device, 0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(StageState(m_device, 1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(StageState(m_device, 3, D3DTSS_TEXCOORDINDEX), 3u);
    D3DVIEWPORT8 viewport{};
    ASSERT_EQ(m_device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 640u);
    EXPECT_EQ(viewport.Height, 480u);
    EXPECT_FLOAT_EQ(viewport.MaxZ, 1.0f);
    D3DMATRIX world{};
    ASSERT_EQ(m_device->GetTransform(D3DTS_WORLD, &world), D3D_OK);
    EXPECT_FLOAT_EQ(world._11, 1.0f);
    EXPECT_FLOAT_EQ(world._41, 0.0f);
}

TEST_F(D3D8StateTest, GetReturnsWhatSetStored) {
    ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW), D3D_OK);
    EXPECT_EQ(RenderState(m_device, D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    ASSERT_EQ(m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD), D3D_OK);
    EXPECT_EQ(StageState(m_device, 1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MULTIPLYADD));

    const D3DMATRIX view = Translation(1, 2, 3);
    ASSERT_EQ(m_device->SetTransform(D3DTS_VIEW, &view), D3D_OK);
    D3DMATRIX read{};
    ASSERT_EQ(m_device->GetTransform(D3DTS_VIEW, &read), D3D_OK);
    EXPECT_FLOAT_EQ(read._42, 2.0f);

    D3DMATERIAL8 material{};
    material.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Power = 10.0f;
    ASSERT_EQ(m_device->SetMaterial(&material), D3D_OK);
    D3DMATERIAL8 readMaterial{};
    ASSERT_EQ(m_device->GetMaterial(&readMaterial), D3D_OK);
    EXPECT_FLOAT_EQ(readMaterial.Diffuse.g, 0.25f);
    EXPECT_FLOAT_EQ(readMaterial.Power, 10.0f);

    const float plane[4] = {0.0f, 1.0f, 0.0f, -2.0f};
    ASSERT_EQ(m_device->SetClipPlane(5, plane), D3D_OK);
    float readPlane[4] = {};
    ASSERT_EQ(m_device->GetClipPlane(5, readPlane), D3D_OK);
    EXPECT_FLOAT_EQ(readPlane[3], -2.0f);

    D3DVIEWPORT8 viewport{10, 20, 100, 50, 0.0f, 1.0f};
    ASSERT_EQ(m_device->SetViewport(&viewport), D3D_OK);
    D3DVIEWPORT8 readViewport{};
    ASSERT_EQ(m_device->GetViewport(&readViewport), D3D_OK);
    EXPECT_EQ(readViewport.Y, 20u);
    EXPECT_EQ(readViewport.Width, 100u);
}

TEST_F(D3D8StateTest, LightsAreKeptPerIndexAndEnablingAnUnsetOneMakesTheDefaultLight) {
    D3DLIGHT8 light{};
    EXPECT_EQ(m_device->GetLight(3, &light), D3DERR_INVALIDCALL);
    light.Type = D3DLIGHT_POINT;
    light.Range = 42.0f;
    ASSERT_EQ(m_device->SetLight(3, &light), D3D_OK);
    bool enabled = true;
    ASSERT_EQ(m_device->GetLightEnable(3, &enabled), D3D_OK);
    EXPECT_FALSE(enabled);
    ASSERT_EQ(m_device->LightEnable(3, true), D3D_OK);
    ASSERT_EQ(m_device->GetLightEnable(3, &enabled), D3D_OK);
    EXPECT_TRUE(enabled);
    D3DLIGHT8 read{};
    ASSERT_EQ(m_device->GetLight(3, &read), D3D_OK);
    EXPECT_FLOAT_EQ(read.Range, 42.0f);

    ASSERT_EQ(m_device->LightEnable(7, true), D3D_OK);
    ASSERT_EQ(m_device->GetLight(7, &read), D3D_OK);
    EXPECT_EQ(read.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(read.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(read.Direction.z, 1.0f);
}

TEST_F(D3D8StateTest, SlotsThatDoNotExistAreRejected) {
    const float plane[4] = {};
    const D3DMATRIX matrix = Translation(0, 0, 0);
    D3DLIGHT8 badLight{};
    DWORD value = 0;
    EXPECT_EQ(m_device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->GetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(29), &value),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetClipPlane(6, plane), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(5), &matrix), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(300), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetLight(0, &badLight), D3DERR_INVALIDCALL);  // type 0
    EXPECT_EQ(m_device->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetPixelShader(5), D3DERR_INVALIDCALL);
    D3DVIEWPORT8 tooLarge{600, 0, 100, 100, 0.0f, 1.0f};
    EXPECT_EQ(m_device->SetViewport(&tooLarge), D3DERR_INVALIDCALL);
}

TEST_F(D3D8StateTest, StateBlockRecordsWithoutApplyingAndReplaysOnApply) {
    ASSERT_EQ(m_device->BeginStateBlock(), D3D_OK);
    EXPECT_EQ(m_device->BeginStateBlock(), D3DERR_INVALIDCALL);
    const D3DMATRIX texture = Translation(0.5f, 0.25f, 0);
    ASSERT_EQ(m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1), D3D_OK);
    ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR), D3D_OK);
    ASSERT_EQ(m_device->SetTransform(D3DTS_TEXTURE0, &texture), D3D_OK);
    DWORD token = 0;
    ASSERT_EQ(m_device->EndStateBlock(&token), D3D_OK);
    EXPECT_NE(token, 0u);

    EXPECT_EQ(RenderState(m_device, D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(RenderState(m_device, D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));

    ASSERT_EQ(m_device->ApplyStateBlock(token), D3D_OK);
    EXPECT_EQ(RenderState(m_device, D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(RenderState(m_device, D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(StageState(m_device, 0, D3DTSS_COLORARG2), D3DTA_TFACTOR);
    D3DMATRIX read{};
    ASSERT_EQ(m_device->GetTransform(D3DTS_TEXTURE0, &read), D3D_OK);
    EXPECT_FLOAT_EQ(read._41, 0.5f);
    // Only the recorded states change.
    EXPECT_EQ(RenderState(m_device, D3DRS_LIGHTING), 1u);
}

TEST_F(D3D8StateTest, CaptureTakesTheCurrentValuesOfTheRecordedStatesOnly) {
    ASSERT_EQ(m_device->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(m_device->SetRenderState(D3DRS_ZENABLE, 0), D3D_OK);
    DWORD saved = 0;
    ASSERT_EQ(m_device->EndStateBlock(&saved), D3D_OK);

    ASSERT_EQ(m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE), D3D_OK);
    ASSERT_EQ(m_device->CaptureStateBlock(saved), D3D_OK);
    ASSERT_EQ(m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE), D3D_OK);
    ASSERT_EQ(m_device->SetRenderState(D3DRS_FOGENABLE, 1), D3D_OK);
    ASSERT_EQ(m_device->ApplyStateBlock(saved), D3D_OK);
    EXPECT_EQ(RenderState(m_device, D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(RenderState(m_device, D3DRS_FOGENABLE), 1u);
}

TEST_F(D3D8StateTest, StateBlockTokensAreCheckedAndDeletedOnce) {
    DWORD token = 0;
    EXPECT_EQ(m_device->EndStateBlock(&token), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->ApplyStateBlock(99), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_device->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(m_device->EndStateBlock(&token), D3D_OK);
    DWORD second = 0;
    ASSERT_EQ(m_device->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(m_device->EndStateBlock(&second), D3D_OK);
    EXPECT_NE(token, second);
    EXPECT_EQ(m_device->DeleteStateBlock(token), D3D_OK);
    EXPECT_EQ(m_device->DeleteStateBlock(token), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->ApplyStateBlock(token), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->ApplyStateBlock(second), D3D_OK);
}

TEST_F(D3D8StateTest, ResetRestoresTheDefaultsAndKeepsTheNewSize) {
    ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW), D3D_OK);
    ASSERT_EQ(m_device->LightEnable(0, true), D3D_OK);
    D3DPRESENT_PARAMETERS parameters = zumbo::test::WindowedParameters(320, 200);
    ASSERT_EQ(m_device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(RenderState(m_device, D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    D3DLIGHT8 light{};
    EXPECT_EQ(m_device->GetLight(0, &light), D3DERR_INVALIDCALL);
    D3DVIEWPORT8 viewport{};
    ASSERT_EQ(m_device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 320u);
    EXPECT_EQ(viewport.Height, 200u);
}

TEST_F(D3D8StateTest, RecordCountsTransformSetsByType) {
    const D3DMATRIX matrix = Translation(0, 0, 0);
    ASSERT_EQ(m_device->SetTransform(D3DTS_VIEW, &matrix), D3D_OK);
    ASSERT_EQ(m_device->SetTransform(D3DTS_VIEW, &matrix), D3D_OK);
    ASSERT_EQ(m_device->SetTransform(D3DTS_PROJECTION, &matrix), D3D_OK);
    const d3d8::DeviceRecord& record = m_control->Record();
    EXPECT_EQ(record.TransformSets(D3DTS_VIEW), 2u);
    EXPECT_EQ(record.TransformSets(D3DTS_PROJECTION), 1u);
    EXPECT_EQ(record.TransformSets(D3DTS_WORLD), 0u);
    EXPECT_EQ(record.Calls("SetTransform"), 3u);
}

}  // namespace
