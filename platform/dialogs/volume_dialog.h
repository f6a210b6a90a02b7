#pragma once
// The host's "Zumbo Screen Saver Options" dialog: a music volume slider from 0 to 100 with
// its text, OK and Cancel, shown modally with GTK 3.

#include <cstdint>
#include <optional>
#include <string>

namespace win32 {

// What the dialog asks of its owner while it runs.
class VolumeDialogEvents {
public:
    virtual ~VolumeDialogEvents() = default;
    // The slider moved: the new volume text.
    virtual std::string OnVolumeScroll(int position) = 0;
    // OK was pressed with the slider at position.
    virtual void OnOk(int position) = 0;
};

inline constexpr const char* kVolumeDialogTitle = "Zumbo Screen Saver Options";
// Widget names of the slider (control 1000) and its text (control 1001).
inline constexpr const char* kVolumeSliderName = "volume-slider";
inline constexpr const char* kVolumeTextName = "volume-text";

enum class VolumeDialogResult { Ok, Cancel, NotShown };

// Shows the dialog with the slider at volume and the given text, made transient for the X11
// window owner when there is one and it exists. Without a display (or when headless)
// nothing is shown.
VolumeDialogResult RunVolumeDialog(std::optional<std::uint64_t> owner, int volume, const std::string& text,
                                   VolumeDialogEvents& events);

}  // namespace win32
