#pragma once
// One X-file in memory: the 16-byte header ("xof ", version, "txt "/"bin "/"tzip"/"bzip",
// "0032"/"0064"), the body decompressed when needed, then parsed with the templates known so far.

#include <cstdint>
#include <set>
#include <span>
#include <string>

#include "platform/dxfile/x_parser.h"

namespace dxfile {

// Decompressed bodies larger than this are refused.
constexpr std::size_t kMaxBodyBytes = std::size_t(256) << 20;

// Parses the bytes; templates the file declares are added to the set.
HRESULT ReadXFile(std::span<const std::uint8_t> bytes, TemplateNames& templates, XObjectList& topLevel);

}  // namespace dxfile
