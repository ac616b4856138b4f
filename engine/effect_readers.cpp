#include "engine/effect_readers.h"

#include "engine/anim_sprite.h"
#include "engine/emitter.h"
#include "engine/flare.h"
#include "engine/object_format.h"
#include "engine/sprite.h"
#include "engine/trail.h"

namespace {

template <class T>
null_object_c* ReadAs(input_file_c& _file, renderer_c* _renderer)
{
    return T::Read(_file, _renderer);
}

} // namespace

void RegisterEffectReaders()
{
    RegisterObjectReader(reader_sprite, &ReadAs<sprite_c>);
    RegisterObjectReader(reader_anim_sprite, &ReadAs<anim_sprite_c>);
    RegisterObjectReader(reader_flare, &ReadAs<flare_c>);
    RegisterObjectReader(reader_emitter, &ReadAs<emitter_c>);
    RegisterObjectReader(reader_trail, &ReadAs<trail_c>);
}
