#include "render_d3d9/light_set.h"
#include "engine/light.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr f32 no_range = 1.8446743e19f; // sqrt(FLT_MAX)

D3DLIGHT9 InitialLight()
{
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_POINT;
    light.Range = no_range;
    light.Attenuation0 = 1.0f;
    return light;
}

bool Differs(const D3DCOLORVALUE& _a, const D3DCOLORVALUE& _b)
{
    return std::fabs(_a.r - _b.r) >= FLT_EPSILON || std::fabs(_a.g - _b.g) >= FLT_EPSILON ||
           std::fabs(_a.b - _b.b) >= FLT_EPSILON || std::fabs(_a.a - _b.a) >= FLT_EPSILON;
}

bool Differs(const D3DVECTOR& _a, const D3DVECTOR& _b)
{
    return std::fabs(_a.x - _b.x) >= FLT_EPSILON || std::fabs(_a.y - _b.y) >= FLT_EPSILON ||
           std::fabs(_a.z - _b.z) >= FLT_EPSILON;
}

}

void d3d_light_set_c::Init(IDirect3DDevice9* _device, u32 _count)
{
    device = _device;
    records.assign(std::min<u32>(_count, 4), record_s{InitialLight(), 0, false});
    lighting = false;
    ambient = 0;
    device->SetRenderState(D3DRS_AMBIENT, 0);
    device->SetRenderState(D3DRS_LIGHTING, 0);
}

void d3d_light_set_c::Clear()
{
    device = nullptr;
    records.clear();
}

void d3d_light_set_c::SetLighting(bool _on)
{
    if (_on != lighting) {
        device->SetRenderState(D3DRS_LIGHTING, _on ? 1 : 0);
        lighting = _on;
    }
}

void d3d_light_set_c::SetAmbient(D3DCOLOR _color)
{
    if (_color != ambient) {
        device->SetRenderState(D3DRS_AMBIENT, _color);
        ambient = _color;
    }
}

void d3d_light_set_c::SetEnabledCount(u32 _count)
{
    for (u32 i = 0; i < records.size(); ++i) {
        const bool wanted = i < _count;
        if (records[i].enabled != wanted) {
            device->LightEnable(i, wanted ? 1 : 0);
            records[i].enabled = wanted;
        }
    }
}

D3DLIGHT9 d3d_light_set_c::MakeLight(const light_c& _light)
{
    const u32 flags = _light.GetFlags();
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    if ((flags & light_point) != 0) {
        light.Type = D3DLIGHT_POINT;
    }
    if ((flags & light_spot) != 0) {
        light.Type = D3DLIGHT_SPOT;
    }
    const vec3_c color = _light.GetColor();
    const D3DCOLORVALUE lit{color.x, color.y, color.z, 0.0f};
    light.Diffuse = (flags & light_diffuse) != 0 ? lit : D3DCOLORVALUE{};
    light.Specular = (flags & light_specular) != 0 ? lit : D3DCOLORVALUE{};
    const mat4x3_c& m = _light.GetCameraMatrix();
    light.Position = {m.m[3][0], m.m[3][1], m.m[3][2]};
    light.Direction = {m.m[2][0], m.m[2][1], m.m[2][2]};
    const f32 r = _light.range > 0.0f ? _light.range : 0.0f;
    if (_light.HasFalloffKind1() && r > 0.0f) {
        light.Range = 5.0f * r;
        light.Attenuation2 = 1.0f / (r * r);
    } else if (_light.HasFalloffKind2() && r > 0.0f) {
        light.Range = 25.0f * r;
        light.Attenuation1 = 1.0f / r;
    } else if (_light.HasFalloffKind1() || _light.HasFalloffKind2()) {
        light.Range = 0.0f;
        light.Attenuation0 = 1.0f;
    } else {
        light.Range = no_range;
        light.Attenuation0 = 1.0f;
    }
    if (light.Type == D3DLIGHT_SPOT) {
        light.Falloff = 1.0f;
        light.Phi = _light.coneAngle;
        light.Theta = _light.coneAngle - _light.edgeAngle;
    }
    return light;
}

void d3d_light_set_c::SetLight(u32 _index, const light_c& _light)
{
    if (_index >= records.size()) {
        return;
    }
    const D3DLIGHT9 wanted = MakeLight(_light);
    record_s& record = records[_index];
    const D3DLIGHT9& last = record.light;
    const bool changed = Differs(wanted.Diffuse, last.Diffuse) || Differs(wanted.Specular, last.Specular) ||
                         Differs(wanted.Position, last.Position) || Differs(wanted.Direction, last.Direction) ||
                         wanted.Range != last.Range || wanted.Phi != last.Phi || wanted.Theta != last.Theta ||
                         _light.GetFlags() != record.flags;
    if (changed) {
        device->SetLight(_index, &wanted);
        record.light = wanted;
        record.flags = _light.GetFlags();
    }
}
