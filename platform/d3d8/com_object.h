#pragma once
// Reference counting shared by every Direct3D object of the stand-in.

#include "platform/d3d8/d3d8.h"

namespace d3d8 {

template <class Interface>
class ComObject : public Interface {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        const ULONG remaining = --m_references;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

private:
    ULONG m_references = 1;
};

// Adds a reference for a pointer handed out through an out parameter.
template <class T>
T* Share(T* object) {
    if (object != nullptr) {
        object->AddRef();
    }
    return object;
}

}  // namespace d3d8
