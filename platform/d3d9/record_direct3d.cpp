#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"
#include "platform/d3d9/record_resources.h"

namespace {

// The record backend's Direct3D object: answers from the configuration.
class record_direct3d_c : public ref_counted_c<IDirect3D9> {
public:
    explicit record_direct3d_c(record_config_c& _config) : config(_config) {}

    HRESULT GetAdapterIdentifier(UINT _adapter, DWORD, D3DADAPTER_IDENTIFIER9* _identifier) override
    {
        config.Log("GetAdapterIdentifier", _adapter);
        const HRESULT injected = config.Check("GetAdapterIdentifier");
        if (FAILED(injected)) {
            return injected;
        }
        if (_adapter != 0 || _identifier == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_identifier = config.identifier;
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT _adapter, D3DFORMAT _format) override
    {
        config.Log("GetAdapterModeCount", _adapter, _format);
        const auto found = config.modes.find(_format);
        return _adapter != 0 || found == config.modes.end() ? 0 : static_cast<UINT>(found->second.size());
    }

    HRESULT EnumAdapterModes(UINT _adapter, D3DFORMAT _format, UINT _mode, D3DDISPLAYMODE* _result) override
    {
        config.Log("EnumAdapterModes", _format, _mode);
        const HRESULT injected = config.Check("EnumAdapterModes");
        if (FAILED(injected)) {
            return injected;
        }
        const auto found = config.modes.find(_format);
        if (_adapter != 0 || _result == nullptr || found == config.modes.end() || _mode >= found->second.size()) {
            return D3DERR_INVALIDCALL;
        }
        *_result = found->second[_mode];
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(UINT _adapter, D3DDISPLAYMODE* _mode) override
    {
        config.Log("GetAdapterDisplayMode", _adapter);
        const HRESULT injected = config.Check("GetAdapterDisplayMode");
        if (FAILED(injected)) {
            return injected;
        }
        if (_adapter != 0 || _mode == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_mode = config.displayMode;
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT _adapter, D3DDEVTYPE, D3DFORMAT _display, D3DFORMAT, BOOL) override
    {
        config.Log("CheckDeviceType", _adapter, _display);
        return _adapter == 0 && config.deviceTypeSupported ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(UINT _adapter, D3DDEVTYPE, D3DFORMAT, DWORD _usage, D3DRESOURCETYPE _type,
                              D3DFORMAT _format) override
    {
        config.Log("CheckDeviceFormat", _usage, _format);
        return _adapter == 0 && config.Accepts(_usage, _type, _format) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceMultiSampleType(UINT _adapter, D3DDEVTYPE, D3DFORMAT _format, BOOL, D3DMULTISAMPLE_TYPE _samples,
                                       DWORD* _quality_levels) override
    {
        config.Log("CheckDeviceMultiSampleType", _format, _samples);
        if (_adapter != 0 || !config.multisampleTypes.contains(_samples)) {
            return D3DERR_NOTAVAILABLE;
        }
        if (_quality_levels != nullptr) {
            *_quality_levels = 1;
        }
        return D3D_OK;
    }

    HRESULT CheckDepthStencilMatch(UINT _adapter, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT _depth) override
    {
        config.Log("CheckDepthStencilMatch", _adapter, _depth);
        return _adapter == 0 && config.depthMatches.contains(_depth) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT _adapter, D3DDEVTYPE _type, D3DCAPS9* _caps) override
    {
        config.Log("GetDeviceCaps", _adapter);
        const HRESULT injected = config.Check("GetDeviceCaps");
        if (FAILED(injected)) {
            return injected;
        }
        if (_adapter != 0 || _caps == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_caps = config.caps;
        _caps->DeviceType = _type;
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT _adapter, D3DDEVTYPE, HWND, DWORD _behaviour, D3DPRESENT_PARAMETERS* _parameters,
                         IDirect3DDevice9** _device) override
    {
        config.Log("CreateDevice", _adapter, _behaviour);
        const HRESULT injected = config.Check("CreateDevice");
        if (FAILED(injected)) {
            return injected;
        }
        if (_adapter != 0 || _parameters == nullptr || _device == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_device = new record_device_c(config, _behaviour, *_parameters);
        return D3D_OK;
    }

private:
    record_config_c& config;
};

}

void InstallRecordBackend(record_config_c& _config)
{
    SetDirect3DBackend([&_config](UINT) -> IDirect3D9* {
        _config.Log("Direct3DCreate9");
        if (FAILED(_config.Check("Direct3DCreate9"))) {
            return nullptr;
        }
        return new record_direct3d_c(_config);
    });
}

void RemoveRecordBackend()
{
    SetDirect3DBackend({});
}
