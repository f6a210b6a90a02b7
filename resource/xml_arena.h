#pragma once
// Monotonic memory for one loaded document: nodes, attributes and texts are carved from large
// blocks that are freed together. The arena lives while anything holds a reference: the
// document root, and any node of it that was taken out of the tree or moved elsewhere.

#include <cstddef>
#include <cstdint>
#include <string_view>

class CXmlArena {
public:
    // A new arena with one reference, for the root that is about to be built in it.
    static CXmlArena* Create();

    CXmlArena(const CXmlArena&) = delete;
    CXmlArena& operator=(const CXmlArena&) = delete;

    void AddReference() { ++m_references; }
    // Frees every block with the last reference.
    void Release();
    std::size_t References() const { return m_references; }

    // Inline, since a document asks for a few pieces per node.
    void* Allocate(std::size_t size, std::size_t alignment) {
        const std::uintptr_t aligned = AlignedCursor(alignment);
        if (!m_cursor || aligned + size > reinterpret_cast<std::uintptr_t>(m_end)) {
            return AllocateInNewBlock(size, alignment);
        }
        m_cursor = reinterpret_cast<std::uint8_t*>(aligned + size);
        return reinterpret_cast<void*>(aligned);
    }
    // A copy with a terminating zero, so that it also serves as a C string.
    const char* CopyText(std::string_view text);

    std::size_t BytesReserved() const { return m_reserved; }

private:
    struct tBlock {
        tBlock* previous;
        std::size_t size;
    };

    CXmlArena() = default;
    ~CXmlArena();
    void AddBlock(std::size_t minimum);
    void* AllocateInNewBlock(std::size_t size, std::size_t alignment);
    std::uintptr_t AlignedCursor(std::size_t alignment) const {
        const auto address = reinterpret_cast<std::uintptr_t>(m_cursor);
        return (address + alignment - 1) & ~(std::uintptr_t(alignment) - 1);
    }

    tBlock* m_last = nullptr;
    std::uint8_t* m_cursor = nullptr;
    std::uint8_t* m_end = nullptr;
    std::size_t m_reserved = 0;
    // Documents are used from the main thread only, so the count is a plain number.
    std::size_t m_references = 1;
};
