#include "engine/anim_sprite.h"

#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

anim_sprite_c::anim_sprite_c(const char* _name, renderer_c* _renderer) : sprite_c(_name, _renderer)
{
    flags |= anim_sprite_filtering;
}

null_object_c* anim_sprite_c::Clone() const
{
    return new anim_sprite_c(*this);
}

void anim_sprite_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    body.WriteF32(frameRate);
    WriteMapRecord(body, map.get());
    WriteChunk(_file, MakeTag("ANIM"), version, body);
}

anim_sprite_c* anim_sprite_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    std::unique_ptr<anim_sprite_c> sprite = ReadStoredObject<anim_sprite_c>(_file, MakeTag("ANIM"), _renderer, body);
    if (!sprite)
        return nullptr;
    sprite->frameRate = ReadCheckedF32(body);
    ReadMapRecords(body, _renderer, sprite->map);
    return sprite.release();
}

bool anim_sprite_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* name_text = _command.GetName();
    if (!name_text)
        return false;
    const string_c keyword(name_text);
    if (keyword == "MapList") {
        const map_list_c list(_command);
        SetMapSequence(list.paths, list.offset, list.rate, list.loop, list.bidirectional);
        return true;
    }
    if (keyword == "Filtering") {
        SetFlag(anim_sprite_filtering, _command.GetInt(1u) != 0);
        return true;
    }
    return SetSpriteFlagParameter(keyword, _command);
}

void anim_sprite_c::SetMapSequence(const std::vector<string_c>& _paths, i32 _offset, f32 _rate, bool _loop,
                                   bool _bidirectional)
{
    map.reset();
    // The frame position is already counted in frames.
    map = MakeEffectSequence(_paths, _offset, 1.0f, _loop, _bidirectional, renderer);
    frameRate = _rate;
}

f32 anim_sprite_c::Animate(f32 _time)
{
    const f32 local = entity_c::Animate(_time);
    framePosition = local * frameRate;
    return local;
}

void anim_sprite_c::Render(int)
{
    renderer->DrawAnimSprite(this, framePosition, true);
}
