// The OpenGL back end on a real window; needs a display (CI runs the tests under Xvfb).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/opengl_frame.h"
#include "platform/win32/window.h"
#include "tests/support/present_parameters.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr UINT kSize = 64;
constexpr D3DCOLOR kBackground = 0xFF204060;
constexpr D3DCOLOR kRed = 0xFFFF0000;

struct ColouredVertex {
    float x, y, z;
    D3DCOLOR colour;
};

struct LitVertex {
    float x, y, z, nx, ny, nz;
};

struct ScreenVertex {  // vertex format 324
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::DefWindowProc(window, message, wParam, lParam);
}

D3DMATRIX Identity() {
    D3DMATRIX matrix{};
    matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
    return matrix;
}

class D3D8OpenGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!getenv("DISPLAY")) {
            GTEST_SKIP() << "no display";
        }
        unsetenv("ZUMBO_HEADLESS");
        m_window = win32::CreateWindow("Direct3D test", win32::WS_VISIBLE | win32::WS_CAPTION, kSize, kSize,
                                       Procedure);
        ASSERT_NE(m_window, nullptr);
        m_direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_direct3D, nullptr);
    }

    void TearDown() override {
        if (m_device != nullptr) {
            EXPECT_EQ(m_device->Release(), 0u);
        }
        if (m_direct3D != nullptr) {
            EXPECT_EQ(m_direct3D->Release(), 0u);
        }
        if (m_window != nullptr) {
            win32::DestroyWindow(m_window);
        }
    }

    void CreateDevice(UINT width = kSize, UINT height = kSize) {
        D3DPRESENT_PARAMETERS parameters = Parameters(width, height);
        ASSERT_EQ(m_direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &m_device),
                  D3D_OK);
        ASSERT_TRUE(d3d8::KeepPresentedFrames(m_device));
    }

    static D3DPRESENT_PARAMETERS Parameters(UINT width, UINT height) {
        return zumbo::test::WindowedParameters(width, height, D3DFMT_UNKNOWN);
    }

    // Clears, lets the draw run inside a scene, presents and returns the frame.
    template <class Draw>
    const d3d8::PresentedFrame& Render(Draw draw) {
        EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0),
                  D3D_OK);
        EXPECT_EQ(m_device->BeginScene(), D3D_OK);
        draw();
        EXPECT_EQ(m_device->EndScene(), D3D_OK);
        EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        const d3d8::PresentedFrame* frame = d3d8::LastPresentedFrame(m_device);
        EXPECT_NE(frame, nullptr);
        return *frame;
    }

    // Draws vertices of a green material under one white directional light, seen through the view.
    const d3d8::PresentedFrame& RenderLit(D3DPRIMITIVETYPE type, UINT primitives, const LitVertex* vertices,
                                          const D3DVECTOR& direction, bool lightOn,
                                          const D3DMATRIX& view = Identity()) {
        D3DMATERIAL8 material{};
        material.Diffuse = {0.0f, 1.0f, 0.0f, 1.0f};
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        light.Direction = direction;
        return Render([&] {
            ASSERT_EQ(m_device->SetTransform(D3DTS_VIEW, &view), D3D_OK);
            ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
            ASSERT_EQ(m_device->SetMaterial(&material), D3D_OK);
            ASSERT_EQ(m_device->SetLight(0, &light), D3D_OK);
            ASSERT_EQ(m_device->LightEnable(0, lightOn), D3D_OK);
            ASSERT_EQ(m_device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
            ASSERT_EQ(m_device->DrawPrimitiveUP(type, primitives, vertices, sizeof(LitVertex)), D3D_OK);
        });
    }

    void DrawTriangle(const std::array<ColouredVertex, 3>& triangle) {
        const D3DMATRIX identity = Identity();
        ASSERT_EQ(m_device->SetTransform(D3DTS_WORLD, &identity), D3D_OK);
        ASSERT_EQ(m_device->SetRenderState(D3DRS_LIGHTING, 0), D3D_OK);
        ASSERT_EQ(m_device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle.data(), sizeof(ColouredVertex)),
                  D3D_OK);
    }

    HWND m_window = nullptr;
    IDirect3D8* m_direct3D = nullptr;
    IDirect3DDevice8* m_device = nullptr;
};

