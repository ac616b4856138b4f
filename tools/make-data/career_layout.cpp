#include "tools/make-data/career_layout.h"

#include "level/control_point_object.h"
#include "level/walk_path.h"
#include "tools/make-data/landscape.h"
#include "tools/make-data/mission_layout.h"
#include "tools/make-data/placement.h"
#include "tools/make-data/scenery.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

namespace {

constexpr f32 kNorth = 0.0f;
constexpr f32 kEast = 1.5707964f;
constexpr f32 kSouth = 3.1415927f;
constexpr f32 kWest = -1.5707964f;
// The escort's airship flies this high over the highest ground of her way.
constexpr f32 kAirshipClearance = 320.0f;

struct ground_point_s {
    f32 x, z;
};

// A column-shaped control point (ground objects and planes at any height
// enter it).
std::unique_ptr<control_point_object_c> Column(const char* _name, f32 _x, f32 _z, f32 _radius, i32 _id)
{
    auto point = MakeControlPoint(_name, vec3_c(_x, 0.0f, _z), _radius, _id);
    point->shape = control_point_object_c::shape_column;
    return point;
}

// The highest ground along the straight legs between the points.
f32 HighestGround(const landscape_c& _landscape, const std::vector<ground_point_s>& _points)
{
    f32 highest = 0.0f;
    for (size_t i = 0; i + 1 < _points.size(); ++i)
        for (int step = 0; step <= 50; ++step) {
            const f32 t = static_cast<f32>(step) / 50.0f;
            highest = std::max(highest, _landscape.GetHeight(_points[i].x + (_points[i + 1].x - _points[i].x) * t,
                                                             _points[i].z + (_points[i + 1].z - _points[i].z) * t));
        }
    return highest;
}

// A path through the points at one height above the highest ground below
// it, for what flies.
std::unique_ptr<walk_path_c> FlightPath(const char* _name, const landscape_c& _landscape,
                                        const std::vector<ground_point_s>& _points, f32 _clearance)
{
    const f32 height = HighestGround(_landscape, _points) + _clearance;
    std::vector<vec3_c> keys;
    for (const ground_point_s& point : _points)
        keys.push_back(vec3_c(point.x, height, point.z));
    return MakeWalkPath(_name, keys);
}

// A path along the ground through the points, a key every 100 m or so, for
// what drives (the vehicles follow the ground between keys themselves).
std::unique_ptr<walk_path_c> GroundPath(const char* _name, const landscape_c& _landscape,
                                        const std::vector<ground_point_s>& _points)
{
    std::vector<vec3_c> keys;
    for (size_t i = 0; i + 1 < _points.size(); ++i) {
        const f32 dx = _points[i + 1].x - _points[i].x, dz = _points[i + 1].z - _points[i].z;
        const int steps = std::max(1, static_cast<int>(std::sqrt(dx * dx + dz * dz) / 100.0f));
        for (int step = 0; step < steps; ++step) {
            const f32 t = static_cast<f32>(step) / static_cast<f32>(steps);
            const f32 x = _points[i].x + dx * t, z = _points[i].z + dz * t;
            keys.push_back(vec3_c(x, _landscape.GetHeight(x, z) + 0.5f, z));
        }
    }
    const ground_point_s& last = _points.back();
    keys.push_back(vec3_c(last.x, _landscape.GetHeight(last.x, last.z) + 0.5f, last.z));
    return MakeWalkPath(_name, keys);
}

void AddMissionPictures(data_files_t& _files, const std::string& _folder, const landscape_c& _landscape,
                        ground_point_s _target, renderer_c* _renderer)
{
    AddMissionPreview(_files, _folder + "preview.lws", _landscape, _target.x, _target.z, _renderer);
    AddMapPicture(_files, _folder + "map.dds", _landscape);
}

// Where the escort's airship flies: from behind our lines over the field's
// west side to the enemy's depot in the north-east.
const std::vector<ground_point_s> airship_route = {
    {-1700.0f, -1500.0f}, {-700.0f, 100.0f}, {700.0f, 1300.0f}, {1500.0f, 1900.0f}};
// The convoy's road from the north-west hills down to the front depot.
const std::vector<ground_point_s> convoy_road = {
    {-2300.0f, 2100.0f}, {-1800.0f, 1400.0f}, {-1300.0f, 700.0f}, {-1000.0f, 150.0f}, {-950.0f, -50.0f}};
// The multiplayer zeppelin's round over the meadow.
const std::vector<ground_point_s> raid_route = {
    {1600.0f, 2200.0f}, {400.0f, 800.0f}, {-400.0f, -400.0f}, {-1800.0f, -2000.0f}};

} // namespace

