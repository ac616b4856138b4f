#include "engine/emitter.h"

#include "engine/aabb.h"
#include "engine/camera.h"
#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"
#include "foundation/random_numbers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr f32 two_pi = 6.2831855f;
constexpr f32 degrees_to_radians = 0.017453292f;
constexpr f32 max_frequency = 30.0f;

f32 NotBelowZero(f32 _value)
{
    return _value > 0.0f ? _value : 0.0f;
}

f32 FiniteOrZero(f32 _value)
{
    return std::isfinite(_value) ? _value : 0.0f;
}

f32 IntervalOf(f32 _frequency)
{
    const f32 f = !(_frequency > FLT_EPSILON) ? FLT_EPSILON : _frequency >= max_frequency ? max_frequency : _frequency;
    return 1.0f / f;
}

// The smallest scale the world matrix gives an axis, so bounds kept in the
// emitter's own space still hold particles that live in world space.
f32 SmallestAxisScale(const mat4x3_c& _world)
{
    f32 smallest = FLT_MAX;
    for (const auto& row : _world.m) {
        if (&row == &_world.m[3])
            break;
        smallest = std::min(smallest, std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]));
    }
    return smallest;
}

const f32 corner_u[4] = {0.0f, 1.0f, 1.0f, 0.0f};
const f32 corner_v[4] = {0.0f, 0.0f, 1.0f, 1.0f};

} // namespace

emitter_c::emitter_c(const char* _name, renderer_c* _renderer)
    : effect_object_c(_name, _renderer,
                      object_rendered | object_depth_test | object_fog | emitter_eruption | emitter_disc),
      lastEmissionTime(-FLT_MAX)
{}

null_object_c* emitter_c::Clone() const
{
    return new emitter_c(*this);
}

void emitter_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    body.WriteU32(particleCount);
    for (f32 value : {birthSize, deathSize, speedMinimum, speedMaximum, angleMinimum, angleMaximum, lifetimeMinimum,
                      lifetimeMaximum, gravity.x, gravity.y, gravity.z, radius, emissionInterval})
        body.WriteF32(value);
    WriteMapRecord(body, map.get());
    WriteChunk(_file, MakeTag("EMIT"), version, body);
}

emitter_c* emitter_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    std::unique_ptr<emitter_c> emitter = ReadStoredObject<emitter_c>(_file, MakeTag("EMIT"), _renderer, body);
    if (!emitter)
        return nullptr;
    const u32 count = ReadCheckedU32(body);
    // Nothing in the file backs the pool, so its size is bounded here.
    if (count > max_particles)
        ThrowDataError(body, "Particle count out of range!");
    emitter->particleCount = count;
    f32 values[13];
    for (f32& value : values)
        value = FiniteOrZero(ReadCheckedF32(body));
    emitter->birthSize = NotBelowZero(values[0]);
    emitter->deathSize = NotBelowZero(values[1]);
    emitter->speedMinimum = values[2];
    emitter->speedMaximum = values[3];
    emitter->angleMinimum = values[4];
    emitter->angleMaximum = values[5];
    emitter->lifetimeMinimum = values[6];
    emitter->lifetimeMaximum = values[7];
    emitter->gravity = vec3_c(values[8], values[9], values[10]);
    emitter->radius = NotBelowZero(values[11]);
    // An interval of 0 would stop emission for good (the remainder of a
    // division by 0); the setter's limits hold for stored values too.
    const f32 interval = values[12];
    emitter->emissionInterval = !(interval >= 1.0f / max_frequency) ? 1.0f / max_frequency
                                : interval > 1.0f / FLT_EPSILON     ? 1.0f / FLT_EPSILON
                                                                    : interval;
    ReadMapRecords(body, _renderer, emitter->map);
    emitter->flags |= emitter_pool_dirty;
    return emitter.release();
}