// Clockwise on screen: top left, top right, bottom left in clip coordinates.
constexpr std::array<ColouredVertex, 3> TopLeftTriangle(float z = 0.5f, D3DCOLOR colour = kRed) {
    return {{{-1.0f, 1.0f, z, colour}, {1.0f, 1.0f, z, colour}, {-1.0f, -1.0f, z, colour}}};
}
constexpr std::array<ColouredVertex, 3> kClockwise = TopLeftTriangle();
constexpr std::array<ColouredVertex, 3> kCounterClockwise = {{kClockwise[0], kClockwise[2], kClockwise[1]}};

// The whole back buffer in pixels, texture corners at its corners.
constexpr std::array<ScreenVertex, 4> ScreenQuad(D3DCOLOR colour) {
    constexpr float size = static_cast<float>(kSize);
    return {{{0, 0, 0.5f, 1, colour, 0, 0},
             {size, 0, 0.5f, 1, colour, 1, 0},
             {0, size, 0.5f, 1, colour, 0, 1},
             {size, size, 0.5f, 1, colour, 1, 1}}};
}
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

TEST_F(D3D8OpenGLTest, EnumeratesTheDisplays) {
    ASSERT_GE(m_direct3D->GetAdapterCount(), 1u);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(m_direct3D->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_GT(desktop.Width, 0u);
    EXPECT_EQ(desktop.Format, D3DFMT_X8R8G8B8);
    EXPECT_GE(m_direct3D->GetAdapterModeCount(0), 1u);
    EXPECT_EQ(m_direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, desktop.Format, desktop.Format, true), D3D_OK);
}

TEST_F(D3D8OpenGLTest, ClearFillsTheBackBuffer) {
    CreateDevice();
    const d3d8::PresentedFrame& frame = Render([] {});
    ASSERT_EQ(frame.width, kSize);
    ASSERT_EQ(frame.height, kSize);
    EXPECT_EQ(frame.At(0, 0), kBackground);
    EXPECT_EQ(frame.At(kSize - 1, kSize - 1), kBackground);
}

TEST_F(D3D8OpenGLTest, ClearRectanglesStayInsideThem) {
    CreateDevice();
    const D3DRECT topLeft{0, 0, 16, 8};
    const d3d8::PresentedFrame& frame =
        Render([&] { ASSERT_EQ(m_device->Clear(1, &topLeft, D3DCLEAR_TARGET, kRed, 1.0f, 0), D3D_OK); });
    EXPECT_EQ(frame.At(15, 7), kRed);
    EXPECT_EQ(frame.At(16, 7), kBackground);
    EXPECT_EQ(frame.At(15, 8), kBackground);
}

TEST_F(D3D8OpenGLTest, TriangleIsDrawnInItsDiffuseColour) {
    CreateDevice();
    const d3d8::PresentedFrame& frame = Render([&] {
        ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        DrawTriangle(kClockwise);
    });
    EXPECT_EQ(frame.At(4, 4), kRed);                         // near the top-left corner
    EXPECT_EQ(frame.At(kSize - 4, kSize - 4), kBackground);  // beyond the diagonal
}

TEST_F(D3D8OpenGLTest, CullModeNamesTheWindingThatIsDropped) {
    CreateDevice();
    struct Case {
        D3DCULL mode;
        bool clockwiseShown;
        bool counterClockwiseShown;
    };
    const Case cases[] = {{D3DCULL_NONE, true, true}, {D3DCULL_CW, false, true}, {D3DCULL_CCW, true, false}};
    for (const Case& c : cases) {
        const auto shown = [&](const std::array<ColouredVertex, 3>& triangle) {
            const d3d8::PresentedFrame& frame = Render([&] {
                ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, c.mode), D3D_OK);
                DrawTriangle(triangle);
            });
            return frame.At(4, 4) == kRed;
        };
        EXPECT_EQ(shown(kClockwise), c.clockwiseShown) << "cull mode " << c.mode;
        EXPECT_EQ(shown(kCounterClockwise), c.counterClockwiseShown) << "cull mode " << c.mode;
    }
}

