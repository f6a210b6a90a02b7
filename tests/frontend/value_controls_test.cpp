// Slider, edit box, list box and progress bar with scripted pointer and typing.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/broker.h"
#include "engine/entity_manager.h"
#include "frontend/edit_box.h"
#include "frontend/list_box.h"
#include "frontend/progress.h"
#include "frontend/slider.h"
#include "input/input_devices.h"
#include "platform/dinput8/test_input.h"
#include "tests/frontend/frontend_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

namespace test_input = dinput8::test;
using namespace zumbo::test;

namespace {

class ValueControlsTest : public FrontendTest {
protected:
    // A slider whose track spans x 100 to 300 at y 100 and whose thumb is 20 wide: the thumb's
    // centre travels from 110 to 290.
    CAISlider& MakeSlider(const Properties& properties) {
        CEntity& slider = MakeEntity("slider");
        MakePickable("Track", 200.0f, 100.0f, 100.0f, 5.0f, &slider);
        CEntity& thumb = MakeEntity("Thumb", &slider);
        thumb.SetLocalBox({-10.0f, -5.0f, -0.5f}, {10.0f, 5.0f, 0.5f});
        return Attach<CAISlider>(slider, "CAISlider", properties);
    }
    static float ThumbX(const CAISlider& slider) {
        return slider.GetOwner()->FindChild("Thumb")->GetWorldPlacementMatrix()._41;
    }
    static float Published(const char* path) {
        float value = NAN;
        CBroker::Instance().GetFloat(path, value);
        return value;
    }
    void Type(const std::string& text) {
        for (const char c : text) {
            CInputDevices::Instance().AppendTypedCharacter(static_cast<unsigned char>(c));
        }
        Frame();
    }
    // "<temp>Entities\Cell.xml": an entity document for text cells and lines.
    std::string CellTemplate() {
        std::filesystem::create_directories(m_data.Path() / "Entities");
        EXPECT_TRUE(SaveEntityDocument(m_data.WindowsPath(), "Cell"));
        return m_data.WindowsPath() + "Entities\\Cell.xml";
    }

