#include "engine/bone.h"

#include "engine/object_chunk.h"
#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <memory>

bone_c::bone_c(const char* _name) : named_node_c<bone_c>(_name)
{
    rest.SetIdentity();
    inverseRest.SetIdentity();
    world.SetIdentity();
    cameraMatrix.SetIdentity();
    skinning.SetIdentity();
}

bone_c::bone_c(const bone_c& _other)
    : entity_c(_other), named_node_c<bone_c>(_other), restPosition(_other.restPosition),
      restDirection(_other.restDirection), restLength(_other.restLength), weightMapName(_other.weightMapName),
      rest(_other.rest), inverseRest(_other.inverseRest), world(_other.world), uniformScale(_other.uniformScale),
      cameraMatrix(_other.cameraMatrix), skinning(_other.skinning)
{}

void bone_c::UpdateRest()
{
    rest = EulerMatrix(restDirection);
    if (hasPivotRotation)
        rest *= EulerMatrix(pivotRotation);
    mat4x3_c move;
    move.SetTranslation(restPosition);
    rest *= move;
    if (const auto* parent_bone = dynamic_cast<const bone_c*>(parent))
        rest *= parent_bone->rest;
    mat4x3_c::Inverse(inverseRest, rest);
}

void bone_c::UpdateTransform(entity_c* _root)
{
    entity_c* p = parent ? parent : _root;
    if (!NeedsUpdate(p))
        return;
    mat4x3_c m;
    m.SetScale(scale);
    m *= EulerMatrix(rotation);
    if (hasPivotRotation)
        m *= EulerMatrix(pivotRotation);
    PlaceBelow(m, p);
    world = m;
    uniformScale = (p && !p->IsUniformScale()) ? false : (scale.x == scale.y && scale.x == scale.z);
    MarkPlaced();
}

void bone_c::UpdateSkinning(const mat4x3_c& _view, bool _view_static)
{
    if (!(isStatic && _view_static && IsPlaced()))
        cameraMatrix = world * _view;
    skinning = inverseRest * cameraMatrix;
}

void bone_c::Write(output_file_c& _file) const
{
    output_file_c body;
    body.WriteString(name);
    WriteEntity(body);
    for (f32 value : {restPosition.x, restPosition.y, restPosition.z, restDirection.x, restDirection.y, restDirection.z,
                      restLength})
        body.WriteF32(value);
    body.WriteString(weightMapName);
    WriteChunk(_file, MakeTag("BONE"), version, body);
}

bone_c* bone_c::Read(input_file_c& _file)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("BONE"), version, body))
        return nullptr;
    auto bone = std::make_unique<bone_c>("(Unnamed)");
    ReadCheckedString(body, bone->name);
    bone->ReadEntity(body);
    for (f32* value : {&bone->restPosition.x, &bone->restPosition.y, &bone->restPosition.z, &bone->restDirection.x,
                       &bone->restDirection.y, &bone->restDirection.z, &bone->restLength})
        body.ReadF32(*value); // a body that ends early keeps the defaults
    body.ReadString(bone->weightMapName);
    return bone.release();
}
