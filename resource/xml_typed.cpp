// The typed value accessors of enXml over two storage places: a "Value" child or an attribute
// of the node itself. Each reads and writes through the value's own typed form.
#include "resource/xml.h"

namespace {

template <typename T, typename Read>
bool ReadInto(const enXmlValue* stored, T& value, Read read) {
    if (!stored) {
        return false;
    }
    read(*stored, value);
    return true;
}

void AsString(const enXmlValue& stored, std::string& value) {
    value = stored.View();
}
void AsInt(const enXmlValue& stored, std::int32_t& value) {
    value = stored.ReadInt();
}
void AsHex(const enXmlValue& stored, std::uint32_t& value) {
    stored.ReadHex(value);
}
void AsFloat(const enXmlValue& stored, float& value) {
    value = stored.ReadFloat();
}
void AsVector(const enXmlValue& stored, D3DXVECTOR3& value) {
    stored.ReadVector(value);
}
void AsBox(const enXmlValue& stored, tXmlBox& value) {
    stored.ReadBox(value);
}
void AsBool(const enXmlValue& stored, bool& value) {
    value = stored.ReadBool();
}

}  // namespace

const enXmlValue* enXml::ValueOf(XmlName name) const {
    const enXml* child = GetChild(name);
    const enXmlAttribute* value = child ? child->FindAttribute(ValueName()) : nullptr;
    return value ? &value->value : nullptr;
}

const enXmlValue* enXml::AttributeOf(XmlName name) const {
    const enXmlAttribute* attribute = FindAttribute(name);
    return attribute ? &attribute->value : nullptr;
}

enXmlValue& enXml::ValueSlot(XmlName name) {
    enXml* child = GetChild(name);
    if (!child) {
        child = AddNewChild(name);
    }
    return child->AttributeSlot(ValueName());
}

enXmlValue& enXml::AttributeSlot(XmlName name) {
    if (enXmlAttribute* attribute = FindAttribute(name)) {
        return attribute->value;
    }
    return AddAttribute(name, {});
}

bool enXml::GetValueString(XmlName name, std::string& value) const {
    return ReadInto(ValueOf(name), value, AsString);
}
bool enXml::GetValueInt(XmlName name, std::int32_t& value) const {
    return ReadInto(ValueOf(name), value, AsInt);
}
bool enXml::GetValueHex(XmlName name, std::uint32_t& value) const {
    return ReadInto(ValueOf(name), value, AsHex);
}
bool enXml::GetValueFloat(XmlName name, float& value) const {
    return ReadInto(ValueOf(name), value, AsFloat);
}
bool enXml::GetValueVector(XmlName name, D3DXVECTOR3& value) const {
    return ReadInto(ValueOf(name), value, AsVector);
}
bool enXml::GetValueBox(XmlName name, tXmlBox& value) const {
    return ReadInto(ValueOf(name), value, AsBox);
}
bool enXml::GetValueBool(XmlName name, bool& value) const {
    return ReadInto(ValueOf(name), value, AsBool);
}

bool enXml::GetValueBoolOr(XmlName name, bool fallback) const {
    GetValueBool(name, fallback);
    return fallback;
}

void enXml::SetValueString(XmlName name, std::string_view value) {
    ValueSlot(name).SetText(value);
}
void enXml::SetValueInt(XmlName name, std::int32_t value) {
    ValueSlot(name).SetInt(value);
}
void enXml::SetValueHex(XmlName name, std::uint32_t value) {
    ValueSlot(name).SetHex(value);
}
void enXml::SetValueFloat(XmlName name, float value) {
    ValueSlot(name).SetFloat(value);
}
void enXml::SetValueVector(XmlName name, const D3DXVECTOR3& value) {
    ValueSlot(name).SetVector(value);
}
void enXml::SetValueBool(XmlName name, bool value) {
    ValueSlot(name).SetBool(value);
}

bool enXml::GetAttributeString(XmlName name, std::string& value) const {
    return ReadInto(AttributeOf(name), value, AsString);
}
bool enXml::GetAttributeInt(XmlName name, std::int32_t& value) const {
    return ReadInto(AttributeOf(name), value, AsInt);
}
bool enXml::GetAttributeHex(XmlName name, std::uint32_t& value) const {
    return ReadInto(AttributeOf(name), value, AsHex);
}
bool enXml::GetAttributeFloat(XmlName name, float& value) const {
    return ReadInto(AttributeOf(name), value, AsFloat);
}
bool enXml::GetAttributeVector(XmlName name, D3DXVECTOR3& value) const {
    return ReadInto(AttributeOf(name), value, AsVector);
}
bool enXml::GetAttributeBox(XmlName name, tXmlBox& value) const {
    return ReadInto(AttributeOf(name), value, AsBox);
}
bool enXml::GetAttributeBool(XmlName name, bool& value) const {
    return ReadInto(AttributeOf(name), value, AsBool);
}

void enXml::SetAttributeString(XmlName name, std::string_view value) {
    AttributeSlot(name).SetText(value);
}
void enXml::SetAttributeInt(XmlName name, std::int32_t value) {
    AttributeSlot(name).SetInt(value);
}
void enXml::SetAttributeHex(XmlName name, std::uint32_t value) {
    AttributeSlot(name).SetHex(value);
}
void enXml::SetAttributeFloat(XmlName name, float value) {
    AttributeSlot(name).SetFloat(value);
}
void enXml::SetAttributeVector(XmlName name, const D3DXVECTOR3& value) {
    AttributeSlot(name).SetVector(value);
}
void enXml::SetAttributeBox(XmlName name, const tXmlBox& value) {
    AttributeSlot(name).SetBox(value);
}
void enXml::SetAttributeBool(XmlName name, bool value) {
    AttributeSlot(name).SetBool(value);
}
