#include "platform/d3d8/state_block.h"

namespace d3d8 {

void StateBlock::Capture(const DeviceState& state) {
    for (StateCommand& command : m_commands) {
        state.Capture(command);
    }
}

void StateBlock::Forget(const void* resource) {
    for (StateCommand& command : m_commands) {
        if (auto* texture = std::get_if<TextureCommand>(&command); texture && texture->texture == resource) {
            texture->texture = nullptr;
        } else if (auto* stream = std::get_if<StreamSourceCommand>(&command);
                   stream && stream->source.buffer == resource) {
            stream->source = StreamSource{};
        } else if (auto* indices = std::get_if<IndicesCommand>(&command);
                   indices && indices->source.buffer == resource) {
            indices->source = IndexSource{};
        }
    }
}

}  // namespace d3d8
