#include "resource/xml.h"

#include <utility>

#include "platform/win32/files.h"
#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"

const NameAtom* ValueName() {
    static const NameAtom* const value = InternName("Value");
    return value;
}

enXml::enXml(XmlName name, XmlName attributeName, std::string attributeValue) : m_name(name.Atom()) {
    AddAttribute(attributeName, std::move(attributeValue));
}

void enXml::AddAttribute(XmlName name, std::string value) {
    m_attributes.push_back({name.Atom(), std::move(value)});
}

enXml* enXml::GetChild(XmlName name) {
    return const_cast<enXml*>(std::as_const(*this).GetChild(name));
}

const enXml* enXml::GetChild(XmlName name) const {
    for (const enXml* child = FirstChild(); child; child = child->NextSibling()) {
        if (child->m_name->Matches(*name.Atom())) {
            return child;
        }
    }
    return nullptr;
}

enXml* enXml::AddNewChild(XmlName name) {
    auto* child = new enXml(name);
    AddChild(child);
    return child;
}

enXmlAttribute* enXml::FindAttribute(XmlName name) {
    return const_cast<enXmlAttribute*>(std::as_const(*this).FindAttribute(name));
}

const enXmlAttribute* enXml::FindAttribute(XmlName name) const {
    for (const enXmlAttribute& attribute : m_attributes) {
        if (attribute.name->Matches(*name.Atom())) {
            return &attribute;
        }
    }
    return nullptr;
}

const enXml& enXml::Root() const {
    const enXml* node = this;
    while (node->Parent()) {
        node = node->Parent();
    }
    return *node;
}

std::string enXml::GetRootName() const {
    const enXmlAttribute* name = Root().FindAttribute("Name");
    return name ? name->value : std::string();
}

const std::string& enXml::GetSourceName() const {
    return Root().m_sourceName;
}

void enXml::SetSourceName(std::string_view sourceName) {
    const_cast<enXml&>(Root()).m_sourceName = std::string(sourceName);
}

std::unique_ptr<enXml> enXml::Clone() const {
    auto copy = std::make_unique<enXml>(m_name);
    copy->m_attributes = m_attributes;
    copy->m_sourceName = m_sourceName;
    copy->AppendCopiesOfChildren(*this);
    return copy;
}

void enXml::CopyFrom(const enXml& other) {
    m_attributes = other.m_attributes;
    m_name = other.m_name;
    if (!other.m_sourceName.empty()) {
        m_sourceName = other.m_sourceName;
    }
    AppendCopiesOfChildren(other);
}

void enXml::AppendCopiesOfChildren(const enXml& other) {
    // Copied before appending, so that copying a node into itself terminates.
    std::vector<std::unique_ptr<enXml>> copies;
    for (const enXml* child = other.FirstChild(); child; child = child->NextSibling()) {
        copies.push_back(child->Clone());
    }
    for (auto& copy : copies) {
        AddChild(copy.release());
    }
}

bool enXml::Load(std::string_view documentName) {
    const enXml* document = XmlCache::Instance().Load(documentName);
    if (!document) {
        return false;
    }
    CopyFrom(*document);
    return true;
}

bool enXml::Save(std::string_view path) const {
    if (path.size() < 3) {
        return false;
    }
    CXmlBmlConverter converter;
    return converter.ToBinary(*this) &&
           win32::WriteFileAtomic(ReplaceXmlExtension(path),
                                  std::span<const std::uint8_t>(converter.Buffer()));
}
