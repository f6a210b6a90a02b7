#include "engine/ga_entity_manager.h"

#include <algorithm>

#include "app/debug_log.h"
#include "engine/entity.h"
#include "resource/xml.h"
#include "resource/xml_cache.h"

enEntityManager& enEntityManager::Instance() {
    return gaEntityManager::Instance();
}

CEntity* gaEntityManager::CreateEntityFromFile(const std::string& path) {
    const enXml* root = XmlCache::Instance().Load(path);
    if (!root || root->GetName()->Text() != "Entity") {
        return nullptr;
    }
    // Sub-entities load inside their parent's load; a file that lists itself, directly or
    // through others, would never end, and one that lists itself twice would branch at every level.
    if (IsOnLoadPath(*root)) {
        LogCycle(*root);
        return nullptr;
    }
    if (static_cast<int>(m_loadPath.size()) >= kMaxNestedLoads) {
        CDebugLog::Instance().LogLevel(
            1, "Error: entity XML %s nests sub-entities deeper than %d levels. Skipping.",
            root->GetSourceName().c_str(), kMaxNestedLoads);
        return nullptr;
    }
    m_loadPath.push_back(root);
    CEntity* entity = CreateAndLoad(*root);
    m_loadPath.pop_back();
    return entity;
}

bool gaEntityManager::IsOnLoadPath(const enXml& root) const {
    return std::find(m_loadPath.begin(), m_loadPath.end(), &root) != m_loadPath.end();
}

void gaEntityManager::LogCycle(const enXml& root) const {
    std::string cycle;
    for (auto it = std::find(m_loadPath.begin(), m_loadPath.end(), &root); it != m_loadPath.end(); ++it) {
        cycle += (*it)->GetSourceName() + " -> ";
    }
    cycle += root.GetSourceName();
    CDebugLog::Instance().LogLevel(1, "Error: entity XML %s lists itself as a sub-entity: %s. Skipping.",
                                   root.GetSourceName().c_str(), cycle.c_str());
}

CEntity* gaEntityManager::CreateAndLoad(const enXml& root) {
    std::string classID = "CEntity";
    root.GetAttributeString("sClassID", classID);
    CEntity* entity = CreateEntityByClassID(classID);
    if (entity && !entity->LoadFromXml(root)) {
        delete entity;
        return nullptr;
    }
    return entity;
}

CEntity* gaEntityManager::CreateEntityByClassID(const std::string& classID) {
    if (classID.empty() || classID == "CEntity") {
        return new CEntity();
    }
    CDebugLog::Instance().Log("Failed to create entity by ClassID: \"%s\" -- unregistered ClassID.",
                              classID.c_str());
    return nullptr;
}
