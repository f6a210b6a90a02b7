#pragma once
// Typed objects from the values of a data object, read in the layout of the standard
// templates. Counts are checked against the values present before anything is sized by them.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dxfile/x_data.h"

namespace dxfile {

// The type a template name stands for, when it is one the reader keeps.
std::optional<XDataType> KnownDataType(std::string_view templateName);

struct XRawValues {
    std::vector<double> numbers;
    std::vector<std::string> strings;
};

// Null when the values do not fit the type's layout.
std::shared_ptr<XDataObject> BuildDataObject(XDataType type, std::string name, const XRawValues& values);

}  // namespace dxfile