TEST_F(D3D8OpenGLTest, DepthTestKeepsTheNearerTriangleInEitherOrder) {
    CreateDevice();
    const auto nearTriangle = TopLeftTriangle(0.5f, kRed);
    const auto farTriangle = TopLeftTriangle(0.9f, 0xFF00FF00);
    for (const bool nearFirst : {true, false}) {
        const d3d8::PresentedFrame& frame = Render([&] {
            ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
            DrawTriangle(nearFirst ? nearTriangle : farTriangle);
            DrawTriangle(nearFirst ? farTriangle : nearTriangle);
        });
        EXPECT_EQ(frame.At(4, 4), kRed) << (nearFirst ? "near first" : "far first");
    }
}

TEST_F(D3D8OpenGLTest, DepthOutsideZeroToOneIsClipped) {
    CreateDevice();
    const d3d8::PresentedFrame& frame = Render([&] {
        ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        DrawTriangle(TopLeftTriangle(-0.5f));
    });
    EXPECT_EQ(frame.At(4, 4), kBackground);
}

TEST_F(D3D8OpenGLTest, DirectionalLightLightsTheMaterial) {
    const LitVertex triangle[3] = {{-1, 1, 0.5f, 0, 0, -1}, {1, 1, 0.5f, 0, 0, -1}, {-1, -1, 0.5f, 0, 0, -1}};
    CreateDevice();
    const D3DVECTOR intoTheScreen{0.0f, 0.0f, 1.0f};  // onto the surface facing us
    EXPECT_EQ(RenderLit(D3DPT_TRIANGLELIST, 1, triangle, intoTheScreen, true).At(4, 4), 0xFF00FF00u);
    EXPECT_EQ(RenderLit(D3DPT_TRIANGLELIST, 1, triangle, intoTheScreen, false).At(4, 4), 0xFF000000u);
}

TEST_F(D3D8OpenGLTest, DirectionalLightFollowsTheCosineOfNormalAndLightInWorldSpace) {
    // A tilted normal on a quad over the whole target.
    constexpr float nx = 0.6f;
    constexpr float nz = -0.8f;
    const LitVertex quad[4] = {{-1, 1, 0.5f, nx, 0, nz},
                               {1, 1, 0.5f, nx, 0, nz},
                               {-1, -1, 0.5f, nx, 0, nz},
                               {1, -1, 0.5f, nx, 0, nz}};
    // The view turns a quarter about z: the quad still covers the target, and a light set in
    // eye space instead of world space would meet the normal at another angle.
    D3DMATRIX view{};
    view._12 = 1.0f;
    view._21 = -1.0f;
    view._33 = view._44 = 1.0f;
    CreateDevice();
    struct Case {
        D3DVECTOR direction;
        int green;  // 255 x max(0, N . -direction)
    };
    const Case cases[] = {
        {{-0.8f, 0.0f, 0.6f}, 245},  // 0.6 x 0.8 + 0.8 x 0.6 = 0.96 (0.48 in eye space)
        {{0.0f, 0.0f, 1.0f}, 204},   // 0.8
        {{0.6f, 0.0f, -0.8f}, 0},    // -1: the back of the light is dark, not negative
    };
    for (const Case& c : cases) {
        const DWORD pixel =
            RenderLit(D3DPT_TRIANGLESTRIP, 2, quad, c.direction, true, view).At(kSize / 2, kSize / 2);
        EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), c.green, 2) << c.green;
        EXPECT_EQ(pixel & 0xFF00FF, 0u);
    }
}

