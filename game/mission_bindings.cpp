#include "game/mission_bindings.h"

#include "app/application.h"
#include "game/game_world.h"
#include "game/object_links.h"
#include "game/objects/game_object.h"
#include "game/script_host.h"
#include "game/state_game.h"
#include "level/control_point_object.h"

#include <stdexcept>
#include <string>

namespace {

state_game_c& State(void* _context)
{
    return *static_cast<state_game_c*>(_context);
}

control_point_object_c* Point(state_game_c& _state, script_host_c* _script, int _index)
{
    return _state.world ? _state.world->FindControlPoint(_script->GetStringArg(_index).GetData()) : nullptr;
}

computer_plane_orders_c* Plane(state_game_c& _state, script_host_c* _script)
{
    game_object_c* plane = _state.world ? _state.world->FindPlane(_script->GetStringArg(1).GetData()) : nullptr;
    return dynamic_cast<computer_plane_orders_c*>(plane);
}

void CutSceneCamera(script_host_c* _script, int, void* _context)
{
    state_game_c& state = State(_context);
    const control_point_object_c* point = Point(state, _script, 1);
    if (point == nullptr)
        throw std::runtime_error("cut_scene_camera: no control point \"" +
                                 std::string(_script->GetStringArg(1).GetData()) + "\"");
    state.savedCameraMode = state.camera.GetMode();
    state.world->mapSwitch = 0;
    state.camera.SetMode(camera_cut_scene);
    state.camera.SetPosition(point->position);
    state.camera.SetRotation(point->rotation);
    state.viewChanged = 0;
}

void RestoreCameraFromCutScene(script_host_c*, int, void* _context)
{
    state_game_c& state = State(_context);
    state.camera.SetMode(state.savedCameraMode);
    if (state.world)
        state.world->mapSwitch = 1;
    state.viewChanged = 1;
}

void AddEvent(script_host_c* _script, int, void* _context)
{
    State(_context).AddScriptEvent(_script->GetStringArg(1), static_cast<f32>(_script->GetNumberArg(2)));
}

// Gives the named plane an order at the named control point (arguments 1
// and 2) when both exist.
template <class order_t>
void OrderAtPoint(script_host_c* _script, void* _context, order_t _order)
{
    state_game_c& state = State(_context);
    computer_plane_orders_c* plane = Plane(state, _script);
    const control_point_object_c* point = Point(state, _script, 2);
    if (plane && point)
        _order(*plane, *point);
}

void FlyPlaneToControlPoint(script_host_c* _script, int, void* _context)
{
    OrderAtPoint(_script, _context, [](computer_plane_orders_c& _plane, const control_point_object_c& _point) {
        _plane.OrderGoto(_point.position, true);
    });
}

void LandPlane(script_host_c* _script, int, void* _context)
{
    state_game_c& state = State(_context);
    computer_plane_orders_c* plane = Plane(state, _script);
    const control_point_object_c* touchdown = Point(state, _script, 2);
    const control_point_object_c* direction = Point(state, _script, 3);
    if (plane && touchdown && direction)
        plane->OrderLand(touchdown->position, direction->position);
}

void BombTarget(script_host_c* _script, int, void* _context)
{
    OrderAtPoint(_script, _context, [](computer_plane_orders_c& _plane, const control_point_object_c& _point) {
        _plane.OrderBomb(_point.position, true);
    });
}

void StoreMissionResults(script_host_c* _script, int, void* _context)
{
    application_c* app = State(_context).GetApplication();
    app->primary_reached = _script->GetNumberArg(1) != 0.0 ? 1 : 0;
    app->secondary_reached = _script->GetNumberArg(2) != 0.0 ? 1 : 0;
}

void TerminateMission(script_host_c*, int, void* _context)
{
    state_game_c& state = State(_context);
    state.fadeStart = state.gameTime;
    state.missionOver = 1;
    state.terminated = 1;
}

void PatrolAtControlPoint(script_host_c* _script, int, void* _context)
{
    OrderAtPoint(_script, _context, [](computer_plane_orders_c& _plane, const control_point_object_c& _point) {
        _plane.OrderGoto(_point.position, true);
        _plane.OrderPatrol(_point.position, _point.size, false);
    });
}

void SetVehicleMove(script_host_c* _script, int, void* _context)
{
    state_game_c& state = State(_context);
    if (!state.world)
        return;
    const string_c name = _script->GetStringArg(1);
    for (u32 i = 0; i < state.world->GetObjectCount(); ++i) {
        game_object_c* object = state.world->GetObject(i);
        if (object->GetType() != object_car || !(object->name == name))
            continue;
        if (auto* vehicle = dynamic_cast<vehicle_motion_c*>(object))
            vehicle->SetStopped(_script->GetNumberArg(2) == 0.0);
        return;
    }
}

void PlayOutro(script_host_c*, int, void* _context)
{
    State(_context).GetApplication()->outro_pending = 1;
}

} // namespace

void RegisterMissionBindings(script_host_c& _script, state_game_c& _state)
{
    const struct {
        const char* name;
        script_function_f function;
    } bindings[] = {
        {"cut_scene_camera", CutSceneCamera},
        {"restore_camera_from_cut_scene", RestoreCameraFromCutScene},
        {"add_event", AddEvent},
        {"fly_plane_to_control_point", FlyPlaneToControlPoint},
        {"land_plane", LandPlane},
        {"bomb_target", BombTarget},
        {"store_mission_results", StoreMissionResults},
        {"terminate_mission", TerminateMission},
        {"patrol_at_control_point", PatrolAtControlPoint},
        {"set_vehicle_move", SetVehicleMove},
        {"play_outro", PlayOutro},
    };
    for (const auto& binding : bindings)
        _script.Register(binding.name, binding.function, &_state);
}
