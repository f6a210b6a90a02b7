#include "resource/xml_arena.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// Blocks grow with the document, so a large one needs few of them and a small one stays small.
constexpr std::size_t kFirstBlockSize = 16 * 1024;
constexpr std::size_t kLargestBlockSize = 4 * 1024 * 1024;
}  // namespace

CXmlArena* CXmlArena::Create() {
    return new CXmlArena();
}

CXmlArena::~CXmlArena() {
    while (m_last) {
        tBlock* previous = m_last->previous;
        std::free(m_last);
        m_last = previous;
    }
}

void CXmlArena::Release() {
    if (--m_references == 0) {
        delete this;
    }
}

void* CXmlArena::AllocateInNewBlock(std::size_t size, std::size_t alignment) {
    AddBlock(size + alignment);
    const std::uintptr_t aligned = AlignedCursor(alignment);
    m_cursor = reinterpret_cast<std::uint8_t*>(aligned + size);
    return reinterpret_cast<void*>(aligned);
}

const char* CXmlArena::CopyText(std::string_view text) {
    auto* copy = static_cast<char*>(Allocate(text.size() + 1, 1));
    if (!text.empty()) {
        std::memcpy(copy, text.data(), text.size());
    }
    copy[text.size()] = '\0';
    return copy;
}

void CXmlArena::AddBlock(std::size_t minimum) {
    const std::size_t grown = m_last ? std::min(m_last->size * 2, kLargestBlockSize) : kFirstBlockSize;
    const std::size_t size = std::max(grown, minimum + sizeof(tBlock));
    void* memory = std::malloc(size);
    if (!memory) {
        throw std::bad_alloc();
    }
    auto* block = static_cast<tBlock*>(memory);
    block->previous = m_last;
    block->size = size;
    m_last = block;
    m_reserved += size;
    m_cursor = static_cast<std::uint8_t*>(memory) + sizeof(tBlock);
    m_end = static_cast<std::uint8_t*>(memory) + size;
}
