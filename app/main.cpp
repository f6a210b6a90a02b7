// Program entry of ZumboCave.exe.

#include "app/my_d3d_application.h"
#include "app/resource_ids.h"
#include "platform/win32/foreign_window.h"
#include "platform/win32/process.h"

int main(int argc, char** argv) {
    if (!win32::TakeForeignWindowOption(argc, argv)) {
        return 2;
    }
    win32::SetCommandLineFromArgv(argc, argv);
    CMyD3DApplication& application = CMyD3DApplication::Instance();
    if (FAILED(application.Create(nullptr, IDI_MAIN_ICON, IDR_MENU))) {
        return 0;
    }
    application.ParseCommandLine(win32::GetCommandLine());
    const int result = application.Run(IDR_ACCELERATOR);
    application.DestroyInstance();
    return result;
}
