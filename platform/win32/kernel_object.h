#pragma once
// For the process and shared-memory stand-ins only: objects behind HANDLE values. The
// table owns every object until CloseHandle; objects still open at exit are destroyed
// with the table.

#include <memory>

#include "platform/win32/types.h"

namespace win32 {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

HANDLE AddHandle(std::unique_ptr<KernelObject> object);
KernelObject* LookupHandle(HANDLE handle);

template <typename T>
T* LookupHandleAs(HANDLE handle) {
    return dynamic_cast<T*>(LookupHandle(handle));
}

}  // namespace win32
