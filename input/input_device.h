#pragma once
// One DirectInput device read with immediate states: the current and the previous state
// record, so that every query can tell held, newly pressed and newly released apart.

#include <string>
#include <vector>

#include "platform/dinput8/dinput.h"

class CInputDevice {
public:
    // The buttons of the device are the bytes of its record from firstButton on; a button's
    // code for the controllers is its byte offset. suppressed is the owner's flag.
    CInputDevice(const BYTE& suppressed, std::size_t recordSize, int firstButton, int buttonCount);
    virtual ~CInputDevice();
    CInputDevice(const CInputDevice&) = delete;
    CInputDevice& operator=(const CInputDevice&) = delete;

    // Creates and configures the DirectInput device; on failure the device stays without one.
    virtual bool Init(IDirectInput8A* directInput, HWND window) = 0;
    virtual bool Release();
    virtual void Poll();
    // The DirectInput name of a button (zero-based index; for the keyboard the key code).
    virtual std::string ObjectName(int index) const;
    // The text shown for a binding code.
    virtual std::string CodeName(int code) const = 0;
    // The code of the first button, in increasing order, that is down now and was up before;
    // -1 when none. Looks at the raw state, suppressed or not.
    virtual int FirstNewPress() const;

    bool IsDown(int index) const;
    bool WasPressed(int index) const;
    bool WasReleased(int index) const;
    bool AnyButtonPressed() const;
    // The signed 32-bit value at the code's offset rounded down to a multiple of 4; 0 outside
    // the record.
    LONG AxisValue(int code) const;

    bool HasDevice() const { return m_device != nullptr; }
    int FirstButton() const { return m_firstButton; }

protected:
    // Creates the device with its data format and cooperative level; releases it on failure.
    bool CreateDevice(IDirectInput8A* directInput, REFGUID device, const DIDATAFORMAT& format, HWND window,
                      DWORD cooperativeLevel);
    bool SetWholeDeviceProperty(REFGUID property, DWORD value);
    bool Suppressed() const { return m_suppressed != 0; }
    bool CurrentDown(int index) const;
    bool PreviousDown(int index) const;
    bool IsButton(int index) const { return index >= 0 && index < m_buttonCount; }

    IDirectInputDevice8A* m_device = nullptr;
    std::vector<BYTE> m_current;
    std::vector<BYTE> m_previous;

private:
    bool ReadState();

    const BYTE& m_suppressed;
    int m_firstButton;
    int m_buttonCount;
};
