#pragma once
// XML node: an element name, text attributes in document order and child elements. Documents
// are stored in the binary form and shared through the XML cache.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "resource/name_atom.h"
#include "resource/tm_tree.h"
#include "resource/xml_value.h"

// A name given as an atom or as text (interned on the way in).
class XmlName {
public:
    XmlName(const NameAtom* atom) : m_atom(atom) {}                 // NOLINT: implicit by design
    XmlName(std::string_view text) : m_atom(InternName(text)) {}    // NOLINT
    XmlName(const char* text) : m_atom(InternName(text)) {}         // NOLINT
    XmlName(const std::string& text) : m_atom(InternName(text)) {}  // NOLINT
    const NameAtom* Atom() const { return m_atom; }

private:
    const NameAtom* m_atom;
};

struct enXmlAttribute {
    const NameAtom* name;
    std::string value;
};

// The shared atom of the "Value" attribute that holds a property's text.
const NameAtom* ValueName();

class enXml : public tmTree<enXml> {
public:
    explicit enXml(XmlName name = EmptyName()) : m_name(name.Atom()) {}
    // A node with one first attribute.
    enXml(XmlName name, XmlName attributeName, std::string attributeValue);

    const NameAtom* GetName() const { return m_name; }
    void SetName(XmlName name) { m_name = name.Atom(); }
    const std::vector<enXmlAttribute>& Attributes() const { return m_attributes; }
    // Appends even when an attribute of that name exists; the first one wins on look-up.
    void AddAttribute(XmlName name, std::string value);
    void ReserveAttributes(std::size_t count) { m_attributes.reserve(count); }

    // Look-ups ignore ASCII case and return the first match.
    enXml* GetChild(XmlName name);
    const enXml* GetChild(XmlName name) const;
    enXml* AddNewChild(XmlName name);
    enXmlAttribute* FindAttribute(XmlName name);
    const enXmlAttribute* FindAttribute(XmlName name) const;

    // The "Name" attribute of the root above this node, or empty.
    std::string GetRootName() const;
    // The normalised path of the file the root was loaded from, or empty.
    const std::string& GetSourceName() const;
    void SetSourceName(std::string_view sourceName);

    std::unique_ptr<enXml> Clone() const;
    // Takes the other's name, attributes and (when it has one) source name, and appends deep
    // copies of its children after this node's own.
    void CopyFrom(const enXml& other);
    // A private copy of the cached document; false when it cannot be loaded.
    bool Load(std::string_view documentName);
    // Writes the subtree in the binary form to the path with "lbm" in place of its last three
    // characters; false when nothing was written.
    bool Save(std::string_view path) const;

    // Typed values kept as "Value" children: the getters leave the output untouched and return
    // false when the child or its "Value" is missing; the setters create what is missing.
    bool GetValueString(XmlName name, std::string& value) const;
    bool GetValueInt(XmlName name, std::int32_t& value) const;
    bool GetValueHex(XmlName name, std::uint32_t& value) const;
    bool GetValueFloat(XmlName name, float& value) const;
    bool GetValueVector(XmlName name, D3DXVECTOR3& value) const;
    bool GetValueBox(XmlName name, tXmlBox& value) const;
    bool GetValueBool(XmlName name, bool& value) const;
    bool GetValueBoolOr(XmlName name, bool fallback) const;
    void SetValueString(XmlName name, std::string_view value);
    void SetValueInt(XmlName name, std::int32_t value);
    void SetValueHex(XmlName name, std::uint32_t value);
    void SetValueFloat(XmlName name, float value);
    void SetValueVector(XmlName name, const D3DXVECTOR3& value);
    void SetValueBool(XmlName name, bool value);

    // The same types kept as attributes of this node.
    bool GetAttributeString(XmlName name, std::string& value) const;
    bool GetAttributeInt(XmlName name, std::int32_t& value) const;
    bool GetAttributeHex(XmlName name, std::uint32_t& value) const;
    bool GetAttributeFloat(XmlName name, float& value) const;
    bool GetAttributeVector(XmlName name, D3DXVECTOR3& value) const;
    bool GetAttributeBox(XmlName name, tXmlBox& value) const;
    bool GetAttributeBool(XmlName name, bool& value) const;
    void SetAttributeString(XmlName name, std::string_view value);
    void SetAttributeInt(XmlName name, std::int32_t value);
    void SetAttributeHex(XmlName name, std::uint32_t value);
    void SetAttributeFloat(XmlName name, float value);
    void SetAttributeVector(XmlName name, const D3DXVECTOR3& value);
    void SetAttributeBox(XmlName name, const tXmlBox& value);
    void SetAttributeBool(XmlName name, bool value);

private:
    const enXml& Root() const;
    void AppendCopiesOfChildren(const enXml& other);
    const std::string* ValueText(XmlName name) const;
    const std::string* AttributeText(XmlName name) const;
    void SetValueText(XmlName name, std::string text);
    void SetAttributeText(XmlName name, std::string text);

    std::vector<enXmlAttribute> m_attributes;
    const NameAtom* m_name;
    std::string m_sourceName;
};
