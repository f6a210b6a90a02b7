#pragma once
// The options dialog: shows the debug drawing switches and the debug level of the global
// options and writes them back on OK.

#include <functional>

#include "engine/global_options.h"
#include "platform/dialogs/options_dialog.h"

class COptionsDlg {
public:
    // Shows the controls and returns IDOK or IDCANCEL with the states the user left.
    using Runner = std::function<int(win32::OptionsDialogControls&)>;

    // The GTK dialog, owned by the given window.
    explicit COptionsDlg(HWND owner);
    explicit COptionsDlg(Runner runner);

    // Returns 1 (OK: the options take the dialog's values) or 2 (Cancel: nothing changes).
    int DoModal();

private:
    static win32::OptionsDialogControls ControlsFrom(const CGlobalOptions& options);
    static void ApplyControls(const win32::OptionsDialogControls& controls, CGlobalOptions& options);

    Runner m_runner;
};