TEST_F(D3D8OpenGLTest, AlphaTestComparesTheAlphaWithTheReference) {
    CreateDevice();
    const auto quad = ScreenQuad(0x80FF0000);  // alpha 0x80
    struct Case {
        D3DCMPFUNC function;
        DWORD reference;
        bool shown;
    };
    const Case cases[] = {
        {D3DCMP_GREATER, 0x7F, true},       {D3DCMP_GREATER, 0x80, false}, {D3DCMP_GREATEREQUAL, 0x80, true},
        {D3DCMP_GREATEREQUAL, 0x81, false}, {D3DCMP_LESS, 0x80, false},    {D3DCMP_LESS, 0x81, true},
        {D3DCMP_LESSEQUAL, 0x7F, false},    {D3DCMP_EQUAL, 0x80, true},    {D3DCMP_NOTEQUAL, 0x80, false},
        {D3DCMP_NEVER, 0x00, false},        {D3DCMP_ALWAYS, 0xFF, true},
    };
    for (const Case& c : cases) {
        const d3d8::PresentedFrame& frame = Render([&] {
            ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
            ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
            ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE), D3D_OK);
            ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1), D3D_OK);
            ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE), D3D_OK);
            ASSERT_EQ(m_device->SetRenderState(D3DRS_ALPHATESTENABLE, 1), D3D_OK);
            ASSERT_EQ(m_device->SetRenderState(D3DRS_ALPHAFUNC, c.function), D3D_OK);
            ASSERT_EQ(m_device->SetRenderState(D3DRS_ALPHAREF, c.reference), D3D_OK);
            ASSERT_EQ(m_device->SetVertexShader(kScreenFvf), D3D_OK);
            ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad.data(), sizeof(ScreenVertex)),
                      D3D_OK);
        });
        const DWORD colour = frame.At(kSize / 2, kSize / 2) & 0xFFFFFF;
        EXPECT_EQ(colour, (c.shown ? kRed : kBackground) & 0xFFFFFF)
            << "function " << c.function << " reference " << c.reference;
    }
}

TEST_F(D3D8OpenGLTest, ScreenVerticesSampleTheTextureTimesDiffuse) {
    CreateDevice();
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    auto* row0 = static_cast<DWORD*>(locked.pBits);
    auto* row1 = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + locked.Pitch);
    row0[0] = 0xFFFF0000;
    row0[1] = 0xFF00FF00;
    row1[0] = 0xFF0000FF;
    row1[1] = 0xFFFFFFFF;
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

    const auto quad = ScreenQuad(0xFFFFFFFF);
    const d3d8::PresentedFrame& frame = Render([&] {
        ASSERT_EQ(m_device->SetTexture(0, texture), D3D_OK);
        ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        ASSERT_EQ(m_device->SetVertexShader(kScreenFvf), D3D_OK);
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad.data(), sizeof(ScreenVertex)),
                  D3D_OK);
    });
    EXPECT_EQ(frame.At(8, 8), 0xFFFF0000u);
    EXPECT_EQ(frame.At(kSize - 8, 8), 0xFF00FF00u);
    EXPECT_EQ(frame.At(8, kSize - 8), 0xFF0000FFu);
    EXPECT_EQ(frame.At(kSize - 8, kSize - 8), 0xFFFFFFFFu);

    // A texture transform moves two coordinates by its third row, as (u, v, 1) x matrix; it
    // applies to vertices that go through vertex processing only.
    struct TexturedVertex {
        float x, y, z;
        D3DCOLOR colour;
        float u, v;
    };
    const TexturedVertex clipQuad[4] = {{-1, 1, 0.5f, 0xFFFFFFFF, 0, 0},
                                        {1, 1, 0.5f, 0xFFFFFFFF, 1, 0},
                                        {-1, -1, 0.5f, 0xFFFFFFFF, 0, 1},
                                        {1, -1, 0.5f, 0xFFFFFFFF, 1, 1}};
    D3DMATRIX shift = Identity();
    shift._31 = 0.5f;
    const auto drawShifted = [&](DWORD fvf, const void* vertices, UINT stride) {
        return Render([&] {
            ASSERT_EQ(m_device->SetRenderState(D3DRS_LIGHTING, 0), D3D_OK);
            ASSERT_EQ(m_device->SetTransform(D3DTS_TEXTURE0, &shift), D3D_OK);
            ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2),
                      D3D_OK);
            ASSERT_EQ(m_device->SetVertexShader(fvf), D3D_OK);
            ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, stride), D3D_OK);
        });
    };
    const d3d8::PresentedFrame& shifted =
        drawShifted(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, clipQuad, sizeof(TexturedVertex));
    EXPECT_EQ(shifted.At(8, 8), 0xFF00FF00u);
    EXPECT_EQ(shifted.At(kSize - 8, 8), 0xFFFF0000u);
    const d3d8::PresentedFrame& screen = drawShifted(kScreenFvf, quad.data(), sizeof(ScreenVertex));
    EXPECT_EQ(screen.At(8, 8), 0xFFFF0000u);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(D3D8OpenGLTest, TextureFactorAndMultiplyAddCombineAsDirect3DDoes) {
    CreateDevice();
    const auto quad = ScreenQuad(0xFF000080);
    // Stage 0: texture (white without one) x factor; stage 1: current + current x diffuse.
    const d3d8::PresentedFrame& frame = Render([&] {
        ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        ASSERT_EQ(m_device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF404040), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1), D3D_OK);
        ASSERT_EQ(m_device->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT), D3D_OK);
        ASSERT_EQ(m_device->SetVertexShader(kScreenFvf), D3D_OK);
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad.data(), sizeof(ScreenVertex)),
                  D3D_OK);
    });
    const DWORD pixel = frame.At(kSize / 2, kSize / 2);
    // Red and green: 0x40 + 0x40 x 0 = 0x40; blue: 0x40 + 0x40 x 0x80 / 255 = 0x60.
    EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 0x40, 2);
    EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), 0x40, 2);
    EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 0x60, 2);
}

