#pragma once
// d3d_light_set_c: the device lights the renderer uses, one record per
// light the device can enable (at most 4), the ambient colour and the
// lighting switch. A light is sent again only when its colours, position
// or direction moved by FLT_EPSILON or more, or its range, cone values or
// flags changed; enables only when they change.
//
// A light_c becomes: type by flags 1 directional, 2 point, 4 spot (a later
// one wins); diffuse = colour x intensity (alpha 0) when it affects diffuse,
// else black; specular likewise; ambient black; position and direction
// from its camera-space matrix (rows 3 and 2; the device's view matrix
// stays identity); falloff of the first kind: range 5r, attenuation2 1/r²;
// second kind: range 25r, attenuation1 1/r; none: range sqrt(FLT_MAX),
// attenuation0 1. A light whose range is not positive keeps range 0 with
// attenuation0 1, lighting nothing, rather than sending infinities. Spot:
// falloff 1, phi = cone, theta = cone - edge.
#include "platform/d3d9/d3d9.h"

#include <vector>

class light_c;

class d3d_light_set_c {
public:
    // Sends D3DRS_AMBIENT 0 and D3DRS_LIGHTING FALSE; every record starts
    // as a disabled point light of range sqrt(FLT_MAX), attenuation0 1.
    void Init(IDirect3DDevice9* _device, u32 _count);
    void Clear();
    u32 GetCount() const { return static_cast<u32>(records.size()); }

    void SetLighting(bool _on);
    void SetAmbient(D3DCOLOR _color);
    // Lights below the count are enabled, the rest disabled; the count is
    // held to the records there are.
    void SetEnabledCount(u32 _count);
    // Indices past the records are ignored.
    void SetLight(u32 _index, const light_c& _light);

    static D3DLIGHT9 MakeLight(const light_c& _light);

private:
    struct record_s {
        D3DLIGHT9 light;
        u32 flags = 0;
        bool enabled = false;
    };
    IDirect3DDevice9* device = nullptr;
    std::vector<record_s> records;
    bool lighting = false;
    D3DCOLOR ambient = 0;
};
