#include <gtest/gtest.h>

#include <string>

#include "tests/platform/d3d8_test_support.h"

namespace {

using zumbo::test::WindowedParameters;

class D3D8EnumerationTest : public ::testing::Test {
protected:
    void SetUp() override { m_direct3D = d3d8::CreateRecordingDirect3D(); }
    void TearDown() override { EXPECT_EQ(m_direct3D->Release(), 0u); }

    IDirect3D8* m_direct3D = nullptr;
};

TEST_F(D3D8EnumerationTest, ReportsOneAdapterWithItsModesAndDesktop) {
    ASSERT_EQ(m_direct3D->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER8 identifier{};
    ASSERT_EQ(m_direct3D->GetAdapterIdentifier(0, 0, &identifier), D3D_OK);
    EXPECT_EQ(std::string(identifier.Description), "Zumbo Recording Adapter");

    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(m_direct3D->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_EQ(desktop.Width, 1024u);
    EXPECT_EQ(desktop.Height, 768u);
    EXPECT_EQ(desktop.RefreshRate, 60u);
    EXPECT_EQ(desktop.Format, D3DFMT_X8R8G8B8);

    const UINT count = m_direct3D->GetAdapterModeCount(0);
    ASSERT_EQ(count, 16u);
    unsigned wide = 0;
    unsigned found800x600at75 = 0;
    for (UINT index = 0; index < count; ++index) {
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(m_direct3D->EnumAdapterModes(0, index, &mode), D3D_OK);
        wide += mode.Format == D3DFMT_X8R8G8B8;
        found800x600at75 += mode.Width == 800 && mode.Height == 600 && mode.RefreshRate == 75;
    }
    EXPECT_EQ(wide, 8u);
    EXPECT_EQ(found800x600at75, 2u);  // one per format

    D3DDISPLAYMODE mode{};
    EXPECT_EQ(m_direct3D->EnumAdapterModes(0, count, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_direct3D->EnumAdapterModes(1, 0, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_direct3D->GetAdapterModeCount(1), 0u);
}

TEST_F(D3D8EnumerationTest, DeviceTypeNeedsHalAndMatchingFormats) {
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, true), D3D_OK);
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, true), D3D_OK);
    // A window uses the desktop format; full screen any listed one.
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, true),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, false), D3D_OK);
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X1R5G5B5, D3DFMT_X1R5G5B5, false),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, false),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, true),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(m_direct3D->CheckDeviceType(1, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, true),
              D3DERR_INVALIDCALL);
}

TEST_F(D3D8EnumerationTest, DepthFormatsAndMultisampling) {
    for (D3DFORMAT depth : {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8}) {
        EXPECT_EQ(m_direct3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                                D3DRTYPE_SURFACE, depth),
                  D3D_OK);
        EXPECT_EQ(
            m_direct3D->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, depth),
            D3D_OK);
    }
    for (D3DFORMAT depth : {D3DFMT_D15S1, D3DFMT_D24X4S4, D3DFMT_D32}) {
        EXPECT_EQ(m_direct3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                                D3DRTYPE_SURFACE, depth),
                  D3DERR_NOTAVAILABLE);
        EXPECT_EQ(
            m_direct3D->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, depth),
            D3DERR_NOTAVAILABLE);
    }
    EXPECT_EQ(
        m_direct3D->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_D16),
        D3DERR_NOTAVAILABLE);
    EXPECT_EQ(
        m_direct3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT5),
        D3D_OK);
    EXPECT_EQ(
        m_direct3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, true, D3DMULTISAMPLE_NONE),
        D3D_OK);
    EXPECT_EQ(m_direct3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, true,
                                                     D3DMULTISAMPLE_2_SAMPLES),
              D3DERR_NOTAVAILABLE);
}

TEST_F(D3D8EnumerationTest, CapsDescribeHardwareTransformAndLighting) {
    D3DCAPS8 caps{};
    ASSERT_EQ(m_direct3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_NE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
    EXPECT_NE(caps.DevCaps & D3DDEVCAPS_PUREDEVICE, 0u);
    EXPECT_NE(caps.TextureOpCaps & D3DTEXOPCAPS_MULTIPLYADD, 0u);
    EXPECT_EQ(caps.PresentationIntervals, D3DPRESENT_INTERVAL_ONE);
    EXPECT_EQ(caps.MaxActiveLights, 8u);
    EXPECT_EQ(caps.MaxUserClipPlanes, 6u);
    EXPECT_EQ(m_direct3D->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
}

TEST_F(D3D8EnumerationTest, CreateDeviceChecksBehaviourFlagsAndModes) {
    IDirect3DDevice8* device = nullptr;
    D3DPRESENT_PARAMETERS windowed = WindowedParameters();
    const DWORD invalidFlags[] = {0,
                                  D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  D3DCREATE_PUREDEVICE | D3DCREATE_MIXED_VERTEXPROCESSING};
    for (DWORD flags : invalidFlags) {
        EXPECT_EQ(m_direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, flags, &windowed, &device),
                  D3DERR_INVALIDCALL);
        EXPECT_EQ(device, nullptr);
    }

    D3DPRESENT_PARAMETERS fullScreen = WindowedParameters(700, 500);
    fullScreen.Windowed = false;
    fullScreen.FullScreen_RefreshRateInHz = 75;
    EXPECT_EQ(m_direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &fullScreen, &device),
              D3DERR_INVALIDCALL);
    fullScreen.BackBufferWidth = 800;
    fullScreen.BackBufferHeight = 600;
    ASSERT_EQ(m_direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr,
                                       D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE,
                                       &fullScreen, &device),
              D3D_OK);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(device->GetDisplayMode(&mode), D3D_OK);
    EXPECT_EQ(mode.Width, 800u);
    EXPECT_EQ(mode.RefreshRate, 75u);
    D3DDEVICE_CREATION_PARAMETERS creation{};
    ASSERT_EQ(device->GetCreationParameters(&creation), D3D_OK);
    EXPECT_EQ(creation.BehaviorFlags, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(D3D8EnumerationTest, ForcedCreateDeviceFailureHitsOnlyTheNextCall) {
    IDirect3DDevice8* device = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    d3d8::FailNextCreateDevice(D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(m_direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &parameters, &device),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(m_direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &parameters, &device),
              D3D_OK);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(D3D8EnumerationTest, DeviceKeepsItsDirect3DObjectAlive) {
    IDirect3DDevice8* device = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    ASSERT_EQ(m_direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &parameters, &device),
              D3D_OK);
    EXPECT_EQ(m_direct3D->AddRef(), 3u);  // ours, the device's, this one
    EXPECT_EQ(m_direct3D->Release(), 2u);
    IDirect3D8* owner = nullptr;
    ASSERT_EQ(device->GetDirect3D(&owner), D3D_OK);
    EXPECT_EQ(owner, m_direct3D);
    EXPECT_EQ(owner->Release(), 2u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(m_direct3D->AddRef(), 2u);
    EXPECT_EQ(m_direct3D->Release(), 1u);
}

}  // namespace
