#include "scr/host_options_dlg.h"

#include <algorithm>

#include "scr/host_registry.h"

std::string FormatVolumeText(int volume) {
    return std::to_string(volume) + " %";
}

void CHostOptionsDlg::SetVolume(int volume) {
    m_volume = volume;
    m_volumeText = FormatVolumeText(volume);
}

void CHostOptionsDlg::OnInitDialog() {
    const auto stored =
        host_registry::ReadDword(win32::HKEY_CURRENT_USER, host_registry::kHostKey, "MusicVolume");
    // The slider cannot show more than its range; a stored value beyond it shows at the end.
    SetVolume(stored ? int(std::min<DWORD>(*stored, 100)) : kDefaultVolume);
}

std::string CHostOptionsDlg::OnVolumeScroll(int position) {
    SetVolume(position);
    return m_volumeText;
}

void CHostOptionsDlg::OnOk(int position) {
    SetVolume(position);
    host_registry::WriteDword(win32::HKEY_CURRENT_USER, host_registry::kHostKey, "MusicVolume",
                              DWORD(position));
}

win32::VolumeDialogResult CHostOptionsDlg::DoModal(std::optional<std::uint64_t> owner) {
    OnInitDialog();
    return win32::RunVolumeDialog(owner, m_volume, m_volumeText, *this);
}
