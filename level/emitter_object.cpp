#include "level/emitter_object.h"

#include "engine/emitter.h"
#include "level/chunk_saver.h"
#include "level/level_object_members.h"

#include <cfloat>

namespace {

constexpr u32 emission_burst = 16384;
constexpr u32 emission_continuous = 8192;

} // namespace

void emitter_object_c::CreateChannels()
{
    parameter_object_c::CreateChannels();
    AddChannel(".Dissolve", &dissolve, entity_target_dissolve);
    AddChannel(".Velocity.Min", &velocityMin, entity_target_speed_min);
    AddChannel(".Velocity.Max", &velocityMax, entity_target_speed_max);
    AddChannel(".Angle.Min", &angleMin, entity_target_angle_min);
    AddChannel(".Angle.Max", &angleMax, entity_target_angle_max);
    AddChannel(".Lifetime.Min", &lifetimeMin, entity_target_lifetime_min);
    AddChannel(".Lifetime.Max", &lifetimeMax, entity_target_lifetime_max);
}

void emitter_object_c::OnChannelChanged(int _channel)
{
    parameter_object_c::OnChannelChanged(_channel);
    auto* emitter = dynamic_cast<emitter_c*>(entity.get());
    if (emitter == nullptr)
        return;
    emitter->dissolve = dissolve;
    emitter->SetSpeed(velocityMin, velocityMax);
    emitter->SetAngle(angleMin, angleMax);
    emitter->SetLifetime(lifetimeMin, lifetimeMax);
}

void emitter_object_c::Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer)
{
    parameter_object_c::Serialize(_saver, _zero, _renderer);
    _saver.LeafFloat("paco", particleCount);
    _saver.LeafByte("expl", explosion);
    _saver.LeafFloat("erfr", eruptionFrequency);
    _saver.LeafByte("addi", additivity);
    _saver.LeafFloat("pasS", sizeStart);
    _saver.LeafFloat("pasE", sizeEnd);
    _saver.LeafVector("pacS", colorStart);
    _saver.LeafVector("pacE", colorEnd);
    _saver.LeafFloat("vemi", velocityMin);
    _saver.LeafFloat("vemx", velocityMax);
    _saver.LeafFloat("anmi", angleMin);
    _saver.LeafFloat("anmx", angleMax);
    _saver.LeafFloat("radi", radius);
    _saver.LeafFloat("limi", lifetimeMin);
    _saver.LeafFloat("limx", lifetimeMax);
    _saver.LeafVector("grav", gravity);
    _saver.LeafString("txtr", texture);
    _saver.LeafFloat("diss", dissolve);
    _saver.LeafByte("dete", depthTest);
    if (_saver.IsReading() && _renderer != nullptr) {
        SetEntity(std::make_unique<emitter_c>(name, _renderer));
        ApplyParameters();
    }
}

void emitter_object_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    if (!_read)
        _list.Clear();
    else
        StoreMembersInFirstKeys();
    ExchangeTransform(_list, _read, position, rotation, scale);
    ExchangeFlag(_list, "Depth Test", depthTest, _read);
    ExchangeFlag(_list, "Affected by fog", affectedByFog, _read);
    _list.GetSetFloat("Dissolve", &dissolve, _read, 0.0f, 1.0f);
    _list.GetSetFloat("Particles count", &particleCount, _read, 0.0f, FLT_MAX);
    ExchangeFlag(_list, "Explosion emitter", explosion, _read);
    _list.GetSetFloat("Eruption frequency", &eruptionFrequency, _read, 0.0f, FLT_MAX);
    ExchangeFlag(_list, "Additivity", additivity, _read);
    _list.GetSetFloat("Particle size start", &sizeStart, _read, 0.0f, FLT_MAX);
    _list.GetSetFloat("Particle size end", &sizeEnd, _read, 0.0f, FLT_MAX);
    _list.GetSetColor("Particle color start", &colorStart, _read);
    _list.GetSetColor("Particle color end", &colorEnd, _read);
    _list.GetSetFloat("Velocity min", &velocityMin, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Velocity max", &velocityMax, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Angle min", &angleMin, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Angle max", &angleMax, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Emission radius", &radius, _read, 0.0f, FLT_MAX);
    _list.GetSetFloat("Lifetime min", &lifetimeMin, _read, 0.0f, FLT_MAX);
    _list.GetSetFloat("Lifetime max", &lifetimeMax, _read, 0.0f, FLT_MAX);
    _list.GetSetVector("Gravity", &gravity, _read);
    _list.GetSetString("Texture", &texture, _read);
    if (_read)
        ApplyParameters();
}

void emitter_object_c::ApplyParameters()
{
    auto* emitter = dynamic_cast<emitter_c*>(entity.get());
    if (emitter == nullptr)
        return;
    // Negative, NaN or huge counts from a file give no particles rather than
    // a wrapped count.
    const f32 rounded = particleCount + 0.5f;
    emitter->SetParticleCount(rounded >= 1.0f && rounded < 16777216.0f ? static_cast<u32>(rounded) : 0);
    emitter->SetEmissionMode(explosion ? emission_burst : emission_continuous);
    emitter->SetFrequency(eruptionFrequency);
    emitter->SetFlag(entity_additive, additivity != 0);
    emitter->SetParticleSize(sizeStart, sizeEnd);
    emitter->SetParticleColor(colorStart, colorEnd);
    emitter->SetSpeed(velocityMin, velocityMax);
    emitter->SetAngle(angleMin, angleMax);
    emitter->SetLifetime(lifetimeMin, lifetimeMax);
    emitter->SetRadius(radius);
    emitter->SetGravity(gravity);
    emitter->dissolve = dissolve;
    emitter->SetFlag(object_fog, affectedByFog != 0);
    emitter->SetFlag(object_depth_test, depthTest != 0);
    if (!texture.IsEmpty())
        emitter->SetMap(texture);
}
