#include "game/objects/target_events.h"

#include "game/fx_manager.h"
#include "game/game_world.h"
#include "game/objects/game_object.h"
#include "game/script_host.h"
#include "engine/null_object.h"
#include "level/object_template.h"

#include <string>

void SpawnTargetEffect(const game_object_c& _object, const object_template_c* _template, const char* _event,
                       const vec3_c& _position, const vec3_c& _direction)
{
    fx_manager_c* effects = _object.world ? _object.world->GetContext().effects : nullptr;
    template_group_c* group = _template ? _template->FindGroup("MainGroup") : nullptr;
    if (effects && group)
        effects->CreateEffects(nullptr, _position, _direction, false, &group->parameters, _event);
}

null_object_c* CollisionNode(const object_template_c* _template, null_object_c* _fallback)
{
    if (_template == nullptr)
        return _fallback;
    const template_group_c* mask = _template->FindGroup("mask");
    if (mask && mask->hasGameObject && mask->node)
        return mask->node;
    return _template->GetNode() ? _template->GetNode() : _fallback;
}

bool CollisionRayTest(const object_template_c* _template, null_object_c* _fallback, float& _distance, vec3_c& _normal,
                      const ray_c& _ray, bool _include_non_opaque, bool _precise, float _maximum)
{
    null_object_c* node = CollisionNode(_template, _fallback);
    return node && node->RayTest(_distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

void CallDestroyedScripts(const game_object_c& _object, const object_template_c* _template,
                          const char* _section_function)
{
    script_host_c* script = _object.world ? _object.world->GetScript() : nullptr;
    if (!script)
        return;
    if (_section_function)
        script->CallFunction(_section_function);
    if (_template)
        script->CallFunction((std::string(_template->GetBaseName().GetData()) + "_on_destroyed").c_str());
    script->CallFunction((std::string(_object.name.GetData()) + "_on_destroyed").c_str());
}
