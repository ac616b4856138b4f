#include "engine/flare.h"

#include "engine/camera.h"
#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "engine/still_map.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <cfloat>
#include <cmath>

namespace {

f32 AtLeastEpsilon(f32 _value)
{
    return _value > FLT_EPSILON ? _value : FLT_EPSILON;
}

// 1 up to the screen edge, falling to 0 at 1.2 times the half view.
f32 EdgeFade(f32 _value)
{
    return _value <= 1.0f ? 1.0f : 1.0f - (_value - 1.0f) * 5.0f;
}

} // namespace

flare_c::flare_c(const char* _name, renderer_c* _renderer) : sprite_c(_name, _renderer)
{
    flags |= sprite_additive;
}

flare_c::flare_c(const flare_c& _other)
    : sprite_c(_other), intensity(_other.intensity), nominalDistance(_other.nominalDistance),
      distortionFactor(_other.distortionFactor), axisPosition(_other.axisPosition), localTime(_other.localTime)
{
    children.reserve(_other.children.size());
    for (const auto& child : _other.children)
        children.emplace_back(new flare_c(*child));
}

flare_c::~flare_c() = default;

null_object_c* flare_c::Clone() const
{
    return new flare_c(*this);
}

void flare_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    body.WriteF32(intensity);
    body.WriteF32(nominalDistance);
    body.WriteF32(distortionFactor);
    body.WriteF32(axisPosition);
    WriteMapRecord(body, map.get());
    for (const auto& child : children)
        child->Write(body);
    WriteChunk(_file, MakeTag("FLRE"), version, body);
}

flare_c* flare_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("FLRE"), version, body))
        return nullptr;
    object_nesting_guard_c guard(body);
    std::unique_ptr<flare_c> flare(new flare_c("(Unnamed)", _renderer));
    flare->ReadNullBody(body);
    // A body that ends early keeps the defaults of what it lacks.
    body.ReadF32(flare->intensity);
    body.ReadF32(flare->nominalDistance);
    body.ReadF32(flare->distortionFactor);
    body.ReadF32(flare->axisPosition);
    while (body.GetAlignedPointer32()) {
        if (PeekTag(body, MakeTag("FLRE"))) {
            if (flare_c* child = Read(body, _renderer))
                flare->AddChild(child);
            continue;
        }
        const u32 tag = ReadCheckedU32(body);
        input_file_c block;
        ReadCheckedBlock(body, block);
        if (tag == tag_colr)
            flare->map = ReadMapRecord(block, _renderer);
    }
    return flare.release();
}

void flare_c::Preload()
{
    sprite_c::Preload();
    for (const auto& child : children)
        child->Preload();
}

bool flare_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* name_text = _command.GetName();
    if (!name_text)
        return false;
    const string_c keyword(name_text);
    if (keyword == "Map") {
        SetMap(_command.GetParameter(1u));
        return true;
    }
    static const struct {
        const char* keyword;
        u32 flag;
    } switches[] = {
        {"FadeOffScreen", flare_fade_off_screen},       {"FadeBehindObjects", flare_fade_behind_objects},
        {"GlowBehindObjects", object_depth_test},       {"FadeInFog", flare_fade_in_fog},
        {"FadeWithDistance", flare_fade_with_distance},
    };
    for (const auto& entry : switches) {
        if (keyword != entry.keyword)
            continue;
        SetFlag(entry.flag, _command.GetInt(1u) != 0);
        if (entry.flag == flare_fade_behind_objects && (flags & flare_fade_behind_objects) && renderer)
            renderer->LogWarning(string_c("[%s] Ray tracing enabled!", name.GetData()));
        return true;
    }
    if (keyword == "NominalDistance") {
        SetNominalDistance(_command.GetFloat(1u));
        return true;
    }
    if (keyword == "DistortionFactor") {
        SetDistortionFactor(_command.GetFloat(1u));
        return true;
    }
    return false;
}

void flare_c::SetMap(const char* _path)
{
    map = MakeEffectMap(_path, true, renderer);
}

void flare_c::SetFlareMap(const flare_def_c& _definition, int _size)
{
    map = std::make_unique<still_map_c>(texture_def_c(_definition, _size), renderer);
    map->SetRepeat(0);
}

void flare_c::SetNominalDistance(f32 _distance)
{
    nominalDistance = AtLeastEpsilon(_distance);
}

void flare_c::SetDistortionFactor(f32 _factor)
{
    distortionFactor = AtLeastEpsilon(_factor);
}

flare_c* flare_c::AddChild(flare_c* _child)
{
    children.emplace_back(_child);
    return _child;
}

f32 flare_c::Animate(f32 _time)
{
    localTime = entity_c::Animate(_time);
    return localTime;
}

