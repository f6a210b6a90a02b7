// Loading of an entity from the root element of its entity document.
#include <cmath>
#include <optional>

#include "ai/affine_math.h"
#include "ai/bill_board.h"
#include "ai/lifetime_components.h"
#include "ai/matrix_components.h"
#include "ai/motion_rules.h"
#include "ai/physics_components.h"
#include "app/debug_log.h"
#include "engine/ai_factory.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/hit_manager.h"
#include "render/font_cache.h"
#include "render/font_flags.h"
#include "render/model.h"
#include "resource/paths.h"
#include "resource/translator.h"
#include "resource/xml.h"

namespace {

bool HasName(const enXml& element, std::string_view name) {
    return element.GetName()->Text() == name;
}

// Rotation from angles in degrees (x pitch, y yaw, z roll), rows rescaled to the scale and
// the position as translation.
D3DXMATRIX BuildPlacement(const D3DXVECTOR3& position, const D3DXVECTOR3& rotationDegrees,
                          const D3DXVECTOR3& scale) {
    const float x = DegreesToRadians(rotationDegrees.x);
    const float y = DegreesToRadians(rotationDegrees.y);
    const float z = DegreesToRadians(rotationDegrees.z);
    const float cx = std::cos(x), sx = std::sin(x);
    const float cy = std::cos(y), sy = std::sin(y);
    const float cz = std::cos(z), sz = std::sin(z);
    D3DXMATRIX m(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const float rows[3][3] = {
        {cy * cz, cy * sz, -sy},
        {sx * sy * cz - cx * sz, sx * sy * sz + cx * cz, sx * cy},
        {cx * sy * cz + sx * sz, cx * sy * sz - sx * cz, cx * cy},
    };
    const float scales[3] = {scale.x, scale.y, scale.z};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            m.m[row][column] = rows[row][column] * scales[row];
        }
    }
    m._41 = position.x;
    m._42 = position.y;
    m._43 = position.z;
    return m;
}

struct tPlacementValues {
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 rotation{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 scale{1.0f, 1.0f, 1.0f};
    bool anyPresent = false;
};

tPlacementValues ReadPlacementValues(const enXml& element) {
    tPlacementValues values;
    const bool position = element.GetValueVector(InternName("p3Position"), values.position);
    const bool rotation = element.GetValueVector(InternName("p3Rotation"), values.rotation);
    const bool scale = element.GetValueVector(InternName("p3Scale"), values.scale);
    values.anyPresent = position || rotation || scale;
    return values;
}

float LengthSquared(const D3DXVECTOR3& v) {
    return v.x * v.x + v.y * v.y + v.z * v.z;
}

// Placement that differs from the identity by more than rounding.
bool IsOffset(const tPlacementValues& values) {
    const D3DXVECTOR3 scaleDeviation = values.scale - D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    return LengthSquared(values.position) > kEntityEpsilon ||
           LengthSquared(values.rotation) > kEntityEpsilon || LengthSquared(scaleDeviation) > kEntityEpsilon;
}

template <class Component>
std::unique_ptr<C_AI> MakeDefault(CEntity* owner) {
    return std::make_unique<Component>(owner);
}

}  // namespace

const CEntity::tOwnComponentKind CEntity::kPhysicsKind = {
    "AIPhysics", "Warning: can't create physics AI for entity \"%s\". Creating default Physics AI.",
    "Warning: entity \"%s\" does not contain AIPhysics tag. Creating default Physics AI.",
    &MakeDefault<CAIDefaultPhysics>};
const CEntity::tOwnComponentKind CEntity::kLifeTimeKind = {
    "AILifeTime", "Warning: can't create LifeTime AI for entity \"%s\". Creating default LifeTime AI.",
    "Warning: entity \"%s\" does not contain AILifeTime tag. Creating default LifeTime AI.",
    &MakeDefault<CAIDefaultLifeTime>};

