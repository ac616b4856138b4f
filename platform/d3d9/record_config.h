#pragma once
// record_config_c: the machine the record backend pretends to be, and the
// log of what was asked of it. Tests build one, install it with
// InstallRecordBackend, run the renderer, then read the log, the counters
// and the device (LastDevice) back.
//
// The adapter: capabilities, identifier, desktop display mode, the modes
// listed per format, the (usage, resource type, format) triples
// CheckDeviceFormat accepts, the depth formats that match any target, the
// multisample types offered and the client size of windowed devices.
//
// Failures: Fail(call, result, after) makes the named call give `result`
// once `after` calls of that name have succeeded, and every time after.
// The names are the method names ("CreateTexture", "LockRect", "Lock",
// "CreateVertexDeclaration", "GetFrontBufferData", ...), "Direct3DCreate9"
// for the object itself and "Present" for the result of presenting.
#include "platform/d3d9/d3d9.h"

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

class record_device_c;

// One logged call with its first two numeric arguments (state and value,
// register and count, stage and texture presence...).
struct record_call_s {
    std::string name;
    u64 a = 0;
    u64 b = 0;
};

class record_config_c {
public:
    // A capable hardware device: every cap the renderer asks about, shader
    // models 2.0, four lights, eight stages, 2048-texel textures, a 32-bit
    // desktop at 1024x768 with 32- and 16-bit modes, all formats accepted.
    record_config_c();

    D3DCAPS9 caps;
    D3DADAPTER_IDENTIFIER9 identifier;
    D3DDISPLAYMODE displayMode;
    std::map<D3DFORMAT, std::vector<D3DDISPLAYMODE>> modes;
    // Accepted CheckDeviceFormat triples; acceptAllFormats overrides them.
    std::set<std::tuple<DWORD, D3DRESOURCETYPE, D3DFORMAT>> formats;
    bool acceptAllFormats = true;
    std::set<D3DFORMAT> depthMatches;
    std::set<D3DMULTISAMPLE_TYPE> multisampleTypes;
    bool deviceTypeSupported = true;
    UINT clientWidth = 640;
    UINT clientHeight = 480;
    // Extra bytes at the end of every locked row, to exercise row copies.
    u32 pitchPadding = 0;

    void Accept(DWORD _usage, D3DRESOURCETYPE _type, D3DFORMAT _format);
    bool Accepts(DWORD _usage, D3DRESOURCETYPE _type, D3DFORMAT _format) const;

    void Fail(const std::string& _call, HRESULT _result = E_FAIL, u32 _after = 0);
    void ClearFailures() { failures.clear(); }
    // Counts the call and gives the injected result, D3D_OK otherwise.
    HRESULT Check(const std::string& _call);

    void Log(const std::string& _name, u64 _a = 0, u64 _b = 0);
    // Calls of that name made so far.
    u32 Count(const std::string& _name) const;
    // Calls of that name whose first argument was _a (a state, a stage...).
    u32 Count(const std::string& _name, u64 _a) const;
    void ClearLog();
    const std::vector<record_call_s>& GetLog() const { return log; }

    record_device_c* LastDevice() const { return lastDevice; }
    void SetLastDevice(record_device_c* _device) { lastDevice = _device; }

private:
    struct failure_s {
        HRESULT result = E_FAIL;
        u32 after = 0;
        u32 seen = 0;
    };
    std::map<std::string, failure_s> failures;
    std::vector<record_call_s> log;
    std::map<std::string, u32> counts;
    record_device_c* lastDevice = nullptr;
};

// Makes Direct3DCreate9 give record objects that read and log into
// _config, which must outlive them. RemoveRecordBackend uninstalls it.
void InstallRecordBackend(record_config_c& _config);
void RemoveRecordBackend();
