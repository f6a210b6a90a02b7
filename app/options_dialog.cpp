#include "app/options_dialog.h"

#include <iterator>

#include "platform/win32/window.h"

COptionsDlg::COptionsDlg(HWND owner)
    : COptionsDlg([owner](win32::OptionsDialogControls& controls) {
          return win32::RunOptionsDialog(owner, controls);
      }) {}

COptionsDlg::COptionsDlg(Runner runner) : m_runner(std::move(runner)) {}

int COptionsDlg::DoModal() {
    CGlobalOptions& options = CGlobalOptions::Instance();
    win32::OptionsDialogControls controls = ControlsFrom(options);
    if (m_runner(controls) != win32::IDOK) {
        return win32::IDCANCEL;
    }
    ApplyControls(controls, options);
    return win32::IDOK;
}

win32::OptionsDialogControls COptionsDlg::ControlsFrom(const CGlobalOptions& options) {
    win32::OptionsDialogControls controls;
    controls.drawBoundingBoxes = options.bRenderBoundingBoxes;
    controls.drawEggs = options.bRenderEggs;
    controls.renderShadows = options.bRenderShadows;
    const int entries = static_cast<int>(std::size(win32::kDebugLevelEntries));
    const bool listed = options.iDebugInfoLevel >= 0 && options.iDebugInfoLevel < entries;
    controls.debugLevelSelection = listed ? options.iDebugInfoLevel : -1;
    return controls;
}

void COptionsDlg::ApplyControls(const win32::OptionsDialogControls& controls, CGlobalOptions& options) {
    options.bRenderBoundingBoxes = controls.drawBoundingBoxes;
    options.bRenderEggs = controls.drawEggs;
    options.bRenderShadows = controls.renderShadows;
    // A level outside the list shows no selection; it is kept rather than replaced by "none".
    if (controls.debugLevelSelection >= 0) {
        options.iDebugInfoLevel = controls.debugLevelSelection;
    }
}
