#include "level/sprite_object.h"

#include "engine/anim_sprite.h"
#include "engine/sprite.h"
#include "level/chunk_saver.h"
#include "level/engine_stream.h"
#include "level/level_object_members.h"

void dissolving_object_c::CreateChannels()
{
    parameter_object_c::CreateChannels();
    AddChannel(".Dissolve", &dissolve, entity_target_dissolve);
}

void dissolving_object_c::OnChannelChanged(int _channel)
{
    parameter_object_c::OnChannelChanged(_channel);
    if (entity)
        entity->dissolve = dissolve;
}

void sprite_object_c::Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer)
{
    parameter_object_c::Serialize(_saver, _zero, _renderer);
    _saver.LeafByte("addi", additivity);
    _saver.LeafFloat("alTh", alphaThreshold);
    _saver.LeafString("txtr", texture);
    _saver.LeafByte("dete", depthTest);
    _saver.LeafFloat("diss", dissolve);
    if (_saver.IsReading() && _renderer != nullptr) {
        SetEntity(std::make_unique<sprite_c>(name, _renderer));
        ApplyParameters();
    }
}

void sprite_object_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    if (!_read)
        _list.Clear();
    else
        StoreMembersInFirstKeys();
    ExchangeTransform(_list, _read, position, rotation, scale);
    ExchangeFlag(_list, "Affected by fog", affectedByFog, _read);
    ExchangeFlag(_list, "Depth Test", depthTest, _read);
    _list.GetSetFloat("Dissolve", &dissolve, _read, 0.0f, 1.0f);
    ExchangeFlag(_list, "Additivity", additivity, _read);
    _list.GetSetFloat("Alpha Threshold", &alphaThreshold, _read, 0.0f, 1.0f);
    _list.GetSetString("Texture", &texture, _read);
    if (_read)
        ApplyParameters();
}

void sprite_object_c::ApplyParameters()
{
    auto* sprite = dynamic_cast<sprite_c*>(entity.get());
    if (sprite == nullptr)
        return;
    sprite->SetFlag(entity_additive, additivity != 0);
    sprite->SetAlphaThreshold(alphaThreshold);
    sprite->dissolve = dissolve;
    sprite->SetFlag(object_depth_test, depthTest != 0);
    sprite->SetFlag(object_fog, affectedByFog != 0);
    if (!texture.IsEmpty())
        sprite->SetMap(texture);
}

void animsprite_object_c::Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer)
{
    parameter_object_c::Serialize(_saver, _zero, _renderer);
    _saver.LeafString("txtr", textures);
    _saver.LeafByte("filt", filtering);
    _saver.LeafFloat("diss", dissolve);
    _saver.LeafByte("dete", depthTest);
    _saver.LeafInt("offs", offset);
    _saver.LeafFloat("mfps", framesPerSecond);
    _saver.LeafByte("loop", looping);
    _saver.LeafByte("bidi", bidirectional);
    _saver.LeafByte("addi", additivity);
    if (_saver.IsReading() && _renderer != nullptr) {
        SetEntity(std::make_unique<anim_sprite_c>(name, _renderer));
        ApplyParameters();
    }
}

void animsprite_object_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    if (!_read)
        _list.Clear();
    else
        StoreMembersInFirstKeys();
    ExchangeTransform(_list, _read, position, rotation, scale);
    ExchangeFlag(_list, "Additivity", additivity, _read);
    ExchangeFlag(_list, "Depth Test", depthTest, _read);
    ExchangeFlag(_list, "Filtering", filtering, _read);
    _list.GetSetFloat("Dissolve", &dissolve, _read, 0.0f, 1.0f);
    _list.GetSetInt("Offset", &offset, _read, 0, 100);
    _list.GetSetFloat("FPS", &framesPerSecond, _read, 0.0f, 100.0f);
    ExchangeFlag(_list, "Looping", looping, _read);
    ExchangeFlag(_list, "Bidirectional", bidirectional, _read);
    _list.GetSetString("Texture#multi", &textures, _read);
    if (_read)
        ApplyParameters();
}

void animsprite_object_c::ApplyParameters()
{
    auto* sprite = dynamic_cast<anim_sprite_c*>(entity.get());
    if (sprite == nullptr)
        return;
    sprite->SetFlag(entity_additive, additivity != 0);
    sprite->dissolve = dissolve;
    sprite->SetFlag(entity_filtering, filtering != 0);
    sprite->SetFlag(object_depth_test, depthTest != 0);
    const std::vector<string_c> names = SplitFileList(textures);
    if (!names.empty())
        sprite->SetMapSequence(names, offset, framesPerSecond, looping != 0, bidirectional != 0);
}
