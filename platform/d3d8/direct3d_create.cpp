#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/opengl_direct3d.h"
#include "platform/d3d8/recording_control.h"
#include "platform/win32/window.h"

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) {
        return nullptr;
    }
    return win32::IsHeadless() ? d3d8::CreateRecordingDirect3D() : d3d8::OpenGLDirect3D::Create();
}
