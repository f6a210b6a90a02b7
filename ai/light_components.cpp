#include "ai/light_components.h"

#include "ai/light_manager.h"
#include "engine/entity.h"
#include "resource/name_atom.h"
#include "resource/xml.h"

namespace {

D3DLIGHTTYPE ReadLightType(const enXml& element) {
    std::string type;
    element.GetValueString("sType", type);
    if (EqualsIgnoringCase(type, "Point")) {
        return D3DLIGHT_POINT;
    }
    if (EqualsIgnoringCase(type, "Spot")) {
        return D3DLIGHT_SPOT;
    }
    return D3DLIGHT_DIRECTIONAL;
}

D3DCOLORVALUE ReadOpaqueColor(const enXml& element, const char* name) {
    D3DXVECTOR3 rgb(1.0f, 1.0f, 1.0f);
    element.GetValueVector(name, rgb);
    return D3DCOLORVALUE{rgb.x, rgb.y, rgb.z, 1.0f};
}

D3DVECTOR ReadVector(const enXml& element, const char* name, D3DXVECTOR3 value) {
    element.GetValueVector(name, value);
    return value;
}

}  // namespace

CAIStaticLight::CAIStaticLight(const enXml& element) {
    m_light.Type = ReadLightType(element);
    m_light.Diffuse = ReadOpaqueColor(element, "p3Diffuse");
    m_light.Specular = ReadOpaqueColor(element, "p3Specular");
    m_light.Ambient = ReadOpaqueColor(element, "p3Ambient");
    m_light.Position = ReadVector(element, "p3Position", D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    m_light.Direction = ReadVector(element, "p3Direction", D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    element.GetValueFloat("fRange", m_light.Range);
    element.GetValueFloat("fFalloff", m_light.Falloff);
    element.GetValueFloat("fAttenuation0", m_light.Attenuation0);
    element.GetValueFloat("fAttenuation1", m_light.Attenuation1);
    element.GetValueFloat("fAttenuation2", m_light.Attenuation2);
    element.GetValueFloat("fTheta", m_light.Theta);
    element.GetValueFloat("fPhi", m_light.Phi);
    CLightManager::Instance().AddStaticLight(&m_light);
}

CAIStaticLight::~CAIStaticLight() {
    CLightManager::Instance().RemoveStaticLight(&m_light);
}

bool CAIStaticLight::Update() {
    return true;
}

CAISpawnDynamicLight::CAISpawnDynamicLight(const enXml& element) : CAISingleTickLifeTime(element) {
    D3DXVECTOR3 color(1.0f, 1.0f, 1.0f);
    element.GetValueVector("p3Color", color);
    float multiplier = 1.0f;
    element.GetValueFloat("fMultiplier", multiplier);
    m_color = D3DCOLORVALUE{color.x * multiplier, color.y * multiplier, color.z * multiplier, 1.0f};
    element.GetValueFloat("fRange", m_range);
    element.GetValueInt("iFadeInTime", m_fadeIn);
    element.GetValueInt("iDelay", m_hold);
    element.GetValueInt("iFadeOutTime", m_fadeOut);
}

bool CAISpawnDynamicLight::Update() {
    const D3DXMATRIX& world = m_owner->GetWorldPlacementMatrix();
    CLightManager::Instance().SpawnDynamicLight(D3DXVECTOR3(world._41, world._42, world._43), m_color,
                                                m_range, m_fadeIn, m_hold, m_fadeOut);
    return CAISingleTickLifeTime::Update();
}