void AddHomeField(data_files_t& _files, const landscape_c& _landscape)
{
    scene_layout_c field("home_field", _landscape);
    field.Place(kHangarTemplate, "field_hangar", -120.0f, -380.0f, 0.0f, kEast);
    field.Place(kHangarTemplate, "field_hangar_2", -120.0f, -250.0f, 0.0f, kEast);
    field.Place(kTowerTemplate, "field_tower", 90.0f, -300.0f, 0.0f);
    field.Place(kHouseTemplate, "field_office", -110.0f, -120.0f, 0.0f, kEast);
    field.Place(kHouseTemplate, "field_mess", -110.0f, -60.0f, 0.0f, kEast);
    // Rows of firs along both sides of the strip, oaks by the houses.
    int number = 0;
    for (f32 z = -650.0f; z <= 450.0f; z += 80.0f)
        for (f32 x : {-190.0f, 170.0f}) {
            const std::string name = "fir_" + std::to_string(++number);
            field.Place(kFirTemplate, name.c_str(), x + (number % 3) * 7.0f, z, 0.0f);
        }
    number = 0;
    for (ground_point_s at :
         {ground_point_s{-160.0f, -20.0f}, {-70.0f, 20.0f}, {-150.0f, -170.0f}, {120.0f, -220.0f}}) {
        const std::string name = "oak_" + std::to_string(++number);
        field.Place(kOakTemplate, name.c_str(), at.x, at.z, 0.0f);
    }
    field.Write(_files, kHomeField);
}

void AddCareerEscort(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer)
{
    const std::string folder = kCareerEscort;
    AddUserStart(_files, folder + "user.sce", _landscape, 8);

    const ground_point_s depot = airship_route.back();
    scene_layout_c points("points", _landscape);
    points.Add(Column("depot", depot.x, depot.z, 500.0f, 3));
    // Where the raiders wait for the airship, at her height.
    const f32 cruise = HighestGround(_landscape, airship_route) + kAirshipClearance;
    points.Add(MakeControlPoint("intercept", vec3_c(airship_route[1].x, cruise, airship_route[1].z), 500.0f, 0));
    points.Add(MakeControlPoint("late_intercept", vec3_c(airship_route[2].x, cruise, airship_route[2].z), 500.0f, 0));
    points.Write(_files, folder + "points.sce");

    scene_layout_c airships("zeppelins", _landscape);
    placed_object_c& airship =
        airships.Place(kAirshipTemplate, "airship_1", airship_route[0].x, airship_route[0].z, 0.0f, kNorth);
    SetTextKey(airship.parameters, "move_path", "airship_route");
    AddIntKey(airship.parameters, "act_ctrl_point", 3);
    airships.Add(FlightPath("airship_route", _landscape, airship_route, kAirshipClearance));
    airships.Write(_files, folder + "zeppelins.sce");

    // The first pair waits over the hills ahead of the route; the second
    // far to the north-east until the script calls it in.
    scene_layout_c planes("planes", _landscape);
    planes.Place(kGermanPlaneTemplate, "raider_1", 600.0f, 2000.0f, 700.0f, kSouth);
    planes.Place(kGermanPlaneTemplate, "raider_2", 660.0f, 2060.0f, 720.0f, kSouth);
    planes.Place(kGermanPlaneTemplate, "raider_3", 2400.0f, 2500.0f, 700.0f, kWest);
    planes.Place(kGermanPlaneTemplate, "raider_4", 2460.0f, 2440.0f, 720.0f, kWest);
    planes.Write(_files, folder + "planes.sce");

    scene_layout_c guns("aaguns", _landscape);
    for (const auto& [name, dx, dz] :
         {std::tuple{"depot_gun_1", -120.0f, 60.0f}, std::tuple{"depot_gun_2", 110.0f, -80.0f}})
        SetIntKey(guns.Place(kAagunTemplate, name, depot.x + dx, depot.z + dz, 0.0f).parameters, "burst_length", 4);
    guns.Write(_files, folder + "aaguns.sce");

    AddMissionPictures(_files, folder, _landscape, depot, _renderer);
}

