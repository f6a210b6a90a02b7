#include "resource/xml.h"

#include <new>
#include <utility>
#include <vector>

#include "platform/win32/files.h"
#include "resource/xml_arena.h"
#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"

const NameAtom* ValueName() {
    static const NameAtom* const value = InternName("Value");
    return value;
}

enXml::enXml(XmlName name, XmlName attributeName, std::string_view attributeValue) : m_name(name.Atom()) {
    AddAttribute(attributeName, attributeValue);
}

enXml::~enXml() {
    if (m_arena && !m_subtreeNeedsDestruction) {
        ForgetChildren();
    }
    ClearAttributes();
    if (m_attributes != InlineAttribute() && !m_arena) {
        ::operator delete(m_attributes);
    }
}

void enXml::operator delete(enXml* node, std::destroying_delete_t) {
    CXmlArena* arena = node->m_arena;
    const bool holdsReference = node->m_holdsArenaReference;
    void* memory = dynamic_cast<void*>(node);
    node->~enXml();
    if (!arena) {
        ::operator delete(memory);
    } else if (holdsReference) {
        arena->Release();
    }
}

enXml* enXml::NewInArena(CXmlArena& arena, const NameAtom* name) {
    return new (arena.Allocate(sizeof(enXml), alignof(enXml))) enXml(name, &arena);
}

std::unique_ptr<enXml> enXml::OwnArenaDocument(enXml* root) {
    root->m_holdsArenaReference = true;
    return std::unique_ptr<enXml>(root);
}

bool enXml::AddChild(enXml* child) {
    if (!tmTree::AddChild(child)) {
        return false;
    }
    child->OnParentChanged();
    return true;
}

bool enXml::RemoveChild(enXml* child) {
    if (!tmTree::RemoveChild(child)) {
        return false;
    }
    child->OnParentChanged();
    return true;
}

void enXml::OnParentChanged() {
    enXml* parent = Parent();
    if (m_arena) {
        // A parent of the same arena lives only while another owner keeps the arena.
        const bool keptByParent = parent && parent->m_arena == m_arena;
        if (!keptByParent && !m_holdsArenaReference) {
            m_arena->AddReference();
            m_holdsArenaReference = true;
        } else if (keptByParent && m_holdsArenaReference) {
            m_holdsArenaReference = false;
            m_arena->Release();
        }
    }
    if (parent && NeedsDestruction()) {
        parent->MarkSubtreeNeedsDestruction();
    }
}

bool enXml::NeedsDestruction() const {
    return !m_arena || m_holdsArenaReference || m_sourceName || m_subtreeNeedsDestruction;
}

void enXml::MarkSubtreeNeedsDestruction() {
    for (enXml* node = this; node && node->m_arena && !node->m_subtreeNeedsDestruction;
         node = node->Parent()) {
        node->m_subtreeNeedsDestruction = true;
    }
}

enXmlValue& enXml::AddAttribute(XmlName name, std::string_view value) {
    if (m_attributeCount == m_attributeCapacity) {
        ReserveAttributes(m_attributeCapacity * 2);
    }
    enXmlAttribute* attribute =
        new (m_attributes + m_attributeCount) enXmlAttribute{name.Atom(), enXmlValue(m_arena)};
    ++m_attributeCount;
    attribute->value.SetText(value);
    return attribute->value;
}

void enXml::ReserveAttributes(std::size_t count) {
    if (count <= m_attributeCapacity) {
        return;
    }
    const std::size_t bytes = count * sizeof(enXmlAttribute);
    void* memory = m_arena ? m_arena->Allocate(bytes, alignof(enXmlAttribute)) : ::operator new(bytes);
    auto* attributes = static_cast<enXmlAttribute*>(memory);
    for (std::uint32_t i = 0; i < m_attributeCount; ++i) {
        new (attributes + i) enXmlAttribute{m_attributes[i].name, std::move(m_attributes[i].value)};
        m_attributes[i].~enXmlAttribute();
    }
    if (m_attributes != InlineAttribute() && !m_arena) {
        ::operator delete(m_attributes);
    }
    m_attributes = attributes;
    m_attributeCapacity = static_cast<std::uint32_t>(count);
}

void enXml::ClearAttributes() {
    // Values of an arena keep their texts in it, so they have nothing to free.
    if (!m_arena) {
        for (std::uint32_t i = 0; i < m_attributeCount; ++i) {
            m_attributes[i].~enXmlAttribute();
        }
    }
    m_attributeCount = 0;
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
    for (const enXmlAttribute& attribute : Attributes()) {
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
    return name ? std::string(name->value.View()) : std::string();
}

const std::string& enXml::GetSourceName() const {
    static const std::string none;
    const enXml& root = Root();
    return root.m_sourceName ? *root.m_sourceName : none;
}

void enXml::SetSourceName(std::string_view sourceName) {
    const_cast<enXml&>(Root()).m_sourceName = std::make_unique<std::string>(sourceName);
}

std::unique_ptr<enXml> enXml::Clone() const {
    auto copy = std::make_unique<enXml>(m_name);
    copy->CopyAttributesFrom(*this);
    if (m_sourceName) {
        copy->m_sourceName = std::make_unique<std::string>(*m_sourceName);
    }
    copy->AppendCopiesOfChildren(*this);
    return copy;
}

void enXml::CopyFrom(const enXml& other) {
    if (&other != this) {
        CopyAttributesFrom(other);
        m_name = other.m_name;
        if (other.m_sourceName && !other.m_sourceName->empty()) {
            m_sourceName = std::make_unique<std::string>(*other.m_sourceName);
        }
    }
    AppendCopiesOfChildren(other);
}

void enXml::CopyAttributesFrom(const enXml& other) {
    ClearAttributes();
    ReserveAttributes(other.m_attributeCount);
    for (const enXmlAttribute& attribute : other.Attributes()) {
        AddAttribute(attribute.name, {}) = attribute.value;
    }
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
