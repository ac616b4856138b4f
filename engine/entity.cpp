#include "engine/entity.h"

#include "engine/stream_check.h"
#include "foundation/memory_file.h"

entity_c::entity_c(const entity_c& _other)
    : graph_c(_other), position(_other.position), rotation(_other.rotation), scale(_other.scale), pivot(_other.pivot),
      hasPivot(_other.hasPivot), pivotRotation(_other.pivotRotation), hasPivotRotation(_other.hasPivotRotation),
      isStatic(_other.isStatic), timeOffset(_other.timeOffset), placed(_other.placed)
{}

void entity_c::ResetAnimation()
{
    Reset();
}

f32 entity_c::Animate(f32 _time)
{
    const f32 local = _time - timeOffset;
    graph_c::Animate(local);
    return local;
}

void entity_c::SetPivot(const vec3_c& _pivot)
{
    pivot = _pivot;
    hasPivot = _pivot.x != 0.0f || _pivot.y != 0.0f || _pivot.z != 0.0f;
}

void entity_c::SetPivotRotation(const vec3_c& _rotation)
{
    pivotRotation = _rotation;
    hasPivotRotation = _rotation.x != 0.0f || _rotation.y != 0.0f || _rotation.z != 0.0f;
}

bool entity_c::NeedsUpdate(const entity_c* _parent) const
{
    if (!isStatic || !placed)
        return true;
    return _parent && !_parent->isStatic;
}

float* entity_c::GetEnvelopeTarget(u32 _index)
{
    switch (_index) {
    case 3: return &position.x;
    case 4: return &position.y;
    case 5: return &position.z;
    case 6: return &rotation.x;
    case 7: return &rotation.y;
    case 8: return &rotation.z;
    case 9: return &scale.x;
    case 10: return &scale.y;
    case 11: return &scale.z;
    default: return graph_c::GetEnvelopeTarget(_index);
    }
}

namespace {

void WriteVector(output_file_c& _file, const vec3_c& _v)
{
    _file.WriteF32(_v.x);
    _file.WriteF32(_v.y);
    _file.WriteF32(_v.z);
}

vec3_c ReadVector(input_file_c& _file)
{
    vec3_c v;
    v.x = ReadCheckedF32(_file);
    v.y = ReadCheckedF32(_file);
    v.z = ReadCheckedF32(_file);
    return v;
}

} // namespace

void entity_c::WriteEntity(output_file_c& _file) const
{
    graph_c::Write(_file);
    WriteVector(_file, position);
    WriteVector(_file, rotation);
    WriteVector(_file, scale);
    WriteVector(_file, pivot);
    _file.WriteU8(hasPivot ? 1 : 0);
    WriteVector(_file, pivotRotation);
    _file.WriteU8(hasPivotRotation ? 1 : 0);
    _file.WriteU8(isStatic ? 1 : 0);
    _file.WriteF32(timeOffset);
}

void entity_c::ReadEntity(input_file_c& _file)
{
    graph_c::Read(_file);
    position = ReadVector(_file);
    rotation = ReadVector(_file);
    scale = ReadVector(_file);
    pivot = ReadVector(_file);
    hasPivot = ReadCheckedU8(_file) != 0;
    pivotRotation = ReadVector(_file);
    hasPivotRotation = ReadCheckedU8(_file) != 0;
    isStatic = ReadCheckedU8(_file) != 0;
    timeOffset = ReadCheckedF32(_file);
}

void entity_c::PlaceBelow(mat4x3_c& _m, const entity_c* _parent) const
{
    mat4x3_c move;
    move.SetTranslation(position);
    _m *= move;
    if (_parent)
        _m *= _parent->GetMatrix();
}

void entity_c::UpdateAimedTransform(entity_c* _parent, world_transform_c& _transform)
{
    entity_c* p = parent ? parent : _parent;
    if (placed && isStatic && !(p && !p->isStatic) && !(target && !target->isStatic))
        return;
    vec3_c aim = rotation;
    if (target) {
        const euler_c toward(target->GetMatrix().GetPosition() - position, rotation.z);
        aim = vec3_c(toward.heading, toward.pitch, toward.bank);
    }
    mat4x3_c m = EulerMatrix(aim);
    if (hasPivotRotation)
        m *= EulerMatrix(pivotRotation);
    PlaceBelow(m, p);
    _transform.Set(m);
    _transform.uniformScale = p ? p->IsUniformScale() : true;
    placed = true;
}

mat4x3_c EulerMatrix(const vec3_c& _rotation)
{
    mat4x3_c m;
    m.SetEuler(euler_c(_rotation.x, _rotation.y, _rotation.z));
    return m;
}
