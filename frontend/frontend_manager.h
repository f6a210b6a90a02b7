#pragma once
// The registry of the in-scene menu: dialogs and controls register by ID; the manager knows
// the current dialog and the controls that have the focus or are held down, switches dialogs
// with a cross-fade and carries out the frontend's text messages.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/singleton.h"

class CAIDialog;
class CAIFrontendControl;
class CEntity;
struct tMessage;

class CFrontendManager : public tmSingleton<CFrontendManager> {
public:
    static constexpr std::int32_t kDefaultFadeLength = 5;

    bool RegisterControl(CAIFrontendControl* control);
    bool UnregisterControl(CAIFrontendControl* control);
    CAIFrontendControl* FindControl(std::string_view id) const;
    bool ActivateControl(std::string_view id);
    bool DeactivateActiveControl();
    bool SetPressedControl(std::string_view id);

    bool RegisterDialog(CAIDialog* dialog);
    bool UnregisterDialog(CAIDialog* dialog);
    CAIDialog* FindDialog(std::string_view id) const;
    bool ActivateDialog(std::string_view id);
    bool DeactivateCurrentDialog();
    void HideAllDialogs();
    bool SwitchDialog(std::string_view id);

    std::string FirstControlOfDialog(std::string_view dialogID) const;
    std::string NextControlOfDialog(std::string_view controlID, std::string_view dialogID) const;

    // Once per tick: the frontend's messages of this tick, then one step of a dialog switch.
    void Tick();

    bool IsStarted() const { return m_started; }
    bool IsFading() const { return m_fading; }
    const std::string& CurrentDialogID() const { return m_currentDialogID; }
    const std::string& ActiveControlID() const { return m_activeControlID; }
    const std::string& PressedControlID() const { return m_pressedControlID; }
    bool IsActiveControl(const CAIFrontendControl& control) const;
    // Ticks of a dialog switch; values below 1 count as 1.
    void SetFadeLength(std::int32_t ticks) { m_fadeLength = ticks < 1 ? 1 : ticks; }
    std::int32_t FadeLength() const { return m_fadeLength; }

private:
    void HandleMessage(const tMessage& message);
    void Start(const std::string& dialogID);
    void Stop();
    void StepFade();
    static void ShowMouseCursor(bool visible);
    // Visibility and alpha of a dialog's entity and its whole subtree.
    static void SetDialogVisible(CAIDialog* dialog, bool visible);
    static void SetDialogAlpha(CAIDialog* dialog, std::int32_t alpha);
    // The dialog for a non-empty ID (warning when it is gone), or null.
    CAIDialog* FindDialogIfSet(const std::string& id) const;
    CAIFrontendControl* FindControlIfSet(const std::string& id) const;

    bool m_started = false;
    std::vector<CAIDialog*> m_dialogs;
    std::string m_currentDialogID;
    std::vector<CAIFrontendControl*> m_controls;
    std::string m_activeControlID;
    std::string m_pressedControlID;
    bool m_fading = false;
    std::string m_fadingOutDialogID;
    std::string m_fadingInDialogID;
    std::int32_t m_fadeTick = 0;
    std::int32_t m_fadeLength = kDefaultFadeLength;
};
