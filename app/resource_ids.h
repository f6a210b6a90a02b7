#pragma once
// Resource and command identifiers of the main program.

#include "platform/win32/types.h"

constexpr int IDI_MAIN_ICON = 101;
constexpr int IDR_ACCELERATOR = 113;
constexpr int IDR_MENU = 141;
constexpr int IDD_OPTIONS = 146;

constexpr WORD IDM_CHANGEDEVICE = 40002;  // "Config &display...\tF2"
constexpr WORD IDM_TOGGLEFULLSCREEN = 40003;
constexpr WORD IDM_EXIT = 40006;
constexpr WORD IDM_CONFIGINPUT = 40011;  // "Configure &input...\tF3"
constexpr WORD IDM_OPTIONS = 40013;

// The accelerator table with the given resource id (113: Alt+Enter toggles full screen);
// null for an unknown id.
HACCEL LoadAcceleratorTable(int id);
