#pragma once
// User settings read by several subsystems; loaded from "\Options.xml" at start-up and saved
// at shutdown.

#include "engine/singleton.h"

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
    }

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
};
