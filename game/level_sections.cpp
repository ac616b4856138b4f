// The sections of a level script that make game objects, and the table of
// every section.
#include "game/level_sections.h"

#include "app/application.h"
#include "app/message/net_session.h"
#include "engine/terrain.h"
#include "foundation/command.h"
#include "foundation/random_numbers.h"
#include "game/game_messages.h"
#include "game/game_world.h"
#include "game/objects/game_object.h"
#include "game/objects/player_plane.h"
#include "game/state_game.h"
#include "level/control_point_object.h"
#include "level/level_scene.h"
#include "level/walk_path.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

// World points of the landing fields set by an "airfields" section.
enum airfield_mask_e : u32 { airfield_allied = 1, airfield_german = 2 };

// The control-point types of an "airfields" scene and the world point each
// sets.
constexpr struct {
    i32 type;
    vec3_c game_world_c::*point;
    u32 bit;
} airfield_points[] = {
    {11, &game_world_c::alliedTouchdown, airfield_allied},
    {12, &game_world_c::alliedDirection, airfield_allied},
    {21, &game_world_c::germanTouchdown, airfield_german},
    {22, &game_world_c::germanDirection, airfield_german},
};

f32 OptionalFloat(parameter_list_c& _parameters, const char* _name, f32 _default)
{
    f32 value = _default;
    _parameters.GetSetFloat(_name, &value, true, 0.0f, 0.0f);
    return value;
}

// The first parameter named exactly _name (letter case counts), or null.
parameter_c* FindExact(const parameter_list_c& _parameters, const char* _name)
{
    for (u32 i = 0; i < _parameters.Count(); ++i)
        if (_parameters.Get(i)->name == _name)
            return _parameters.Get(i);
    return nullptr;
}

// The integer value of an int, float or bool parameter.
bool IntValue(const parameter_c* _parameter, i32& _value)
{
    switch (_parameter ? _parameter->GetType() : 0) {
    case parameter_c::type_int: _value = static_cast<const parameter_int_c*>(_parameter)->value; return true;
    case parameter_c::type_float:
        _value = static_cast<i32>(static_cast<const parameter_float_c*>(_parameter)->value);
        return true;
    case parameter_c::type_bool: _value = static_cast<const parameter_bool_c*>(_parameter)->value ? 1 : 0; return true;
    default: return false;
    }
}

string_c TextValue(const parameter_c* _parameter)
{
    string_c text;
    if (auto* t = dynamic_cast<const parameter_text_c*>(_parameter))
        text = t->value.c_str();
    return text;
}

string_c NodeName(const placed_object_c& _placed)
{
    return _placed.node ? _placed.node->GetName() : _placed.name;
}

// The walk path named by "move_path", when there is one of that name.
walk_path_c* MovePath(const level_scene_c& _level, parameter_list_c& _parameters)
{
    string_c name;
    if (!_parameters.GetSetString("move_path", &name, true))
        return nullptr;
    parameter_object_c* object = _level.FindParameterObject(name.GetData());
    return object && object->GetType() == level_object_walk_path ? static_cast<walk_path_c*>(object) : nullptr;
}

// Names the object after its node, runs its script and adds it.
game_object_c* Place(state_game_c& _state, std::unique_ptr<game_object_c> _object, placed_object_c& _placed)
{
    _object->name = NodeName(_placed);
    if (_object->entity == nullptr)
        _object->entity = _placed.node;
    game_object_c* object = _state.world->AddObject(std::move(_object));
    RunObjectScript(_state, _placed.parameters);
    return object;
}

void ReadAagunsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "aaguns");
    for (const auto& placed : level.placedObjects) {
        parameter_list_c& parameters = placed->parameters;
        aagun_setup_c setup;
        setup.agility = OptionalFloat(parameters, "agility", setup.agility);
        setup.burstDelay = OptionalFloat(parameters, "burst_delay", setup.burstDelay);
        parameters.GetSetInt("burst_length", &setup.burstLength, true, 0, 0);
        setup.shootingDelay = OptionalFloat(parameters, "shooting_delay", setup.shootingDelay);
        setup.maxYawDot = OptionalFloat(parameters, "max_yaw_dot", setup.maxYawDot);
        Place(_state, _state.GetFactory().CreateAagun(*placed, setup, _state.GetDevices()), *placed);
    }
}

void ReadZeppelinsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "zeppelins");
    for (const auto& placed : level.placedObjects) {
        walk_path_c* path = MovePath(level, placed->parameters);
        game_object_c* zeppelin =
            Place(_state, _state.GetFactory().CreateZeppelin(*placed, path, _state.GetDevices()), *placed);
        zeppelin->ReadActivationPoints(placed->parameters);
    }
}

void ReadVehiclesSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "vehicles");
    for (const auto& placed : level.placedObjects) {
        parameter_list_c& parameters = placed->parameters;
        if (placed->node) {
            placed->node->Animate(0.0f);
            placed->node->UpdateTransform(nullptr);
        }
        vehicle_setup_c setup;
        setup.path = MovePath(level, parameters);
        setup.hasStopped = parameters.GetSetBool("stopped", &setup.stopped, true);
        setup.hasAlwaysActive = parameters.GetSetBool("always_active", &setup.alwaysActive, true);
        setup.hasSnapTo = parameters.GetSetInt("snap_to", &setup.snapTo, true, 0, 0);
        setup.hasNoInitEffects = parameters.GetSetBool("no_init_effects", &setup.noInitEffects, true);
        game_object_c* vehicle =
            Place(_state, _state.GetFactory().CreateVehicle(*placed, setup, _state.GetDevices()), *placed);
        vehicle->ReadActivationPoints(parameters);
    }
}

void ReadCannonsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "cannons");
    for (const auto& placed : level.placedObjects)
        Place(_state, _state.GetFactory().CreateFlak(*placed, _state.GetDevices()), *placed);
}

void ReadYachtsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "yachts");
    _state.world->AddObject(_state.GetFactory().CreateYachts(level, _state.GetDevices()));
}

void ReadControlPointsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "control_points");
    for (const auto& object : level.levelObjects)
        if (object->GetType() == level_object_control_point) {
            const auto& point = static_cast<const control_point_object_c&>(*object);
            if (!point.script.IsEmpty())
                RunLevelScript(_state, point.script.GetData());
        }
    _state.world->SetControlPointScene(static_cast<int>(_state.levelScenes.size()) - 1);
}

void ReadAirfieldsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c level;
    level.Load(_command.GetParameter("file"), _state.GetApplication()->GetRenderer(), true);
    game_world_c& world = *_state.world;
    u32 mask = 0;
    for (const auto& object : level.levelObjects) {
        if (object->GetType() != level_object_control_point)
            continue;
        const auto& point = static_cast<const control_point_object_c&>(*object);
        for (const auto& field : airfield_points)
            if (point.id == field.type) {
                world.*field.point = point.position;
                mask |= field.bit;
            }
    }
    world.airfieldMask = mask;
}

void ReadBalloonsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "balloons");
    for (const auto& placed : level.placedObjects) {
        f32 ground = 0.0f;
        const vec3_c at = placed->node ? placed->node->position : placed->position;
        if (_state.terrain) {
            f32 distance = FLT_MAX;
            vec3_c normal;
            const ray_c ray(vec3_c(at.x, 10000.0f, at.z), vec3_c(0.0f, -1.0f, 0.0f));
            if (_state.terrain->RayTest(distance, normal, ray, false, true, FLT_MAX))
                ground = 10000.0f - distance;
        }
        Place(_state, _state.GetFactory().CreateBalloon(*placed, ground, _state.GetDevices()), *placed);
    }
}

void ReadBirdsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c level;
    level.Load(_command.GetParameter("file"), _state.GetApplication()->GetRenderer(), false);
    for (const auto& placed : level.placedObjects) {
        parameter_list_c& parameters = placed->parameters;
        string_c type;
        i32 count = 0;
        f32 spread = 0.0f;
        f32 fly_speed = 0.0f;
        if (!parameters.GetSetString("type", &type, true))
            throw std::runtime_error("birds::type");
        if (!parameters.GetSetInt("count", &count, true, 0, 0))
            throw std::runtime_error("birds::count");
        if (!parameters.GetSetFloat("spread", &spread, true, 0.0f, 0.0f))
            throw std::runtime_error("birds::spread");
        if (!parameters.GetSetFloat("fly_speed", &fly_speed, true, 0.0f, 0.0f))
            throw std::runtime_error("birds::fly speed");
        const vec3_c at = placed->node ? placed->node->position : placed->position;
        _state.GetFactory().AddBirds(at, type, count, spread, fly_speed, _state.GetDevices());
    }
}

