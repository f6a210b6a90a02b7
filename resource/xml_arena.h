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

    void* Allocate(std::size_t size, std::size_t alignment);
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

    tBlock* m_last = nullptr;
    std::uint8_t* m_cursor = nullptr;
    std::uint8_t* m_end = nullptr;
    std::size_t m_reserved = 0;
    // Documents are used from the main thread only, so the count is a plain number.
    std::size_t m_references = 1;
};
