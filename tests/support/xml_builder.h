#pragma once
// Building small XML documents in tests and storing them in their binary form.

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "resource/xml.h"

namespace zumbo::test {

using Attributes = std::initializer_list<std::pair<const char*, std::string>>;

// Appends an element with the attributes, in order.
inline enXml& AddElement(enXml& parent, const char* name, Attributes attributes = {}) {
    enXml* element = parent.AddNewChild(name);
    for (const auto& [attributeName, value] : attributes) {
        element->AddAttribute(attributeName, value);
    }
    return *element;
}

// Appends a property in its child form.
inline enXml& AddValue(enXml& parent, const char* name, const std::string& value) {
    return AddElement(parent, name, {{"Value", value}});
}

inline std::unique_ptr<enXml> MakeRoot(const char* name, Attributes attributes = {}) {
    auto root = std::make_unique<enXml>(name);
    for (const auto& [attributeName, value] : attributes) {
        root->AddAttribute(attributeName, value);
    }
    return root;
}

// Stores the document (as .lbm) at the relative Windows-style path below a host folder.
inline bool SaveBelow(const enXml& root, const std::filesystem::path& folder, const std::string& relative) {
    std::string windowsFolder = folder.string();
    std::replace(windowsFolder.begin(), windowsFolder.end(), '/', '\\');
    return root.Save("Z:" + windowsFolder + "\\" + relative);
}

// Stores "<folder>Entities\\<name>.xml" (as .lbm): an entity of that name with an empty AIList.
inline bool SaveEntityDocument(const std::string& windowsFolder, const std::string& name) {
    auto entity = MakeRoot("Entity", {{"Name", name}});
    entity->AddNewChild("AIList");
    return entity->Save(windowsFolder + "Entities\\" + name + ".xml");
}

}  // namespace zumbo::test