// The walker count of a "model run" triple: a whole number, not negative.
i32 CrowdCount(const parameter_c* _parameter, const area_record_c& _area)
{
    const auto not_a_count = [&] {
        return std::runtime_error("crowds: the count after \"model run\" in area \"" +
                                  std::string(_area.name.GetData()) + "\" is not a count");
    };
    if (_parameter == nullptr)
        throw not_a_count();
    if (_parameter->GetType() == parameter_c::type_int) {
        const i32 count = static_cast<const parameter_int_c*>(_parameter)->value;
        if (count < 0)
            throw not_a_count();
        return count;
    }
    if (_parameter->GetType() == parameter_c::type_float) {
        const f32 value = static_cast<const parameter_float_c*>(_parameter)->value;
        if (!(value >= 0.0f && value <= 1.0e6f) || std::floor(value) != value)
            throw not_a_count();
        return static_cast<i32>(value);
    }
    throw not_a_count();
}

void ReadCrowdsSection(state_game_c& _state, const command_c& _command)
{
    const application_c* app = _state.GetApplication();
    if (app->options && !(app->options->graphic_detail > 0.1f))
        return;
    auto owned = std::make_unique<level_scene_c>();
    level_scene_c& level = *owned;
    _state.otherLevelScenes.push_back(std::move(owned));
    level.Load(_command.GetParameter("file"), app->GetRenderer(), false);
    for (const auto& area : level.areas) {
        const parameter_list_c& parameters = area->parameters;
        // A triple cut short by the end of the list is skipped.
        for (u32 i = 0; i + 2 < parameters.Count(); ++i) {
            if (parameters.Get(i)->name != "model run")
                continue;
            const i32 count = CrowdCount(parameters.Get(i + 2), *area);
            _state.GetFactory().AddCrowd(*area, TextValue(parameters.Get(i)), TextValue(parameters.Get(i + 1)), count,
                                         _state.GetDevices());
            i += 2;
        }
    }
}

void ReadPlanesSection(state_game_c& _state, const command_c& _command)
{
    auto owned = std::make_unique<level_scene_c>();
    level_scene_c& level = *owned;
    _state.otherLevelScenes.push_back(std::move(owned));
    level.Load(_command.GetParameter("file"), _state.GetApplication()->GetRenderer(), true);
    i32 number = 0;
    for (const auto& placed : level.placedObjects) {
        computer_plane_setup_c setup;
        setup.skill = RandomFloat(0.5f, 0.9f);
        setup.controlGain = RandomFloat(0.4f, 0.6f);
        const bool korvane = placed->parameters.Find("korvane") != nullptr;
        if (korvane) {
            setup.skill = 1.0f;
            setup.controlGain = 1.0f;
            setup.rangeA = 4000.0f;
            setup.rangeB = 4000.0f;
        }
        setup.bombs = 99;
        i32 iff = 0;
        if (placed->tmpl)
            IntValue(placed->tmpl->FindGroupParameter("MainGroup", "iff"), iff);
        setup.displayName.Format(iff < 0 ? "Axis_%d" : "Ally_%d", number++);
        auto plane = _state.GetFactory().CreateComputerPlane(placed.get(), setup, _state.GetDevices());
        plane->name = NodeName(*placed);
        if (plane->entity == nullptr)
            plane->entity = placed->node;
        game_object_c* added = _state.world->AddPlane(std::move(plane));
        RunObjectScript(_state, placed->parameters);
        added->ReadActivationPoints(placed->parameters);
    }
}

void ReadUserSection(state_game_c& _state, const command_c& _command)
{
    application_c& app = *_state.GetApplication();
    level_scene_c level;
    level.Load(_command.GetParameter("file"), app.GetRenderer(), true);
    if (level.levelObjects.empty() || level.levelObjects.front()->GetType() != level_object_control_point)
        throw std::runtime_error("There should be ONE control point at user.sce!");
    const auto& start = static_cast<const control_point_object_c&>(*level.levelObjects.front());

    user_plane_setup_c setup;
    if (app.game_type == 3 || app.game_type == 4) {
        _state.alliedSpawnIndex = 0;
        _state.germanSpawnIndex = 0;
        if (app.net_manager)
            if (const net_player_entry_s* local = app.players.Find(app.net_manager->GetLocalId()))
                setup.displayName = local->name;
        for (const auto& object : level.levelObjects) {
            if (object->GetType() != level_object_control_point)
                continue;
            const bool allies = std::strstr(object->name.GetData(), "allies") != nullptr;
            (allies ? _state.alliedSpawns : _state.germanSpawns).push_back(object->position);
            (allies ? _state.alliedSpawnRotations : _state.germanSpawnRotations).push_back(object->rotation);
        }
    }
    // Without a current pilot (a fresh settings store) the first plane.
    const pilot_profile_c* pilot = app.pilots.GetCurrent();
    const u32 plane_number = pilot ? pilot->selected_plane : 1;
    if (plane_number < 1 || plane_number > app.planes.size())
        throw std::runtime_error("Plane " + std::to_string(plane_number) + " is not in the plane list (" +
                                 std::to_string(app.planes.size()) + " planes)");
    setup.planeFile = app.planes[plane_number - 1];
    setup.position = start.position;
    setup.rotation = start.rotation;
    IntValue(FindExact(start.parameters, "rockets"), setup.rockets);
    IntValue(FindExact(start.parameters, "bombs"), setup.bombs);

    auto plane = _state.GetFactory().CreateUserPlane(setup, _state.GetDevices());
    game_object_c* added = _state.world->AddPlane(std::move(plane));
    added->SetPosition(start.position);
    added->SetRotation(start.rotation);
    if (auto* user = dynamic_cast<game_object_plane_user_c*>(added)) {
        user->SetHost(&_state);
        user->BindControls(_state.GetControllers());
    }
    _state.camera.SetRotation(start.rotation);
    added->ReadActivationPoints(start.parameters);
    _state.SetPlayerPlane(added);
}

