#pragma once
// emitter_object_c: a particle emitter placed in a level, shown by an
// emitter_c. Adds the channels ".Dissolve", ".Velocity.Min",
// ".Velocity.Max", ".Angle.Min", ".Angle.Max", ".Lifetime.Min" and
// ".Lifetime.Max" after the nine base channels.
//
// Stored leaves after the base's: "paco" "expl" (1) "erfr" "addi" (1)
// "pasS" "pasE" "pacS" (12) "pacE" (12) "vemi" "vemx" "anmi" "anmx" "radi"
// "limi" "limx" "grav" (12) "txtr" "diss" "dete" (1).
#include "level/parameter_object.h"

class emitter_object_c : public parameter_object_c {
public:
    int GetType() const override { return level_object_emitter; }
    const char* GetTypeName() const override { return "Emitter"; }
    void OnChannelChanged(int _channel) override;
    void CreateChannels() override;
    void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer) override;
    void ExchangeParameters(parameter_list_c& _list, bool _read) override;
    // Particle count rounded (a negative count gives none); a single burst
    // for an explosion emitter, else continuous emission at the eruption
    // frequency; flag 4096 additive, 16 fog, 4 depth test; sizes, colours,
    // ranges, radius, gravity, dissolve; the texture when named.
    void ApplyParameters() override;

    f32 particleCount = 10.0f;
    u8 explosion = 0;
    f32 eruptionFrequency = 10.0f;
    u8 additivity = 0;
    f32 sizeStart = 1.0f;
    f32 sizeEnd = 1.0f;
    vec3_c colorStart;
    vec3_c colorEnd;
    f32 velocityMin = 0.0f;
    f32 velocityMax = 0.0f;
    f32 angleMin = 0.0f;
    f32 angleMax = 0.0f;
    f32 radius = 0.0f;
    f32 lifetimeMin = 0.5f;
    f32 lifetimeMax = 1.0f;
    vec3_c gravity;
    f32 dissolve = 0.0f;
    u8 depthTest = 1;
    u8 affectedByFog = 1;
    string_c texture;
};
