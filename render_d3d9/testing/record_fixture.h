#pragma once
// A record-backend device for renderer tests: configure `config` first,
// then Make() creates the Direct3D object and a device with the given
// vertex processing. Everything is released and the backend removed at
// the end of the test.
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"

#include <gtest/gtest.h>

class record_fixture_c : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    record_device_c* Make(DWORD _behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING);

    record_config_c config;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    record_device_c* rec = nullptr;
};
