// The frontend manager: registration, focus, dialog switches with their cross-fade, and the
// start and stop messages.

#include <gtest/gtest.h>

#include "engine/broker.h"
#include "frontend/button.h"
#include "frontend/dialog.h"
#include "frontend/frontend_manager.h"
#include "frontend/text_statics.h"
#include "platform/dinput8/test_input.h"
#include "tests/frontend/frontend_fixture.h"

namespace test_input = dinput8::test;
using namespace zumbo::test;

namespace {

class FrontendManagerTest : public FrontendTest {
protected:
    CFrontendManager& Manager() { return CFrontendManager::Instance(); }

    CEntity& MakeDialog(const std::string& id, const Properties& more = {}) {
        CEntity& entity = MakeEntity(id);
        Properties properties = {{"sID", id}};
        properties.insert(properties.end(), more.begin(), more.end());
        Attach<CAIDialog>(entity, "CAIDialog", properties);
        return entity;
    }
    // Posts the message; it reaches the manager two frames later, as in the program.
    void Post(std::int32_t code, const std::string& argument) {
        CMessagesBroker::Instance().Post({code, argument});
    }
    // The alphas of the dialog entity, one per frame.
    std::vector<int> AlphasOver(const CEntity& dialog, int frames) {
        std::vector<int> alphas;
        for (int i = 0; i < frames; ++i) {
            Frame();
            alphas.push_back(dialog.GetAlpha());
        }
        return alphas;
    }
};

TEST_F(FrontendManagerTest, SecondControlWithTheSameIdInAnotherCaseIsRefused) {
    CEntity& first = MakeEntity("first");
    CEntity& second = MakeEntity("second");
    CAIButton& play = Attach<CAIButton>(first, "CAIButton", {{"sID", "Play"}});
    Attach<CAIButton>(second, "CAIButton", {{"sID", "PLAY"}});
    EXPECT_TRUE(LogContains("Warning: Trying to register control with non-unique ID: \"PLAY\". Skipping."));
    EXPECT_EQ(Manager().FindControl("play"), &play);
    // The first registered control took the focus; the refused one leaves without a trace.
    EXPECT_EQ(Manager().ActiveControlID(), "Play");
    delete &second;
    EXPECT_EQ(Manager().FindControl("PLAY"), &play);
    EXPECT_FALSE(
        LogContains("Warning: Trying to unregister non-registered control with ID \"PLAY\". Skipping."));
}

TEST_F(FrontendManagerTest, StartWithoutArgumentFadesTheFirstDialogInOverFiveTicks) {
    CEntity& main = MakeDialog("Main");
    CEntity& options = MakeDialog("Options");
    MakeDialog("Credits");
    Post(kMessageFrontendStart, "");
    Frame();  // published
    EXPECT_EQ(AlphasOver(main, 5), (std::vector<int>{51, 102, 153, 204, 255}));
    EXPECT_TRUE(Manager().IsStarted());
    EXPECT_EQ(Manager().CurrentDialogID(), "Main");
    EXPECT_TRUE(main.IsEffectivelyVisible());
    EXPECT_FALSE(options.IsEffectivelyVisible());
}

TEST_F(FrontendManagerTest, NoDialogIsCurrentDuringTheFade) {
    MakeDialog("Main");
    Post(kMessageFrontendStart, "Main");
    Frames(5);
    EXPECT_TRUE(Manager().IsFading());
    EXPECT_EQ(Manager().CurrentDialogID(), "");
    Frame();
    EXPECT_FALSE(Manager().IsFading());
    EXPECT_EQ(Manager().CurrentDialogID(), "Main");
    EXPECT_TRUE(static_cast<CAIDialog&>(*Manager().FindDialog("main")).IsActive());
}

TEST_F(FrontendManagerTest, SwitchDuringAFadeHidesTheIncomingDialogAtOnce) {
    CEntity& main = MakeDialog("Main");
    CEntity& options = MakeDialog("Options");
    Post(kMessageFrontendStart, "Main");
    Frames(3);  // Main is two ticks into its fade
    Post(kMessageFrontendSwitchDialog, "Options");
    Frames(2);
    EXPECT_FALSE(main.IsEffectivelyVisible());
    EXPECT_EQ(options.GetAlpha(), 51);
    // Main never became current, so nothing fades out: it stays hidden throughout.
    EXPECT_EQ(AlphasOver(options, 4), (std::vector<int>{102, 153, 204, 255}));
    EXPECT_FALSE(main.IsEffectivelyVisible());
    EXPECT_EQ(Manager().CurrentDialogID(), "Options");
}

TEST_F(FrontendManagerTest, SwitchFadesTheCurrentDialogOutWhileTheNewOneFadesIn) {
    CEntity& main = MakeDialog("Main");
    CEntity& options = MakeDialog("Options");
    Post(kMessageFrontendStart, "Main");
    Frames(7);
    Post(kMessageFrontendSwitchDialog, "Options");
    Frames(2);
    EXPECT_EQ(main.GetAlpha(), 255 - 51);
    EXPECT_EQ(options.GetAlpha(), 51);
    Frames(4);
    EXPECT_FALSE(main.IsEffectivelyVisible());
    EXPECT_EQ(options.GetAlpha(), 255);
    EXPECT_FALSE(static_cast<CAIDialog&>(*Manager().FindDialog("Main")).IsActive());
}

TEST_F(FrontendManagerTest, TheApplicationsLongerFadeStepsByItsLength) {
    CEntity& main = MakeDialog("Main");
    Manager().SetFadeLength(10);
    Post(kMessageFrontendStart, "");
    Frame();  // published
    EXPECT_EQ(AlphasOver(main, 3), (std::vector<int>{25, 51, 76}));
    Frames(7);
    EXPECT_EQ(Manager().CurrentDialogID(), "Main");
}

TEST_F(FrontendManagerTest, StopStoresTheShownDialogAndHidesEverything) {
    CEntity& cursor = MakeEntity("Mouse Cursor", nullptr, {{"bVisible", "false"}});
    CEntity& options = MakeDialog("Options");
    Post(kMessageFrontendStart, "Options");
    Frames(2);
    EXPECT_TRUE(cursor.IsEffectivelyVisible());
    Frames(5);
    Post(kMessageFrontendStop, "");
    Frames(2);
    std::string last;
    EXPECT_TRUE(CBroker::Instance().GetString("frontend\\slastshowndialogid", last));
    EXPECT_EQ(last, "Options");
    EXPECT_FALSE(options.IsEffectivelyVisible());
    EXPECT_FALSE(cursor.IsEffectivelyVisible());
    EXPECT_FALSE(Manager().IsStarted());
    EXPECT_EQ(Manager().CurrentDialogID(), "");
}

TEST_F(FrontendManagerTest, SwitchToAnUnknownDialogIsLoggedAndChangesNothing) {
    CEntity& main = MakeDialog("Main");
    Post(kMessageFrontendStart, "Main");
    Frames(7);
    Post(kMessageFrontendSwitchDialog, "Nowhere");
    Frames(2);
    EXPECT_TRUE(LogContains("Warning: Unable to find dialog by the following ID \"Nowhere\"."));
    EXPECT_FALSE(Manager().IsFading());
    EXPECT_EQ(Manager().CurrentDialogID(), "Main");
    EXPECT_EQ(main.GetAlpha(), 255);
}

TEST_F(FrontendManagerTest, EscapeSwitchesToTheDialogItNames) {
    MakeDialog("Main");
    CEntity& options = MakeDialog("Options", {{"sSwitchToByEscape", "Main"}});
    Post(kMessageFrontendStart, "Options");
    Frames(7);
    ASSERT_EQ(Manager().CurrentDialogID(), "Options");
    test_input::PressKey(kEscape);
    Frame();
    test_input::ReleaseKey(kEscape);
    EXPECT_TRUE(Manager().IsFading());
    Frames(5);
    EXPECT_EQ(Manager().CurrentDialogID(), "Main");
    EXPECT_FALSE(options.IsEffectivelyVisible());
}

TEST_F(FrontendManagerTest, ControlsOfADialogAreFoundInRegistrationOrder) {
    CEntity& entity = MakeEntity("controls");
    Attach<CAIStatic>(entity, "CAIStatic", {{"sID", "a"}, {"sOwnerID", "Main"}});
    Attach<CAIStatic>(entity, "CAIStatic", {{"sID", "b"}, {"sOwnerID", "Other"}});
    Attach<CAIStatic>(entity, "CAIStatic", {{"sID", "c"}, {"sOwnerID", "MAIN"}});
    EXPECT_EQ(Manager().FirstControlOfDialog("main"), "a");
    EXPECT_EQ(Manager().NextControlOfDialog("A", "Main"), "c");
    EXPECT_EQ(Manager().NextControlOfDialog("c", "Main"), "");
    EXPECT_EQ(Manager().NextControlOfDialog("missing", "Main"), "");
}

TEST_F(FrontendManagerTest, UnregisteringTheCurrentDialogDeactivatesIt) {
    CEntity& main = MakeDialog("Main");
    Post(kMessageFrontendStart, "Main");
    Frames(7);
    delete &main;
    EXPECT_EQ(Manager().CurrentDialogID(), "");
    EXPECT_EQ(Manager().FindDialog("Main"), nullptr);
}

}  // namespace