bool emitter_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* name_text = _command.GetName();
    if (!name_text)
        return false;
    const string_c keyword(name_text);
    if (keyword == "Eruption") {
        SetEmissionMode(emitter_eruption);
        SetFrequency(_command.GetFloat("FREQUENCY", "F", 10.0f));
    } else if (keyword == "Explosion") {
        SetEmissionMode(emitter_explosion);
    } else if (keyword == "Disc" || keyword == "Circle") {
        const f32 r = _command.GetFloat("RADIUS", "R");
        SetShape(keyword == "Disc" ? emitter_disc : emitter_circle);
        SetRadius(r);
    } else if (keyword == "Particles") {
        const int count = _command.GetInt(1u);
        SetParticleCount(count > 0 ? static_cast<u32>(count) : 0u);
    } else if (keyword == "Map") {
        SetMap(_command.GetParameter(1u));
    } else if (keyword == "MapList") {
        const map_list_c list(_command);
        SetMapSequence(list.paths, list.offset, list.rate, list.loop, list.bidirectional);
    } else if (keyword == "Additive") {
        SetFlag(emitter_additive, _command.GetInt(1u) != 0);
    } else if (keyword == "ParticleSize") {
        const f32 size = _command.GetFloat(1u, 1.0f);
        SetParticleSize(_command.GetFloat("START", size), _command.GetFloat("END", size));
    } else if (keyword == "ParticleColor") {
        const vec3_c color = _command.GetColor(1u, vec3_c(1.0f, 1.0f, 1.0f));
        SetParticleColor(_command.GetColor("START", color), _command.GetColor("END", color));
    } else if (keyword == "Velocity" || keyword == "Angle" || keyword == "Lifetime") {
        const f32 factor = keyword == "Angle" ? degrees_to_radians : 1.0f;
        const f32 value = _command.GetFloat(1u, 0.0f);
        const f32 maximum = _command.GetFloat("MAXIMUM", "MAX", value) * factor;
        const f32 minimum = _command.GetFloat("MINIMUM", "MIN", value) * factor;
        if (keyword == "Velocity")
            SetSpeed(minimum, maximum);
        else if (keyword == "Angle")
            SetAngle(minimum, maximum);
        else
            SetLifetime(minimum, maximum);
    } else if (keyword == "Gravity") {
        SetGravity(_command.GetVector(1u));
    } else {
        return false;
    }
    return true;
}

void emitter_c::KeepModesAndShapes()
{
    if (!(flags & (emitter_eruption | emitter_explosion)))
        flags |= emitter_eruption;
    if (!(flags & (emitter_disc | emitter_circle)))
        flags |= emitter_disc;
}

void emitter_c::SetFlags(u32 _bits)
{
    flags |= _bits;
    if (flags & emitter_eruption)
        flags &= ~emitter_explosion;
    if (flags & emitter_disc)
        flags &= ~emitter_circle;
}

void emitter_c::ClearFlags(u32 _bits)
{
    flags &= ~_bits;
    KeepModesAndShapes();
}

void emitter_c::SetEmissionMode(u32 _bits)
{
    flags &= ~(emitter_eruption | emitter_explosion);
    SetFlags(_bits & (emitter_eruption | emitter_explosion));
    KeepModesAndShapes();
}

void emitter_c::SetShape(u32 _bits)
{
    flags &= ~(emitter_disc | emitter_circle);
    SetFlags(_bits & (emitter_disc | emitter_circle));
    KeepModesAndShapes();
}

void emitter_c::SetFrequency(f32 _frequency)
{
    emissionInterval = IntervalOf(_frequency);
}

void emitter_c::SetRadius(f32 _radius)
{
    radius = NotBelowZero(_radius);
}

void emitter_c::SetParticleCount(u32 _count)
{
    const u32 count = std::min(_count, max_particles);
    if (count == particleCount)
        return;
    particleCount = count;
    flags |= emitter_pool_dirty;
}

void emitter_c::SetParticleSize(f32 _birth, f32 _death)
{
    birthSize = NotBelowZero(_birth);
    deathSize = NotBelowZero(_death);
}

