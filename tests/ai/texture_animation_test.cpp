#include <gtest/gtest.h>

#include "render/model.h"
#include "resource/paths.h"
#include "tests/ai/render_component_fixture.h"
#include "tests/support/program_folder_sandbox.h"
#include "tests/support/xfile_writer.h"
#include "tests/support/xml_builder.h"

using namespace zumbo::test;

namespace {

class TextureAnimationTest : public RenderComponentTest {
protected:
    void SetUp() override {
        RenderComponentTest::SetUp();
        m_sandbox.Write("tri.x", TriangleXFile());
        auto document = MakeRoot("Model", {{"Name", "Sheet"}});
        AddValue(*document, "FileName", "tri.x");
        ASSERT_TRUE(document->Save(MakeFullPath(m_sandbox.Relative() + "\\sheet.xml")));
    }

    // An entity with a model and the component, which the test ticks.
    CEntity& Animated(const ComponentRecipe& recipe) {
        CEntity& entity = LoadEntity({});
        m_model = entity.CreateModel(MakeFullPath(m_sandbox.Relative() + "\\sheet.xml"));
        EXPECT_NE(m_model, nullptr);
        m_component = Create(recipe, &entity);
        return entity;
    }

    // The texture offset a draw of the model uses; (0, 0) while the transform is off.
    std::pair<float, float> DrawnOffset() {
        m_model->SetupRender(m_application->GetDevice());
        DWORD flags = 0;
        m_application->GetDevice()->GetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
        if (flags != D3DTTFF_COUNT2) {
            return {0.0f, 0.0f};
        }
        D3DMATRIX m{};
        m_application->GetDevice()->GetTransform(D3DTS_TEXTURE0, &m);
        EXPECT_FLOAT_EQ(m._11, 1.0f);
        EXPECT_FLOAT_EQ(m._22, 1.0f);
        EXPECT_FLOAT_EQ(m._12, 0.0f);
        return {m._31, m._32};
    }

    // The cells shown over `ticks` ticks, as (u offset, v offset) after each tick.
    std::vector<std::pair<float, float>> TickOffsets(int ticks) {
        std::vector<std::pair<float, float>> offsets;
        for (int tick = 0; tick < ticks; ++tick) {
            m_component->Update();
            offsets.push_back(DrawnOffset());
        }
        return offsets;
    }

    ProgramFolderSandbox m_sandbox;
    CModel* m_model = nullptr;
};

using Offsets = std::vector<std::pair<float, float>>;

}  // namespace

TEST_F(TextureAnimationTest, DefaultTextureMoveScrollsThreeHundredthsPerTickInV) {
    Animated({"CAITextureMove", {}});
    EXPECT_EQ(DrawnOffset(), std::make_pair(0.0f, 0.0f));  // nothing before the first tick
    const Offsets offsets = TickOffsets(3);
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_FLOAT_EQ(offsets[tick].first, 0.0f);
        EXPECT_NEAR(offsets[tick].second, 0.03f * (tick + 1), 1e-6f);
    }
}

TEST_F(TextureAnimationTest, TextureMoveNormalisesItsVectorAndTakesSpeedPerSecond) {
    Animated({"CAITextureMove", {{"p3Vector", "3,4,0"}, {"fSpeed", "6"}}});
    // 6 per second is 0.1 per tick along (0.6, 0.8).
    const Offsets offsets = TickOffsets(2);
    EXPECT_NEAR(offsets[1].first, 0.12f, 1e-6f);
    EXPECT_NEAR(offsets[1].second, 0.16f, 1e-6f);
}

TEST_F(TextureAnimationTest, TextureMoveWithAZeroVectorWarnsAndStaysPut) {
    Animated({"CAITextureMove", {{"p3Vector", "0,0,0"}}});
    EXPECT_TRUE(LogContains("Warning: AI->CAITextureMove->Wrong vector p3Vector: (0, 0, 0)"));
    EXPECT_EQ(TickOffsets(2).back(), std::make_pair(0.0f, 0.0f));
}

TEST_F(TextureAnimationTest, SheetStartsAtItsStartCellAndStopsWithoutWrappingWhenNotLooped) {
    CEntity& entity = Animated({"CAIAnimateTextureCoordinates",
                                {{"iNumStepsU", "4"},
                                 {"iNumStepsV", "2"},
                                 {"iStart", "5"},
                                 {"fStepU", "0.25"},
                                 {"fStepV", "0.5"},
                                 {"fOriginU", "0.01"},
                                 {"bDieOnFinish", "true"}}});
    // iStart 5 is cell (1, 1); each tick moves on first, so (2, 1) and (3, 1) show, then the
    // sheet ends without showing (0, 0).
    const Offsets shown = TickOffsets(2);
    EXPECT_FLOAT_EQ(shown[0].first, 0.51f);
    EXPECT_FLOAT_EQ(shown[0].second, 0.5f);
    EXPECT_FLOAT_EQ(shown[1].first, 0.76f);
    EXPECT_FALSE(entity.IsKilled());
    const Offsets after = TickOffsets(3);
    EXPECT_TRUE(entity.IsKilled());
    for (const auto& offset : after) {
        EXPECT_EQ(offset, shown[1]);
    }
}

TEST_F(TextureAnimationTest, SheetWaitsItsDelayBetweenCellsAndLoops) {
    Animated({"CAIAnimateTextureCoordinates",
              {{"iNumStepsU", "2"},
               {"iNumStepsV", "1"},
               {"fStepU", "0.5"},
               {"iDelay", "2"},
               {"bLooped", "true"}}});
    // The cell changes every third tick: (1, 0), then (0, 0) again.
    const Offsets offsets = TickOffsets(6);
    const float u[] = {0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f};
    for (int tick = 0; tick < 6; ++tick) {
        EXPECT_FLOAT_EQ(offsets[tick].first, u[tick]) << tick;
    }
}
