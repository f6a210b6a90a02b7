#include "render/application_device.h"

#include "app/d3d_application.h"

IDirect3DDevice8* GetApplicationDevice() {
    const CD3DApplication* application = CD3DApplication::GetInstance();
    return application ? application->GetDevice() : nullptr;
}
