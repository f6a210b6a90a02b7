#pragma once
// For the stand-ins only: objects owned by the process and named by opaque handle values
// (the object's address), as the system's handle tables do.

#include <map>
#include <memory>
#include <mutex>

namespace win32 {

template <typename Handle, typename Object>
class HandleTable {
public:
    Handle Add(std::unique_ptr<Object> object) {
        std::lock_guard lock(m_mutex);
        const Handle handle = reinterpret_cast<Handle>(object.get());
        m_objects.emplace(handle, std::move(object));
        return handle;
    }
    Object* Find(Handle handle) {
        std::lock_guard lock(m_mutex);
        const auto found = m_objects.find(handle);
        return found == m_objects.end() ? nullptr : found->second.get();
    }
    // Hands the object back, so it can die outside the table's lock.
    std::unique_ptr<Object> Remove(Handle handle) {
        std::lock_guard lock(m_mutex);
        const auto found = m_objects.find(handle);
        if (found == m_objects.end()) {
            return nullptr;
        }
        auto object = std::move(found->second);
        m_objects.erase(found);
        return object;
    }

private:
    std::mutex m_mutex;
    std::map<Handle, std::unique_ptr<Object>> m_objects;
};

}  // namespace win32
