// The deferral buffer on the recording back end: runs of equal settings in one draw, its log
// lines, the discard when full and the colours it writes.

#include "render/deferral_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/model.h"
#include "tests/render/model_fixture.h"

namespace {

constexpr const char* kRenderingLine = "Rendering deferral buffer with";

class DeferralBufferTest : public zumbo::test::ModelFixture {
protected:
    void SetUp() override {
        ModelFixture::SetUp();
        D3DXMatrixIdentity(&m_world);
        Device()->BeginScene();
    }
    void TearDown() override {
        Device()->EndScene();
        ModelFixture::TearDown();
    }

    // A deferrable model of the triangle with the settings added.
    CModel& Model(zumbo::test::Settings settings = {}) {
        settings.emplace_back("bDeferrable", "true");
        CModel* model = LoadModel(settings);
        EXPECT_NE(model, nullptr);
        return *model;
    }

    std::size_t IndexedDraws() const {
        std::size_t count = 0;
        for (const auto& draw : Record().draws) {
            count += draw.method == "DrawIndexedPrimitive" ? 1 : 0;
        }
        return count;
    }

    D3DXMATRIX m_world;
};

TEST_F(DeferralBufferTest, TenModelsOfOneKindAreOneDraw) {
    CModel& model = Model();
    for (int i = 0; i < 10; ++i) {
        model.Render(m_world);
    }
    EXPECT_EQ(IndexedDraws(), 0u);
    CDeferralBuffer::Instance().Flush(false);
    ASSERT_EQ(IndexedDraws(), 1u);
    EXPECT_EQ(Record().draws.back().primitiveCount, 10u);
    EXPECT_EQ(Record().draws.back().fvf, 338u);
    EXPECT_EQ(
        m_log.Count("Rendering deferral buffer with 30 vertices and 30 indices. Texture \"Invalid texture "
                    "name!\"."),
        1);
}

TEST_F(DeferralBufferTest, AlternatingSettingsFlushForEveryModel) {
    CModel& front = Model();
    CModel& back = Model({{"sCullMode", "CCW"}});
    for (int i = 0; i < 3; ++i) {
        front.Render(m_world);
        back.Render(m_world);
    }
    CDeferralBuffer::Instance().Flush(false);
    EXPECT_EQ(m_log.Count(kRenderingLine), 6);
    EXPECT_EQ(IndexedDraws(), 6u);
}

TEST_F(DeferralBufferTest, FlushingNothingDoesNothing) {
    CDeferralBuffer::Instance().Flush(false);
    Model().Render(m_world);
    CDeferralBuffer::Instance().Flush(false);
    CDeferralBuffer::Instance().Flush(false);
    EXPECT_EQ(m_log.Count(kRenderingLine), 1);
    EXPECT_EQ(m_log.Count("Discarding"), 0);
}

TEST_F(DeferralBufferTest, AModelThatWouldPassTheVertexCapacityDiscardsFirst) {
    CModel& model = Model();
    // 21845 triangles fill 65535 of the 65536 vertices; the next one does not fit.
    for (int i = 0; i < 21845; ++i) {
        model.Render(m_world);
    }
    EXPECT_EQ(m_log.Count("Discarding"), 0);
    model.Render(m_world);
    EXPECT_EQ(m_log.Count("Discarding deferral buffer with 65535 vertices and 65535 indices."), 1);
    EXPECT_EQ(m_log.Count("Rendering deferral buffer with 65535 vertices and 65535 indices."), 1);
}

TEST_F(DeferralBufferTest, AdditiveModelsCarryTheirFactorScaledByItsAlpha) {
    Model({{"bUseAlpha", "true"}, {"sAlphaFunction", "Add"}, {"dwTextureFactor", "80FF8040"}})
        .Render(m_world);
    CDeferralBuffer::Instance().Flush(false);
    IDirect3DVertexBuffer8* buffer = nullptr;
    UINT stride = 0;
    ASSERT_EQ(Device()->GetStreamSource(0, &buffer, &stride), D3D_OK);
    ASSERT_EQ(stride, 36u);
    BYTE* bytes = nullptr;
    ASSERT_EQ(buffer->Lock(0, 36, &bytes, D3DLOCK_READONLY), D3D_OK);
    DWORD color = 0;
    std::memcpy(&color, bytes + 24, 4);
    float position[3];
    std::memcpy(position, bytes + 36, sizeof(position));  // the second vertex, (2, 0, 0)
    buffer->Unlock();
    buffer->Release();
    // 255 * 128 >> 8 = 127, 128 * 128 >> 8 = 64, 64 * 128 >> 8 = 32.
    EXPECT_EQ(color, 0xFF7F4020u);
    EXPECT_EQ(position[0], 2.0f);
}

TEST_F(DeferralBufferTest, AModelWithAClipPlaneIsDrawnDirectlyFromThenOn) {
    CModel& model = Model();
    model.AddClipPlane(D3DXPLANE{0, 1, 0, 0});
    model.Render(m_world);
    EXPECT_FALSE(model.IsDeferrable());
    EXPECT_EQ(IndexedDraws(), 1u);
    EXPECT_EQ(m_log.Count(kRenderingLine), 0);
}

}  // namespace