void emitter_c::SetParticleColor(const vec3_c& _birth, const vec3_c& _death)
{
    birthColor = _birth;
    deathColor = _death;
}

void emitter_c::SetGravity(const vec3_c& _gravity)
{
    gravity = _gravity;
}

void emitter_c::SetSpeed(f32 _minimum, f32 _maximum)
{
    speedMinimum = _minimum;
    speedMaximum = _maximum;
}

void emitter_c::SetAngle(f32 _minimum, f32 _maximum)
{
    angleMinimum = _minimum;
    angleMaximum = _maximum;
}

void emitter_c::SetLifetime(f32 _minimum, f32 _maximum)
{
    lifetimeMinimum = _minimum;
    lifetimeMaximum = _maximum;
}

void emitter_c::SetMapSequence(const std::vector<string_c>& _paths, i32 _offset, f32 _rate, bool _loop,
                               bool _bidirectional)
{
    // A list without images (a "MapList" of blank lines) keeps the map, and
    // an emitter may have none to keep.
    if (_paths.empty())
        return;
    map = MakeEffectSequence(_paths, _offset, _rate, _loop, _bidirectional, renderer);
}

float* emitter_c::GetEnvelopeTarget(u32 _index)
{
    switch (_index) {
    case 137: return &speedMinimum;
    case 138: return &speedMaximum;
    case 139: return &angleMinimum;
    case 140: return &angleMaximum;
    case 141: return &lifetimeMinimum;
    case 142: return &lifetimeMaximum;
    default: return null_object_c::GetEnvelopeTarget(_index);
    }
}

f32 emitter_c::Animate(f32 _time)
{
    if (clock.Advance(entity_c::Animate(_time)))
        lastEmissionTime = -FLT_MAX;
    return clock.time;
}

f32 emitter_c::Draw(f32 _minimum, f32 _maximum)
{
    return random ? random->Float(_minimum, _maximum) : RandomFloat(_minimum, _maximum);
}

f32 emitter_c::SpawnParticle(vec3_c& _position, vec3_c& _velocity)
{
    const mat3_c turn = GetMatrix().GetRotation();
    _position = GetMatrix().GetPosition();
    if (radius > 0.0f) {
        vec3_c d(1.0f, 0.0f, 0.0f);
        d.Rotate(2, Draw(0.0f, two_pi));
        d = d * turn;
        d.NormalizeSelf();
        const f32 r = (flags & emitter_circle) ? radius : Draw(0.0f, radius);
        _position += d * r;
    }
    vec3_c direction(0.0f, 0.0f, 1.0f);
    direction.Rotate(0, Draw(angleMinimum * 0.5f, angleMaximum * 0.5f));
    direction.Rotate(2, Draw(0.0f, two_pi));
    direction = direction * turn;
    direction.NormalizeSelf();
    _velocity = direction * Draw(speedMinimum, speedMaximum);
    return Draw(lifetimeMinimum, lifetimeMaximum);
}

void emitter_c::RebuildPool()
{
    geometry.reset();
    flags &= ~emitter_pool_dirty;
    if (particleCount == 0)
        return;
    geometry_def_c definition(name.GetData());
    definition.format.hasPosition = 1;
    definition.format.hasNormal = 1;
    definition.format.texCoordSetCount = 2;
    definition.privateGeometry = 1;
    definition.needsVertexShader = 1;
    auto* set = new triangle_set_c;
    set->vertices.resize(static_cast<size_t>(particleCount) * 4);
    set->indices.reserve(static_cast<size_t>(particleCount) * 6);
    for (u32 k = 0; k < particleCount; ++k) {
        const u32 b = 4 * k;
        for (u32 corner = 0; corner < 4; ++corner) {
            set->vertices[b + corner].texCoords[0][0] = corner_u[corner];
            set->vertices[b + corner].texCoords[0][1] = corner_v[corner];
        }
        set->indices.insert(set->indices.end(), {b, b + 1, b + 2, b + 2, b + 3, b});
    }
    definition.AddPrimitiveSet(set);
    geometry = std::make_unique<effect_geometry_c>(definition, renderer);
}

