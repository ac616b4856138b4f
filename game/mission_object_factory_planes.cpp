#include "game/mission_object_factory.h"

#include "engine/scene.h"
#include "game/objects/computer_plane.h"
#include "level/level_scene.h"
#include "level/object_template.h"

namespace {

// The pilot's generator starts from the plane's names, so a level flies the
// same way every time it is loaded.
u32 PilotSeed(const placed_object_c* _placed, const computer_plane_setup_c& _setup)
{
    u32 hash = 2166136261u;
    auto mix = [&hash](const string_c& _text) {
        for (const char* c = _text.GetData(); c && *c; ++c)
            hash = (hash ^ static_cast<u8>(*c)) * 16777619u;
    };
    if (_placed)
        mix(_placed->name);
    mix(_setup.displayName);
    return hash ^ static_cast<u32>(_setup.networkId);
}

} // namespace

std::unique_ptr<game_object_c> mission_object_factory_c::CreateComputerPlane(placed_object_c* _placed,
                                                                             const computer_plane_setup_c& _setup,
                                                                             const mission_devices_c& _devices)
{
    auto plane = std::make_unique<game_object_plane_ai_c>();
    auto pilot = std::make_unique<ai_pilot_c>(PilotSeed(_placed, _setup));
    pilot->SetAce(_setup.controlGain);
    pilot->SetRanges(_setup.rangeA, _setup.rangeB);
    plane->SetPilot(std::move(pilot));
    if (_placed && _placed->ownTemplate) {
        plane->LoadParameters(std::move(_placed->ownTemplate), _devices.renderer, _devices.scene, _devices.sound, true);
    } else {
        const string_c file =
            _placed && _placed->tmpl ? string_c(_placed->tmpl->GetFileName().c_str()) : _setup.planeFile;
        plane->Load(file.GetData(), _devices.renderer, _devices.scene, _devices.sound, true);
        if (_placed && plane->entity) {
            plane->entity->position = _placed->position;
            plane->entity->rotation = _placed->rotation;
        }
    }
    plane->displayName = _setup.displayName;
    plane->networkId = _setup.networkId;
    plane->SetSpeed(_setup.speed);
    plane->SetWeapons(_setup.rockets, _setup.bombs, _devices.renderer, _devices.scene);
    plane->SetModelView(_setup.modelView);
    plane->SetSkill(_setup.skill);
    if (plane->entity)
        plane->SetRotation(plane->entity->rotation);
    return plane;
}
