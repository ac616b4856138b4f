#include "level/control_point_object.h"
#include "level/emitter_object.h"
#include "level/flare_object.h"
#include "level/sprite_object.h"
#include "level/vob_object.h"
#include "level/walk_path.h"

std::unique_ptr<parameter_object_c> CreateParameterObject(int _class_id)
{
    switch (_class_id) {
    case level_object_walk_path: return std::make_unique<walk_path_c>();
    case level_object_emitter: return std::make_unique<emitter_object_c>();
    case level_object_sprite: return std::make_unique<sprite_object_c>();
    case level_object_flare: return std::make_unique<flare_object_c>();
    case level_object_anim_sprite: return std::make_unique<animsprite_object_c>();
    case level_object_vob: return std::make_unique<vob_object_c>();
    case level_object_control_point: return std::make_unique<control_point_object_c>();
    default: return nullptr;
    }
}
