#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/platform/d3d8_test_support.h"

namespace {

using D3D8DeviceTest = zumbo::test::RecordingDeviceTest;

struct ColouredVertex {
    float x, y, z;
    DWORD colour;
};
constexpr DWORD kColouredFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr ColouredVertex kTriangle[3] = {{0, 0, 0, 0xFFFF0000}, {1, 0, 0, 0xFFFF0000}, {0, 1, 0, 0xFFFF0000}};

TEST_F(D3D8DeviceTest, ScenesPairAndDrawingNeedsOne) {
    ASSERT_EQ(m_device->SetVertexShader(kColouredFvf), D3D_OK);
    EXPECT_EQ(m_device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, sizeof(ColouredVertex)),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    EXPECT_EQ(m_device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, sizeof(ColouredVertex)), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(m_control->Record().presents, 1u);
    EXPECT_EQ(m_control->Record().draws.size(), 1u);
}

TEST_F(D3D8DeviceTest, DrawsAreRecordedWithTextureAndWorldMatrix) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DMATRIX world{};
    world._11 = world._22 = world._33 = world._44 = 1.0f;
    world._41 = 7.0f;
    ASSERT_EQ(m_device->SetTransform(D3DTS_WORLD, &world), D3D_OK);
    ASSERT_EQ(m_device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(m_device->SetVertexShader(kColouredFvf), D3D_OK);
    ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW), D3D_OK);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 1, kTriangle, sizeof(ColouredVertex)), D3D_OK);
    ASSERT_EQ(m_device->EndScene(), D3D_OK);

    ASSERT_EQ(m_control->Record().draws.size(), 1u);
    const d3d8::RecordedDraw& draw = m_control->Record().draws[0];
    EXPECT_EQ(draw.method, "DrawPrimitiveUP");
    EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draw.primitiveCount, 1u);
    EXPECT_EQ(draw.fvf, kColouredFvf);
    EXPECT_EQ(draw.texture, texture);
    EXPECT_FLOAT_EQ(draw.world._41, 7.0f);
    EXPECT_EQ(draw.cullMode, static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(D3D8DeviceTest, DrawsThatWouldReadOutsideTheirDataAreRejected) {
    IDirect3DVertexBuffer8* vertices = nullptr;
    IDirect3DIndexBuffer8* indices = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(sizeof(kTriangle), 0, kColouredFvf, D3DPOOL_MANAGED, &vertices),
              D3D_OK);
    ASSERT_EQ(
        m_device->CreateIndexBuffer(6 * sizeof(std::uint16_t), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices),
        D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, kTriangle, sizeof(kTriangle));
    ASSERT_EQ(vertices->Unlock(), D3D_OK);
    const std::uint16_t indexValues[6] = {0, 1, 2, 2, 1, 3};  // 3 is past the last vertex
    ASSERT_EQ(indices->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, indexValues, sizeof(indexValues));
    ASSERT_EQ(indices->Unlock(), D3D_OK);

    ASSERT_EQ(m_device->SetVertexShader(kColouredFvf), D3D_OK);
    ASSERT_EQ(m_device->SetStreamSource(0, vertices, sizeof(ColouredVertex)), D3D_OK);
    ASSERT_EQ(m_device->SetIndices(indices, 0), D3D_OK);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1), D3D_OK);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 3, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 2, indexValues, D3DFMT_INDEX16,
                                               kTriangle, sizeof(ColouredVertex)),
              D3DERR_INVALIDCALL);
    // A stride shorter than the vertex format is no vertex.
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, 12), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    EXPECT_EQ(m_control->Record().draws.size(), 2u);

    BYTE* unused = nullptr;
    EXPECT_EQ(vertices->Lock(8, sizeof(kTriangle), &unused, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(indices->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertices->Release(), 0u);
    EXPECT_EQ(indices->Release(), 0u);
}

TEST_F(D3D8DeviceTest, UserPointerDrawsUnbindStreamZero) {
    IDirect3DVertexBuffer8* vertices = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(64, 0, kColouredFvf, D3DPOOL_MANAGED, &vertices), D3D_OK);
    ASSERT_EQ(m_device->SetStreamSource(0, vertices, sizeof(ColouredVertex)), D3D_OK);
    ASSERT_EQ(m_device->SetVertexShader(kColouredFvf), D3D_OK);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, sizeof(ColouredVertex)), D3D_OK);
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    IDirect3DVertexBuffer8* bound = vertices;
    UINT stride = 1;
    ASSERT_EQ(m_device->GetStreamSource(0, &bound, &stride), D3D_OK);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(stride, 0u);
    EXPECT_EQ(vertices->Release(), 0u);
}