    TempDir m_data;
};

TEST_F(ValueControlsTest, SliderShowsAClampedBrokerValueWithoutWritingItBack) {
    CBroker::Instance().SetFloat("Options\\fVolume", 150.0f);
    CAISlider& slider = MakeSlider({{"sBrokerValue", "Options\\fVolume"}});
    Frames(3);
    EXPECT_FLOAT_EQ(slider.GetValue(), 100.0f);
    EXPECT_FLOAT_EQ(ThumbX(slider), 290.0f);
    EXPECT_FLOAT_EQ(Published("Options\\fVolume"), 150.0f);
}

TEST_F(ValueControlsTest, DraggingPinsTheThumbAtTheTrackEnds) {
    CAISlider& slider = MakeSlider({{"sBrokerValue", "Options\\fVolume"}, {"sMouseCursor", "Hand"}});
    Frames(2);
    PointAt(200.0f, 100.0f);
    Frame();
    test_input::SetMouseButton(0, true);
    Frame();
    EXPECT_TRUE(slider.IsDragging());
    EXPECT_FLOAT_EQ(Published("Options\\fVolume"), 50.0f);  // (200 - 110) / 180
    PointAt(1000.0f, 100.0f);
    Frame();
    EXPECT_FLOAT_EQ(ThumbX(slider), 290.0f);
    EXPECT_FLOAT_EQ(Published("Options\\fVolume"), 100.0f);
    PointAt(-50.0f, 400.0f);  // far off the track: a drag goes on until the button is let go
    Frame();
    EXPECT_FLOAT_EQ(ThumbX(slider), 110.0f);
    EXPECT_FLOAT_EQ(Published("Options\\fVolume"), 0.0f);
    PointAt(155.0f, 100.0f);
    Frame();
    EXPECT_FLOAT_EQ(Published("Options\\fVolume"), 25.0f);
    std::string cursor;
    EXPECT_TRUE(CBroker::Instance().GetString("Mouse\\sCursor", cursor));
    EXPECT_EQ(cursor, "Hand");
    test_input::SetMouseButton(0, false);
    Frame();
    EXPECT_FALSE(slider.IsDragging());
    PointAt(290.0f, 100.0f);
    Frames(2);
    EXPECT_FLOAT_EQ(slider.GetValue(), 25.0f);
}

TEST_F(ValueControlsTest, SliderWithAnEmptyRangeHoldsItsOneValue) {
    CAISlider& slider =
        MakeSlider({{"sBrokerValue", "Options\\fGamma"}, {"fRangeMin", "5"}, {"fRangeMax", "5"}});
    Frames(2);
    EXPECT_FLOAT_EQ(ThumbX(slider), 110.0f);
    PointAt(200.0f, 100.0f);
    Frame();
    test_input::SetMouseButton(0, true);
    Frames(2);
    EXPECT_FLOAT_EQ(slider.GetValue(), 5.0f);
    EXPECT_FLOAT_EQ(Published("Options\\fGamma"), 5.0f);
    EXPECT_FLOAT_EQ(ThumbX(slider), 200.0f);
}

TEST_F(ValueControlsTest, EditBoxKeepsItsMaximumAndTakesBackspace) {
    CEntity& box = MakeEntity("name");
    CEntity& text = MakeEntity("Text", &box);
    CAIEditBox& edit = Attach<CAIEditBox>(
        box, "CAIEditBox", {{"iMaxCharacters", "3"}, {"sBrokerPath", "Player\\sName"}, {"sText", "x"}});
    std::string published;
    EXPECT_TRUE(CBroker::Instance().GetString("Player\\sName", published));
    EXPECT_EQ(published, "x");
    Type("\babcd");
    EXPECT_EQ(edit.GetText(), "abc");
    // The first tick toggles the cursor off: it is hidden for the first half period.
    EXPECT_EQ(text.GetText(), "abc");
    Type("\b\x7F\x01");
    EXPECT_EQ(edit.GetText(), "ab");
    EXPECT_TRUE(CBroker::Instance().GetString("Player\\sName", published));
    EXPECT_EQ(published, "ab");
    // Shown again at the 16th tick, one period of 15 after the first.
    Frames(13);
    EXPECT_EQ(text.GetText(), "ab");
    Frame();
    EXPECT_EQ(text.GetText(), "ab|");
}

TEST_F(ValueControlsTest, EditBoxWithNoRoomOrNoBlinkStaysSound) {
    CEntity& box = MakeEntity("empty");
    CEntity& text = MakeEntity("Text", &box);
    CAIEditBox& edit =
        Attach<CAIEditBox>(box, "CAIEditBox", {{"iMaxCharacters", "0"}, {"iCursorBlinkDelay", "0"}});
    Type("hello");
    EXPECT_EQ(edit.GetText(), "");
    Frames(5);
    EXPECT_EQ(text.GetText(), "|");
}

TEST_F(ValueControlsTest, HiddenEditBoxTakesNoTyping) {
    CEntity& box = MakeEntity("hidden", nullptr, {{"bVisible", "false"}});
    CAIEditBox& edit = Attach<CAIEditBox>(box, "CAIEditBox", {});
    Type("abc");
    EXPECT_EQ(edit.GetText(), "");
}

TEST_F(ValueControlsTest, ListBoxSelectsTheClickedRowAndKeepsTheSelectionInRange) {
    CEntity& list = MakeEntity("list");
    D3DXMatrixTranslation(&list.GetPlacementMatrix(), 100.0f, 100.0f, 0.0f);
    CEntity& cursor = MakeEntity("Cursor", &list);
    enXml columns("Columns");
    CAIListBox& box = Attach<CAIListBox>(list, "CAIListBox",
                                         {{"p3LeftUpCorner", "0,0,1"},
                                          {"p3RightDownCorner", "200,100,0"},
                                          {"fTextHeight", "20"},
                                          {"sTextTemplateXml", CellTemplate()}});
    EXPECT_TRUE(LogContains("Warning. List box does not contain columns. Xml: ."));
    Frame();
    ASSERT_TRUE(box.AddRow({"first"}));
    ASSERT_TRUE(box.AddRow({"second"}));
    ASSERT_TRUE(box.AddRow({"third"}));
    PointAt(150.0f, 145.0f);  // 45 below the top: row 2
    test_input::SetMouseButton(0, true);
    Frame();
    test_input::SetMouseButton(0, false);
    Frame();
    EXPECT_EQ(box.SelectedRow(), 2u);
    EXPECT_FLOAT_EQ(cursor.GetPlacementMatrix()._42, 40.0f);
    EXPECT_FLOAT_EQ(cursor.GetPlacementMatrix()._43, 1.0f);
    PointAt(150.0f, 101.0f);
    test_input::SetMouseButton(0, true);
    Frame();
    test_input::SetMouseButton(0, false);
    Frame();
    EXPECT_EQ(box.SelectedRow(), 0u);
    PointAt(150.0f, 199.0f);  // row 4 by its height, but only three exist
    test_input::SetMouseButton(0, true);
    Frame();
    test_input::SetMouseButton(0, false);
    Frame();
    EXPECT_EQ(box.SelectedRow(), 2u);
    EXPECT_TRUE(box.RemoveRow(2));
    EXPECT_EQ(box.SelectedRow(), 1u);
    EXPECT_FALSE(box.RemoveRow(5));
}

TEST_F(ValueControlsTest, ListBoxCellsFollowTheColumns) {
    CEntity& list = MakeEntity("list");
    enXml element("AI");
    element.AddAttribute("Name", "CAIListBox");
    AddValue(element, "sTextTemplateXml", CellTemplate());
    AddValue(element, "fTextHeight", "10");
    enXml& columns = AddElement(element, "Columns");
    AddValue(AddElement(columns, "Column"), "p3Offset", "0,0,0");
    AddValue(AddElement(columns, "Column"), "p3Offset", "50,0,0");
    auto component = std::make_unique<CAIListBox>(element);
    CAIListBox& box = *component;
    list.AddSuffixComponent(std::move(component));
    ASSERT_TRUE(box.AddRow({"name", "score"}));
    ASSERT_TRUE(box.AddRow({"only"}));
    std::vector<std::pair<std::string, float>> cells;
    for (CEntity* cell = list.FirstChild(); cell; cell = cell->NextSibling()) {
        cells.emplace_back(cell->GetText(), cell->GetPlacementMatrix()._41 + cell->GetPlacementMatrix()._42);
    }
    EXPECT_EQ(cells, (std::vector<std::pair<std::string, float>>{
                         {"name", 0.0f}, {"score", 50.0f}, {"only", 10.0f}, {"", 60.0f}}));
}

TEST_F(ValueControlsTest, ListBoxWithoutRowsIgnoresClicks) {
    CEntity& list = MakeEntity("list");
    CAIListBox& box = Attach<CAIListBox>(list, "CAIListBox", {{"p3RightDownCorner", "100,100,0"}});
    EXPECT_TRUE(LogContains(
        "Warning. List box does not contain valid text template xml. Text will not be displayed. Xml: ."));
    EXPECT_FALSE(box.AddRow({"x"}));
    PointAt(50.0f, 50.0f);
    test_input::SetMouseButton(0, true);
    Frame();
    EXPECT_EQ(box.SelectedRow(), 0u);
    EXPECT_EQ(box.RowCount(), 0u);
    EXPECT_FALSE(box.RemoveRow(0));
}

TEST_F(ValueControlsTest, ProgressPlaneKeepsTheLeftShareOfTheModel) {
    const auto visible = [](const D3DXPLANE& plane, float x) { return plane.a * x + plane.d >= 0.0f; };
    const D3DXPLANE quarter = CAIProgress::ClipPlaneFor(-1.0f, 1.0f, 25.0f);
    EXPECT_TRUE(visible(quarter, -0.6f));
    EXPECT_TRUE(visible(quarter, -0.5f));
    EXPECT_FALSE(visible(quarter, -0.4f));
    const D3DXPLANE none = CAIProgress::ClipPlaneFor(-1.0f, 1.0f, 0.0f);
    EXPECT_FALSE(visible(none, -0.99f));
    const D3DXPLANE all = CAIProgress::ClipPlaneFor(-1.0f, 1.0f, 100.0f);
    EXPECT_TRUE(visible(all, 0.99f));
}

}  // namespace
