#include <cstring>

#include "platform/dinput8/dinput.h"

bool operator==(const GUID& left, const GUID& right) {
    return left.Data1 == right.Data1 && left.Data2 == right.Data2 && left.Data3 == right.Data3 &&
           std::memcmp(left.Data4, right.Data4, sizeof left.Data4) == 0;
}

const GUID IID_IDirectInput8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_Joystick = {0x6F1D2B70, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// DirectInput numbers its properties 1, 2, ...; the GUID carries the number.
const GUID DIPROP_BUFFERSIZE = {1, 0, 0, {}};
const GUID DIPROP_AXISMODE = {2, 0, 0, {}};
const GUID DIPROP_RANGE = {4, 0, 0, {}};
const GUID DIPROP_DEADZONE = {5, 0, 0, {}};
const GUID DIPROP_SATURATION = {6, 0, 0, {}};
const GUID DIPROP_KEYNAME = {20, 0, 0, {}};

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), 16, 0x2, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse2 = {sizeof(DIDATAFORMAT), 16, 0x2, sizeof(DIMOUSESTATE2), 11, nullptr};
const DIDATAFORMAT c_dfDIJoystick2 = {sizeof(DIDATAFORMAT), 16, 0x1, sizeof(DIJOYSTATE2), 164, nullptr};
