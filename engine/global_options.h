#pragma once
// User settings read by several subsystems; loaded from "\Options.xml" at start-up and saved
// at shutdown.

#include <memory>
#include <string>
#include <string_view>

#include "engine/singleton.h"
#include "resource/xml.h"

class CGlobalOptions : public tmSingleton<CGlobalOptions> {
public:
    CGlobalOptions() { ResetToDefaults(); }
    virtual ~CGlobalOptions() = default;

    void ResetToDefaults() {
        bRenderBoundingBoxes = false;
        bRenderEggs = false;
        bRenderShadows = false;
        p3LightVector[0] = -1.0f;
        p3LightVector[1] = -1.0f;
        p3LightVector[2] = -0.5f;
        bActivateJoystick = false;
        fMouseSensivity = 1.0f;
        fKeyboardSensivity = 1.0f;
        fJoystickSensivity = 1.0f;
        iMusicVolume = 100;
        iSoundVolume = 100;
        bMute = false;
        bInactive = false;
        iDebugInfoLevel = 1;
        controls.reset();
    }

    // "<program folder>\Options.xml"
    static std::string DefaultDocumentName();
    // Resets to the defaults, then reads the options document; a missing or damaged one leaves
    // the defaults, silently.
    void Load() { Load(DefaultDocumentName()); }
    void Load(std::string_view documentName);
    // Writes the options document (with "lbm" for its extension) through a temporary file, so
    // a crash leaves the old or the new file; a failure is silent.
    void Save() const { Save(DefaultDocumentName()); }
    void Save(std::string_view documentName) const;

    bool bRenderBoundingBoxes;
    bool bRenderEggs;
    bool bRenderShadows;
    float p3LightVector[3];
    bool bActivateJoystick;
    float fMouseSensivity;
    float fKeyboardSensivity;
    float fJoystickSensivity;
    int iMusicVolume;
    int iSoundVolume;
    bool bMute;
    bool bInactive;  // not stored: the application window is inactive
    int iDebugInfoLevel;
    // The input bindings: the "Controls" element, kept whole; none until loaded or created.
    std::unique_ptr<enXml> controls;
};
