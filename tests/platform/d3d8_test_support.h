#pragma once
// A recording Direct3D object and device for the Direct3D tests.

#include <gtest/gtest.h>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/recording_control.h"
#include "tests/support/present_parameters.h"

namespace zumbo::test {

class RecordingDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_direct3D = d3d8::CreateRecordingDirect3D();
        D3DPRESENT_PARAMETERS parameters = WindowedParameters();
        ASSERT_EQ(m_direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &m_device),
                  D3D_OK);
        m_control = d3d8::RecordingControl::LastDevice();
        ASSERT_NE(m_control, nullptr);
    }
    void TearDown() override {
        if (m_device != nullptr) {
            EXPECT_EQ(m_device->Release(), 0u);
        }
        if (m_direct3D != nullptr) {
            EXPECT_EQ(m_direct3D->Release(), 0u);
        }
    }

    IDirect3D8* m_direct3D = nullptr;
    IDirect3DDevice8* m_device = nullptr;
    d3d8::RecordingControl* m_control = nullptr;
};

}  // namespace zumbo::test
