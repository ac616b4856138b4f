#include "engine/trail.h"

#include "engine/aabb.h"
#include "engine/camera.h"
#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/renderer.h"
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

f32 NotBelowZero(f32 _value)
{
    return _value > 0.0f ? _value : 0.0f;
}

} // namespace

trail_c::trail_c(const char* _name, renderer_c* _renderer)
    : effect_object_c(_name, _renderer, object_rendered | object_depth_test | object_fog), lastBoundaryTime(-FLT_MAX)
{}

null_object_c* trail_c::Clone() const
{
    return new trail_c(*this);
}

void trail_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    body.WriteU32(segmentCount);
    body.WriteF32(segmentSize);
    body.WriteF32(lifetime);
    body.WriteF32(measure);
    WriteMapRecord(body, map.get());
    WriteChunk(_file, MakeTag("TRAL"), version, body);
}

trail_c* trail_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    std::unique_ptr<trail_c> trail = ReadStoredObject<trail_c>(_file, MakeTag("TRAL"), _renderer, body);
    if (!trail)
        return nullptr;
    const u32 count = ReadCheckedU32(body);
    // Nothing in the file backs the ribbon, so its length is bounded here.
    if (count > max_segments)
        ThrowDataError(body, "Segment count out of range!");
    trail->segmentCount = count;
    // A lifetime or measure of 0 (or not a number) would restart the ribbon
    // at every frame; the setters' limits hold for stored values too.
    trail->SetSegmentSize(ReadCheckedF32(body));
    trail->SetLifetime(ReadCheckedF32(body));
    trail->SetMeasure(ReadCheckedF32(body));
    ReadMapRecords(body, _renderer, trail->map);
    trail->flags |= trail_ribbon_dirty;
    return trail.release();
}

bool trail_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* name_text = _command.GetName();
    if (!name_text)
        return false;
    const string_c keyword(name_text);
    if (keyword == "Segments") {
        const int count = _command.GetInt(1u);
        SetSegments(count > 0 ? static_cast<u32>(count) : 0u);
    } else if (keyword == "Map") {
        SetMap(_command.GetParameter(1u));
    } else if (keyword == "Additive") {
        SetFlag(trail_additive, _command.GetInt(1u) != 0);
    } else if (keyword == "SegmentSize") {
        SetSegmentSize(_command.GetFloat(1u));
    } else if (keyword == "Lifetime") {
        SetLifetime(_command.GetFloat(1u));
    } else if (keyword == "Measure") {
        SetMeasure(_command.GetFloat(1u));
    } else {
        return false;
    }
    return true;
}

void trail_c::SetSegments(u32 _count)
{
    const u32 count = _count < max_segments ? _count : max_segments;
    if (count == segmentCount)
        return;
    segmentCount = count;
    flags |= trail_ribbon_dirty;
}

void trail_c::SetSegmentSize(f32 _size)
{
    segmentSize = NotBelowZero(_size);
}

void trail_c::SetLifetime(f32 _lifetime)
{
    lifetime = AtLeastEpsilon(_lifetime);
}

void trail_c::SetMeasure(f32 _measure)
{
    measure = AtLeastEpsilon(_measure);
}

void trail_c::GetVectors(vec3_c& _left, vec3_c& _right) const
{
    _left = headLeft;
    _right = headRight;
}

f32 trail_c::Animate(f32 _time)
{
    if (clock.Advance(entity_c::Animate(_time))) {
        lastBoundaryTime = -FLT_MAX;
        restart = true;
    }
    return clock.time;
}

void trail_c::RebuildRibbon()
{
    geometry.reset();
    flags &= ~trail_ribbon_dirty;
    headIndex = -1;
    if (segmentCount == 0)
        return;
    geometry_def_c definition(name.GetData());
    definition.format.hasPosition = 1;
    definition.format.hasNormal = 1;
    definition.format.texCoordSetCount = 1;
    definition.privateGeometry = 1;
    definition.needsVertexShader = 1;
    auto* set = new triangle_set_c;
    set->vertices.resize(2 * static_cast<size_t>(segmentCount) + 2);
    definition.AddPrimitiveSet(set);
    geometry = std::make_unique<effect_geometry_c>(definition, renderer);
}

