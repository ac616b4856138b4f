#pragma once
// A device of the recording backend for benchmarks that measure our own
// code above it: installed and created at construction, released and the
// backend removed at destruction.
#include "platform/d3d9/record_config.h"

struct record_bench_device_s {
    record_config_c config;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;

    record_bench_device_s()
    {
        InstallRecordBackend(config);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters;
        parameters.Windowed = 1;
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device);
    }
    ~record_bench_device_s()
    {
        device->Release();
        d3d->Release();
        RemoveRecordBackend();
    }
    record_bench_device_s(const record_bench_device_s&) = delete;
    record_bench_device_s& operator=(const record_bench_device_s&) = delete;
};
