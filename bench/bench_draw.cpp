// The cost of one draw through the Direct3D stand-in (SetTransform + SetTexture +
// DrawIndexedPrimitive of a small textured box) against raw OpenGL drawing the same vertex and
// index arrays in the same context with the same state. Each iteration is a frame of draws
// that ends when OpenGL has finished them, so both sides pay for their pixels too.
// Needs a display (run it under xvfb-run).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <GL/gl.h>

#include <array>
#include <cstring>
#include <vector>

#include "bench/ratio_report.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/math.h"
#include "platform/win32/window.h"
#include "tests/support/present_parameters.h"

namespace {

constexpr int kDrawsPerFrame = 1000;
// The window and back buffer of the windowed program.
constexpr UINT kWidth = 640;
constexpr UINT kHeight = 480;
constexpr int kPlacements = 50;
constexpr UINT kTextureSize = 32;

struct BoxVertex {  // position, normal, one texture coordinate pair: 32 bytes
    float x, y, z, nx, ny, nz, u, v;
};
constexpr DWORD kBoxFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// A unit box: four corners per face, two triangles per face.
struct BoxMesh {
    std::vector<BoxVertex> vertices;
    std::vector<WORD> indices;

    BoxMesh() {
        static constexpr float kNormals[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                                 {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
        for (const auto& n : kNormals) {
            // Two axes across the face, the normal's own axis fixed at its side.
            const int axis = n[0] != 0 ? 0 : n[1] != 0 ? 1 : 2;
            const int across = (axis + 1) % 3;
            const int up = (axis + 2) % 3;
            const auto first = static_cast<WORD>(vertices.size());
            for (int corner = 0; corner < 4; ++corner) {
                float position[3];
                position[axis] = n[axis] * 0.5f;
                position[across] = (corner & 1) ? 0.5f : -0.5f;
                position[up] = (corner & 2) ? 0.5f : -0.5f;
                vertices.push_back({position[0], position[1], position[2], n[0], n[1], n[2],
                                    float(corner & 1), float((corner >> 1) & 1)});
            }
            for (const int corner : {0, 1, 2, 2, 1, 3}) {
                indices.push_back(static_cast<WORD>(first + corner));
            }
        }
    }
    UINT Faces() const { return static_cast<UINT>(indices.size() / 3); }
};

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::DefWindowProc(window, message, wParam, lParam);
}

// A window, its stand-in device with a perspective camera, the box in buffers and two textures.
class DrawScene {
public:
    bool Create() {
        unsetenv("ZUMBO_HEADLESS");
        m_window = win32::CreateWindow("Draw benchmark", win32::WS_VISIBLE, kWidth, kHeight, Procedure);
        m_direct3D = m_window ? Direct3DCreate8(D3D_SDK_VERSION) : nullptr;
        if (!m_direct3D) {
            return false;
        }
        D3DPRESENT_PARAMETERS parameters = zumbo::test::WindowedParameters(kWidth, kHeight, D3DFMT_UNKNOWN);
        if (FAILED(m_direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                                            D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &m_device))) {
            return false;
        }
        return CreateBuffers() && CreateTextures() && SetCamera();
    }

    ~DrawScene() {
        for (IDirect3DTexture8* texture : m_textures) {
            if (texture) {
                texture->Release();
            }
        }
        if (m_indices) {
            m_indices->Release();
        }
        if (m_vertices) {
            m_vertices->Release();
        }
        if (m_device) {
            m_device->Release();
        }
        if (m_direct3D) {
            m_direct3D->Release();
        }
        if (m_window) {
            win32::DestroyWindow(m_window);
        }
    }

    // The states a model sets before it draws: depth, culling, texture times diffuse, no light.
    void SetModelStates() {
        m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        m_device->SetRenderState(D3DRS_LIGHTING, 0);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        m_device->SetVertexShader(kBoxFvf);
        m_device->SetStreamSource(0, m_vertices, sizeof(BoxVertex));
        m_device->SetIndices(m_indices, 0);
    }

