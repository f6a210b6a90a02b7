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

bool CBroker::GetString(std::string_view path, std::string& value) {
    std::string_view leaf;
    const enXml* group = FindValueGroup(path, leaf);
    return group && group->GetValueString(leaf, value);
}

bool CBroker::GetFloat(std::string_view path, float& value) {
    std::string_view leaf;
    const enXml* group = FindValueGroup(path, leaf);
    return group && group->GetValueFloat(leaf, value);
}

bool CBroker::GetInt(std::string_view path, std::int32_t& value) {
    std::string_view leaf;
    const enXml* group = FindValueGroup(path, leaf);
    return group && group->GetValueInt(leaf, value);
}

bool CBroker::GetBool(std::string_view path, bool& value) {
    std::string_view leaf;
    const enXml* group = FindValueGroup(path, leaf);
    return group && group->GetValueBool(leaf, value);
}

bool CBroker::SetString(std::string_view path, std::string_view value) {
    std::string_view leaf;
    enXml* group = MakeValueGroup(path, leaf);
    if (!group) {
        return false;
    }
    group->SetValueString(leaf, value);
    return true;
}

bool CBroker::SetFloat(std::string_view path, float value) {
    std::string_view leaf;
    enXml* group = MakeValueGroup(path, leaf);
    if (!group) {
        return false;
    }
    group->SetValueFloat(leaf, value);
    return true;
}
