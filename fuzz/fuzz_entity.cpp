// Entity documents from hostile bytes: whatever tree the binary form yields, loading an
// entity from it and ticking it must neither crash nor leak.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/global_options.h"
#include "resource/xml_bml_converter.h"

namespace {

// The input is a document body: the check value is added here, so that mutations reach the
// entity loader instead of failing the check.
std::vector<std::uint8_t> WithCheckValue(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    const auto [first, second] = CXmlBmlConverter::CheckValue(bytes);
    for (const std::uint32_t word : {first, second}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(word >> shift));
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Levelled log entries would only slow the run down.
    CGlobalOptions::Instance().iDebugInfoLevel = 0;
    const auto root = CXmlBmlConverter::FromBinary(WithCheckValue(data, size));
    if (!root) {
        return 0;
    }
    enEntityManager& manager = enEntityManager::Instance();
    auto* entity = new CEntity();
    if (!entity->LoadFromXml(*root)) {
        delete entity;
    }
    manager.Tick();
    manager.Tick();
    manager.DeleteAllEntities();
    return 0;
}
