// Binary XML reader: arbitrary bytes as a whole file, and the same bytes as a body behind a
// valid check value (so the fuzzer reaches the element records). A document that reads must
// encode and read again.
#include <cstdint>
#include <vector>

#include "resource/xml_bml_converter.h"

namespace {
void ReadAndReencode(std::span<const std::uint8_t> bytes) {
    std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(bytes);
    if (!root) {
        return;
    }
    CXmlBmlConverter converter;
    if (!converter.ToBinary(*root) || !CXmlBmlConverter::FromBinary(converter.Buffer())) {
        __builtin_trap();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadAndReencode({data, size});
    std::vector<std::uint8_t> body(data, data + size);
    const auto [first, second] = CXmlBmlConverter::CheckValue(body);
    for (const std::uint32_t word : {first, second}) {
        for (int shift = 0; shift < 32; shift += 8) {
            body.push_back(static_cast<std::uint8_t>(word >> shift));
        }
    }
    ReadAndReencode(body);
    return 0;
}
