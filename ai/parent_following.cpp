#include "ai/parent_following.h"

#include "ai/affine_math.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

struct tParentLink {
    D3DXMATRIX parent;
    D3DXMATRIX* target;
};

tParentLink LinkToParent(CEntity& owner, bool applyToTrajectory) {
    if (applyToTrajectory) {
        return {owner.GetParentWorldTrajectory(), &owner.GetTrajectoryMatrix()};
    }
    return {owner.GetParentWorldPlacement(), &owner.GetPlacementMatrix()};
}

bool ReadApplyToTrajectory(const enXml& element) {
    bool apply = true;
    element.GetValueBool("bApplyToTrajectory", apply);
    return apply;
}

}  // namespace

CAIMoveWithParent::CAIMoveWithParent(const enXml& element)
    : m_applyToTrajectory(ReadApplyToTrajectory(element)) {
    element.GetValueVector("p3Position", m_offset);
}

bool CAIMoveWithParent::Update() {
    const tParentLink link = LinkToParent(*m_owner, m_applyToTrajectory);
    D3DXMATRIX& target = *link.target;
    target._41 = link.parent._41 + m_offset.x;
    target._42 = link.parent._42 + m_offset.y;
    target._43 = link.parent._43 + m_offset.z;
    return true;
}

CAIScaleWithParent::CAIScaleWithParent(const enXml& element)
    : m_scale(1.0f, 1.0f, 1.0f), m_applyToTrajectory(ReadApplyToTrajectory(element)) {
    element.GetValueVector("p3Scale", m_scale);
}

bool CAIScaleWithParent::Update() {
    const tParentLink link = LinkToParent(*m_owner, m_applyToTrajectory);
    const D3DXVECTOR3 lengths(AxisLength(link.parent, 0) * m_scale.x, AxisLength(link.parent, 1) * m_scale.y,
                              AxisLength(link.parent, 2) * m_scale.z);
    SetAxisLengths(*link.target, lengths);
    return true;
}
