#include "render_d3d9/target_setup.h"

#include <algorithm>
#include <stdexcept>

d3d_target_setup_c::target_settings_c::target_settings_c(IDirect3DDevice9* _device, u32 _index, bool _can_mask,
                                                         IDirect3DSurface9* _back_buffer)
    : device(_device), index(_index), canMask(_can_mask), backBuffer(_back_buffer), surface(_back_buffer)
{}

d3d_target_setup_c::target_settings_c::~target_settings_c()
{
    if (backBuffer != nullptr) {
        backBuffer->Release();
    }
}

void d3d_target_setup_c::target_settings_c::Setup(bool _r, bool _g, bool _b, bool _a, IDirect3DSurface9* _surface)
{
    const DWORD wanted = (_r ? D3DCOLORWRITEENABLE_RED : 0) | (_g ? D3DCOLORWRITEENABLE_GREEN : 0) |
                         (_b ? D3DCOLORWRITEENABLE_BLUE : 0) | (_a ? D3DCOLORWRITEENABLE_ALPHA : 0);
    if (!canMask && wanted != 0xF) {
        throw std::invalid_argument("void d3d_target_setup_c::target_settings_c::Setup(bool _r, bool _g, bool _b, "
                                    "bool _a, const texture_c* _texture)");
    }
    IDirect3DSurface9* const target = _surface != nullptr ? _surface : backBuffer;
    if (target != surface) {
        device->SetRenderTarget(index, target);
        surface = target;
    }
    if (canMask && wanted != channels && index < 4) {
        static constexpr D3DRENDERSTATETYPE states[4] = {D3DRS_COLORWRITEENABLE, D3DRS_COLORWRITEENABLE1,
                                                         D3DRS_COLORWRITEENABLE2, D3DRS_COLORWRITEENABLE3};
        device->SetRenderState(states[index], wanted);
        channels = wanted;
    }
}

bool d3d_target_setup_c::Init(IDirect3DDevice9* _device, u32 _count, bool _can_mask)
{
    targets.clear();
    IDirect3DSurface9* back_buffer = nullptr;
    if (FAILED(_device->GetRenderTarget(0, &back_buffer))) {
        return false;
    }
    for (u32 i = 0; i < std::max<u32>(_count, 1); ++i) {
        targets.push_back(std::make_unique<target_settings_c>(_device, i, _can_mask, i == 0 ? back_buffer : nullptr));
    }
    return true;
}

void d3d_target_setup_c::Setup(u32 _index, bool _r, bool _g, bool _b, bool _a, IDirect3DSurface9* _surface)
{
    if (_index < targets.size()) {
        targets[_index]->Setup(_r, _g, _b, _a, _surface);
    }
}

void d3d_target_setup_c::Reset(u32 _from)
{
    for (u32 i = _from; i < targets.size(); ++i) {
        targets[i]->Setup(true, true, true, true, nullptr);
    }
}

IDirect3DSurface9* d3d_target_setup_c::GetBackBuffer() const
{
    return targets.empty() ? nullptr : targets[0]->GetBackBuffer();
}
