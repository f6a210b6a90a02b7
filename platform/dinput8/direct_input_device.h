#pragma once
// One DirectInput device: its data format, cooperative level, properties and acquisition,
// with the readings coming from a device source.

#include <memory>
#include <vector>

#include "platform/dinput8/device_source.h"

namespace dinput8 {

class DirectInputDevice final : public IDirectInputDevice8A {
public:
    DirectInputDevice(DeviceKind kind, std::unique_ptr<DeviceSource> source);

    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) override;
    HRESULT GetProperty(REFGUID property, DIPROPHEADER* header) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT Poll() override;
    HRESULT GetDeviceState(DWORD size, void* data) override;

private:
    ~DirectInputDevice() override = default;

    const DIDATAFORMAT& ExpectedFormat() const;
    bool HasInputFocus() const;
    HRESULT SetDwordProperty(REFGUID property, const DIPROPDWORD& value);
    HRESULT SetRange(const DIPROPRANGE& range);
    HRESULT GetKeyName(DIPROPSTRING& name) const;

    DeviceKind m_kind;
    std::unique_ptr<DeviceSource> m_source;
    DWORD m_references = 1;
    const DIDATAFORMAT* m_format = nullptr;
    HWND m_window = nullptr;
    DWORD m_cooperativeLevel = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    DeviceSettings m_settings;
    bool m_acquired = false;
};

}  // namespace dinput8
