#pragma once
// DirectInput 8 as the engine uses it: the system keyboard, the system mouse and the first
// joystick, read with immediate device states. Names, structures and values keep
// DirectInput's own.

#include <cstdint>

#include "platform/win32/types.h"

using WCHAR = char16_t;

bool operator==(const GUID& left, const GUID& right);
using REFGUID = const GUID&;
using REFIID = const GUID&;

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

extern const GUID IID_IDirectInput8A;
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;
extern const GUID GUID_Joystick;

// Property identifiers.
extern const GUID DIPROP_BUFFERSIZE;
extern const GUID DIPROP_AXISMODE;
extern const GUID DIPROP_RANGE;
extern const GUID DIPROP_DEADZONE;
extern const GUID DIPROP_SATURATION;
extern const GUID DIPROP_KEYNAME;

constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOEFFECT = S_FALSE;
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DIERR_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AAu);
constexpr HRESULT DIERR_OBJECTNOTFOUND = static_cast<HRESULT>(0x80070002u);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047Eu);

constexpr DWORD DISCL_EXCLUSIVE = 0x01;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x02;
constexpr DWORD DISCL_FOREGROUND = 0x04;
constexpr DWORD DISCL_BACKGROUND = 0x08;
constexpr DWORD DISCL_NOWINKEY = 0x10;

constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPH_BYOFFSET = 1;
constexpr DWORD DIPROPAXISMODE_ABS = 0;
constexpr DWORD DIPROPAXISMODE_REL = 1;

struct DIPROPHEADER {
    DWORD dwSize = 0;
    DWORD dwHeaderSize = 0;
    DWORD dwObj = 0;
    DWORD dwHow = 0;
};
struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData = 0;
};
struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin = 0;
    LONG lMax = 0;
};
constexpr int MAX_PATH = 260;
struct DIPROPSTRING {
    DIPROPHEADER diph;
    WCHAR wsz[MAX_PATH] = {};
};

// Data formats are told apart by identity; only the three predefined ones exist.
struct DIDATAFORMAT {
    DWORD dwSize = 0;
    DWORD dwObjSize = 0;
    DWORD dwFlags = 0;
    DWORD dwDataSize = 0;
    DWORD dwNumObjs = 0;
    const void* rgodf = nullptr;
};
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse2;
extern const DIDATAFORMAT c_dfDIJoystick2;

struct DIMOUSESTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[8];
};

struct DIJOYSTATE2 {
    LONG lX, lY, lZ, lRx, lRy, lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[128];
    LONG lVX, lVY, lVZ, lVRx, lVRy, lVRz;
    LONG rglVSlider[2];
    LONG lAX, lAY, lAZ, lARx, lARy, lARz;
    LONG rglASlider[2];
    LONG lFX, lFY, lFZ, lFRx, lFRy, lFRz;
    LONG rglFSlider[2];
};
static_assert(sizeof(DIMOUSESTATE2) == 20);
static_assert(sizeof(DIJOYSTATE2) == 272);
static_assert(sizeof(DIPROPSTRING) == 536);

class IDirectInputDevice8A {
public:
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) = 0;
    virtual HRESULT GetProperty(REFGUID property, DIPROPHEADER* header) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT Poll() = 0;
    virtual HRESULT GetDeviceState(DWORD size, void* data) = 0;

protected:
    virtual ~IDirectInputDevice8A() = default;
};

class IDirectInput8A {
public:
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    // GUID_SysKeyboard, GUID_SysMouse or GUID_Joystick (fails without a joystick).
    virtual HRESULT CreateDevice(REFGUID device, IDirectInputDevice8A** created, void* outer) = 0;

protected:
    virtual ~IDirectInput8A() = default;
};

using LPDIRECTINPUT8 = IDirectInput8A*;
using LPDIRECTINPUTDEVICE8 = IDirectInputDevice8A*;

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID interfaceId, void** created,
                           void* outer);
