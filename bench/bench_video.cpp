// One 640 x 480 video into a texture: decoding the next frame and copying it into a 1024 x 512
// A8R8G8B8 texture on the recording back end. The budget is a quarter of a frame interval at
// 30 frames per second (8.3 ms).

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "ai/video_texture.h"
#include "platform/d3d8/recording_control.h"
#include "platform/dshow/video_file.h"
#include "platform/win32/files.h"
#include "tests/support/test_video.h"

namespace {

void BM_VideoDecodeAndCopy640x480(benchmark::State& state) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("bench_video_" + std::to_string(getpid()) + ".avi");
    zumbo::test::TestVideo video;
    video.width = 640;
    video.height = 480;
    video.frames = 60;
    video.frameRate = 30;
    video.encoder = "mpeg4";
    std::string message;
    if (!video.Write(file, message)) {
        state.SkipWithError(message.c_str());
        return;
    }
    std::string error;
    auto reader = dshow::VideoFile::Open(win32::ToWindowsPath(file), error);
    IDirect3D8* direct3D = d3d8::CreateRecordingDirect3D();
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 640;
    parameters.BackBufferHeight = 480;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = true;
    IDirect3DDevice8* device = nullptr;
    IDirect3DTexture8* texture = nullptr;
    if (!reader ||
        FAILED(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                      D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device)) ||
        FAILED(device->CreateTexture(1024, 512, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture))) {
        state.SkipWithError("cannot set up the video or the device");
        return;
    }
    dshow::DibFrame frame;
    for (auto _ : state) {
        if (!reader->ReadNextFrame(frame)) {
            reader->Rewind();
            reader->ReadNextFrame(frame);
        }
        CopyFrameToTexture(frame, texture);
    }
    texture->Release();
    device->Release();
    direct3D->Release();
    std::filesystem::remove(file);
}
BENCHMARK(BM_VideoDecodeAndCopy640x480)->Unit(benchmark::kMillisecond);

}  // namespace
