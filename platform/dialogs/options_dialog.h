#pragma once
// The main program's "Options" dialog (resource 146): three check boxes and the debug level
// drop-down list, shown modally with GTK 3.

#include "platform/win32/types.h"

namespace win32 {

constexpr int IDC_DRAW_BOUNDING_BOXES = 1027;
constexpr int IDC_DRAW_EGGS = 1028;
constexpr int IDC_DEBUG_LEVEL = 1029;
constexpr int IDC_RENDER_SHADOWS = 1030;

// The states of the dialog's controls; a selection of -1 means no entry is selected.
struct OptionsDialogControls {
    bool drawBoundingBoxes = false;
    bool drawEggs = false;
    bool renderShadows = false;
    int debugLevelSelection = -1;
};

// The entries of the debug level list, in order.
inline constexpr const char* kDebugLevelEntries[] = {"0", "1", "2", "3", "4", "5"};

// Shows the dialog with the given control states and returns IDOK with the states the user
// left, or IDCANCEL. Without a display (or when headless) nothing is shown and the result is
// IDCANCEL.
int RunOptionsDialog(HWND owner, OptionsDialogControls& controls);

}  // namespace win32
