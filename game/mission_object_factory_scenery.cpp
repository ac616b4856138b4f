#include "game/mission_object_factory.h"

#include "game/objects/vehicle.h"
#include "game/objects/yacht.h"
#include "game/objects/zeppelin.h"
#include "engine/terrain.h"
#include "level/level_scene.h"

std::unique_ptr<game_object_c> mission_object_factory_c::CreateZeppelin(placed_object_c& _placed, walk_path_c* _path,
                                                                        const mission_devices_c& _devices)
{
    auto zeppelin = std::make_unique<game_object_zeppelin_c>();
    zeppelin->Init(_placed.tmpl, _placed.node, _devices.sound, _devices.terrain);
    zeppelin->SetMovePath(_path);
    return zeppelin;
}

std::unique_ptr<game_object_c> mission_object_factory_c::CreateVehicle(placed_object_c& _placed,
                                                                       const vehicle_setup_c& _setup,
                                                                       const mission_devices_c& _devices)
{
    auto vehicle = std::make_unique<game_object_car_c>();
    vehicle->Init(_placed.tmpl, _placed.node, _devices.terrain, _devices.scene, _placed.parameters);
    vehicle->SetMovePath(_setup.path);
    if (_setup.hasStopped)
        vehicle->stopped = _setup.stopped ? 1 : 0;
    if (_setup.hasAlwaysActive)
        vehicle->alwaysActive = _setup.alwaysActive ? 1 : 0;
    if (_setup.hasSnapTo)
        vehicle->groundMode = _setup.snapTo;
    if (_setup.hasNoInitEffects)
        vehicle->noInitEffects = _setup.noInitEffects ? 1 : 0;
    return vehicle;
}

std::unique_ptr<game_object_c> mission_object_factory_c::CreateYachts(level_scene_c& _level, const mission_devices_c&)
{
    auto yachts = std::make_unique<game_object_yachts_c>();
    yachts->SetBoats(_level);
    return yachts;
}
