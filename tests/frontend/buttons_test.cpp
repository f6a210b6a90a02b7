// Keyboard navigation, buttons and check boxes driven by scripted keys, mouse and joystick.

#include <gtest/gtest.h>

#include "engine/entity_manager.h"
#include "frontend/button.h"
#include "frontend/check_box.h"
#include "frontend/dialog.h"
#include "frontend/frontend_manager.h"
#include "frontend/frontend_starter.h"
#include "frontend/text_statics.h"
#include "input/input_devices.h"
#include "platform/dinput8/test_input.h"
#include "tests/frontend/frontend_fixture.h"

namespace test_input = dinput8::test;
using namespace zumbo::test;

namespace {

class ButtonsTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        test_input::ConnectJoystick(true);
        // The joystick is found when the devices are created.
        CInputDevices::Instance().Destroy();
        ASSERT_EQ(CInputDevices::Instance().Create(Window()), S_OK);
        Frame();
    }
    CFrontendManager& Manager() { return CFrontendManager::Instance(); }

    CAIButton& MakeButton(const std::string& id, const Properties& more = {}) {
        CEntity& entity = MakeEntity(id);
        Properties properties = {{"sID", id}};
        properties.insert(properties.end(), more.begin(), more.end());
        return Attach<CAIButton>(entity, "CAIButton", properties);
    }
    // A button the pointer can be over: a box 20 by 20 around (x, 100).
    CAIButton& MakeMouseButton(const std::string& id, float x, const Properties& more = {}) {
        CEntity& entity = MakePickable(id, x, 100.0f, 10.0f, 10.0f);
        Properties properties = {{"sID", id}};
        properties.insert(properties.end(), more.begin(), more.end());
        return Attach<CAIButton>(entity, "CAIButton", properties);
    }
    void Tap(int key) {
        test_input::PressKey(key);
        Frame();
        test_input::ReleaseKey(key);
        Frame();
    }
    // Hovers the pointer over a mouse button and lets the hit test find it.
    void HoverOver(float x) {
        PointAt(x, 100.0f);
        Frames(2);
    }
};

TEST_F(ButtonsTest, TabMovesTheFocusToTheNextAndShiftTabToThePrevious) {
    MakeButton("A", {{"sNextID", "B"}, {"sPreviousID", "C"}});
    MakeButton("B", {{"sNextID", "C"}, {"sPreviousID", "A"}});
    MakeButton("C", {{"sNextID", "A"}, {"sPreviousID", "B"}});
    ASSERT_EQ(Manager().ActiveControlID(), "A");
    Tap(kTab);
    EXPECT_EQ(Manager().ActiveControlID(), "B");
    test_input::PressKey(kLeftShift);
    Tap(kTab);
    test_input::ReleaseKey(kLeftShift);
    EXPECT_EQ(Manager().ActiveControlID(), "A");
    // The move is consumed: the control that got the focus does not move it on in the same tick.
    Tap(kTab);
    EXPECT_EQ(Manager().ActiveControlID(), "B");
}

TEST_F(ButtonsTest, TabWinsOverAnArrowInTheSameTick) {
    CAIButton& a = MakeButton("A", {{"sNextID", "B"}, {"sDownID", "C"}});
    CAIButton& b = MakeButton("B");
    CAIButton& c = MakeButton("C");
    test_input::PressKey(kDown);
    test_input::PressKey(kTab);
    Frame();
    EXPECT_EQ(Manager().ActiveControlID(), "B");
    EXPECT_EQ(a.GetState(), CAIButton::kNormal);
    EXPECT_EQ(b.GetState(), CAIButton::kHighLighted);
    EXPECT_EQ(c.GetState(), CAIButton::kNormal);
}

TEST_F(ButtonsTest, FocusStaysWhenTheNeighbourCannotTakeIt) {
    MakeButton("A", {{"sNextID", "Label"}, {"sDownID", "Missing"}});
    Attach<CAIStatic>(MakeEntity("label"), "CAIStatic", {{"sID", "Label"}});
    Tap(kTab);
    EXPECT_EQ(Manager().ActiveControlID(), "A");
    ClearLog();
    Tap(kDown);
    EXPECT_EQ(Manager().ActiveControlID(), "A");
    EXPECT_TRUE(LogContains("Warning: Unable to find control by the following ID \"Missing\"."));
}

