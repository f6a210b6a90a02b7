#include "engine/global_options.h"

#include <array>

#include "platform/win32/files.h"
#include "resource/paths.h"
#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"

namespace {

// One stored option: its name in the file and the field that holds it.
struct tStoredOption {
    const char* name;
    bool CGlobalOptions::*flag = nullptr;
    float CGlobalOptions::*number = nullptr;
    int CGlobalOptions::*count = nullptr;
    bool lightVector = false;
};

// The file's order.
const std::array<tStoredOption, 12> kStoredOptions = {{
    {"bRenderBoundingBoxes", &CGlobalOptions::bRenderBoundingBoxes},
    {"bRenderEggs", &CGlobalOptions::bRenderEggs},
    {"bRenderShadows", &CGlobalOptions::bRenderShadows},
    {"p3LightVector", nullptr, nullptr, nullptr, true},
    {"bActivateJoystick", &CGlobalOptions::bActivateJoystick},
    {"fMouseSensivity", nullptr, &CGlobalOptions::fMouseSensivity},
    {"fKeyboardSensivity", nullptr, &CGlobalOptions::fKeyboardSensivity},
    {"fJoystickSensivity", nullptr, &CGlobalOptions::fJoystickSensivity},
    {"iMusicVolume", nullptr, nullptr, &CGlobalOptions::iMusicVolume},
    {"iSoundVolume", nullptr, nullptr, &CGlobalOptions::iSoundVolume},
    {"bMute", &CGlobalOptions::bMute},
    {"iDebugInfoLevel", nullptr, nullptr, &CGlobalOptions::iDebugInfoLevel},
}};

void ReadOption(const enXml& root, const tStoredOption& option, CGlobalOptions& options) {
    if (option.flag) {
        root.GetValueBool(option.name, options.*option.flag);
    } else if (option.number) {
        root.GetValueFloat(option.name, options.*option.number);
    } else if (option.count) {
        root.GetValueInt(option.name, options.*option.count);
    } else {
        float* light = options.p3LightVector;
        D3DXVECTOR3 vector(light[0], light[1], light[2]);
        root.GetValueVector(option.name, vector);
        light[0] = vector.x;
        light[1] = vector.y;
        light[2] = vector.z;
    }
}

void WriteOption(enXml& root, const tStoredOption& option, const CGlobalOptions& options) {
    if (option.flag) {
        root.SetValueBool(option.name, options.*option.flag);
    } else if (option.number) {
        root.SetValueFloat(option.name, options.*option.number);
    } else if (option.count) {
        root.SetValueInt(option.name, options.*option.count);
    } else {
        const float* light = options.p3LightVector;
        root.SetValueVector(option.name, D3DXVECTOR3(light[0], light[1], light[2]));
    }
}

}  // namespace

std::string CGlobalOptions::DefaultDocumentName() {
    return GetProgramFolder() + "\\Options.xml";
}

void CGlobalOptions::Load(std::string_view documentName) {
    ResetToDefaults();
    enXml root;
    if (!root.Load(documentName)) {
        return;
    }
    for (const tStoredOption& option : kStoredOptions) {
        ReadOption(root, option, *this);
    }
    if (const enXml* storedControls = root.GetChild("Controls")) {
        controls = storedControls->Clone();
    }
}

void CGlobalOptions::Save(std::string_view documentName) const {
    if (documentName.size() < 3) {
        return;
    }
    enXml root("Options");
    for (const tStoredOption& option : kStoredOptions) {
        WriteOption(root, option, *this);
    }
    if (controls) {
        root.AddChild(controls->Clone().release());
    }
    CXmlBmlConverter converter;
    if (converter.ToBinary(root)) {
        win32::WriteFileAtomic(ReplaceXmlExtension(documentName), converter.Buffer());
    }
}
