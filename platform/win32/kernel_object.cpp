#include "platform/win32/kernel_object.h"

#include "platform/win32/handle_table.h"
#include "platform/win32/process.h"

namespace win32 {

namespace {
HandleTable<HANDLE, KernelObject>& Table() {
    static HandleTable<HANDLE, KernelObject> table;
    return table;
}
}  // namespace

HANDLE AddHandle(std::unique_ptr<KernelObject> object) {
    return Table().Add(std::move(object));
}

KernelObject* LookupHandle(HANDLE handle) {
    return Table().Find(handle);
}

// The object dies outside the table's lock: its destructor may wait on the system.
bool CloseHandle(HANDLE handle) {
    return Table().Remove(handle) != nullptr;
}

}  // namespace win32