TEST_F(ButtonsTest, HiddenControlDropsTheFocus) {
    CAIButton& a = MakeButton("A");
    ASSERT_EQ(Manager().ActiveControlID(), "A");
    a.GetOwner()->SetVisible(false);
    a.GetOwner()->RefreshVisibility();
    Frame();
    EXPECT_EQ(Manager().ActiveControlID(), "");
}

TEST_F(ButtonsTest, ReturnClicksTheFocusedButtonAndLocksItForTheDelay) {
    MakeButton("Play", {{"iProcessInputDelay", "20"}, {"sMessage", "LoadScene(Menu)"}});
    test_input::PressKey(kReturn);
    Frame();
    test_input::ReleaseKey(kReturn);
    Frame();
    EXPECT_EQ(Seen(kMessageButtonPressed), (std::vector<std::string>{"Play"}));
    EXPECT_EQ(Seen(kMessageLoadScene), (std::vector<std::string>{"Menu"}));
    // 2 ticks of the lock have passed; taps 8 and 18 ticks after the click are ignored.
    Frames(6);
    Tap(kReturn);
    Frames(8);
    Tap(kReturn);
    EXPECT_EQ(Seen(kMessageButtonPressed).size(), 1u);
    // The tap 20 ticks after the click counts again.
    test_input::PressKey(kReturn);
    Frame();
    test_input::ReleaseKey(kReturn);
    Frame();
    EXPECT_EQ(Seen(kMessageButtonPressed).size(), 2u);
}

TEST_F(ButtonsTest, ButtonOfADialogThatIsNotCurrentIgnoresKeysAndMouse) {
    MakeMouseButton("Play", 100.0f, {{"sOwnerID", "Options"}});
    HoverOver(100.0f);
    test_input::SetMouseButton(0, true);
    Frame();
    test_input::SetMouseButton(0, false);
    Tap(kReturn);
    Frames(2);
    EXPECT_TRUE(Seen(kMessageButtonPressed).empty());
}

TEST_F(ButtonsTest, ButtonWhoseDialogWasNeverRegisteredStaysInert) {
    CAIButton& button = MakeMouseButton("Play", 100.0f, {{"sOwnerID", "Ghost"}});
    Attach<CAIDialog>(MakeEntity("main"), "CAIDialog", {{"sID", "Main"}});
    CMessagesBroker::Instance().Post({kMessageFrontendStart, "Main"});
    Frames(8);
    HoverOver(100.0f);
    test_input::SetMouseButton(0, true);
    Frame();
    test_input::SetMouseButton(0, false);
    Frames(2);
    EXPECT_TRUE(Seen(kMessageButtonPressed).empty());
    EXPECT_FALSE(button.IsHeld());
}

TEST_F(ButtonsTest, MouseClickPostsOnReleaseOnlyWhileStillOverTheButton) {
    CAIButton& button = MakeMouseButton("Credits", 100.0f, {{"sMouseCursor", "Hand"}});
    MakeMouseButton("Other", 300.0f);
    HoverOver(100.0f);
    EXPECT_EQ(button.GetState(), CAIButton::kHighLighted);
    test_input::SetMouseButton(0, true);
    Frame();
    EXPECT_EQ(button.GetState(), CAIButton::kPressed);
    EXPECT_EQ(Manager().PressedControlID(), "Credits");
    test_input::SetMouseButton(0, false);
    Frames(2);
    EXPECT_EQ(Seen(kMessageButtonPressed), (std::vector<std::string>{"Credits"}));
    EXPECT_FALSE(button.IsHeld());

    test_input::SetMouseButton(0, true);
    Frame();
    PointAt(200.0f, 100.0f);  // dragged off before letting go
    Frames(2);
    test_input::SetMouseButton(0, false);
    Frames(2);
    EXPECT_EQ(Seen(kMessageButtonPressed).size(), 1u);
    EXPECT_EQ(button.GetState(), CAIButton::kNormal);
}

TEST_F(ButtonsTest, JoystickButtonOneClicksLikeTheMouse) {
    MakeMouseButton("Back", 100.0f);
    HoverOver(100.0f);
    test_input::SetJoystickButton(0, true);
    Frame();
    test_input::SetJoystickButton(0, false);
    Frames(2);
    EXPECT_EQ(Seen(kMessageButtonPressed), (std::vector<std::string>{"Back"}));
}

