#pragma once
// XML node: an element name, text attributes in document order and child elements. Documents
// are stored in the binary form and shared through the XML cache.
//
// A document read from the binary form lives in an arena: its nodes, attribute arrays and texts
// are carved from blocks that are freed at once when the last owner goes. Deleting a node of it
// destroys the node but leaves its memory to the arena; a node taken out of the tree, or moved
// into another one, keeps the arena alive until it is deleted itself.

#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "resource/name_atom.h"
#include "resource/tm_tree.h"
#include "resource/xml_attribute_value.h"
#include "resource/xml_value.h"

class CXmlArena;

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
    enXmlValue value;
};

// The shared atom of the "Value" attribute that holds a property's text.
const NameAtom* ValueName();

class enXml : public tmTree<enXml> {
public:
    explicit enXml(XmlName name = EmptyName()) : m_name(name.Atom()) {}
    // A node with one first attribute.
    enXml(XmlName name, XmlName attributeName, std::string_view attributeValue);
    ~enXml() override;

    // Destroys the node; its memory goes back to the heap, or stays with its arena.
    void operator delete(enXml* node, std::destroying_delete_t);

    // A node of a document being read, with no owner yet: nodes are linked below a root, and
    // OwnArenaDocument hands the arena's first reference to that root.
    static enXml* NewInArena(CXmlArena& arena, const NameAtom* name);
    static std::unique_ptr<enXml> OwnArenaDocument(enXml* root);
    CXmlArena* Arena() const { return m_arena; }

    // The tree operations, keeping the arena alive for nodes that leave their document.
    bool AddChild(enXml* child);
    bool RemoveChild(enXml* child);

    const NameAtom* GetName() const { return m_name; }
    void SetName(XmlName name) { m_name = name.Atom(); }
    std::span<const enXmlAttribute> Attributes() const { return {m_attributes, m_attributeCount}; }
    // Appends even when an attribute of that name exists; the first one wins on look-up.
    enXmlValue& AddAttribute(XmlName name, std::string_view value);
    void ReserveAttributes(std::size_t count);

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
    enXml(const NameAtom* name, CXmlArena* arena) : m_name(name), m_arena(arena) {}

    const enXml& Root() const;
    void AppendCopiesOfChildren(const enXml& other);
    void CopyAttributesFrom(const enXml& other);
    void ClearAttributes();
    enXmlAttribute* InlineAttribute() { return reinterpret_cast<enXmlAttribute*>(m_inlineAttribute); }
    const enXmlValue* ValueOf(XmlName name) const;
    const enXmlValue* AttributeOf(XmlName name) const;
    // The "Value" of the named child, or the named attribute, made when missing.
    enXmlValue& ValueSlot(XmlName name);
    enXmlValue& AttributeSlot(XmlName name);

    // Ownership within arenas: a node of an arena holds a reference to it unless its parent
    // is a node of the same arena.
    void OnParentChanged();
    bool NeedsDestruction() const;
    void MarkSubtreeNeedsDestruction();

    enXmlAttribute* m_attributes = InlineAttribute();
    std::uint32_t m_attributeCount = 0;
    std::uint32_t m_attributeCapacity = 1;
    const NameAtom* m_name;
    CXmlArena* m_arena = nullptr;
    std::unique_ptr<std::string> m_sourceName;
    bool m_holdsArenaReference = false;
    // Set on a node of an arena when something below it needs its destructor to run; a node
    // without it leaves its whole subtree to the arena.
    bool m_subtreeNeedsDestruction = false;
    alignas(enXmlAttribute) unsigned char m_inlineAttribute[sizeof(enXmlAttribute)];
};
