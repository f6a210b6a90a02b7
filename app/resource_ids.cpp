#include "app/resource_ids.h"

#include "platform/win32/window.h"

HACCEL LoadAcceleratorTable(int id) {
    if (id != IDR_ACCELERATOR) {
        return nullptr;
    }
    const win32::ACCEL entries[] = {
        {win32::FALT | win32::FVIRTKEY, static_cast<WORD>(win32::VK_RETURN), IDM_TOGGLEFULLSCREEN}};
    return win32::CreateAcceleratorTable(entries);
}
