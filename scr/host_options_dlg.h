#pragma once
// CHostOptionsDlg: the music volume of the screen saver, kept in "MusicVolume" for the main
// program's next start.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/dialogs/volume_dialog.h"

class CHostOptionsDlg final : public win32::VolumeDialogEvents {
public:
    static constexpr int kDefaultVolume = 50;

    // Reads the stored volume (only a REG_DWORD counts) and sets the text.
    void OnInitDialog();
    std::string OnVolumeScroll(int position) override;
    // Stores the slider's position.
    void OnOk(int position) override;

    // Shows the dialog modally, owned by the given X11 window.
    win32::VolumeDialogResult DoModal(std::optional<std::uint64_t> owner);

    int Volume() const { return m_volume; }
    const std::string& VolumeText() const { return m_volumeText; }

private:
    void SetVolume(int volume);

    int m_volume = kDefaultVolume;
    std::string m_volumeText;
};

// The volume text: the number, a blank and a percent sign.
std::string FormatVolumeText(int volume);
