#include "engine/null_object.h"

#include "engine/aabb.h"
#include "engine/object_chunk.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

null_object_c::null_object_c(const char* _name) : named_node_c<null_object_c>(_name) {}

null_object_c::null_object_c(const null_object_c& _other)
    : named_node_c<null_object_c>(_other), entity_c(_other), dissolve(_other.dissolve), transform(_other.transform),
      visible(_other.visible), flags(_other.flags)
{}

null_object_c* null_object_c::Clone() const
{
    return new null_object_c(*this);
}

void null_object_c::Save(const char* _file_name) const
{
    output_file_c file(_file_name);
    Write(file);
    file.Commit();
}

void null_object_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    WriteChunk(_file, MakeTag("NULL"), version, body);
}

void null_object_c::WriteNullBody(output_file_c& _file) const
{
    _file.WriteString(name);
    WriteEntity(_file);
    _file.WriteF32(dissolve);
    _file.WriteU32(GetStoredFlags());
}

void null_object_c::ReadNullBody(input_file_c& _file)
{
    ReadCheckedString(_file, name);
    ReadEntity(_file);
    dissolve = ReadCheckedF32(_file);
    flags = ReadCheckedU32(_file);
}

null_object_c* null_object_c::Read(input_file_c& _file)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("NULL"), version, body))
        return nullptr;
    auto* object = new null_object_c("(Unnamed)");
    try {
        object->ReadNullBody(body);
    } catch (...) {
        delete object;
        throw;
    }
    return object;
}

void null_object_c::Preload() {}

bool null_object_c::SetParameter(const command_c& _command)
{
    const char* keyword = _command.GetName();
    if (!keyword)
        return false;
    const string_c name_text(keyword);
    if (name_text == "DepthTest") {
        SetFlag(object_depth_test, _command.GetInt(1u) != 0);
        return true;
    }
    if (name_text == "ShadowCasting") {
        SetFlag(object_shadow_casting, _command.GetInt(1u) != 0);
        return true;
    }
    return false;
}

void null_object_c::SetFlags(u32 _bits)
{
    flags |= _bits;
}

void null_object_c::ClearFlags(u32 _bits)
{
    flags &= ~_bits;
}

void null_object_c::SetFlag(u32 _bits, bool _on)
{
    if (_on)
        SetFlags(_bits);
    else
        ClearFlags(_bits);
}

void null_object_c::SetVisibility(bool _rendered, bool _ray_testable)
{
    SetFlag(object_rendered, _rendered);
    SetFlag(object_ray_testable, _ray_testable);
}

void null_object_c::GetBoundingBox(aabb_c& _box)
{
    _box.SetEmpty();
}

const mat3_c& null_object_c::GetOrientation() const
{
    return transform.orientation;
}

const mat4x3_c& null_object_c::GetInverseMatrix() const
{
    return transform.inverse;
}

const mat3_c& null_object_c::GetInverseOrientation() const
{
    return transform.inverseOrientation;
}

const mat4x3_c& null_object_c::GetWorldMatrix() const
{
    return transform.world;
}

bool null_object_c::Cull(object_list_t&, object_list_t&, scene_c*, camera_c*, u32, u32)
{
    visible = false;
    return false;
}

bool null_object_c::CullShadow(object_list_t&, camera_c*)
{
    return false;
}

bool null_object_c::RayTest(float&, vec3_c&, const ray_c&, bool, bool, float)
{
    return false;
}

void null_object_c::Render(int) {}
void null_object_c::RenderShadow() {}
void null_object_c::RenderShadowSecondPass() {}
void null_object_c::DrawDebug() {}
void null_object_c::DrawBounds() {}

void null_object_c::UpdateTransform(entity_c* _parent)
{
    entity_c* p = parent ? parent : _parent;
    if (!NeedsUpdate(p))
        return;
    mat4x3_c m;
    m.SetScale(scale);
    if (hasPivot) {
        mat4x3_c shift;
        shift.SetTranslation(-pivot);
        m = shift * m;
    }
    m *= EulerMatrix(rotation);
    if (hasPivotRotation)
        m *= EulerMatrix(pivotRotation);
    PlaceBelow(m, p);
    transform.Set(m);
    transform.uniformScale = (!p || p->IsUniformScale()) && scale.x == scale.y && scale.x == scale.z;
    MarkPlaced();
}

float* null_object_c::GetEnvelopeTarget(u32 _index)
{
    if (_index == 24)
        return &dissolve;
    return entity_c::GetEnvelopeTarget(_index);
}
