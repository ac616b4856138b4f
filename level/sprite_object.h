#pragma once
// Sprites placed in a level: sprite_object_c shows a sprite_c, and
// animsprite_object_c an anim_sprite_c playing a sequence of textures. Both
// add a ".Dissolve" channel after the nine base channels.
//
// Stored leaves after the base's:
//   sprite:          "addi" (1) "alTh" "txtr" "dete" (1) "diss"
//   animated sprite: "txtr" (names joined by "|") "filt" (1) "diss"
//                    "dete" (1) "offs" "mfps" "loop" (1) "bidi" (1) "addi" (1)
// Reading makes the entity (named after the object, with the renderer; none
// without a renderer), gives it the transform and applies the members.
// Exporting parameters first empties the list; reading them back first
// stores the current members in the first key of every channel.
#include "level/parameter_object.h"

// The part both share: the dissolve and its channel.
class dissolving_object_c : public parameter_object_c {
public:
    // The base's, then the dissolve into the entity.
    void OnChannelChanged(int _channel) override;
    // The nine base channels, then ".Dissolve".
    void CreateChannels() override;

    f32 dissolve = 0.0f;
};

class sprite_object_c : public dissolving_object_c {
public:
    int GetType() const override { return level_object_sprite; }
    const char* GetTypeName() const override { return "Sprite"; }
    void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer) override;
    void ExchangeParameters(parameter_list_c& _list, bool _read) override;
    // Flags 4096 additive, 4 depth test, 16 fog; alpha threshold (held in
    // 0..1 by the sprite), dissolve, the texture when named.
    void ApplyParameters() override;

    u8 additivity = 0;
    f32 alphaThreshold = 0.0f;
    u8 affectedByFog = 1;
    u8 depthTest = 1;
    string_c texture;
};

class animsprite_object_c : public dissolving_object_c {
public:
    int GetType() const override { return level_object_anim_sprite; }
    const char* GetTypeName() const override { return "AnimSprite"; }
    void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer) override;
    void ExchangeParameters(parameter_list_c& _list, bool _read) override;
    // Flags 4096 additive, 0x10000 filtering, 4 depth test; dissolve; the
    // texture sequence with its offset, rate, looping and direction when the
    // list names any file.
    void ApplyParameters() override;

    u8 additivity = 0;
    u8 filtering = 1;
    i32 offset = 0;
    f32 framesPerSecond = 15.0f;
    u8 looping = 0;
    u8 bidirectional = 0;
    u8 depthTest = 1;
    string_c textures;
};
