#include "app/scene_loader.h"

#include "app/debug_log.h"
#include "app/resource_ids.h"
#include "engine/entity_manager.h"
#include "engine/messages_broker.h"
#include "platform/win32/window.h"
#include "resource/paths.h"
#include "resource/xml.h"
#include "resource/xml_cache.h"

namespace {

void CreateSceneEntity(const enXml& element, const std::string& programFolder) {
    std::string value;
    if (element.GetAttributeString("FileName", value)) {
        enEntityManager::Instance().CreateEntityFromFile(programFolder + "\\Entities\\" + value);
    } else if (element.GetAttributeString("Name", value)) {
        enEntityManager::Instance().CreateEntityByName(value);
    }
}

}  // namespace

CSceneLoader::CSceneLoader() : CSceneLoader(GetProgramFolder()) {}

CSceneLoader::CSceneLoader(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

bool CSceneLoader::LoadScene(const std::string& sceneFileName) {
    CDebugLog::Instance().LogLevel(2, "Load scene: %s.", sceneFileName.c_str());
    const enXml* root = XmlCache::Instance().Load(m_programFolder + "\\Scenes\\" + sceneFileName);
    if (!root) {
        return false;
    }
    const enXml* entities = root->GetChild("AllEntities");
    if (!entities) {
        CDebugLog::Instance().LogLevel(
            3, "Warning: Scene %s does not contain entities -- tag AllEntities not found.",
            sceneFileName.c_str());
        return true;
    }
    for (const enXml* element = entities->FirstChild(); element; element = element->NextSibling()) {
        if (element->GetName()->Matches(*InternName("Entity"))) {
            CreateSceneEntity(*element, m_programFolder);
        }
    }
    return true;
}

bool CSceneLoader::ResetScene(const std::string& /*argument*/) {
    CDebugLog::Instance().LogLevel(2, "Reset scene.");
    enEntityManager::Instance().DeleteAllEntities();
    return true;
}

void CSceneLoader::Tick() {
    for (const tMessage& message : CMessagesBroker::Instance().GetCurrentMessages()) {
        switch (message.code) {
            case kMessageResetScene:
                ResetScene(message.argument);
                break;
            case kMessageLoadScene:
                LoadScene(message.argument);
                break;
            case kMessageExitApplication:
                win32::PostMessage(m_mainWindow, win32::WM_COMMAND, IDM_EXIT, 0);
                break;
            default:
                break;
        }
    }
}
