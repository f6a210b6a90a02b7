#include "engine/global_options.h"

#include "platform/win32/files.h"
#include "resource/paths.h"
#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"

std::string CGlobalOptions::DefaultDocumentName() {
    return GetProgramFolder() + "\\Options.xml";
}

void CGlobalOptions::Load(std::string_view documentName) {
    ResetToDefaults();
    enXml root;
    if (!root.Load(documentName)) {
        return;
    }
    root.GetValueBool("bRenderBoundingBoxes", bRenderBoundingBoxes);
    root.GetValueBool("bRenderEggs", bRenderEggs);
    root.GetValueBool("bRenderShadows", bRenderShadows);
    D3DXVECTOR3 lightVector(p3LightVector[0], p3LightVector[1], p3LightVector[2]);
    root.GetValueVector("p3LightVector", lightVector);
    p3LightVector[0] = lightVector.x;
    p3LightVector[1] = lightVector.y;
    p3LightVector[2] = lightVector.z;
    root.GetValueBool("bActivateJoystick", bActivateJoystick);
    root.GetValueFloat("fMouseSensivity", fMouseSensivity);
    root.GetValueFloat("fKeyboardSensivity", fKeyboardSensivity);
    root.GetValueFloat("fJoystickSensivity", fJoystickSensivity);
    root.GetValueInt("iMusicVolume", iMusicVolume);
    root.GetValueInt("iSoundVolume", iSoundVolume);
    root.GetValueBool("bMute", bMute);
    root.GetValueInt("iDebugInfoLevel", iDebugInfoLevel);
    if (const enXml* storedControls = root.GetChild("Controls")) {
        controls = storedControls->Clone();
    }
}

void CGlobalOptions::Save(std::string_view documentName) const {
    if (documentName.size() < 3) {
        return;
    }
    enXml root("Options");
    root.SetValueBool("bRenderBoundingBoxes", bRenderBoundingBoxes);
    root.SetValueBool("bRenderEggs", bRenderEggs);
    root.SetValueBool("bRenderShadows", bRenderShadows);
    root.SetValueVector("p3LightVector", D3DXVECTOR3(p3LightVector[0], p3LightVector[1], p3LightVector[2]));
    root.SetValueBool("bActivateJoystick", bActivateJoystick);
    root.SetValueFloat("fMouseSensivity", fMouseSensivity);
    root.SetValueFloat("fKeyboardSensivity", fKeyboardSensivity);
    root.SetValueFloat("fJoystickSensivity", fJoystickSensivity);
    root.SetValueInt("iMusicVolume", iMusicVolume);
    root.SetValueInt("iSoundVolume", iSoundVolume);
    root.SetValueBool("bMute", bMute);
    root.SetValueInt("iDebugInfoLevel", iDebugInfoLevel);
    if (controls) {
        root.AddChild(controls->Clone().release());
    }
    CXmlBmlConverter converter;
    if (converter.ToBinary(root)) {
        win32::WriteFileAtomic(ReplaceXmlExtension(documentName), converter.Buffer());
    }
}
