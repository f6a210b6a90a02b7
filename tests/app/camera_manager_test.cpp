#include "app/camera_manager.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

D3DXVECTOR4 Transform(const D3DXVECTOR3& point, const CCamera& camera) {
    D3DXMATRIX viewProjection;
    D3DXMatrixMultiply(&viewProjection, &camera.view, &camera.projection);
    D3DXVECTOR4 out;
    D3DXVec3Transform(&out, &point, &viewProjection);
    return out;
}

class CameraManagerTest : public ::testing::Test {
protected:
    // A fresh manager for every test.
    CameraManagerTest() : cameras((CCameraManager::DestroyInstance(), CCameraManager::Instance())) {}
    void TearDown() override { CCameraManager::DestroyInstance(); }
    CCameraManager& cameras;
};

TEST_F(CameraManagerTest, ScreenSpaceCameraMapsThe640By480Screen) {
    const CCamera& camera = cameras.ScreenSpaceCamera();
    const D3DXVECTOR4 topLeft = Transform(D3DXVECTOR3(0.0f, 0.0f, 0.0f), camera);
    EXPECT_NEAR(topLeft.x, -1.0f, 1e-5f);
    EXPECT_NEAR(topLeft.y, 1.0f, 1e-5f);
    EXPECT_NEAR(topLeft.z, 0.003125f, 1e-5f);
    const D3DXVECTOR4 bottomRight = Transform(D3DXVECTOR3(-640.0f, 5.0f, -480.0f), camera);
    EXPECT_NEAR(bottomRight.x, 1.0f, 1e-5f);
    EXPECT_NEAR(bottomRight.y, -1.0f, 1e-5f);
    EXPECT_NEAR(bottomRight.z, 5.003125f, 1e-5f);
}

TEST_F(CameraManagerTest, PerspectiveProjectionFollowsTheAspectAndPlanes) {
    cameras.Restore(2.0f);
    const CCamera& camera = cameras.SceneCamera();
    const float y = 1.0f / std::tan(D3DX_PI / 8.0f);
    EXPECT_FLOAT_EQ(camera.projection._11, y / 2.0f);
    EXPECT_FLOAT_EQ(camera.projection._22, y);
    EXPECT_FLOAT_EQ(camera.projection._33, 300.0f / 299.0f);
    EXPECT_FLOAT_EQ(camera.projection._34, 1.0f);
    EXPECT_FLOAT_EQ(camera.projection._43, -300.0f / 299.0f);
    EXPECT_FLOAT_EQ(camera.projection._44, 0.0f);
}

TEST_F(CameraManagerTest, InitialSceneCameraLooksDownTowardTheOrigin) {
    const CCamera& camera = cameras.SceneCamera();
    const float length = std::sqrt(20.0f * 20.0f + 25.0f * 25.0f);
    EXPECT_NEAR(camera.direction.x, 0.0f, 1e-6f);
    EXPECT_NEAR(camera.direction.y, -20.0f / length, 1e-6f);
    EXPECT_NEAR(camera.direction.z, -25.0f / length, 1e-6f);
    // The look-at point lands on the view axis.
    D3DXVECTOR3 inView;
    D3DXVec3TransformCoord(&inView, &camera.lookAt, &camera.view);
    EXPECT_NEAR(inView.x, 0.0f, 1e-4f);
    EXPECT_NEAR(inView.y, 0.0f, 1e-4f);
    EXPECT_NEAR(inView.z, length, 1e-4f);
}

TEST_F(CameraManagerTest, LookAtEqualToEyeLeavesAZeroDirection) {
    const D3DXVECTOR3 point(1.0f, 2.0f, 3.0f);
    cameras.SetView(cameras.SceneCamera(), point, point, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    const CCamera& camera = cameras.SceneCamera();
    EXPECT_EQ(camera.direction.x, 0.0f);
    EXPECT_EQ(camera.direction.y, 0.0f);
    EXPECT_EQ(camera.direction.z, 0.0f);
}

TEST_F(CameraManagerTest, ResetRestoresTheInitialSceneCamera) {
    cameras.SetView(cameras.SceneCamera(), D3DXVECTOR3(5, 5, 5), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    cameras.SetProjection(cameras.SceneCamera(), 1.0f, 3.0f, 2.0f, 50.0f);
    cameras.Reset(1.5f);
    const CCamera& camera = cameras.SceneCamera();
    EXPECT_EQ(camera.eye.y, 10.0f);
    EXPECT_EQ(camera.eye.z, 25.0f);
    EXPECT_EQ(camera.lookAt.y, -10.0f);
    EXPECT_EQ(camera.farPlane, 300.0f);
    EXPECT_EQ(camera.aspect, 1.5f);
    EXPECT_FLOAT_EQ(camera.fieldOfView, D3DX_PI / 4.0f);
}

TEST_F(CameraManagerTest, ScreenSpaceCameraIgnoresProjectionValues) {
    CCamera& camera = cameras.ScreenSpaceCamera();
    const D3DXMATRIX before = camera.projection;
    cameras.SetProjection(camera, 0.3f, 9.0f, 3.0f, 4.0f);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(camera.projection.m[row][column], before.m[row][column]);
        }
    }
    EXPECT_EQ(camera.farPlane, 1000.0f);
}

}  // namespace
