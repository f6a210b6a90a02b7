#include "engine/broker.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<std::string_view> SplitSegments(std::string_view groupPath) {
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start < groupPath.size()) {
        const std::size_t end = std::min(groupPath.find_first_of("\\/", start), groupPath.size());
        if (end > start) {
            segments.push_back(groupPath.substr(start, end - start));
        }
        start = end + 1;
    }
    return segments;
}

}  // namespace

CBroker::CBroker() : enXml("Broker") {}

enXml* CBroker::GetNode(std::string_view groupPath, bool create) {
    enXml* node = this;
    for (std::string_view segment : SplitSegments(groupPath)) {
        enXml* child = node->GetChild(segment);
        if (!child) {
            if (!create) {
                return nullptr;
            }
            child = node->AddNewChild(segment);
        }
        node = child;
    }
    return node;
}

bool CBroker::SplitValuePath(std::string_view path, std::string_view& groupPath, std::string_view& leaf) {
    const std::size_t separator = path.find_last_of("\\/");
    if (path.empty() || separator == 0 ||
        (separator != std::string_view::npos && separator + 1 == path.size())) {
        return false;
    }
    if (separator == std::string_view::npos) {
        groupPath = {};
        leaf = path;
    } else {
        groupPath = path.substr(0, separator);
        leaf = path.substr(separator + 1);
    }
    return true;
}

enXml* CBroker::FindValueGroup(std::string_view path, std::string_view& leaf) {
    std::string_view groupPath;
    return SplitValuePath(path, groupPath, leaf) ? GetNode(groupPath, false) : nullptr;
}

enXml* CBroker::MakeValueGroup(std::string_view path, std::string_view& leaf) {
    std::string_view groupPath;
    return SplitValuePath(path, groupPath, leaf) ? GetNode(groupPath, true) : nullptr;
}

template <class Value>
bool CBroker::GetValue(std::string_view path, Value& value, bool (enXml::*getter)(XmlName, Value&) const) {
    std::string_view leaf;
    const enXml* group = FindValueGroup(path, leaf);
    return group && (group->*getter)(leaf, value);
}

template <class Value>
bool CBroker::SetValue(std::string_view path, Value value, void (enXml::*setter)(XmlName, Value)) {
    std::string_view leaf;
    enXml* group = MakeValueGroup(path, leaf);
    if (!group) {
        return false;
    }
    (group->*setter)(leaf, value);
    return true;
}

bool CBroker::GetString(std::string_view path, std::string& value) {
    return GetValue(path, value, &enXml::GetValueString);
}

bool CBroker::GetFloat(std::string_view path, float& value) {
    return GetValue(path, value, &enXml::GetValueFloat);
}

bool CBroker::GetInt(std::string_view path, std::int32_t& value) {
    return GetValue(path, value, &enXml::GetValueInt);
}

bool CBroker::GetBool(std::string_view path, bool& value) {
    return GetValue(path, value, &enXml::GetValueBool);
}

bool CBroker::SetString(std::string_view path, std::string_view value) {
    return SetValue(path, value, &enXml::SetValueString);
}

bool CBroker::SetFloat(std::string_view path, float value) {
    return SetValue(path, value, &enXml::SetValueFloat);
}
