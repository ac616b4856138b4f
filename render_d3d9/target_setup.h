#pragma once
// d3d_target_setup_c: the render targets of the device, one
// target_settings_c per simultaneous target. Entry 0 keeps the device's own
// back buffer and binds it whenever no texture surface is asked for; the
// others are unbound then. Colour write channels are sent as
// D3DRS_COLORWRITEENABLE (target 0) and ...ENABLE1-3 only when the device
// can mask channels; without that capability asking for a channel off
// throws std::invalid_argument. Everything is sent only when it changed.
#include "platform/d3d9/d3d9.h"

#include <memory>
#include <vector>

class d3d_target_setup_c {
public:
    class target_settings_c {
    public:
        target_settings_c(IDirect3DDevice9* _device, u32 _index, bool _can_mask, IDirect3DSurface9* _back_buffer);
        ~target_settings_c();
        target_settings_c(const target_settings_c&) = delete;
        target_settings_c& operator=(const target_settings_c&) = delete;

        // _surface null: the back buffer for target 0, none for the others.
        void Setup(bool _r, bool _g, bool _b, bool _a, IDirect3DSurface9* _surface);
        IDirect3DSurface9* GetSurface() const { return surface; }
        IDirect3DSurface9* GetBackBuffer() const { return backBuffer; }

    private:
        IDirect3DDevice9* device;
        u32 index;
        bool canMask;
        IDirect3DSurface9* backBuffer; // a reference held for target 0
        IDirect3DSurface9* surface;
        DWORD channels = 0xF;
    };

    d3d_target_setup_c() = default;
    // Takes the back buffer from GetRenderTarget(0); false when it cannot.
    bool Init(IDirect3DDevice9* _device, u32 _count, bool _can_mask);
    void Clear() { targets.clear(); }
    u32 GetCount() const { return static_cast<u32>(targets.size()); }
    // Out-of-range indices are ignored.
    void Setup(u32 _index, bool _r, bool _g, bool _b, bool _a, IDirect3DSurface9* _surface);
    // Every target from _from on back to all channels and no texture.
    void Reset(u32 _from);
    IDirect3DSurface9* GetBackBuffer() const;

private:
    std::vector<std::unique_ptr<target_settings_c>> targets;
};
