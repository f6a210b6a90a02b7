// Program entry of ZumboCave.scr.

#include "platform/win32/files.h"
#include "platform/win32/process.h"
#include "scr/screen_saver_host_app.h"

int main(int argc, char** argv) {
    win32::SetCommandLineFromArgv(argc, argv);
    CMessageBoxPrompter prompter;
    CScreenSaverHostApp application(win32::GetModuleFileName(), prompter);
    return application.Run(win32::SplitCommandLine(win32::GetCommandLine()),
                           win32::GetEnvironmentVariable("XSCREENSAVER_WINDOW"));
}
