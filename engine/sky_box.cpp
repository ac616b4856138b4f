#include "engine/sky_box.h"

#include "engine/aabb.h"
#include "engine/body_items.h"
#include "engine/camera.h"
#include "engine/geometry_def.h"
#include "engine/mesh.h"
#include "engine/model_view.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/renderer.h"
#include "engine/still_map.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <memory>

namespace {

const char* const face_keywords[sky_box_face_count] = {"RIGHT", "LEFT", "UP", "DOWN", "FRONT", "BACK"};

// "col0" with the last character raised by the face.
u32 FaceTag(u32 _face)
{
    return MakeTag("col0") + (_face << 24);
}

const bool registered = (sky_box_c::RegisterReader(), true);

} // namespace

sky_box_c::sky_box_c(const char* _name, renderer_c* _renderer)
    : null_object_c(_name), box(vec3_c(-1.0f, -1.0f, -1.0f), vec3_c(1.0f, 1.0f, 1.0f)),
      mesh(BuildMesh(_name, _renderer)), renderer(_renderer)
{
    flags = object_rendered | object_depth_test;
    modelView.SetIdentity();
}

sky_box_c::sky_box_c(const sky_box_c& _other)
    : null_object_c(_other), box(_other.box), mesh(new mesh_c(*_other.mesh)), modelView(_other.modelView),
      renderer(_other.renderer)
{
    for (u32 i = 0; i < sky_box_face_count; ++i)
        faceMaps[i] = _other.faceMaps[i] ? _other.faceMaps[i]->Clone() : nullptr;
}

sky_box_c::~sky_box_c()
{
    for (map_c* map : faceMaps)
        delete map;
    delete mesh;
}

mesh_c* sky_box_c::BuildMesh(const char* _name, renderer_c* _renderer)
{
    geometry_def_c definition(_name);
    BuildSkyBoxGeometry(definition);
    return new mesh_c(_name, definition, _renderer);
}

void sky_box_c::SetFaceMap(u32 _face, const char* _image_path)
{
    if (_face >= sky_box_face_count)
        return;
    map_c* map = nullptr;
    if (_image_path) {
        map = new still_map_c(texture_def_c(_image_path, false, false), renderer);
        map->SetRepeat(0);
    }
    SetFaceMap(_face, map);
}

void sky_box_c::SetFaceMap(u32 _face, map_c* _map)
{
    if (_map != faceMaps[_face])
        delete faceMaps[_face];
    faceMaps[_face] = _map;
}

u32 sky_box_c::GetFaceCount() const
{
    u32 count = 0;
    for (const map_c* map : faceMaps)
        count += map != nullptr;
    return count;
}

null_object_c* sky_box_c::Clone() const
{
    return new sky_box_c(*this);
}

void sky_box_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    for (u32 i = 0; i < sky_box_face_count; ++i) {
        if (!faceMaps[i])
            continue;
        output_file_c block;
        faceMaps[i]->Write(block);
        body.WriteU32(FaceTag(i));
        body.WriteBlock(block);
    }
    WriteChunk(_file, MakeTag("SBOX"), version, body);
}

void sky_box_c::Preload()
{
    for (map_c* map : faceMaps)
        if (map)
            map->Preload();
}

bool sky_box_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* keyword = _command.GetName();
    if (!keyword || !(string_c(keyword) == "Map"))
        return false;
    for (u32 i = 0; i < sky_box_face_count; ++i)
        if (const char* path = _command.FindParameter(face_keywords[i]))
            SetFaceMap(i, path);
    return true;
}

void sky_box_c::GetBoundingBox(aabb_c& _box)
{
    _box = aabb_c(box);
}

bool sky_box_c::Cull(object_list_t& _pass0, object_list_t&, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || GetFaceCount() == 0)
        return false;
    UpdateModelView(modelView, *this, transform.world, *_camera);
    if (ClipToView(box, modelView, *_camera, _mask) == 0)
        return false;
    _pass0.push_back(this);
    visible = true;
    return true;
}

void sky_box_c::Render(int)
{
    renderer->DrawSkyBox(this, box.NeedsClipping());
}

void sky_box_c::DrawBounds()
{
    renderer->DrawBox(box, vec3_c(0.5f, 0.75f, 0.75f), 0.75f, modelView);
}

sky_box_c* sky_box_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    std::unique_ptr<sky_box_c> sky = ReadStoredObject<sky_box_c>(_file, MakeTag("SBOX"), _renderer, body);
    if (!sky)
        return nullptr;
    ReadBodyItems(body, nullptr, [&](u32 _tag, input_file_c& _block) {
        for (u32 i = 0; i < sky_box_face_count; ++i)
            if (_tag == FaceTag(i)) {
                if (map_c* map = ReadMap(_block, _renderer))
                    sky->SetFaceMap(i, map);
                return;
            }
    });
    return sky.release();
}

void sky_box_c::RegisterReader()
{
    RegisterObjectReader(reader_sky_box, [](input_file_c& _file, renderer_c* _renderer) -> null_object_c* {
        return sky_box_c::Read(_file, _renderer);
    });
}
