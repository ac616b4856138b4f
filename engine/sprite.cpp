#include "engine/sprite.h"

#include "engine/aabb.h"
#include "engine/camera.h"
#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <cfloat>

namespace {

constexpr f32 half_diagonal = 1.4142135f;

} // namespace

mat4x3_c BillboardMatrix(const vec3_c& _scale, f32 _bank, const vec3_c& _stretch, const camera_c& _camera,
                         const vec3_c& _position)
{
    auto raise = [](f32 _value) { return _value > FLT_EPSILON ? _value : FLT_EPSILON; };
    mat4x3_c m;
    m.SetScale(vec3_c(raise(_scale.x), raise(_scale.y), raise(_scale.z)));
    mat4x3_c step;
    step.SetIdentity();
    step.SetRotation(2, _bank);
    m *= step;
    step.SetScale(_stretch);
    m *= step;
    m *= mat4x3_c(_camera.GetMatrix().GetRotation());
    step.SetTranslation(_position);
    m *= step;
    m *= _camera.GetInverseMatrix();
    return m;
}

sprite_c::sprite_c(const char* _name, renderer_c* _renderer) : null_object_c(_name), renderer(_renderer)
{
    quadVolume.Set(vec3_c(-1.0f, -1.0f, 0.0f), vec3_c(1.0f, 1.0f, 0.0f));
    modelView.SetIdentity();
    flags |= object_rendered;
}

sprite_c::sprite_c(const sprite_c& _other)
    : null_object_c(_other), quadVolume(_other.quadVolume), modelView(_other.modelView),
      map(_other.map ? _other.map->Clone() : nullptr), alphaThreshold(_other.alphaThreshold), renderer(_other.renderer),
      billboardBuilt(_other.billboardBuilt)
{}

sprite_c::~sprite_c() = default;

null_object_c* sprite_c::Clone() const
{
    return new sprite_c(*this);
}

void sprite_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    body.WriteF32(alphaThreshold);
    WriteMapRecord(body, map.get());
    WriteChunk(_file, MakeTag("SPRT"), version, body);
}

sprite_c* sprite_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    std::unique_ptr<sprite_c> sprite = ReadStoredObject<sprite_c>(_file, MakeTag("SPRT"), _renderer, body);
    if (!sprite)
        return nullptr;
    sprite->alphaThreshold = ReadCheckedF32(body);
    ReadMapRecords(body, _renderer, sprite->map);
    return sprite.release();
}

void sprite_c::Preload()
{
    if (map)
        map->Preload();
}

bool sprite_c::SetSpriteFlagParameter(const string_c& _keyword, const command_c& _command)
{
    if (_keyword == "Additive") {
        SetFlag(sprite_additive, _command.GetInt(1u) != 0);
        return true;
    }
    if (_keyword == "AlphaBlending") {
        SetFlag(sprite_alpha_blending, _command.GetInt(1u) != 0);
        return true;
    }
    if (_keyword == "AlphaThreshold") {
        SetAlphaThreshold(_command.GetFloat(1u));
        return true;
    }
    return false;
}

bool sprite_c::SetParameter(const command_c& _command)
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
    return SetSpriteFlagParameter(keyword, _command);
}

void sprite_c::SetMap(const char* _path)
{
    map = MakeEffectMap(_path, false, renderer);
}

void sprite_c::SetAlphaThreshold(f32 _value)
{
    alphaThreshold = _value <= 0.0f ? 0.0f : _value >= 1.0f ? 1.0f : _value;
}

void sprite_c::GetBoundingBox(aabb_c& _box)
{
    _box.Set(vec3_c(-half_diagonal, -half_diagonal, -half_diagonal),
             vec3_c(half_diagonal, half_diagonal, half_diagonal));
}

void sprite_c::UpdateBillboard(const camera_c* _camera)
{
    // A static pair keeps its matrix, but only once there is one to keep.
    if (billboardBuilt && isStatic && _camera->isStatic)
        return;
    modelView = BillboardMatrix(scale, rotation.z, vec3_c(1.0f, 1.0f, 1.0f), *_camera, GetMatrix().GetPosition());
    billboardBuilt = true;
}

void sprite_c::Queue(object_list_t& _pass0, object_list_t& _pass1)
{
    if ((flags & (sprite_additive | sprite_alpha_blending)) || dissolve > 0.0f)
        _pass1.push_back(this);
    else
        _pass0.push_back(this);
}

bool sprite_c::Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || !_camera)
        return false;
    UpdateBillboard(_camera);
    quadVolume.ToClipSpace(modelView, _camera->GetProjection());
    if (quadVolume.Clip(_mask) == 0)
        return false;
    Queue(_pass0, _pass1);
    visible = true;
    return true;
}

void sprite_c::Render(int)
{
    renderer->DrawSprite(this, quadVolume.NeedsClipping());
}

void sprite_c::DrawBounds()
{
    renderer->DrawQuadVolume(quadVolume, EffectBoundsColor(), effect_bounds_alpha, modelView);
}