TEST_F(D3D8OpenGLTest, CompressedTexturesAreShownDecoded) {
    CreateDevice();
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const BYTE greenBlock[8] = {0xE0, 0x07, 0x00, 0x00, 0, 0, 0, 0};  // colour 0 pure green, every index 0
    std::memcpy(locked.pBits, greenBlock, sizeof(greenBlock));
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    const auto quad = ScreenQuad(0xFFFFFFFF);
    const d3d8::PresentedFrame& frame = Render([&] {
        ASSERT_EQ(m_device->SetTexture(0, texture), D3D_OK);
        ASSERT_EQ(m_device->SetVertexShader(kScreenFvf), D3D_OK);
        ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad.data(), sizeof(ScreenVertex)),
                  D3D_OK);
    });
    EXPECT_EQ(frame.At(kSize / 2, kSize / 2), 0xFF00FF00u);
    EXPECT_EQ(texture->Release(), 0u);
}

// The device sends OpenGL only the states that changed since the last draw; these draws
// repeat a setting after something else changed OpenGL behind the draws.
TEST_F(D3D8OpenGLTest, WriteMasksHoldAcrossTheClearsThatOpenThem) {
    constexpr D3DCOLOR kGreen = 0xFF00FF00;
    CreateDevice();
    // Clearing writes depth and every colour channel; the draws after it still must not.
    const auto nearThenFar = [&] {
        ASSERT_EQ(m_device->SetRenderState(D3DRS_ZWRITEENABLE, 0), D3D_OK);
        DrawTriangle(TopLeftTriangle(0.2f, kRed));
        DrawTriangle(TopLeftTriangle(0.8f, kGreen));
    };
    const auto masked = [&] {
        ASSERT_EQ(m_device->SetRenderState(D3DRS_COLORWRITEENABLE, 0), D3D_OK);
        DrawTriangle(TopLeftTriangle());
    };
    for (int frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(Render(nearThenFar).At(4, 4), kGreen) << "frame " << frame;
    }
    for (int frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(Render(masked).At(4, 4), kBackground) << "frame " << frame;
    }
}

TEST_F(D3D8OpenGLTest, EveryTextureOnAStageSamplesWithTheStageFilter) {
    CreateDevice();
    // Two texels, red and blue, over the whole target: point sampling keeps them apart, and
    // OpenGL's default linear magnification would mix them in the left half.
    const auto makeTexture = [&] {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(m_device->CreateTexture(2, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        static_cast<DWORD*>(locked.pBits)[0] = kRed;
        static_cast<DWORD*>(locked.pBits)[1] = 0xFF0000FF;
        EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
        return texture;
    };
    const auto quad = ScreenQuad(0xFFFFFFFF);
    const auto expectPointSampled = [&](IDirect3DTexture8* texture, const char* which) {
        ASSERT_NE(texture, nullptr);
        const d3d8::PresentedFrame& frame = Render([&] {
            ASSERT_EQ(m_device->SetTexture(0, texture), D3D_OK);
            ASSERT_EQ(m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT), D3D_OK);
            ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
            ASSERT_EQ(m_device->SetVertexShader(kScreenFvf), D3D_OK);
            ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad.data(), sizeof(ScreenVertex)),
                      D3D_OK);
            ASSERT_EQ(m_device->SetTexture(0, nullptr), D3D_OK);
        });
        EXPECT_EQ(frame.At(kSize / 2 - 6, kSize / 2), kRed) << which;
        EXPECT_EQ(frame.At(kSize / 2 + 6, kSize / 2), 0xFF0000FFu) << which;
    };
    IDirect3DTexture8* first = makeTexture();
    IDirect3DTexture8* second = makeTexture();
    expectPointSampled(first, "first");
    expectPointSampled(second, "second, after the first on the same stage");
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(second->Release(), 0u);
    // OpenGL may give a released texture's name to the next one.
    IDirect3DTexture8* third = makeTexture();
    expectPointSampled(third, "made after the others were released");
    EXPECT_EQ(third->Release(), 0u);
}

