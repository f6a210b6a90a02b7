#include "engine/ai_factory.h"

#include "engine/entity.h"
#include "tests/engine/test_components.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/xml_builder.h"

namespace {

using AIFactoryTest = EngineTest;

TEST_F(AIFactoryTest, CreatesByExactClassNameAndSetsTheOwnerAfterwards) {
    CEntity* owner = MakeNamedEntity("owner");
    auto element = zumbo::test::MakeRoot("AI", {{"Name", "CAIMoveY"}});
    const auto component = CreateAI(element.get(), owner);
    ASSERT_NE(nullptr, component);
    EXPECT_EQ(owner, component->GetOwner());
    EXPECT_EQ(nullptr, CreateAI(element.get(), nullptr)->GetOwner());
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(AIFactoryTest, OtherSpellingsAndEngineOnlyClassesAreUnregistered) {
    CEntity* owner = MakeNamedEntity("owner");
    for (const char* name : {"caimovey", "CAIMatrix", "CAIFrontendElement", "CAIFrontendControl"}) {
        ClearLog();
        auto element = zumbo::test::MakeRoot("AI", {{"Name", name}});
        EXPECT_EQ(nullptr, CreateAI(element.get(), owner)) << name;
        EXPECT_EQ(std::vector<std::string>{std::string("Failed to create AI by name: \"") + name +
                                           "\" -- unregistered class name (for the entity \"owner\")."},
                  LogMessages());
    }
}

TEST_F(AIFactoryTest, NoElementOrNoNameGivesNothingSilently) {
    EXPECT_EQ(nullptr, CreateAI(nullptr, nullptr));
    EXPECT_EQ(nullptr, CreateAI(zumbo::test::MakeRoot("AI").get(), nullptr));
    EXPECT_EQ(nullptr, CreateAI(zumbo::test::MakeRoot("AI", {{"Name", ""}}).get(), nullptr));
    EXPECT_TRUE(LogMessages().empty());
}

}  // namespace
