#include "game/testing/mission_doubles.h"

#include "game/state_game.h"
#include "input/testing/bindings.h"
#include "level/level_scene.h"

#include <sstream>
#include <stdexcept>

namespace game_testing {

namespace {

std::string Text(const vec3_c& _v)
{
    std::ostringstream out;
    out << _v.x << "," << _v.y << "," << _v.z;
    return out.str();
}

} // namespace

void test_object_c::Update(float)
{
    ++updates;
    if (throwOnUpdate)
        throw std::runtime_error(std::string(name.GetData()) + " broke");
}

void test_object_c::TakeDamage(const vec3_c&, const vec3_c&, float _amount, game_object_c*, int)
{
    journal.push_back(std::string(name.GetData()) + " hit " + std::to_string(static_cast<int>(_amount)));
}

void test_object_c::SetModelView(int _view)
{
    view = _view;
}

void test_object_c::OrderGoto(const vec3_c& _position, bool _start_now)
{
    journal.push_back(std::string(name.GetData()) + " goto " + Text(_position) + (_start_now ? " now" : " queued"));
}

void test_object_c::OrderLand(const vec3_c& _touchdown, const vec3_c& _direction)
{
    journal.push_back(std::string(name.GetData()) + " land " + Text(_touchdown) + " " + Text(_direction));
}

void test_object_c::OrderBomb(const vec3_c& _position, bool _start_now)
{
    journal.push_back(std::string(name.GetData()) + " bomb " + Text(_position) + (_start_now ? " now" : " queued"));
}

void test_object_c::OrderPatrol(const vec3_c& _position, float _radius, bool _start_now)
{
    journal.push_back(std::string(name.GetData()) + " patrol " + Text(_position) + " " +
                      std::to_string(static_cast<int>(_radius)) + (_start_now ? " now" : " queued"));
}

void test_object_c::SetStopped(bool _stopped)
{
    journal.push_back(std::string(name.GetData()) + (_stopped ? " stopped" : " moving"));
}

std::unique_ptr<test_object_c> test_factory_c::Make(int _type, placed_object_c* _placed)
{
    auto object = std::make_unique<test_object_c>(_type, journal);
    if (_placed)
        object->entity = _placed->node;
    if (object->entity == nullptr) {
        object->ownEntity = std::make_unique<null_object_c>("own");
        object->entity = object->ownEntity.get();
    }
    return object;
}

std::unique_ptr<game_object_c> test_factory_c::CreateAagun(placed_object_c& _placed, const aagun_setup_c& _setup,
                                                           const mission_devices_c&)
{
    aaguns.push_back(_setup);
    return Make(object_aagun, &_placed);
}

std::unique_ptr<game_object_c> test_factory_c::CreateZeppelin(placed_object_c& _placed, walk_path_c* _path,
                                                              const mission_devices_c&)
{
    zeppelinPaths.push_back(_path);
    return Make(object_zeppelin, &_placed);
}

std::unique_ptr<game_object_c> test_factory_c::CreateVehicle(placed_object_c& _placed, const vehicle_setup_c& _setup,
                                                             const mission_devices_c&)
{
    vehicles.push_back(_setup);
    return Make(object_car, &_placed);
}

std::unique_ptr<game_object_c> test_factory_c::CreateFlak(placed_object_c& _placed, const mission_devices_c&)
{
    return Make(object_flak, &_placed);
}

std::unique_ptr<game_object_c> test_factory_c::CreateYachts(level_scene_c&, const mission_devices_c&)
{
    return Make(object_yachts, nullptr);
}

std::unique_ptr<game_object_c> test_factory_c::CreateBalloon(placed_object_c& _placed, f32 _ground_height,
                                                             const mission_devices_c&)
{
    balloonHeights.push_back(_ground_height);
    return Make(object_balloon, &_placed);
}

std::unique_ptr<game_object_c> test_factory_c::CreateComputerPlane(placed_object_c* _placed,
                                                                   const computer_plane_setup_c& _setup,
                                                                   const mission_devices_c&)
{
    computerPlanes.push_back(_setup);
    auto plane = Make(object_plane_ai, _placed);
    plane->side = _setup.displayName.GetData()[0] == 'A' && _setup.displayName.GetData()[1] == 'x' ? -1 : 1;
    return plane;
}

std::unique_ptr<game_object_c> test_factory_c::CreateUserPlane(const user_plane_setup_c& _setup,
                                                               const mission_devices_c&)
{
    userPlanes.push_back(_setup);
    auto plane = Make(object_plane_user, nullptr);
    plane->name = "player";
    return plane;
}

void test_factory_c::AddBirds(const vec3_c& _position, const string_c& _type, i32 _count, f32 _spread, f32 _fly_speed,
                              const mission_devices_c&)
{
    journal.push_back("birds " + Text(_position) + " " + _type.GetData() + " " + std::to_string(_count) + " " +
                      std::to_string(static_cast<int>(_spread)) + " " + std::to_string(static_cast<int>(_fly_speed)));
}

void test_factory_c::AddCrowd(area_record_c& _area, const string_c& _model_run, const string_c& _second, i32 _count,
                              const mission_devices_c&)
{
    journal.push_back(std::string("crowd ") + _area.name.GetData() + " " + _model_run.GetData() + " " +
                      _second.GetData() + " " + std::to_string(_count));
}

test_input_c::test_input_c()
{
    controllers = std::make_unique<controllers_c>(nullptr);
    std::vector<binding_s> bindings;
    for (const char* name : game_action_names)
        bindings.push_back({name, GUID{}, 0, 0.0f, 0.0f, 0});
    bindings.push_back({"fire", GUID{}, 0, 0.0f, 0.0f, 0});
    Bind(*controllers, bindings);
}

void test_input_c::Set(const char* _name, f32 _value)
{
    for (u32 i = 0; i < controllers->GetActionCount(); ++i)
        if (controllers->GetAction(i).name == _name)
            controllers->GetAction(i).value = _value;
}

test_mission_c::test_mission_c() : builder(nullptr)
{
    auto owned_renderer = std::make_unique<recording_renderer_c>(640, 480);
    renderer = owned_renderer.get();
    app.renderer = std::move(owned_renderer);
    auto owned_input = std::make_unique<test_input_c>();
    input = owned_input.get();
    app.controllers = std::move(owned_input);
    builder = mission_builder_c(renderer);
}

void test_mission_c::Build()
{
    builder.Write(files.files);
    app.ReadLists();
}

} // namespace game_testing