    IDirect3DDevice8* Device() const { return m_device; }
    IDirect3DTexture8* Texture(int index) const { return m_textures[index]; }
    const BoxMesh& Mesh() const { return m_mesh; }
    const D3DXMATRIX& View() const { return m_view; }
    const D3DXMATRIX& Projection() const { return m_projection; }
    // Small boxes spread over the screen, a few pixels wide each.
    const D3DXMATRIX& Placement(int draw) const { return m_placements[draw % kPlacements]; }

private:
    bool CreateBuffers() {
        const UINT vertexBytes = static_cast<UINT>(m_mesh.vertices.size() * sizeof(BoxVertex));
        const UINT indexBytes = static_cast<UINT>(m_mesh.indices.size() * sizeof(WORD));
        BYTE* data = nullptr;
        if (FAILED(m_device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, kBoxFvf, D3DPOOL_MANAGED,
                                                &m_vertices)) ||
            FAILED(m_vertices->Lock(0, 0, &data, 0))) {
            return false;
        }
        std::memcpy(data, m_mesh.vertices.data(), vertexBytes);
        m_vertices->Unlock();
        if (FAILED(m_device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                               D3DPOOL_MANAGED, &m_indices)) ||
            FAILED(m_indices->Lock(0, 0, &data, 0))) {
            return false;
        }
        std::memcpy(data, m_mesh.indices.data(), indexBytes);
        m_indices->Unlock();
        return true;
    }

    bool CreateTextures() {
        const DWORD colours[2] = {0xFFC08040, 0xFF4080C0};
        for (int index = 0; index < 2; ++index) {
            D3DLOCKED_RECT locked{};
            if (FAILED(m_device->CreateTexture(kTextureSize, kTextureSize, 1, 0, D3DFMT_A8R8G8B8,
                                               D3DPOOL_MANAGED, &m_textures[index])) ||
                FAILED(m_textures[index]->LockRect(0, &locked, nullptr, 0))) {
                return false;
            }
            for (UINT row = 0; row < kTextureSize; ++row) {
                auto* pixels =
                    reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + row * locked.Pitch);
                for (UINT column = 0; column < kTextureSize; ++column) {
                    pixels[column] = ((row ^ column) & 4) ? colours[index] : 0xFFFFFFFF;
                }
            }
            m_textures[index]->UnlockRect(0);
        }
        return true;
    }

    bool SetCamera() {
        const D3DXVECTOR3 eye(0, 0, -20);
        const D3DXVECTOR3 at(0, 0, 0);
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&m_view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&m_projection, D3DX_PI / 4, float(kWidth) / float(kHeight), 1.0f, 100.0f);
        for (int index = 0; index < kPlacements; ++index) {
            D3DXMATRIX scale;
            D3DXMATRIX turn;
            D3DXMATRIX move;
            D3DXMatrixScaling(&scale, 0.4f, 0.4f, 0.4f);
            D3DXMatrixRotationYawPitchRoll(&turn, index * 0.3f, index * 0.2f, 0.0f);
            D3DXMatrixTranslation(&move, float(index % 10) - 4.5f, float(index / 10) - 2.0f, 0.0f);
            m_placements[index] = scale * turn * move;
        }
        return SUCCEEDED(m_device->SetTransform(D3DTS_VIEW, &m_view)) &&
               SUCCEEDED(m_device->SetTransform(D3DTS_PROJECTION, &m_projection));
    }

    HWND m_window = nullptr;
    IDirect3D8* m_direct3D = nullptr;
    IDirect3DDevice8* m_device = nullptr;
    IDirect3DVertexBuffer8* m_vertices = nullptr;
    IDirect3DIndexBuffer8* m_indices = nullptr;
    std::array<IDirect3DTexture8*, 2> m_textures{};
    BoxMesh m_mesh;
    D3DXMATRIX m_view;
    D3DXMATRIX m_projection;
    std::array<D3DXMATRIX, kPlacements> m_placements;
};

void BM_StandInDraw(benchmark::State& state) {
    DrawScene scene;
    if (!scene.Create()) {
        state.SkipWithError("no OpenGL device (is there a display?)");
        return;
    }
    IDirect3DDevice8* device = scene.Device();
    scene.SetModelStates();
    const UINT vertices = static_cast<UINT>(scene.Mesh().vertices.size());
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        for (int draw = 0; draw < kDrawsPerFrame; ++draw) {
            device->SetTransform(D3DTS_WORLD, &scene.Placement(draw));
            device->SetTexture(0, scene.Texture(draw & 1));
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertices, 0, scene.Mesh().Faces());
        }
        device->EndScene();
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * kDrawsPerFrame);
}
BENCHMARK(BM_StandInDraw)->Unit(benchmark::kMicrosecond);

// OpenGL's own names for the two textures, with the same pixels as the stand-in's.
std::array<GLuint, 2> CopyTextures(const DrawScene& scene) {
    std::array<GLuint, 2> names{};
    glGenTextures(2, names.data());
    for (int index = 0; index < 2; ++index) {
        D3DLOCKED_RECT locked{};
        scene.Texture(index)->LockRect(0, &locked, nullptr, D3DLOCK_READONLY);
        glBindTexture(GL_TEXTURE_2D, names[index]);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, locked.Pitch / 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSize, kTextureSize, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     locked.pBits);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        scene.Texture(index)->UnlockRect(0);
    }
    return names;
}

// The same picture as the stand-in's: depth test, back faces culled, texture times white.
void SetRawStates(const DrawScene& scene) {
    static constexpr GLfloat kDepthRange[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, -1, 1};
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(kDepthRange);
    glMultMatrixf(&scene.Projection().m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    const BoxVertex* vertices = scene.Mesh().vertices.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(BoxVertex), &vertices->x);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, sizeof(BoxVertex), &vertices->nx);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(BoxVertex), &vertices->u);
    glDisableClientState(GL_COLOR_ARRAY);
}

void BM_RawOpenGLDraw(benchmark::State& state) {
    DrawScene scene;
    if (!scene.Create()) {
        state.SkipWithError("no OpenGL device (is there a display?)");
        return;
    }
    // The device's first clear makes its context current and binds its back buffer.
    scene.Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    const std::array<GLuint, 2> textures = CopyTextures(scene);
    SetRawStates(scene);
    const auto indexCount = static_cast<GLsizei>(scene.Mesh().indices.size());
    const WORD* indices = scene.Mesh().indices.data();
    for (auto _ : state) {
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int draw = 0; draw < kDrawsPerFrame; ++draw) {
            glLoadMatrixf(&scene.View().m[0][0]);
            glMultMatrixf(&scene.Placement(draw).m[0][0]);
            glBindTexture(GL_TEXTURE_2D, textures[draw & 1]);
            glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, indices);
        }
        glFinish();
    }
    glDeleteTextures(2, textures.data());
    state.SetItemsProcessed(state.iterations() * kDrawsPerFrame);
}
BENCHMARK(BM_RawOpenGLDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarksWithRatios(
        argc, argv, {{"stand-in per draw vs raw OpenGL", "BM_StandInDraw", "BM_RawOpenGLDraw"}});
}