bool CEntity::LoadFromXml(const enXml& element) {
    if (!HasName(element, "Entity")) {
        return false;
    }
    m_sourceName = element.GetSourceName();
    LoadFlags(element);
    std::optional<std::string> modelFileName;
    if (m_textLabel) {
        LoadTextLabel(element);
    } else if (!ReadModelFileName(element, modelFileName)) {
        return false;
    }
    LoadHitGroups(element);
    LoadPlacement(element);
    if (const enXml* subEntities = element.GetChild(InternName("SubEntityList"))) {
        LoadSubEntities(*subEntities);
    }
    if (modelFileName && !LoadModel(*modelFileName)) {
        return false;
    }
    if (!LoadComponents(element)) {
        return false;
    }
    RefreshVisibility();
    return true;
}

void CEntity::LoadFlags(const enXml& element) {
    element.GetAttributeString(InternName("Name"), m_name);
    element.GetValueBool(InternName("bNeedsWorldBB"), m_needsWorldBoundingBox);
    element.GetValueBool(InternName("bVisible"), m_visible);
    element.GetValueBool(InternName("bInheritVisibility"), m_inheritVisibility);
    element.GetValueBool(InternName("bViewOriented"), m_viewOriented);
    element.GetValueBool(InternName("bParentRelativeTransform"), m_parentRelativeTransform);
    element.GetValueBool(InternName("bPausable"), m_pausable);
    element.GetValueFloat(InternName("fMass"), m_mass);
    element.GetValueBool(InternName("bTextLabel"), m_textLabel);
}

void CEntity::LoadTextLabel(const enXml& element) {
    element.GetValueString(InternName("sFontName"), m_fontName);
    m_font = CFontCache::Instance().GetFont(m_fontName);
    element.GetValueHex(InternName("dwTextColor"), m_textColor);
    m_text.clear();
    for (const enXml* child = element.FirstChild(); child; child = child->NextSibling()) {
        if (!HasName(*child, "sDefaultText")) {
            continue;
        }
        if (!m_text.empty()) {
            m_text += '\n';
        }
        std::string line;
        child->GetAttributeString(InternName("Value"), line);
        m_text += CTranslator::Instance().Translate(line);
    }
    std::string flags;
    if (element.GetValueString(InternName("sTextFlags"), flags)) {
        m_textFlags = ParseFontFlags(flags);
    }
}

bool CEntity::ReadModelFileName(const enXml& element, std::optional<std::string>& fileName) const {
    const enXml* model = element.GetChild(InternName("Model"));
    if (!model) {
        CDebugLog::Instance().LogLevel(3, "Warning: Entity XML \"%s\" does not contain Model tag.",
                                       m_sourceName.c_str());
        return true;
    }
    std::string name;
    if (!model->GetAttributeString(InternName("FileName"), name)) {
        CDebugLog::Instance().LogLevel(
            1, "Failed to create Entity by XML: %s -- Model tag does not contain FileName attribute.",
            m_sourceName.c_str());
        return false;
    }
    fileName = std::move(name);
    return true;
}

void CEntity::LoadHitGroups(const enXml& element) {
    std::string groups;
    if (element.GetValueString(InternName("sHitGroup"), groups)) {
        m_hitGroups = enHitManager::Instance().ParseGroups(groups);
    }
    if (element.GetValueString(InternName("sHitsWith"), groups)) {
        m_hitsWithGroups = enHitManager::Instance().ParseGroups(groups);
    }
}

void CEntity::LoadPlacement(const enXml& element) {
    const tPlacementValues values = ReadPlacementValues(element);
    if (values.anyPresent) {
        m_placement = BuildPlacement(values.position, values.rotation, values.scale);
    }
}

void CEntity::LoadSubEntities(const enXml& list) {
    for (const enXml* child = list.FirstChild(); child; child = child->NextSibling()) {
        if (HasName(*child, "SubEntity")) {
            AttachSubEntity(*child);
        }
    }
}

