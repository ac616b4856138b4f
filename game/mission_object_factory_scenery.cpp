#include "game/mission_object_factory.h"

#include "game/objects/vehicle.h"
#include "game/objects/yacht.h"
#include "game/objects/zeppelin.h"
#include "engine/terrain.h"
#include "engine/scene.h"
#include "game/mission_scenery.h"
#include "level/level_scene.h"

#include <stdexcept>
#include <string>

namespace {

mission_scenery_c& Scenery(const mission_devices_c& _devices, const char* _section)
{
    if (!_devices.scenery)
        throw std::logic_error(std::string(_section) + " need the mission's scenery");
    return *_devices.scenery;
}

} // namespace

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

void mission_object_factory_c::AddBirds(const vec3_c& _position, const string_c& _type, i32 _count, f32 _spread,
                                        f32 _fly_speed, const mission_devices_c& _devices)
{
    mission_scenery_c& scenery = Scenery(_devices, "birds");
    if (!scenery.birds)
        scenery.birds = std::make_unique<bird_flock_c>();
    scenery.birds->Create(_position, _type, _devices.scene, _devices.renderer, _count, _spread, _fly_speed);
}

void mission_object_factory_c::AddCrowd(area_record_c& _area, const string_c& _model_run, const string_c& _second,
                                        i32 _count, const mission_devices_c& _devices)
{
    mission_scenery_c& scenery = Scenery(_devices, "crowds");
    if (!scenery.crowd)
        scenery.crowd = std::make_unique<crowd_c>();
    auto known = scenery.crowdAreas.find(&_area);
    if (known == scenery.crowdAreas.end())
        known = scenery.crowdAreas.emplace(&_area, scenery.crowd->AddPath(_area, _devices.terrain)).first;
    scenery.crowd->Create(known->second, _model_run, _second, _count, _devices.renderer, _devices.scene);
}

void mission_object_factory_c::CreateClouds(const clouds_setup_c& _setup, const mission_devices_c& _devices)
{
    mission_scenery_c& scenery = Scenery(_devices, "clouds");
    scenery.clouds = std::make_unique<cloud_layer_c>();
    scenery.clouds->Create(_setup.graphicDetail, _setup.density, _setup.size, _setup.spread, _setup.height,
                           _setup.colorMap1.GetData(), _setup.colorMap2.GetData(), _devices.scene, _devices.renderer);
}