TEST_F(D3D8DeviceTest, ResourcesHoldTheDeviceAndUnbindThemselvesWhenFreed) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(8, 8, 0, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(m_device->AddRef(), 3u);  // ours, the texture's, this one
    EXPECT_EQ(m_device->Release(), 2u);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);

    ASSERT_EQ(m_device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(m_device->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(m_device->SetTexture(1, texture), D3D_OK);
    DWORD block = 0;
    ASSERT_EQ(m_device->EndStateBlock(&block), D3D_OK);
    IDirect3DBaseTexture8* bound = nullptr;
    ASSERT_EQ(m_device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, texture);
    EXPECT_EQ(bound->Release(), 1u);

    EXPECT_EQ(texture->Release(), 0u);
    ASSERT_EQ(m_device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, nullptr);
    ASSERT_EQ(m_device->ApplyStateBlock(block), D3D_OK);
    ASSERT_EQ(m_device->GetTexture(1, &bound), D3D_OK);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(m_device->AddRef(), 2u);
    EXPECT_EQ(m_device->Release(), 1u);
}

TEST_F(D3D8DeviceTest, TexturesKeepEveryLevelInMemory) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(m_device->CreateTexture(256, 64, 10, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(8192, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(8, 8, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_device->CreateTexture(256, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 9u);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(8, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    ASSERT_EQ(texture->GetLevelDesc(2, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.Height, 16u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 1024);
    static_cast<DWORD*>(locked.pBits)[256 * 3 + 5] = 0x12345678;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);

    const RECT rect{5, 3, 6, 4};
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(*static_cast<DWORD*>(locked.pBits), 0x12345678u);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    const RECT outside{250, 0, 257, 1};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);

    IDirect3DSurface8* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(1, &surface), D3D_OK);
    EXPECT_EQ(texture->Release(), 1u);  // the surface keeps it
    ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 128u);
    EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(D3D8DeviceTest, CompressedTexturesUseBlockPitches) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(16, 8, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 4 * 8);  // four blocks of 8 bytes per block row
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(texture->LockRect(4, &locked, nullptr, 0), D3D_OK);  // 1 x 1 still fills one block
    EXPECT_EQ(locked.Pitch, 8);
    ASSERT_EQ(texture->UnlockRect(4), D3D_OK);
    const RECT unaligned{2, 0, 4, 4};
    EXPECT_EQ(texture->LockRect(0, &locked, &unaligned, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 0u);

    ASSERT_EQ(m_device->CreateTexture(8, 8, 1, 0, D3DFMT_DXT5, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 2 * 16);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(D3D8DeviceTest, ResetFailsWhileDefaultPoolResourcesLive) {
    IDirect3DVertexBuffer8* dynamic = nullptr;
    IDirect3DTexture8* managed = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(36 * 4, D3DUSAGE_DYNAMIC, 338, D3DPOOL_DEFAULT, &dynamic), D3D_OK);
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed), D3D_OK);
    D3DPRESENT_PARAMETERS parameters = zumbo::test::WindowedParameters();
    EXPECT_EQ(m_device->Reset(&parameters), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(dynamic->Release(), 0u);
    EXPECT_EQ(m_device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(managed->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(managed->Release(), 0u);
}

TEST_F(D3D8DeviceTest, LostDeviceWaitsThenNeedsAReset) {
    m_control->LoseDevice(2);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS parameters = zumbo::test::WindowedParameters();
    EXPECT_EQ(m_device->Reset(&parameters), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

    // Drawing while lost succeeds without doing anything.
    ASSERT_EQ(m_device->SetVertexShader(kColouredFvf), D3D_OK);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, sizeof(ColouredVertex)), D3D_OK);
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    EXPECT_TRUE(m_control->Record().draws.empty());

    m_control->FailNextReset(D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(m_device->Reset(&parameters), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(m_device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(D3D8DeviceTest, FailedPresentWithDeviceLostLosesTheDevice) {
    m_control->FailNextPresent(D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_control->Record().presents, 0u);
}

TEST_F(D3D8DeviceTest, BackBufferDescribesThePresentationAndBlocksResetWhileHeld) {
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(backBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 640u);
    EXPECT_EQ(desc.Height, 480u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    D3DPRESENT_PARAMETERS parameters = zumbo::test::WindowedParameters(800, 600);
    EXPECT_EQ(m_device->Reset(&parameters), D3DERR_INVALIDCALL);
    EXPECT_EQ(backBuffer->Release(), 0u);
    ASSERT_EQ(m_device->Reset(&parameters), D3D_OK);
    ASSERT_EQ(m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    ASSERT_EQ(backBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 800u);
    EXPECT_EQ(backBuffer->Release(), 0u);
}

TEST_F(D3D8DeviceTest, ClearNeedsADepthBufferToClearDepth) {
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), D3D_OK);
    ASSERT_EQ(m_control->Record().clears.size(), 2u);
    EXPECT_EQ(m_control->Record().clears[1].color, 0xFF102030u);
    EXPECT_EQ(m_device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);

    D3DPRESENT_PARAMETERS parameters = zumbo::test::WindowedParameters();
    parameters.EnableAutoDepthStencil = false;
    ASSERT_EQ(m_device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

}  // namespace
