// Scene data names the frontend components by their exact class names.

#include <gtest/gtest.h>

#include "engine/ai_factory.h"
#include "resource/xml.h"
#include "tests/frontend/frontend_fixture.h"

using namespace zumbo::test;

namespace {

using FrontendFactoryTest = FrontendTest;

TEST_F(FrontendFactoryTest, EveryFrontendClassIsCreatedByItsExactName) {
    for (const char* name :
         {"CAIDialog", "CAIFrontendStarter", "CAIButton", "CAICheckBox", "CAISlider", "CAIProgress",
          "CAIListBox", "CAIEditBox", "CAIStatic", "CAIShowBrokerText", "CAITextMessagesStatic",
          "CAIScrollingTextStatic", "CAIHUDMonitorValueRange", "CAIMouse"}) {
        enXml element("AI");
        element.AddAttribute("Name", name);
        EXPECT_NE(CreateAI(&element, nullptr), nullptr) << name;
    }
}

TEST_F(FrontendFactoryTest, BasesAndOtherSpellingsAreNotCreated) {
    for (const char* name :
         {"CAIFrontendElement", "CAIFrontendControl", "caibutton", "CAIHudMonitorValueRange"}) {
        enXml element("AI");
        element.AddAttribute("Name", name);
        EXPECT_EQ(CreateAI(&element, nullptr), nullptr) << name;
        EXPECT_TRUE(LogContains(std::string("Failed to create AI by name: \"") + name +
                                "\" -- unregistered class name."));
    }
}

}  // namespace