f32 emitter_c::GetBoundsRadius() const
{
    // Every gravity component pulls particles away from the origin whatever
    // its sign, and particles start up to the radius away from it.
    const f32 g = std::max({std::fabs(gravity.x), std::fabs(gravity.y), std::fabs(gravity.z)});
    const f32 lifetime = NotBelowZero(lifetimeMaximum);
    f32 r = (g * lifetime * 0.5f + clock.greatestSpeed + std::max(std::fabs(speedMinimum), std::fabs(speedMaximum))) *
                lifetime +
            std::max(birthSize, deathSize) * 0.5f + radius;
    const f32 axis_scale = SmallestAxisScale(GetMatrix());
    return axis_scale > FLT_EPSILON ? r / axis_scale : r;
}

void emitter_c::WriteParticle(u32 _index, const vec3_c& _position, const vec3_c& _velocity, f32 _birth, f32 _lifetime)
{
    vertex_c* corners = &geometry->GetSet().vertices[4 * static_cast<size_t>(_index)];
    for (u32 corner = 0; corner < 4; ++corner) {
        corners[corner].position = _position;
        corners[corner].normal = _velocity;
        corners[corner].texCoords[1][0] = _birth;
        corners[corner].texCoords[1][1] = _lifetime;
    }
}

void emitter_c::Erupt()
{
    const f32 now = clock.time;
    const f32 elapsed = now - lastEmissionTime;
    if (!(elapsed >= emissionInterval))
        return;
    const bool spread = elapsed >= lifetimeMaximum;
    lastEmissionTime = lastEmissionTime < 0.0f ? now : now - std::fmod(elapsed, emissionInterval);
    const f32 last = lastEmissionTime;
    std::vector<vertex_c>& vertices = geometry->GetSet().vertices;
    bool any = false;
    for (u32 k = 0; k < particleCount; ++k) {
        const vertex_c& first = vertices[4 * static_cast<size_t>(k)];
        const f32 birth = first.texCoords[1][0];
        if (!(now - birth >= first.texCoords[1][1] || birth > now))
            continue;
        vec3_c position;
        vec3_c velocity;
        const f32 lifetime = SpawnParticle(position, velocity);
        const f32 born = spread ? Draw(last - lifetime, last) : Draw(last - emissionInterval, last);
        WriteParticle(k, position, velocity, born, lifetime);
        any = true;
    }
    if (any)
        geometry->Rebuild();
}

void emitter_c::Explode()
{
    const f32 now = clock.time;
    if (!(now - lastEmissionTime >= lifetimeMaximum))
        return;
    // Without a positive lifetime every cull is a new burst; the remainder
    // of a division by it would be no time at all.
    if (lastEmissionTime < 0.0f || !(lifetimeMaximum > 0.0f))
        lastEmissionTime = now;
    else
        lastEmissionTime = now - std::fmod(now - lastEmissionTime, lifetimeMaximum);
    for (u32 k = 0; k < particleCount; ++k) {
        vec3_c position;
        vec3_c velocity;
        const f32 lifetime = SpawnParticle(position, velocity);
        WriteParticle(k, position, velocity, lastEmissionTime, lifetime);
    }
    geometry->Rebuild();
}

bool emitter_c::Cull(object_list_t&, object_list_t& _pass1, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || !_camera)
        return false;
    if (flags & emitter_pool_dirty)
        RebuildPool();
    if (!geometry)
        return false;
    if (!ClipBounds(*_camera, _mask))
        return false;
    if (flags & emitter_explosion)
        Explode();
    else
        Erupt();
    _pass1.push_back(this);
    visible = true;
    return true;
}

void emitter_c::Render(int)
{
    renderer->DrawParticles(this, clock.time, boundingVolume.NeedsClipping());
}
