// The mouse cursor component: motion, the virtual screen's edges, the broker group "Mouse"
// and the cursor shapes.

#include <gtest/gtest.h>

#include "engine/broker.h"
#include "engine/global_options.h"
#include "frontend/mouse.h"
#include "input/control_state.h"
#include "resource/xml.h"
#include "tests/frontend/frontend_fixture.h"

using namespace zumbo::test;

namespace {

class MouseTest : public FrontendTest {
protected:
    CEntity& MakeCursor(const char* start = "100,200,0") {
        CEntity& cursor = MakeEntity("Mouse Cursor");
        MakeEntity("Arrow", &cursor);
        MakeEntity("Hand", &cursor);
        enXml element("AI");
        element.AddNewChild("p3Position")->AddAttribute("Value", start);
        cursor.AddSuffixComponent(std::make_unique<CAIMouse>(element, m_controls));
        return cursor;
    }
    static float Broker(const char* path) {
        float value = -1.0f;
        CBroker::Instance().GetFloat(path, value);
        return value;
    }
    static bool Visible() {
        bool visible = false;
        EXPECT_TRUE(CBroker::Instance().GetBool("Mouse\\bVisible", visible));
        return visible;
    }

    ControlState m_controls;
};

TEST_F(MouseTest, MotionIsScaledBySensitivityAndTen) {
    MakeCursor();
    CGlobalOptions::Instance().fJoystickSensivity = 0.5f;
    Frame();
    EXPECT_FLOAT_EQ(Broker("Mouse\\fXPosition"), 100.0f);
    EXPECT_FLOAT_EQ(Broker("Mouse\\fYPosition"), 200.0f);
    m_controls.MouseX = 1.0f;  // 7 device units at sensitivity 1/7
    m_controls.JoystickY = -2.0f;
    Frame();
    EXPECT_FLOAT_EQ(Broker("Mouse\\fXPosition"), 110.0f);
    EXPECT_FLOAT_EQ(Broker("Mouse\\fYPosition"), 190.0f);
    EXPECT_TRUE(Visible());
}

TEST_F(MouseTest, PointerStaysInsideTheVirtualScreen) {
    CEntity& cursor = MakeCursor("630,5,0");
    m_controls.MouseX = 3.0f;
    m_controls.MouseY = -3.0f;
    Frames(2);
    EXPECT_FLOAT_EQ(Broker("Mouse\\fXPosition"), 640.0f);
    EXPECT_FLOAT_EQ(Broker("Mouse\\fYPosition"), 0.0f);
    EXPECT_FLOAT_EQ(cursor.GetPlacementMatrix()._41, 640.0f);
}

TEST_F(MouseTest, RequestedShapeShowsForOneUpdate) {
    CEntity& cursor = MakeCursor();
    Frame();
    EXPECT_TRUE(cursor.FindChild("Arrow")->IsEffectivelyVisible());
    EXPECT_FALSE(cursor.FindChild("Hand")->IsEffectivelyVisible());
    CBroker::Instance().SetString("Mouse\\sCursor", "hand");
    Frame();
    EXPECT_TRUE(cursor.FindChild("Hand")->IsEffectivelyVisible());
    EXPECT_FALSE(cursor.FindChild("Arrow")->IsEffectivelyVisible());
    Frame();
    EXPECT_TRUE(cursor.FindChild("Arrow")->IsEffectivelyVisible());
}

TEST_F(MouseTest, HiddenCursorPublishesInvisibleAndKeepsItsPlace) {
    CEntity& cursor = MakeCursor();
    Frame();
    cursor.SetVisible(false);
    cursor.RefreshVisibility();
    m_controls.MouseX = 5.0f;
    Frame();
    EXPECT_FALSE(Visible());
    EXPECT_FLOAT_EQ(Broker("Mouse\\fXPosition"), 100.0f);
    cursor.SetVisible(true);
    cursor.RefreshVisibility();
    m_controls.MouseX = 0.0f;
    Frame();
    EXPECT_TRUE(Visible());
    EXPECT_FLOAT_EQ(Broker("Mouse\\fXPosition"), 100.0f);
}

TEST_F(MouseTest, DestroyedCursorLeavesThePointerInvisible) {
    CEntity& cursor = MakeCursor();
    Frame();
    delete &cursor;
    EXPECT_FALSE(Visible());
}

}  // namespace
