#pragma once
// flare_object_c: a lens flare placed in a level, shown by a flare_c. Adds
// the channels ".Intensity" and ".Dissolve" after the nine base channels.
//
// Stored leaves after the base's: "addi" (1) "alTh" "afBF" (1) "txtr"
// "faOS" (1) "faWD" (1) "faIF" (1) "faBO" (1) "glBO" (1) "noDi" "diFa"
// "inte" "diss" "geTe" (1) "teSi" "liWO" (1) "seOF" "fiIL" (1) "flDe" { the
// lens-flare definition in its own stream format }.
#include "image/flare.h"
#include "level/parameter_object.h"

class flare_object_c : public parameter_object_c {
public:
    int GetType() const override { return level_object_flare; }
    const char* GetTypeName() const override { return "Flare"; }
    void OnChannelChanged(int _channel) override;
    void CreateChannels() override;
    void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer) override;
    void ExchangeParameters(parameter_list_c& _list, bool _read) override;
    // Alpha threshold; flags 0x10000, 0x20000, 0x80000, 0x100000 from the
    // four fades and 4 from glow behind objects; nominal distance and
    // distortion factor (each at least FLT_EPSILON); intensity; dissolve; the
    // in-link offset; the texture when named.
    void ApplyParameters() override;

    flare_def_c definition;
    u8 additivity = 0;
    u8 afBF = 1;
    u8 fadeOffScreen = 0;
    u8 fadeWithDistance = 0;
    u8 fadeInFog = 0;
    u8 fadeBehindObjects = 0;
    u8 glowBehindObjects = 0;
    f32 nominalDistance = 1.0f;
    f32 distortionFactor = 1.0f;
    f32 intensity = 1.0f;
    f32 dissolve = 0.0f;
    f32 alphaThreshold = 0.0f;
    u8 generateTexture = 0;
    i32 textureSize = 0;
    f32 inLinkOffset = 0.0f;
    u8 linkWithOthers = 0;
    u8 firstInLink = 0;
    string_c texture;
};
