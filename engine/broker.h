#pragma once
// The process-wide tree of named text values through which parts that do not know each other
// exchange state. Paths such as "Mouse\fXPosition" use '\' or '/' between groups; the last
// segment names the value. Names compare without regard to ASCII case.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/singleton.h"
#include "resource/xml.h"

class CBroker : public enXml, public tmSingleton<CBroker> {
public:
    CBroker();

    // The group the path names (the broker itself for an empty path); with create false, null
    // when a segment is missing, with create true the missing groups are appended.
    enXml* GetNode(std::string_view groupPath, bool create);

    // True with the output set when the path is well formed, its groups exist and the leaf
    // holds a value; otherwise false and the output untouched. Nothing is created.
    bool GetString(std::string_view path, std::string& value);
    bool GetFloat(std::string_view path, float& value);
    bool GetInt(std::string_view path, std::int32_t& value);
    bool GetBool(std::string_view path, bool& value);

    // False for a malformed path; otherwise creates what is missing and stores the text.
    bool SetString(std::string_view path, std::string_view value);
    bool SetFloat(std::string_view path, float value);

private:
    // The group path and leaf name of a value path; false when the path is malformed.
    static bool SplitValuePath(std::string_view path, std::string_view& groupPath, std::string_view& leaf);
    // The group that holds the path's leaf, or null.
    enXml* FindValueGroup(std::string_view path, std::string_view& leaf);
    enXml* MakeValueGroup(std::string_view path, std::string_view& leaf);
    template <class Value>
    bool GetValue(std::string_view path, Value& value, bool (enXml::*getter)(XmlName, Value&) const);
    template <class Value>
    bool SetValue(std::string_view path, Value value, void (enXml::*setter)(XmlName, Value));
};