f32 trail_c::GetBoundsRadius() const
{
    return clock.greatestSpeed * lifetime + segmentSize * 0.5f;
}

void trail_c::UpdateHeadEdge(const camera_c& _camera)
{
    const vec3_c position = GetMatrix().GetPosition();
    if (!(position != lastBoundaryPosition))
        return;
    vec3_c motion = position - lastBoundaryPosition;
    motion.NormalizeSelf();
    motion = motion * _camera.GetInverseMatrix().GetRotation();
    // Across the motion as it is seen on screen, turned back into the world.
    const vec3_c side = vec3_c(motion.y, -motion.x, 0.0f) * (segmentSize * 0.5f) * _camera.GetMatrix().GetRotation();
    headLeft = position + side;
    headRight = position - side;
}

void trail_c::SetBoundary(u32 _index, f32 _birth, f32 _head_left, f32 _head_right, f32 _age, f32 _parity)
{
    vertex_c* pair = &geometry->GetSet().vertices[2 * static_cast<size_t>(_index)];
    pair[0].position = headLeft;
    pair[1].position = headRight;
    pair[0].normal = vec3_c(_birth, _head_left, _age);
    pair[1].normal = vec3_c(_birth, _head_right, _age);
    pair[0].texCoords[0][0] = 0.0f;
    pair[1].texCoords[0][0] = 1.0f;
    pair[0].texCoords[0][1] = pair[1].texCoords[0][1] = _parity;
}

void trail_c::PlaceBoundary(u32 _index)
{
    vertex_c* pair = &geometry->GetSet().vertices[2 * static_cast<size_t>(_index)];
    pair[0].position = headLeft;
    pair[1].position = headRight;
    pair[0].normal.y = 0.0f;
    pair[1].normal.y = 0.0f;
}

void trail_c::UpdateBoundaries()
{
    const f32 now = clock.time;
    const vec3_c position = GetMatrix().GetPosition();
    if (restart) {
        lastBoundaryPosition = position;
        restart = false;
    }
    if (now - lastBoundaryTime >= lifetime)
        headIndex = -1;
    if ((position - lastBoundaryPosition).Length() < measure)
        return;
    lastBoundaryPosition = position;
    std::vector<vertex_c>& vertices = geometry->GetSet().vertices;
    const u32 n = segmentCount;
    vertices.resize(2 * static_cast<size_t>(n) + 2);
    if (headIndex >= static_cast<i32>(n)) {
        u32 k = 0;
        while (k < n && vertices[2 * k].normal.y == 0.0f && now - vertices[2 * k].normal.x >= lifetime)
            ++k;
        const u32 drop = k > 0 ? k : 1;
        vertices.erase(vertices.begin(), vertices.begin() + 2 * drop);
        vertices.resize(2 * static_cast<size_t>(n) + 2);
        headIndex -= static_cast<i32>(drop);
        if (k == 0)
            vertices[0].normal.z = vertices[1].normal.z = 0.0f;
    }
    if (headIndex < 0) {
        SetBoundary(0, now, 0.0f, 0.0f, 0.0f, 0.0f);
        headIndex = 0;
    } else {
        PlaceBoundary(static_cast<u32>(headIndex));
    }
    ++headIndex;
    SetBoundary(static_cast<u32>(headIndex), now, 1.0f, 2.0f, 1.0f, (headIndex & 1) ? 1.0f : 0.0f);
    vertices.resize(2 * static_cast<size_t>(headIndex) + 2);
    geometry->Rebuild();
    lastBoundaryTime = now;
}

bool trail_c::Cull(object_list_t&, object_list_t& _pass1, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || !_camera)
        return false;
    if (flags & trail_ribbon_dirty)
        RebuildRibbon();
    if (!geometry)
        return false;
    if (!ClipBounds(*_camera, _mask))
        return false;
    UpdateHeadEdge(*_camera);
    UpdateBoundaries();
    _pass1.push_back(this);
    visible = true;
    return true;
}

void trail_c::Render(int)
{
    renderer->DrawTrail(this, clock.time, boundingVolume.NeedsClipping());
}
