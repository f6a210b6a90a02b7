// The typed value accessors of enXml: each type's text form over two storage places, a
// "Value" child or an attribute of the node itself.
#include "resource/xml.h"

namespace {

template <typename T, typename Parse>
bool Read(const std::string* text, T& value, Parse parse) {
    if (!text) {
        return false;
    }
    parse(*text, value);
    return true;
}

void AsString(const std::string& text, std::string& value) {
    value = text;
}
void AsInt(const std::string& text, std::int32_t& value) {
    value = ParseXmlInt(text);
}
void AsFloat(const std::string& text, float& value) {
    value = ParseXmlFloat(text);
}
void AsBool(const std::string& text, bool& value) {
    value = ParseXmlBool(text);
}

}  // namespace

const std::string* enXml::ValueText(XmlName name) const {
    const enXml* child = GetChild(name);
    const enXmlAttribute* value = child ? child->FindAttribute(ValueName()) : nullptr;
    return value ? &value->value : nullptr;
}

const std::string* enXml::AttributeText(XmlName name) const {
    const enXmlAttribute* attribute = FindAttribute(name);
    return attribute ? &attribute->value : nullptr;
}

void enXml::SetValueText(XmlName name, std::string text) {
    enXml* child = GetChild(name);
    if (!child) {
        child = AddNewChild(name);
    }
    child->SetAttributeText(ValueName(), std::move(text));
}

void enXml::SetAttributeText(XmlName name, std::string text) {
    if (enXmlAttribute* attribute = FindAttribute(name)) {
        attribute->value = std::move(text);
    } else {
        AddAttribute(name, std::move(text));
    }
}

bool enXml::GetValueString(XmlName name, std::string& value) const {
    return Read(ValueText(name), value, AsString);
}
bool enXml::GetValueInt(XmlName name, std::int32_t& value) const {
    return Read(ValueText(name), value, AsInt);
}
bool enXml::GetValueHex(XmlName name, std::uint32_t& value) const {
    return Read(ValueText(name), value, ParseXmlHex);
}
bool enXml::GetValueFloat(XmlName name, float& value) const {
    return Read(ValueText(name), value, AsFloat);
}
bool enXml::GetValueVector(XmlName name, D3DXVECTOR3& value) const {
    return Read(ValueText(name), value, ParseXmlVector);
}
bool enXml::GetValueBox(XmlName name, tXmlBox& value) const {
    return Read(ValueText(name), value, ParseXmlBox);
}
bool enXml::GetValueBool(XmlName name, bool& value) const {
    return Read(ValueText(name), value, AsBool);
}

bool enXml::GetValueBoolOr(XmlName name, bool fallback) const {
    GetValueBool(name, fallback);
    return fallback;
}

void enXml::SetValueString(XmlName name, std::string_view value) {
    SetValueText(name, std::string(value));
}
void enXml::SetValueInt(XmlName name, std::int32_t value) {
    SetValueText(name, FormatXmlInt(value));
}
void enXml::SetValueHex(XmlName name, std::uint32_t value) {
    SetValueText(name, FormatXmlHex(value));
}
void enXml::SetValueFloat(XmlName name, float value) {
    SetValueText(name, FormatXmlFloat(value));
}
void enXml::SetValueVector(XmlName name, const D3DXVECTOR3& value) {
    SetValueText(name, FormatXmlVector(value));
}
void enXml::SetValueBool(XmlName name, bool value) {
    SetValueText(name, FormatXmlBool(value));
}

bool enXml::GetAttributeString(XmlName name, std::string& value) const {
    return Read(AttributeText(name), value, AsString);
}
bool enXml::GetAttributeInt(XmlName name, std::int32_t& value) const {
    return Read(AttributeText(name), value, AsInt);
}
bool enXml::GetAttributeHex(XmlName name, std::uint32_t& value) const {
    return Read(AttributeText(name), value, ParseXmlHex);
}
bool enXml::GetAttributeFloat(XmlName name, float& value) const {
    return Read(AttributeText(name), value, AsFloat);
}
bool enXml::GetAttributeVector(XmlName name, D3DXVECTOR3& value) const {
    return Read(AttributeText(name), value, ParseXmlVector);
}
bool enXml::GetAttributeBox(XmlName name, tXmlBox& value) const {
    return Read(AttributeText(name), value, ParseXmlBox);
}
bool enXml::GetAttributeBool(XmlName name, bool& value) const {
    return Read(AttributeText(name), value, AsBool);
}

void enXml::SetAttributeString(XmlName name, std::string_view value) {
    SetAttributeText(name, std::string(value));
}
void enXml::SetAttributeInt(XmlName name, std::int32_t value) {
    SetAttributeText(name, FormatXmlInt(value));
}
void enXml::SetAttributeHex(XmlName name, std::uint32_t value) {
    SetAttributeText(name, FormatXmlHex(value));
}
void enXml::SetAttributeFloat(XmlName name, float value) {
    SetAttributeText(name, FormatXmlFloat(value));
}
void enXml::SetAttributeVector(XmlName name, const D3DXVECTOR3& value) {
    SetAttributeText(name, FormatXmlVector(value));
}
void enXml::SetAttributeBox(XmlName name, const tXmlBox& value) {
    SetAttributeText(name, FormatXmlBox(value));
}
void enXml::SetAttributeBool(XmlName name, bool value) {
    SetAttributeText(name, FormatXmlBool(value));
}
