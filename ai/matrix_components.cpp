#include "ai/matrix_components.h"

#include "ai/affine_math.h"
#include "engine/entity.h"

CAIIdentityMatrix::CAIIdentityMatrix(const enXml& /*element*/) {}

CAIIdentityMatrix::CAIIdentityMatrix(CEntity* owner) {
    SetOwner(owner);
}

bool CAIIdentityMatrix::Update() {
    D3DXMatrixIdentity(&m_owner->GetTrajectoryMatrix());
    return true;
}

CAIMatrix::CAIMatrix(CEntity* owner) {
    SetOwner(owner);
    D3DXMatrixIdentity(&m_matrix);
}

bool CAIMatrix::Update() {
    D3DXMATRIX& trajectory = m_owner->GetTrajectoryMatrix();
    trajectory = MultiplyAffine(trajectory, m_matrix);
    return true;
}