constexpr level_section_c sections[] = {
    {"environment", ReadEnvironmentSection},
    {"clouds", ReadCloudsSection},
    {"terrain_params", ReadTerrainParamsSection},
    {"LoadSCE", ReadStaticScenerySection},
    {"LoadHP", ReadDestructibleScenerySection},
    {"sounds", ReadSoundsSection},
    {"aaguns", ReadAagunsSection},
    {"zeppelins", ReadZeppelinsSection},
    {"vehicles", ReadVehiclesSection},
    {"cannons", ReadCannonsSection},
    {"yachts", ReadYachtsSection},
    {"control_points", ReadControlPointsSection},
    {"airfields", ReadAirfieldsSection},
    {"balloons", ReadBalloonsSection},
    {"birds", ReadBirdsSection},
    {"crowds", ReadCrowdsSection},
    {"planes", ReadPlanesSection},
    {"user", ReadUserSection},
};

} // namespace

void RunObjectScript(state_game_c& _state, const parameter_list_c& _parameters)
{
    const string_c file = TextValue(_parameters.Find("script"));
    if (!file.IsEmpty())
        RunLevelScript(_state, file.GetData());
}

const level_section_c* FindLevelSection(const char* _name)
{
    for (const level_section_c& section : sections)
        if (string_c(section.name) == _name)
            return &section;
    return nullptr;
}

void AddMultiplayerComputerPlanes(state_game_c& _state)
{
    application_c& app = *_state.GetApplication();
    const size_t choices = std::min<size_t>(app.planes.size(), 10);
    if (choices == 0)
        throw std::runtime_error("Multiplayer computer planes need a plane list");
    i32 number = 0;
    for (int allied = 1; allied >= 0; --allied) {
        const i32 count = allied ? app.mp_allied_planes : app.mp_german_planes;
        const size_t text_line = allied ? 102 : 103;
        const string_c side_name = text_line < app.in_game_texts.size() ? app.in_game_texts[text_line] : string_c();
        for (i32 i = 0; i < count; ++i) {
            const i32 spawn = allied ? _state.NextAlliedSpawnPoint() : _state.NextGermanSpawnPoint();
            const auto& spawns = allied ? _state.alliedSpawns : _state.germanSpawns;
            const auto& rotations = allied ? _state.alliedSpawnRotations : _state.germanSpawnRotations;
            computer_plane_setup_c setup;
            setup.controlGain = RandomFloat(0.4f, 0.6f);
            setup.skill = 1.0f;
            setup.bombs = 100;
            setup.networkId = number++;
            setup.displayName.Format("%s_%d", side_name.GetData(), i + 1);
            setup.planeFile = app.planes[static_cast<size_t>(RandomInt(0, 32767)) * choices / 32768];
            auto plane = _state.GetFactory().CreateComputerPlane(nullptr, setup, _state.GetDevices());
            game_object_c* added = _state.world->AddPlane(std::move(plane));
            vec3_c position, rotation;
            if (spawn >= 0) {
                position = spawns[static_cast<size_t>(spawn)];
                rotation = rotations[static_cast<size_t>(spawn)];
                added->SetPosition(position);
                added->SetRotation(rotation);
            }
            if (game_messages_c* messages = _state.GetMessages())
                messages->AnnounceComputerPlane(setup.planeFile, static_cast<u32>(setup.networkId), setup.displayName,
                                                position, rotation);
        }
    }
}
