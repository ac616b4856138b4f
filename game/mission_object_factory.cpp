#include "game/mission_object_factory.h"

#include "game/objects/game_object.h"

#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void NotBuilt(const char* _section)
{
    throw std::runtime_error(std::string(_section) + " objects are not built yet");
}

} // namespace

std::unique_ptr<game_object_c> mission_object_factory_c::CreateZeppelin(placed_object_c&, walk_path_c*,
                                                                        const mission_devices_c&)
{
    NotBuilt("zeppelins");
}

std::unique_ptr<game_object_c> mission_object_factory_c::CreateVehicle(placed_object_c&, const vehicle_setup_c&,
                                                                       const mission_devices_c&)
{
    NotBuilt("vehicles");
}

std::unique_ptr<game_object_c> mission_object_factory_c::CreateYachts(level_scene_c&, const mission_devices_c&)
{
    NotBuilt("yachts");
}

void mission_object_factory_c::AddBirds(const vec3_c&, const string_c&, i32, f32, f32, const mission_devices_c&)
{
    NotBuilt("birds");
}

void mission_object_factory_c::AddCrowd(area_record_c&, const string_c&, const string_c&, i32, const mission_devices_c&)
{
    NotBuilt("crowds");
}

void mission_object_factory_c::CreateClouds(const clouds_setup_c&, const mission_devices_c&)
{
    NotBuilt("clouds");
}
