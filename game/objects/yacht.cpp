#include "game/objects/yacht.h"

#include "engine/null_object.h"
#include "level/level_scene.h"
#include "level/object_template.h"

#include <cmath>

namespace {

constexpr float kRockingScale = 0.6f;

} // namespace

void game_object_yachts_c::SetBoats(level_scene_c& _boats)
{
    boats.clear();
    for (const auto& placed : _boats.placedObjects)
        if (placed->node)
            boats.push_back(placed->node);
    if (_boats.placedObjects.empty())
        return;
    const object_template_c* first = _boats.placedObjects.front()->tmpl;
    if (first && !first->groups.empty())
        first->groups.front()->parameters.GetSetFloat("move_speed", &rockingRate, true, 0.0f, 0.0f);
}

void game_object_yachts_c::OnMissionStart(float _time)
{
    lastUpdateTime = _time;
    phase = 0.0f;
}

void game_object_yachts_c::Update(float _time)
{
    phase += _time - lastUpdateTime;
    lastUpdateTime = _time;
    for (size_t i = 0; i < boats.size(); ++i)
        boats[i]->rotation.z = std::sin((static_cast<float>(i) + phase) * rockingRate) * rockingRate * kRockingScale;
}
