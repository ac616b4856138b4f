#include "game/mission_object_factory.h"

#include "engine/null_object.h"
#include "engine/scene.h"
#include "game/objects/player_plane.h"

std::unique_ptr<game_object_c> mission_object_factory_c::CreateUserPlane(const user_plane_setup_c& _setup,
                                                                         const mission_devices_c& _devices)
{
    auto plane = std::make_unique<game_object_plane_user_c>();
    plane->Load(_setup.planeFile.GetData(), _devices.renderer, _devices.scene, _devices.sound, true);
    plane->SetWeapons(_setup.rockets, _setup.bombs, _devices.renderer, _devices.scene);
    plane->SetModelView(_setup.modelView);
    // The mission script knows the player's plane by its model's name.
    if (plane->entity)
        plane->name = plane->entity->GetName();
    if (!_setup.displayName.IsEmpty())
        plane->displayName = _setup.displayName;
    return plane;
}
