#include "level/flare_object.h"

#include "engine/flare.h"
#include "level/chunk_saver.h"
#include "level/engine_stream.h"
#include "level/level_object_members.h"

#include <algorithm>
#include <cfloat>

void flare_object_c::CreateChannels()
{
    parameter_object_c::CreateChannels();
    AddChannel(".Intensity", &intensity, entity_target_intensity);
    AddChannel(".Dissolve", &dissolve, entity_target_dissolve);
}

void flare_object_c::OnChannelChanged(int _channel)
{
    parameter_object_c::OnChannelChanged(_channel);
    auto* flare = dynamic_cast<flare_c*>(entity.get());
    if (flare == nullptr)
        return;
    flare->dissolve = dissolve;
    flare->SetIntensity(intensity);
}

void flare_object_c::Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer)
{
    parameter_object_c::Serialize(_saver, _zero, _renderer);
    _saver.LeafByte("addi", additivity);
    _saver.LeafFloat("alTh", alphaThreshold);
    _saver.LeafByte("afBF", afBF);
    _saver.LeafString("txtr", texture);
    _saver.LeafByte("faOS", fadeOffScreen);
    _saver.LeafByte("faWD", fadeWithDistance);
    _saver.LeafByte("faIF", fadeInFog);
    _saver.LeafByte("faBO", fadeBehindObjects);
    _saver.LeafByte("glBO", glowBehindObjects);
    _saver.LeafFloat("noDi", nominalDistance);
    _saver.LeafFloat("diFa", distortionFactor);
    _saver.LeafFloat("inte", intensity);
    _saver.LeafFloat("diss", dissolve);
    _saver.LeafByte("geTe", generateTexture);
    _saver.LeafInt("teSi", textureSize);
    _saver.LeafByte("liWO", linkWithOthers);
    _saver.LeafFloat("seOF", inLinkOffset);
    _saver.LeafByte("fiIL", firstInLink);
    if (_saver.Begin("flDe"))
        ExchangeEngineStream(
            _saver, [&](output_file_c& _out) { WriteFlareDef(_out, definition); },
            [&](input_file_c& _in) { ReadFlareDef(_in, definition); });
    _saver.End();
    if (_saver.IsReading() && _renderer != nullptr) {
        SetEntity(std::make_unique<flare_c>(name, _renderer));
        ApplyParameters();
    }
}

void flare_object_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    if (!_read)
        _list.Clear();
    else
        StoreMembersInFirstKeys();
    ExchangeTransform(_list, _read, position, rotation, scale);
    _list.GetSetFloat("Alpha Threshold", &alphaThreshold, _read, 0.0f, 1.0f);
    ExchangeFlag(_list, "Fade Off Screen", fadeOffScreen, _read);
    ExchangeFlag(_list, "Fade With Distance", fadeWithDistance, _read);
    ExchangeFlag(_list, "Fade In Fog", fadeInFog, _read);
    ExchangeFlag(_list, "Fade Behind Objects", fadeBehindObjects, _read);
    ExchangeFlag(_list, "Glow Behind Objects", glowBehindObjects, _read);
    _list.GetSetFloat("Nominal Distance", &nominalDistance, _read, 0.0f, FLT_MAX);
    ExchangeFlag(_list, "Link With Others", linkWithOthers, _read);
    ExchangeFlag(_list, "First In Link", firstInLink, _read);
    _list.GetSetFloat("In Link Offset", &inLinkOffset, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Distortion Factor", &distortionFactor, _read, 0.0f, FLT_MAX);
    _list.GetSetFloat("Intensity", &intensity, _read, 0.0f, FLT_MAX);
    _list.GetSetFloat("Dissolve", &dissolve, _read, 0.0f, 1.0f);
    ExchangeFlag(_list, "Generate Texture", generateTexture, _read);
    _list.GetSetInt("Texture Size", &textureSize, _read, 0, INT32_MAX);
    _list.GetSetString("Texture", &texture, _read);

    flare_def_c& d = definition;
    auto color = [&](const char* _name, f32* _rgb) {
        vec3_c value(_rgb[0], _rgb[1], _rgb[2]);
        _list.GetSetColor(_name, &value, _read);
        _rgb[0] = value.x;
        _rgb[1] = value.y;
        _rgb[2] = value.z;
    };
    auto number = [&](const char* _name, f32& _value) { _list.GetSetFloat(_name, &_value, _read, -FLT_MAX, FLT_MAX); };
    auto count = [&](const char* _name, i32& _value) { _list.GetSetInt(_name, &_value, _read, 0, INT32_MAX); };
    color("Color", d.color);
    number("Brightness", d.intensity);
    number("Size", d.size);
    color("Glow color", d.glowColor);
    number("Glow size", d.glowSize);
    number("Glow power", d.glowFalloff);
    color("Dot color", d.haloColor);
    number("Dot size", d.haloSize);
    number("Dot power", d.haloFalloff);
    color("Ring color", d.ringColor);
    number("Ring size", d.ringSize);
    number("Ring thickness", d.ringWidth);
    color("Disc color", d.discColor);
    number("Disc size", d.discSize);
    number("Disc rim", d.discEdge);
    number("Flare Rotation", d.rayAngle);
    count("Primary rays", d.rayCount);
    number("Primary ray size", d.rayLength);
    number("Primary ray thickness", d.rayWidth);
    number("Primary ray brightness", d.rayIntensity);
    count("Secondary rays", d.ray2Count);
    number("Secondary ray size", d.ray2Length);
    number("Secondary ray thickness", d.ray2Width);
    number("Secondary ray brightness", d.ray2Intensity);
    count("Streaks", d.streakCount);
    number("Streak size", d.streakLength);
    number("Streak thickness", d.streakWidth);
    number("Streak brightness", d.streakIntensity);
    if (_read)
        ApplyParameters();
}

void flare_object_c::ApplyParameters()
{
    auto* flare = dynamic_cast<flare_c*>(entity.get());
    if (flare == nullptr)
        return;
    flare->SetAlphaThreshold(alphaThreshold);
    flare->SetFlag(flare_fade_off_screen, fadeOffScreen != 0);
    flare->SetFlag(flare_fade_with_distance, fadeWithDistance != 0);
    flare->SetFlag(flare_fade_in_fog, fadeInFog != 0);
    flare->SetFlag(flare_fade_behind_objects, fadeBehindObjects != 0);
    flare->SetFlag(object_depth_test, glowBehindObjects != 0);
    flare->SetNominalDistance(std::max(nominalDistance, FLT_EPSILON));
    flare->SetDistortionFactor(std::max(distortionFactor, FLT_EPSILON));
    flare->SetIntensity(intensity);
    flare->dissolve = dissolve;
    flare->SetAxisPosition(inLinkOffset);
    if (!texture.IsEmpty())
        flare->SetMap(texture);
}
