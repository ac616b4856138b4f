#include "platform/d3d9/record_config.h"

#include <algorithm>
#include <cstring>

record_config_c::record_config_c()
{
    caps = D3DHardwareCaps();

    std::strcpy(identifier.Driver, "record.drv");
    std::strcpy(identifier.Description, "Recording device");
    identifier.DriverVersion.HighPart = (6 << 16) | 14;
    identifier.DriverVersion.LowPart = (10 << 16) | 2;

    displayMode = {1024, 768, 60, D3DFMT_X8R8G8B8};
    modes[D3DFMT_X8R8G8B8] = {{1024, 768, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_X8R8G8B8}};
    modes[D3DFMT_R5G6B5] = {{800, 600, 60, D3DFMT_R5G6B5}};
    depthMatches = {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4, D3DFMT_D32};
    multisampleTypes = {D3DMULTISAMPLE_2_SAMPLES, D3DMULTISAMPLE_4_SAMPLES};
}

void record_config_c::Accept(DWORD _usage, D3DRESOURCETYPE _type, D3DFORMAT _format)
{
    acceptAllFormats = false;
    formats.insert({_usage, _type, _format});
}

bool record_config_c::Accepts(DWORD _usage, D3DRESOURCETYPE _type, D3DFORMAT _format) const
{
    return acceptAllFormats || formats.contains({_usage, _type, _format});
}

void record_config_c::Fail(const std::string& _call, HRESULT _result, u32 _after)
{
    failures[_call] = failure_s{_result, _after, 0};
}

HRESULT record_config_c::Check(const std::string& _call)
{
    const auto found = failures.find(_call);
    if (found == failures.end()) {
        return D3D_OK;
    }
    failure_s& failure = found->second;
    if (failure.seen < failure.after) {
        ++failure.seen;
        return D3D_OK;
    }
    return failure.result;
}

void record_config_c::Log(const std::string& _name, u64 _a, u64 _b)
{
    log.push_back({_name, _a, _b});
    ++counts[_name];
}

u32 record_config_c::Count(const std::string& _name) const
{
    const auto found = counts.find(_name);
    return found == counts.end() ? 0 : found->second;
}

u32 record_config_c::Count(const std::string& _name, u64 _a) const
{
    return static_cast<u32>(std::count_if(
        log.begin(), log.end(), [&](const record_call_s& _call) { return _call.name == _name && _call.a == _a; }));
}

void record_config_c::ClearLog()
{
    log.clear();
    counts.clear();
}