void AddCareerConvoy(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer)
{
    const std::string folder = kCareerConvoy;
    AddUserStart(_files, folder + "user.sce", _landscape, 8, 4);

    const ground_point_s depot = convoy_road.back();
    scene_layout_c points("points", _landscape);
    points.Add(Column("crossroads", convoy_road[2].x, convoy_road[2].z, 60.0f, 5));
    points.Add(Column("depot", depot.x, depot.z, 80.0f, 4));
    points.Write(_files, folder + "points.sce");

    scene_layout_c vehicles("vehicles", _landscape);
    int order = 0;
    for (const auto& [name, tmpl] : {std::pair{"lorry_1", kLorryTemplate}, std::pair{"lorry_2", kLorryTemplate},
                                     std::pair{"staff_car", kStaffCarTemplate}, std::pair{"lorry_3", kLorryTemplate}}) {
        placed_object_c& vehicle = vehicles.Place(tmpl, name, convoy_road[0].x, convoy_road[0].z, 0.0f);
        SetTextKey(vehicle.parameters, "move_path", "road");
        SetIntKey(vehicle.parameters, "in_convoy_order", order++);
        AddIntKey(vehicle.parameters, "act_ctrl_point", 4);
        AddIntKey(vehicle.parameters, "act_ctrl_point", 5);
    }
    vehicles.Add(GroundPath("road", _landscape, convoy_road));
    vehicles.Write(_files, folder + "vehicles.sce");

    scene_layout_c cannons("cannons", _landscape);
    cannons.Place(kFlakTemplate, "flak_1", -1700.0f, 1200.0f, 0.0f);
    cannons.Place(kFlakTemplate, "flak_2", -1220.0f, 520.0f, 0.0f);
    cannons.Write(_files, folder + "cannons.sce");

    scene_layout_c guns("aaguns", _landscape);
    for (const auto& [name, x, z] : {std::tuple{"guard_1", -1870.0f, 1530.0f}, std::tuple{"guard_2", -900.0f, 60.0f}})
        SetIntKey(guns.Place(kAagunTemplate, name, x, z, 0.0f).parameters, "burst_length", 4);
    guns.Write(_files, folder + "aaguns.sce");

    // The depot's buildings burn when bombed: two bombs for the store, one
    // for the office.
    scene_layout_c buildings("depot", _landscape);
    for (const auto& [name, tmpl, x, z, hit_points] :
         {std::tuple{"depot_store", kHangarTemplate, depot.x - 40.0f, depot.z - 60.0f, 18.0f},
          std::tuple{"depot_office", kHouseTemplate, depot.x + 50.0f, depot.z - 50.0f, 8.0f}}) {
        placed_object_c& building = buildings.Place(tmpl, name, x, z, 0.0f, kEast);
        SetFloatKey(building.parameters, "HP", hit_points);
        SetTextKey(building.parameters, "normal_model", "normal");
        SetTextKey(building.parameters, "burned_model", "burned");
    }
    buildings.Write(_files, folder + "depot.sce");

    AddMissionPictures(_files, folder, _landscape, convoy_road[2], _renderer);
}

