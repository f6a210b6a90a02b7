#include "app/camera_manager.h"

#include <cmath>

#include "platform/d3d8/d3d8.h"

namespace {

constexpr float kScreenScaleX = 0.003125f;     // 1/320
constexpr float kScreenScaleZ = 0.004166667f;  // 1/240

void SetInitialSceneCamera(CCamera& camera, float aspect) {
    camera.screenSpace = false;
    camera.eye = D3DXVECTOR3(0.0f, 10.0f, 25.0f);
    camera.lookAt = D3DXVECTOR3(0.0f, -10.0f, 0.0f);
    camera.up = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    camera.fieldOfView = D3DX_PI / 4.0f;
    camera.aspect = aspect;
    camera.nearPlane = 1.0f;
    camera.farPlane = 300.0f;
}

void BuildViewAndDirection(CCamera& camera) {
    camera.direction = camera.lookAt - camera.eye;
    if (D3DXVec3Length(&camera.direction) != 0.0f) {
        D3DXVec3Normalize(&camera.direction, &camera.direction);
    }
    D3DXVec3Cross(&camera.side, &camera.direction, &camera.up);
    D3DXMatrixLookAtLH(&camera.view, &camera.eye, &camera.lookAt, &camera.up);
    const float b = std::atan(camera.direction.z / camera.direction.y);
    const float a = camera.direction.y >= 0.0f ? D3DX_PI / 2.0f - b : -b - D3DX_PI / 2.0f;
    D3DXMatrixRotationX(&camera.pitchRotation, a);
}

}  // namespace

CCameraManager::CCameraManager() : m_cameras(1) {
    SetInitialSceneCamera(m_cameras.front(), 1.0f);
    RebuildPerspective(m_cameras.front());
    m_screenSpace.screenSpace = true;
    m_screenSpace.eye = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_screenSpace.lookAt = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    m_screenSpace.up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    m_screenSpace.fieldOfView = D3DX_PI / 4.0f;
    m_screenSpace.aspect = 1.0f;
    m_screenSpace.nearPlane = 1.0f;
    m_screenSpace.farPlane = 1000.0f;
    RebuildScreenSpace(m_screenSpace);
}

void CCameraManager::RebuildPerspective(CCamera& camera) {
    BuildViewAndDirection(camera);
    const float y = 1.0f / std::tan(camera.fieldOfView / 2.0f);
    camera.projection = D3DXMATRIX();
    camera.projection._11 = y / camera.aspect;
    camera.projection._22 = y;
    camera.projection._33 = camera.farPlane / (camera.farPlane - camera.nearPlane);
    camera.projection._34 = 1.0f;
    camera.projection._43 = -camera.nearPlane * camera.farPlane / (camera.farPlane - camera.nearPlane);
}

void CCameraManager::RebuildScreenSpace(CCamera& camera) {
    BuildViewAndDirection(camera);
    for (int column = 0; column < 3; ++column) {
        camera.view.m[0][column] *= kScreenScaleX;
        camera.view.m[2][column] *= kScreenScaleZ;
    }
    camera.view._41 = 1.0f;
    camera.view._42 = kScreenScaleX;
    camera.view._43 = 1.0f;
    camera.view._44 = 1.0f;
    D3DXMATRIX rotateX;
    D3DXMATRIX rotateY;
    D3DXMatrixRotationX(&rotateX, -D3DX_PI / 2.0f);
    D3DXMatrixRotationY(&rotateY, D3DX_PI);
    D3DXMatrixMultiply(&camera.projection, &rotateX, &rotateY);
}

void CCameraManager::Changed() {
    m_sceneApplied = false;
    m_screenSpaceApplied = false;
}

void CCameraManager::Reset(float aspect) {
    SetInitialSceneCamera(SceneCamera(), aspect);
    RebuildPerspective(SceneCamera());
    Changed();
}

void CCameraManager::SetView(CCamera& camera, const D3DXVECTOR3& eye, const D3DXVECTOR3& lookAt,
                             const D3DXVECTOR3& up) {
    camera.eye = eye;
    camera.lookAt = lookAt;
    camera.up = up;
    camera.screenSpace ? RebuildScreenSpace(camera) : RebuildPerspective(camera);
    Changed();
}

void CCameraManager::SetProjection(CCamera& camera, float fieldOfView, float aspect, float nearPlane,
                                   float farPlane) {
    if (!camera.screenSpace) {
        camera.fieldOfView = fieldOfView;
        camera.aspect = aspect;
        camera.nearPlane = nearPlane;
        camera.farPlane = farPlane;
        RebuildPerspective(camera);
    }
    Changed();
}

void CCameraManager::Restore(float aspect) {
    for (CCamera& camera : m_cameras) {
        camera.aspect = aspect;
        RebuildPerspective(camera);
    }
    Changed();
}

void CCameraManager::Apply(IDirect3DDevice8* device, const CCamera& camera) {
    device->SetTransform(D3DTS_VIEW, &camera.view);
    device->SetTransform(D3DTS_PROJECTION, &camera.projection);
}

void CCameraManager::ApplySceneCamera(IDirect3DDevice8* device) {
    if (m_sceneApplied || !device) {
        return;
    }
    RebuildPerspective(SceneCamera());
    Apply(device, SceneCamera());
    m_sceneApplied = true;
    m_screenSpaceApplied = false;
}

void CCameraManager::ApplyScreenSpaceCamera(IDirect3DDevice8* device) {
    if (m_screenSpaceApplied || !device) {
        return;
    }
    RebuildScreenSpace(m_screenSpace);
    Apply(device, m_screenSpace);
    m_screenSpaceApplied = true;
    m_sceneApplied = false;
}
