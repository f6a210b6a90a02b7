#pragma once
// The cameras: a list of perspective cameras whose first one is the scene camera, and one
// screen-space camera for models drawn in screen coordinates. The device transforms are set
// only when the kind of camera changes.

#include <vector>

#include "engine/singleton.h"
#include "platform/d3dx8/math.h"

struct IDirect3DDevice8;

struct CCamera {
    bool screenSpace = false;
    D3DXVECTOR3 eye{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 lookAt{0.0f, 0.0f, 1.0f};
    D3DXVECTOR3 up{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 direction{0.0f, 0.0f, 1.0f};
    D3DXVECTOR3 side{1.0f, 0.0f, 0.0f};
    D3DXMATRIX view;
    D3DXMATRIX pitchRotation;
    float fieldOfView = D3DX_PI / 4.0f;
    float aspect = 1.0f;
    float nearPlane = 1.0f;
    float farPlane = 300.0f;
    D3DXMATRIX projection;
};

class CCameraManager : public tmSingleton<CCameraManager> {
public:
    CCameraManager();

    CCamera& SceneCamera() { return m_cameras.front(); }
    CCamera& ScreenSpaceCamera() { return m_screenSpace; }

    // The scene camera takes its initial values again with the given aspect.
    void Reset(float aspect);
    void SetView(CCamera& camera, const D3DXVECTOR3& eye, const D3DXVECTOR3& lookAt, const D3DXVECTOR3& up);
    void SetProjection(CCamera& camera, float fieldOfView, float aspect, float nearPlane, float farPlane);
    // Every perspective camera takes the back buffer's aspect ratio.
    void Restore(float aspect);
    void ApplySceneCamera(IDirect3DDevice8* device);
    void ApplyScreenSpaceCamera(IDirect3DDevice8* device);
    void Tick() {}

    bool SceneCameraApplied() const { return m_sceneApplied; }
    bool ScreenSpaceCameraApplied() const { return m_screenSpaceApplied; }

    static void RebuildPerspective(CCamera& camera);
    static void RebuildScreenSpace(CCamera& camera);

private:
    void Changed();
    static void Apply(IDirect3DDevice8* device, const CCamera& camera);

    std::vector<CCamera> m_cameras;
    CCamera m_screenSpace;
    bool m_sceneApplied = false;
    bool m_screenSpaceApplied = false;
};
