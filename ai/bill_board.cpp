#include "ai/bill_board.h"

#include "ai/affine_math.h"
#include "ai/quaternion_routines.h"
#include "app/camera_manager.h"
#include "engine/entity.h"

CAIBillBoard::CAIBillBoard(const enXml& /*element*/) {}

CAIBillBoard::CAIBillBoard(CEntity* owner) {
    SetOwner(owner);
}

bool CAIBillBoard::Update() {
    D3DXMATRIX& trajectory = m_owner->GetTrajectoryMatrix();
    const D3DXVECTOR3 yAxis(trajectory._21, trajectory._22, trajectory._23);
    D3DXVECTOR3 view;
    D3DXVec3Normalize(&view, &CCameraManager::Instance().SceneCamera().direction);
    MultiplyBlock(trajectory, MatrixFromQuaternion(QuaternionFromArc(yAxis, view)));
    if (m_owner->IsParentRelative()) {
        // Undo the parent's rotation so that the world orientation faces the camera.
        MultiplyBlock(trajectory, InverseBlock(m_owner->GetParentWorldTrajectory()));
    }
    return true;
}
