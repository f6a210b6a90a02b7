#include "app/options_dialog.h"

#include <gtest/gtest.h>

#include "platform/win32/window.h"

namespace {

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { CGlobalOptions::Instance().ResetToDefaults(); }
    void TearDown() override { CGlobalOptions::Instance().ResetToDefaults(); }
};

TEST_F(OptionsDialogTest, ShowsTheCurrentOptionsAndOkWritesTheUsersChoicesBack) {
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.bRenderEggs = true;
    options.iDebugInfoLevel = 3;
    win32::OptionsDialogControls shown;
    COptionsDlg dialog([&shown](win32::OptionsDialogControls& controls) {
        shown = controls;
        controls.drawBoundingBoxes = true;
        controls.drawEggs = false;
        controls.renderShadows = true;
        controls.debugLevelSelection = 5;
        return win32::IDOK;
    });
    EXPECT_EQ(1, dialog.DoModal());
    EXPECT_FALSE(shown.drawBoundingBoxes);
    EXPECT_TRUE(shown.drawEggs);
    EXPECT_FALSE(shown.renderShadows);
    EXPECT_EQ(3, shown.debugLevelSelection);
    EXPECT_TRUE(options.bRenderBoundingBoxes);
    EXPECT_FALSE(options.bRenderEggs);
    EXPECT_TRUE(options.bRenderShadows);
    EXPECT_EQ(5, options.iDebugInfoLevel);
}

TEST_F(OptionsDialogTest, CancelChangesNothing) {
    COptionsDlg dialog([](win32::OptionsDialogControls& controls) {
        controls.drawBoundingBoxes = true;
        controls.debugLevelSelection = 4;
        return win32::IDCANCEL;
    });
    EXPECT_EQ(2, dialog.DoModal());
    EXPECT_FALSE(CGlobalOptions::Instance().bRenderBoundingBoxes);
    EXPECT_EQ(1, CGlobalOptions::Instance().iDebugInfoLevel);
}

TEST_F(OptionsDialogTest, ALevelOutsideTheListShowsNoSelectionAndSurvivesOk) {
    CGlobalOptions::Instance().iDebugInfoLevel = 9;
    int shownSelection = 0;
    COptionsDlg dialog([&shownSelection](win32::OptionsDialogControls& controls) {
        shownSelection = controls.debugLevelSelection;
        return win32::IDOK;
    });
    EXPECT_EQ(1, dialog.DoModal());
    EXPECT_EQ(-1, shownSelection);
    EXPECT_EQ(9, CGlobalOptions::Instance().iDebugInfoLevel);
}

TEST_F(OptionsDialogTest, TheRealDialogCancelsWhenHeadless) {
    setenv("ZUMBO_HEADLESS", "1", 1);
    CGlobalOptions::Instance().bRenderShadows = true;
    EXPECT_EQ(2, COptionsDlg(static_cast<HWND>(nullptr)).DoModal());
    EXPECT_TRUE(CGlobalOptions::Instance().bRenderShadows);
    unsetenv("ZUMBO_HEADLESS");
}

}  // namespace