void CEntity::AttachSubEntity(const enXml& subEntityElement) {
    std::string fileName;
    if (!subEntityElement.GetAttributeString(InternName("FileName"), fileName)) {
        return;
    }
    const std::string path = ResolvePath(fileName, m_sourceName);
    CEntity* child = enEntityManager::Instance().CreateEntityFromFile(path);
    if (!child) {
        return;
    }
    AddChild(child);
    const tPlacementValues values = ReadPlacementValues(subEntityElement);
    if (!IsOffset(values)) {
        return;
    }
    const D3DXMATRIX offset = BuildPlacement(values.position, values.rotation, values.scale);
    auto offsetComponent = std::make_unique<CAIMatrix>(child);
    offsetComponent->SetMatrix(offset);
    child->AddSuffixComponent(std::move(offsetComponent));
    child->m_placement = MultiplyAffine(child->m_placement, offset);
    child->UpdateWorldMatrices(true);
}

bool CEntity::LoadModel(const std::string& fileName) {
    CModel* model = CreateModel(GetProgramFolder() + "\\Models\\" + fileName);
    if (!model) {
        return false;
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    model->GetBoundingBox(identity, m_localBoxMin, m_localBoxMax);
    return true;
}

bool CEntity::LoadComponents(const enXml& element) {
    const enXml* aiList = element.GetChild(InternName("AIList"));
    if (!aiList) {
        CDebugLog::Instance().LogLevel(1, "Error: entity XML %s does not contain AIList tag.",
                                       m_sourceName.c_str());
        return false;
    }
    const std::string entityName = element.GetRootName();
    m_identity = std::make_unique<CAIIdentityMatrix>(this);
    if (const enXml* prefix = aiList->GetChild(InternName("PrefixAIList"))) {
        LoadComponentList(*prefix, true);
        if (m_prefixComponents.empty()) {
            CDebugLog::Instance().LogLevel(
                4, "Warning: \"PrefixAIList\" of entity \"%s\" does not contain valid AIs.",
                prefix->GetRootName().c_str());
        }
    }
    if (const enXml* suffix = aiList->GetChild(InternName("SuffixAIList"))) {
        LoadComponentList(*suffix, false);
        if (m_suffixComponents.empty()) {
            CDebugLog::Instance().LogLevel(
                4, "Warning: \"SuffixAIList\" of entity %s does not contain valid AIs.",
                suffix->GetRootName().c_str());
        }
    }
    if (m_viewOriented) {
        m_billboard = std::make_unique<CAIBillBoard>(this);
    }
    m_physics = LoadOwnComponent(*aiList, kPhysicsKind, entityName);
    m_lifeTime = LoadOwnComponent(*aiList, kLifeTimeKind, entityName);
    if (m_prefixComponents.empty() && m_suffixComponents.empty()) {
        CDebugLog::Instance().LogLevel(4, "Warning: entity \"%s\" does not contain valid trajectory AIs.",
                                       entityName.c_str());
    }
    return true;
}

void CEntity::LoadComponentList(const enXml& list, bool prefix) {
    const char* listName = prefix ? "prefix" : "suffix";
    for (const enXml* child = list.FirstChild(); child; child = child->NextSibling()) {
        if (!HasName(*child, "AI")) {
            CDebugLog::Instance().LogLevel(
                1, "Warning: wrong tag named \"%s\" found in the %s AI list of entity \"%s\". Skipping.",
                child->GetName()->Text().c_str(), listName, list.GetRootName().c_str());
            continue;
        }
        std::unique_ptr<C_AI> component = CreateAI(child, this);
        if (component) {
            (prefix ? m_prefixComponents : m_suffixComponents).push_back(std::move(component));
        }
    }
}

std::unique_ptr<C_AI> CEntity::LoadOwnComponent(const enXml& aiList, const tOwnComponentKind& kind,
                                                const std::string& entityName) {
    std::unique_ptr<C_AI> component;
    if (const enXml* element = aiList.GetChild(InternName(kind.tag))) {
        component = CreateAI(element, nullptr);
        if (!component) {
            CDebugLog::Instance().LogLevel(1, kind.failedText, entityName.c_str());
        }
    } else {
        CDebugLog::Instance().LogLevel(4, kind.missingText, entityName.c_str());
    }
    if (!component) {
        component = kind.makeDefault(this);
    }
    component->SetOwner(this);
    return component;
}