float* flare_c::GetEnvelopeTarget(u32 _index)
{
    if (_index == 156)
        return &intensity;
    return sprite_c::GetEnvelopeTarget(_index);
}

f32 flare_c::ComputeFade(scene_c* _scene, const camera_c* _camera, const vec3_c& _p, u32 _depth) const
{
    f32 fade = intensity;
    if (!(fade > 0.0f))
        return 0.0f;
    if (flags & flare_fade_off_screen) {
        const f32 ax = std::fabs(_p.x / (_camera->GetHorizontalExtent() * _p.z));
        const f32 ay = std::fabs(_p.y / (_camera->GetVerticalExtent() * _p.z));
        if (!(ax < 1.2f && ay < 1.2f))
            return 0.0f;
        fade *= EdgeFade(ax) * EdgeFade(ay);
        if (!(fade > 0.0f))
            return 0.0f;
    }
    if ((flags & flare_fade_in_fog) && _scene && _scene->HasFlags(scene_fog_on)) {
        const f32 d = _p.Length();
        const f32 start = _scene->fogStart;
        const f32 end = _scene->fogEnd;
        // A fog that ends where it starts hides everything beyond that
        // distance, without dividing by the empty range.
        const f32 factor = d <= start ? 1.0f : d >= end ? 0.0f : 1.0f - (d - start) / (end - start);
        fade *= factor;
        if (!(fade > 0.0f))
            return 0.0f;
    }
    if ((flags & flare_fade_behind_objects) && _depth == 0 && _scene) {
        fade *= TraceVisibility(_scene, _camera, _p);
        if (!(fade > 0.0f))
            return 0.0f;
    }
    return fade;
}

f32 flare_c::TraceVisibility(scene_c* _scene, const camera_c* _camera, const vec3_c& _p)
{
    static const struct {
        f32 x, y, weight;
    } samples[] = {
        {-0.005f, 0.005f, 1.0f / 16},  {0.0f, 0.005f, 2.0f / 16},  {0.005f, 0.005f, 1.0f / 16},
        {-0.005f, 0.0f, 2.0f / 16},    {0.0f, 0.0f, 4.0f / 16},    {0.005f, 0.0f, 2.0f / 16},
        {-0.005f, -0.005f, 1.0f / 16}, {0.0f, -0.005f, 2.0f / 16}, {0.005f, -0.005f, 1.0f / 16},
    };
    const f32 d = _p.Length();
    const f32 hw = _camera->GetHorizontalExtent();
    const f32 hh = _camera->GetVerticalExtent();
    const mat3_c turn = _camera->GetMatrix().GetRotation();
    const vec3_c origin = _camera->GetMatrix().GetPosition();
    f32 visible_share = 0.0f;
    for (const auto& sample : samples) {
        const vec3_c q(_p.x + sample.x * hw * _p.z, _p.y + sample.y * hh * _p.z, _p.z);
        vec3_c direction = q * turn;
        direction.NormalizeSelf();
        f32 distance = FLT_MAX;
        vec3_c normal;
        const ray_c ray(origin, direction);
        if (!_scene->RayTest(distance, normal, ray, false, true, FLT_MAX) || distance > d)
            visible_share += sample.weight;
    }
    return visible_share;
}

bool flare_c::Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
                   u32 _depth)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || !_camera)
        return false;
    const vec3_c p = GetMatrix().GetPosition() * _camera->GetInverseMatrix();
    // Without a scene only the camera's own side of the view counts.
    const f32 near_clip = _scene ? _scene->GetNearClipPlane() : 0.0f;
    const f32 far_clip = _scene ? _scene->GetFarClipPlane() : FLT_MAX;
    if (!(near_clip < p.z && far_clip >= p.z))
        return false;
    const f32 fade = ComputeFade(_scene, _camera, p, _depth);
    if (!(fade > 0.0f))
        return false;
    f32 size = fade * nominalDistance;
    size = (flags & flare_fade_with_distance) ? size / _camera->zoom : size * p.z / _camera->zoom;

    modelView = BillboardMatrix(scale, rotation.z, vec3_c(size * distortionFactor, size, 1.0f), *_camera,
                                GetMatrix().GetPosition());

    quadVolume.ToClipSpace(modelView, _camera->GetProjection());
    if (quadVolume.Clip(_mask) == 0)
        return false;

    const vec3_c centre(0.0f, 0.0f, p.z);
    for (const auto& child : children) {
        const f32 t = child->axisPosition;
        const vec3_c q = centre * (1.0f - t) + p * t;
        child->Animate(localTime);
        child->position = q * _camera->GetMatrix();
        child->dissolve = 1.0f - (1.0f - dissolve) * fade;
        child->UpdateTransform(nullptr);
        child->Cull(_pass0, _pass1, _scene, _camera, 0, _depth + 1);
    }
    _pass1.push_back(this);
    visible = true;
    return true;
}
