#include "engine/ai_factory.h"

#include <string>
#include <vector>

#include "app/debug_log.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

using CreateFunction = std::unique_ptr<C_AI> (*)(const enXml& element);

struct tAIClass {
    std::string_view name;
    CreateFunction create;
};

template <class Component>
std::unique_ptr<C_AI> Create(const enXml& element) {
    return std::make_unique<Component>(element);
}

// Every component class adds its row here when it is built; names compare exactly.
const std::vector<tAIClass>& RegisteredClasses() {
    static const std::vector<tAIClass> classes = {};
    return classes;
}

const tAIClass* FindClass(std::string_view name) {
    for (const tAIClass& entry : RegisteredClasses()) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

void ReportUnregistered(const std::string& name, const CEntity* owner) {
    if (owner) {
        CDebugLog::Instance().Log(
            "Failed to create AI by name: \"%s\" -- unregistered class name (for the entity \"%s\").",
            name.c_str(), owner->GetName().c_str());
    } else {
        CDebugLog::Instance().Log("Failed to create AI by name: \"%s\" -- unregistered class name.",
                                  name.c_str());
    }
}

}  // namespace

bool IsRegisteredAI(std::string_view className) {
    return FindClass(className) != nullptr;
}

std::unique_ptr<C_AI> CreateAI(const enXml* element, CEntity* owner) {
    if (!element) {
        return nullptr;
    }
    std::string name;
    if (!element->GetAttributeString(InternName("Name"), name) || name.empty()) {
        return nullptr;
    }
    const tAIClass* entry = FindClass(name);
    std::unique_ptr<C_AI> component = entry ? entry->create(*element) : nullptr;
    if (!component) {
        ReportUnregistered(name, owner);
        return nullptr;
    }
    component->SetOwner(owner);
    return component;
}