TEST_F(D3D8OpenGLTest, LightsAndClipPlanesStayInWorldSpaceWhenOnlyTheViewChanges) {
    const LitVertex quad[4] = {
        {-1, 1, 0.5f, 0, 0, -1}, {1, 1, 0.5f, 0, 0, -1}, {-1, -1, 0.5f, 0, 0, -1}, {1, -1, 0.5f, 0, 0, -1}};
    // Half a turn about y: the normal faces away in eye space, the light still falls on it in
    // the world. A light kept in the first view's eye space would leave the quad dark.
    D3DMATRIX turned{};
    turned._11 = -1.0f;
    turned._22 = 1.0f;
    turned._33 = -1.0f;
    turned._44 = 1.0f;
    turned._43 = 1.0f;  // keeps the quad's depth at 0.5 inside the clip volume
    CreateDevice();
    const D3DVECTOR intoTheScreen{0.0f, 0.0f, 1.0f};
    EXPECT_EQ(RenderLit(D3DPT_TRIANGLESTRIP, 2, quad, intoTheScreen, true).At(8, 8), 0xFF00FF00u);
    EXPECT_EQ(RenderLit(D3DPT_TRIANGLESTRIP, 2, quad, intoTheScreen, true, turned).At(8, 8), 0xFF00FF00u);

    // x >= 0 in the world keeps the right half; under the turned view that is the left half.
    const float keepRight[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    ASSERT_EQ(m_device->SetClipPlane(0, keepRight), D3D_OK);
    ASSERT_EQ(m_device->SetRenderState(D3DRS_CLIPPLANEENABLE, 1), D3D_OK);
    const d3d8::PresentedFrame& straight = RenderLit(D3DPT_TRIANGLESTRIP, 2, quad, intoTheScreen, true);
    EXPECT_EQ(straight.At(8, 8), kBackground);
    EXPECT_EQ(straight.At(kSize - 8, 8), 0xFF00FF00u);
    const d3d8::PresentedFrame& mirrored =
        RenderLit(D3DPT_TRIANGLESTRIP, 2, quad, intoTheScreen, true, turned);
    EXPECT_EQ(mirrored.At(8, 8), 0xFF00FF00u);
    EXPECT_EQ(mirrored.At(kSize - 8, 8), kBackground);
}

TEST_F(D3D8OpenGLTest, ResetChangesTheBackBufferSize) {
    CreateDevice();
    D3DPRESENT_PARAMETERS parameters = Parameters(96, 48);
    ASSERT_EQ(m_device->Reset(&parameters), D3D_OK);
    const d3d8::PresentedFrame& frame = Render([&] {
        ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        DrawTriangle(kClockwise);
    });
    ASSERT_EQ(frame.width, 96u);
    ASSERT_EQ(frame.height, 48u);
    EXPECT_EQ(frame.At(4, 4), kRed);
    EXPECT_EQ(frame.At(92, 44), kBackground);
}

TEST_F(D3D8OpenGLTest, ScreenshotIsWrittenWhenTheDeviceIsReleased) {
    zumbo::test::TempDir folder;
    const auto path = folder.Path() / "shot.png";
    setenv("ZUMBO_SCREENSHOT", path.c_str(), 1);
    CreateDevice();
    unsetenv("ZUMBO_SCREENSHOT");
    Render([] {});
    EXPECT_EQ(m_device->Release(), 0u);
    m_device = nullptr;

    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file.good());
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    const auto bigEndian = [&](std::size_t at) {
        return (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
    };
    EXPECT_EQ(bigEndian(16), static_cast<int>(kSize));  // IHDR width
    EXPECT_EQ(bigEndian(20), static_cast<int>(kSize));  // IHDR height
}

}  // namespace
