#pragma once
// What every resource shares: a reference to the device that made it and its memory pool.

#include "platform/d3d8/com_object.h"

namespace d3d8 {

class DeviceBase;

// Bookkeeping of the device, defined with it: a resource holds a device reference for its
// life and unbinds itself from the device state when it is destroyed.
void AttachResource(DeviceBase& device, D3DPOOL pool);
void DetachResource(DeviceBase& device, const void* resource, D3DPOOL pool);
IDirect3DDevice8* AsInterface(DeviceBase& device);

template <class Interface>
class Resource : public ComObject<Interface> {
public:
    Resource(DeviceBase& device, D3DPOOL pool) : m_device(device), m_pool(pool) {
        AttachResource(device, pool);
    }
    ~Resource() override { DetachResource(m_device, static_cast<const Interface*>(this), m_pool); }

    HRESULT GetDevice(IDirect3DDevice8** device) override {
        if (device == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *device = Share(AsInterface(m_device));
        return D3D_OK;
    }

    DeviceBase& Owner() const { return m_device; }
    D3DPOOL Pool() const { return m_pool; }

private:
    DeviceBase& m_device;
    D3DPOOL m_pool;
};

}  // namespace d3d8
