#pragma once
// Presentation parameters of a windowed device with a depth buffer, for tests and benchmarks.

#include "platform/d3d8/d3d8.h"

namespace zumbo::test {

inline D3DPRESENT_PARAMETERS WindowedParameters(UINT width = 640, UINT height = 480,
                                                D3DFORMAT format = D3DFMT_X8R8G8B8) {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.BackBufferFormat = format;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = true;
    parameters.EnableAutoDepthStencil = true;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    return parameters;
}

}  // namespace zumbo::test
