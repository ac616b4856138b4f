#include "game/mission_object_factory.h"

#include "game/objects/aagun.h"
#include "game/objects/balloon.h"
#include "game/objects/flak.h"
#include "level/level_scene.h"

std::unique_ptr<game_object_c> mission_object_factory_c::CreateFlak(placed_object_c& _placed,
                                                                    const mission_devices_c& _devices)
{
    auto flak = std::make_unique<game_object_flak_c>();
    flak->Init(_placed.tmpl, _placed.node, _devices.sound);
    return flak;
}

std::unique_ptr<game_object_c> mission_object_factory_c::CreateBalloon(placed_object_c& _placed, f32 _ground_height,
                                                                       const mission_devices_c&)
{
    auto balloon = std::make_unique<game_object_balloon_c>();
    balloon->Init(_ground_height, _placed.tmpl, _placed.node);
    return balloon;
}

std::unique_ptr<game_object_c> mission_object_factory_c::CreateAagun(placed_object_c& _placed,
                                                                     const aagun_setup_c& _setup,
                                                                     const mission_devices_c& _devices)
{
    auto gun = std::make_unique<game_object_aagun_c>();
    gun->Init(_placed.tmpl, _placed.node, _devices.sound);
    gun->SetGunParameters(_setup.agility, _setup.burstDelay, _setup.burstLength, _setup.shootingDelay,
                          _setup.maxYawDot);
    return gun;
}