void AddCareerDogfight(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer)
{
    const std::string folder = kCareerDogfight;
    AddUserStart(_files, folder + "user.sce", _landscape, 0);

    scene_layout_c points("points", _landscape);
    points.Add(MakeControlPoint("over_field", points.Above(0.0f, 0.0f, 450.0f), 500.0f, 0));
    points.Add(MakeControlPoint("touchdown", points.Above(0.0f, -400.0f, 0.0f), 30.0f, 0));
    points.Add(MakeControlPoint("direction", points.Above(0.0f, 400.0f, 0.0f), 30.0f, 0));
    points.Add(MakeControlPoint("east", points.Above(1500.0f, 300.0f, 500.0f), 400.0f, 0));
    points.Write(_files, folder + "points.sce");

    scene_layout_c fields("airfields", _landscape);
    fields.Add(MakeControlPoint("allied_touchdown", fields.Above(0.0f, -400.0f, 0.0f), 30.0f, 11));
    fields.Add(MakeControlPoint("allied_direction", fields.Above(0.0f, 400.0f, 0.0f), 30.0f, 12));
    fields.Add(MakeControlPoint("german_touchdown", fields.Above(2000.0f, 1000.0f, 0.0f), 30.0f, 21));
    fields.Add(MakeControlPoint("german_direction", fields.Above(2000.0f, 1600.0f, 0.0f), 30.0f, 22));
    fields.Write(_files, folder + "airfields.sce");

    // Four German planes come in from the east; our wingman is up already.
    scene_layout_c planes("planes", _landscape);
    planes.Place(kGermanPlaneTemplate, "hunter_1", 2300.0f, 300.0f, 600.0f, kWest);
    planes.Place(kGermanPlaneTemplate, "hunter_2", 2360.0f, 360.0f, 620.0f, kWest);
    planes.Place(kGermanPlaneTemplate, "hunter_3", 2360.0f, 240.0f, 620.0f, kWest);
    SetIntKey(planes.Place(kGermanPlaneTemplate, "red_ace", 2450.0f, 300.0f, 700.0f, kWest).parameters, "korvane", 1);
    planes.Place(kAlliedPlaneTemplate, "wingman_1", 150.0f, -300.0f, 300.0f, kNorth);
    planes.Write(_files, folder + "planes.sce");

    AddMissionPictures(_files, folder, _landscape, {1500.0f, 300.0f}, _renderer);
}

void AddMultiplayerMeadow(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer)
{
    const std::string folder = kMultiplayerMeadow;
    // Both sides take off from the meadow, the Allies from its south end
    // going north, the Germans from its north end going south, in lanes
    // apart. The first point is the start of every player.
    scene_layout_c user("user", _landscape);
    for (int i = 0; i < 3; ++i) {
        const f32 lane = 40.0f + 20.0f * static_cast<f32>(i);
        const std::string allied = "allies_" + std::to_string(i + 1);
        user.Add(MakeControlPoint(allied.c_str(), user.Above(-lane, -500.0f - 20.0f * i, 1.5f), 10.0f, 0));
        const std::string german = "german_" + std::to_string(i + 1);
        auto point = MakeControlPoint(german.c_str(), user.Above(lane, 500.0f + 20.0f * i, 1.5f), 10.0f, 0);
        point->rotation = vec3_c(kSouth, 0.0f, 0.0f);
        user.Add(std::move(point));
    }
    user.Write(_files, folder + "user.sce");

    scene_layout_c zeppelins("zeppelins", _landscape);
    SetTextKey(
        zeppelins.Place(kZeppelinTemplate, "zeppelin_1", raid_route[0].x, raid_route[0].z, 0.0f, kSouth).parameters,
        "move_path", "raid_route");
    zeppelins.Add(FlightPath("raid_route", _landscape, raid_route, 350.0f));
    zeppelins.Write(_files, folder + "zeppelins.sce");

    scene_layout_c balloons("balloons", _landscape);
    balloons.Place(kBalloonTemplate, "balloon_1", 300.0f, 1500.0f, 250.0f);
    balloons.Place(kBalloonTemplate, "balloon_2", -300.0f, -1500.0f, 250.0f);
    balloons.Write(_files, folder + "balloons.sce");

    AddMissionPictures(_files, folder, _landscape, {0.0f, 0.0f}, _renderer);
}
