// The application's device hooks seen through the recording back end.

#include <gtest/gtest.h>

#include "app/camera_manager.h"
#include "app/debug_log.h"
#include "app/my_d3d_application.h"
#include "app/resource_ids.h"
#include "engine/global_options.h"
#include "platform/d3d8/recording_control.h"
#include "platform/win32/window.h"
#include "tests/support/temp_dir.h"

namespace {

class ApplicationHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZUMBO_HEADLESS", "1", 1);
        setenv("ZUMBO_FAST_CLOCK", "1", 1);
        setenv("ZUMBO_REGISTRY", (dir.Path() / "registry.reg").c_str(), 1);
        CGlobalOptions::Instance().ResetToDefaults();
        CDebugLog::Instance().SetFolder(dir.WindowsPath());
        CCameraManager::DestroyInstance();
        app = &CMyD3DApplication::Instance();
        ASSERT_EQ(app->Create(nullptr, IDI_MAIN_ICON, IDR_MENU), S_OK);
        device = app->GetDevice();
        record = &d3d8::RecordingControl::LastDevice()->Record();
    }
    void TearDown() override {
        unsetenv("ZUMBO_FAST_CLOCK");
        // Running the loop takes the quit message, so the next test starts with an empty queue.
        win32::PostMessage(app->GetHWND(), win32::WM_CLOSE, 0, 0);
        app->Run(IDR_ACCELERATOR);
        app->DestroyInstance();
    }
    void IdleTurns(int count) {
        for (int i = 0; i < count; ++i) {
            app->Timer().AdvanceFastClock();
            ASSERT_EQ(app->Render3DEnvironment(), S_OK);
        }
    }

    zumbo::test::TempDir dir;
    CMyD3DApplication* app = nullptr;
    IDirect3DDevice8* device = nullptr;
    d3d8::DeviceRecord* record = nullptr;
};

TEST_F(ApplicationHooksTest, RestoreSetsTheFixedRenderStateAndTheSceneCamera) {
    DWORD value = 0;
    device->GetRenderState(D3DRS_AMBIENT, &value);
    EXPECT_EQ(value, 0x00FFFFFFu);
    device->GetRenderState(D3DRS_DITHERENABLE, &value);
    EXPECT_EQ(value, 0u);
    device->GetTextureStageState(0, D3DTSS_MINFILTER, &value);
    EXPECT_EQ(value, DWORD(D3DTEXF_POINT));
    D3DMATERIAL8 material{};
    device->GetMaterial(&material);
    EXPECT_EQ(material.Diffuse.r, 1.0f);
    EXPECT_EQ(material.Specular.r, 0.0f);

    EXPECT_EQ(record->TransformSets(D3DTS_VIEW), 1u);
    EXPECT_EQ(record->TransformSets(D3DTS_PROJECTION), 1u);
    const CCamera& camera = CCameraManager::Instance().SceneCamera();
    EXPECT_FLOAT_EQ(camera.aspect, float(app->BackBufferDesc().Width) / float(app->BackBufferDesc().Height));
}

TEST_F(ApplicationHooksTest, FramesDoNotSetTheCameraAgainWhileItIsApplied) {
    IdleTurns(5);
    EXPECT_GE(app->TicksRun(), 3);
    EXPECT_EQ(record->TransformSets(D3DTS_VIEW), 1u);
    EXPECT_EQ(record->Calls("Present"), unsigned(app->TicksRun()));
}

TEST_F(ApplicationHooksTest, RenderClearsOnlyTheDepthBufferAndCullsClockwise) {
    IdleTurns(3);
    ASSERT_FALSE(record->clears.empty());
    EXPECT_EQ(record->clears.back().flags, DWORD(D3DCLEAR_ZBUFFER));
    EXPECT_EQ(record->clears.back().z, 1.0f);
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_CW));
}

TEST_F(ApplicationHooksTest, DeviceResetFollowsTheNewBackBufferAspect) {
    ASSERT_EQ(app->ToggleFullScreen(), S_OK);
    const CCamera& camera = CCameraManager::Instance().SceneCamera();
    EXPECT_FLOAT_EQ(camera.aspect, float(app->BackBufferDesc().Width) / float(app->BackBufferDesc().Height));
    EXPECT_EQ(record->TransformSets(D3DTS_VIEW), 2u);
}

}  // namespace