TEST_F(ButtonsTest, HeldButtonRepeatsAfterTheFirstDelayAndSpeedsUp) {
    MakeMouseButton("Up", 100.0f, {{"iFirstDelay", "30"}, {"iDelay", "10"}, {"iDoubleSpeedDelay", "60"}});
    HoverOver(100.0f);
    test_input::SetMouseButton(0, true);
    std::vector<int> postTicks;
    for (int tick = 0; tick <= 156; ++tick) {
        ForgetSeen();
        Frame();
        // A message posted in one tick is published in the next.
        if (!Seen(kMessageButtonPressed).empty()) {
            postTicks.push_back(tick - 1);
        }
    }
    // Worked by hand: the press tick counts as the first held tick; repeats every 10 ticks,
    // every 5 once 60 ticks have passed since the first repeat, then every 2.
    const std::vector<int> expected = {29,  39,  49,  59,  69,  79,  89,  94,  99,  104, 109,
                                       114, 119, 124, 129, 134, 139, 144, 149, 151, 153, 155};
    EXPECT_EQ(postTicks, expected);
}

TEST_F(ButtonsTest, CheckBoxClickedTwicePostsTwiceAndEndsUnchecked) {
    CEntity& entity = MakePickable("Music", 100.0f, 100.0f, 10.0f, 10.0f);
    MakeEntity("Checked", &entity);
    MakeEntity("Unchecked", &entity);
    CAICheckBox& box = Attach<CAICheckBox>(entity, "CAICheckBox", {{"sID", "Music"}});
    HoverOver(100.0f);
    test_input::SetMouseButton(0, true);
    Frame();
    EXPECT_EQ(box.GetState(), CAICheckBox::kChecked);
    test_input::SetMouseButton(0, false);
    Frame();
    EXPECT_TRUE(entity.FindChild("Checked")->IsEffectivelyVisible());
    EXPECT_FALSE(entity.FindChild("Unchecked")->IsEffectivelyVisible());
    test_input::SetMouseButton(0, true);
    Frame();
    test_input::SetMouseButton(0, false);
    Frames(2);
    EXPECT_EQ(Seen(kMessageButtonPressed), (std::vector<std::string>{"Music", "Music"}));
    EXPECT_EQ(box.GetState(), CAICheckBox::kUnchecked);
    EXPECT_TRUE(entity.FindChild("Unchecked")->IsEffectivelyVisible());
}

TEST_F(ButtonsTest, FocusedCheckBoxTogglesWithSpace) {
    CAICheckBox& box = Attach<CAICheckBox>(MakeEntity("sound"), "CAICheckBox", {{"sID", "Sound"}});
    ASSERT_EQ(Manager().ActiveControlID(), "Sound");
    Tap(kSpace);
    EXPECT_EQ(box.GetState(), CAICheckBox::kChecked);
    box.SetDisabled(true);
    Tap(kSpace);
    EXPECT_EQ(box.GetState(), CAICheckBox::kDisabled);
    EXPECT_EQ(Seen(kMessageButtonPressed).size(), 1u);
}

TEST_F(ButtonsTest, StarterPostsOnceAndDiesOnlyWhenAsked) {
    CEntity& stays = MakeEntity("stays");
    Attach<CAIFrontendStarter>(stays, "CAIFrontendStarter",
                               {{"sStartDialogID", "Main"}, {"sMessage", "MusicStart(menu.ogg)"}});
    CEntity& goes = MakeEntity("goes");
    Attach<CAIFrontendStarter>(goes, "CAIFrontendStarter", {{"bDieOnFinish", "true"}});
    Frames(4);
    EXPECT_EQ(Seen(kMessageFrontendStart), (std::vector<std::string>{"Main", ""}));
    EXPECT_EQ(Seen(kMessageMusicStart), (std::vector<std::string>{"menu.ogg"}));
    EXPECT_EQ(enEntityManager::Instance().FindEntityByName("goes"), nullptr);
    EXPECT_EQ(enEntityManager::Instance().FindEntityByName("stays"), &stays);
}

}  // namespace
