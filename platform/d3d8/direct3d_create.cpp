#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/recording_control.h"
#include "platform/win32/window.h"

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION || !win32::IsHeadless()) {
        return nullptr;
    }
    return d3d8::CreateRecordingDirect3D();
}
