#include "engine/ai_factory.h"

#include <string>
#include <vector>

#include "ai/alpha_effects.h"
#include "ai/bill_board.h"
#include "ai/lifetime_components.h"
#include "ai/light_components.h"
#include "ai/matrix_components.h"
#include "ai/move_by_circle.h"
#include "ai/particle_generator.h"
#include "ai/parent_following.h"
#include "ai/physics_components.h"
#include "ai/play_video_file.h"
#include "ai/random_move_rotate.h"
#include "ai/rotation_components.h"
#include "ai/scale.h"
#include "ai/screen_saver_logic.h"
#include "ai/show_on_broker.h"
#include "ai/texture_animation.h"
#include "ai/translation_components.h"
#include "ai/video_to_texture.h"
#include "ai/video_to_texture_ds.h"
#include "ai/volume_ping_pong.h"
#include "app/debug_log.h"
#include "engine/entity.h"
#include "frontend/button.h"
#include "frontend/check_box.h"
#include "frontend/dialog.h"
#include "frontend/edit_box.h"
#include "frontend/frontend_starter.h"
#include "frontend/hud_monitor.h"
#include "frontend/list_box.h"
#include "frontend/mouse.h"
#include "frontend/progress.h"
#include "frontend/scrolling_text_static.h"
#include "frontend/slider.h"
#include "frontend/text_statics.h"
#include "resource/xml.h"
#include "sound/ai_play_sound.h"

namespace {

using CreateFunction = std::unique_ptr<C_AI> (*)(const enXml& element);

struct tAIClass {
    std::string_view name;
    CreateFunction create;
};

template <class Component>
std::unique_ptr<C_AI> Create(const enXml& element) {
    return std::make_unique<Component>(element);
}

// Every component class adds its row here when it is built; names compare exactly.
const std::vector<tAIClass>& RegisteredClasses() {
    static const std::vector<tAIClass> classes = {
        {"CAIIdentityMatrix", &Create<CAIIdentityMatrix>},
        {"CAIMoveY", &Create<CAIMoveY>},
        {"CAIMoveZ", &Create<CAIMoveZ>},
        {"CAIMoveByVector", &Create<CAIMoveByVector>},
        {"CAIMoveSinX", &Create<CAIMoveSinX>},
        {"CAIMoveWithParent", &Create<CAIMoveWithParent>},
        {"CAIRandomMoveRotate", &Create<CAIRandomMoveRotate>},
        {"CAIRotateX", &Create<CAIRotateX>},
        {"CAIRotateY", &Create<CAIRotateY>},
        {"CAIRotateZ", &Create<CAIRotateZ>},
        {"CAISinRotateY", &Create<CAISinRotateY>},
        {"CAIRotateAroundAxis", &Create<CAIRotateAroundAxis>},
        {"CAIScale", &Create<CAIScale>},
        {"CAIScaleWithParent", &Create<CAIScaleWithParent>},
        {"CAIVolumePingPong", &Create<CAIVolumePingPong>},
        {"CAIBillBoard", &Create<CAIBillBoard>},
        {"CAIPosition", &Create<CAIPosition>},
        {"CAINoPhysics", &Create<CAINoPhysics>},
        {"CAIDefaultPhysics", &Create<CAIDefaultPhysics>},
        {"CAIDefaultLifeTime", &Create<CAIDefaultLifeTime>},
        {"CAISingleLoopAnimationLifeTime", &Create<CAISingleLoopAnimationLifeTime>},
        {"CAISingleTickLifeTime", &Create<CAISingleTickLifeTime>},
        {"CAIMoveByCircle", &Create<CAIMoveByCircle>},
        // Frontend
        {"CAIDialog", &Create<CAIDialog>},
        {"CAIFrontendStarter", &Create<CAIFrontendStarter>},
        {"CAIButton", &Create<CAIButton>},
        {"CAICheckBox", &Create<CAICheckBox>},
        {"CAISlider", &Create<CAISlider>},
        {"CAIProgress", &Create<CAIProgress>},
        {"CAIListBox", &Create<CAIListBox>},
        {"CAIEditBox", &Create<CAIEditBox>},
        {"CAIStatic", &Create<CAIStatic>},
        {"CAIShowBrokerText", &Create<CAIShowBrokerText>},
        {"CAITextMessagesStatic", &Create<CAITextMessagesStatic>},
        {"CAIScrollingTextStatic", &Create<CAIScrollingTextStatic>},
        {"CAIHUDMonitorValueRange", &Create<CAIHUDMonitorValueRange>},
        {"CAIMouse", &Create<CAIMouse>},
        // Sound
        {"CAIPlaySound", &Create<CAIPlaySound>},
        // Screen saver
        {"CAIScreenSaverLogic", &Create<CAIScreenSaverLogic>},
        // Visual effects, particles, lights and video
        {"CAIFadeByAlpha", &Create<CAIFadeByAlpha>},
        {"CAIBlinkAlpha", &Create<CAIBlinkAlpha>},
        {"CAIShowOnBool", &Create<CAIShowOnBool>},
        {"CAIShowOnIntEquals", &Create<CAIShowOnIntEquals>},
        {"CAITextureMove", &Create<CAITextureMove>},
        {"CAIAnimateTextureCoordinates", &Create<CAIAnimateTextureCoordinates>},
        {"CAIStaticLight", &Create<CAIStaticLight>},
        {"CAISpawnDynamicLight", &Create<CAISpawnDynamicLight>},
        {"CAIParticleGenerator", &Create<CAIParticleGenerator>},
        {"CAIVideo2Texture", &Create<CAIVideo2Texture>},
        {"CAIVideo2TextureDS", &Create<CAIVideo2TextureDS>},
        {"CAIPlayVideoFile", &Create<CAIPlayVideoFile>},
    };
    return classes;
}

const tAIClass* FindClass(std::string_view name) {
    for (const tAIClass& entry : RegisteredClasses()) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

void ReportUnregistered(const std::string& name, const CEntity* owner) {
    if (owner) {
        CDebugLog::Instance().Log(
            "Failed to create AI by name: \"%s\" -- unregistered class name (for the entity \"%s\").",
            name.c_str(), owner->GetName().c_str());
    } else {
        CDebugLog::Instance().Log("Failed to create AI by name: \"%s\" -- unregistered class name.",
                                  name.c_str());
    }
}

}  // namespace

std::unique_ptr<C_AI> CreateAI(const enXml* element, CEntity* owner) {
    if (!element) {
        return nullptr;
    }
    std::string name;
    if (!element->GetAttributeString(InternName("Name"), name) || name.empty()) {
        return nullptr;
    }
    const tAIClass* entry = FindClass(name);
    std::unique_ptr<C_AI> component = entry ? entry->create(*element) : nullptr;
    if (!component) {
        ReportUnregistered(name, owner);
        return nullptr;
    }
    component->SetOwner(owner);
    return component;
}
