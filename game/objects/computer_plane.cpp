#include "game/objects/computer_plane.h"

#include <algorithm>
#include <cstdio>

namespace {

const char* const order_names[] = {"NOP",     "DESTROYED", "GOTO",    "FOLLOW", "LAND",
                                   "TAKEOFF", "PATROL",    "RETREAT", "BOMB",   "ATACK"};

void AppendPoint(std::string& _text, const char* _name, const vec3_c& _point)
{
    char line[160];
    std::snprintf(line, sizeof line, "%s ( %.1f; %.1f; %.1f )\n", _name, static_cast<double>(_point.x),
                  static_cast<double>(_point.y), static_cast<double>(_point.z));
    _text += line;
}

} // namespace

const char* GetOrderName(i32 _kind)
{
    return _kind >= order_nop && _kind <= order_attack ? order_names[_kind] : order_names[0];
}

game_object_plane_ai_c::game_object_plane_ai_c() = default;
game_object_plane_ai_c::~game_object_plane_ai_c() = default;

void game_object_plane_ai_c::SetPilot(std::unique_ptr<ai_pilot_c> _pilot)
{
    pilot = std::move(_pilot);
    if (pilot)
        pilot->SetPlane(this);
}

void game_object_plane_ai_c::SetSkill(float _skill)
{
    skill = _skill;
    if (pilot)
        pilot->SetSkill(_skill);
}

void game_object_plane_ai_c::SetRotation(const vec3_c& _rotation)
{
    game_object_plane_c::SetRotation(_rotation);
    SetAttitude(_rotation);
}

vec3_c game_object_plane_ai_c::GetVelocity() const
{
    return GetForward() * speed;
}

void game_object_plane_ai_c::AddOrder(const ai_order_c& _order, bool _start_now)
{
    orders.push_back(_order);
    if (_start_now)
        StartOrder(orders.back());
}

void game_object_plane_ai_c::OrderGoto(const vec3_c& _point, bool _start_now)
{
    AddOrder({.kind = order_goto, .point = _point}, _start_now);
}

void game_object_plane_ai_c::OrderPatrol(const vec3_c& _point, float _radius, bool _start_now)
{
    orders.remove_if([](const ai_order_c& _order) { return _order.kind == order_patrol; });
    AddOrder({.kind = order_patrol, .point = _point, .parameter = _radius}, _start_now);
}

void game_object_plane_ai_c::OrderLand(const vec3_c& _touchdown, const vec3_c& _direction, bool _start_now)
{
    if (_start_now)
        ClearOrders();
    AddOrder({.kind = order_land, .point = _touchdown, .secondPoint = _direction}, _start_now);
}

void game_object_plane_ai_c::OrderLand(const vec3_c& _touchdown, const vec3_c& _direction)
{
    OrderLand(_touchdown, _direction, true);
}

void game_object_plane_ai_c::OrderFollow(game_object_c* _object, bool _start_now)
{
    if (_object)
        AddOrder({.kind = order_follow, .object = _object}, _start_now);
}

void game_object_plane_ai_c::OrderAttack(game_object_c* _object, bool _start_now)
{
    if (_object)
        AddOrder({.kind = order_attack, .object = _object}, _start_now);
}

void game_object_plane_ai_c::OrderBomb(const vec3_c& _point, bool _start_now)
{
    AddOrder({.kind = order_bomb, .point = _point}, _start_now);
}

void game_object_plane_ai_c::OrderBombObject(game_object_c* _object, bool _start_now)
{
    if (_object)
        AddOrder({.kind = order_bomb, .point = _object->GetPosition(), .object = _object}, _start_now);
}

void game_object_plane_ai_c::OrderDestroyed()
{
    orders.clear();
    AddOrder({.kind = order_destroyed, .point = GetPosition()}, true);
}

void game_object_plane_ai_c::ClearOrders()
{
    orders.clear();
    if (pilot)
        pilot->ClearManoeuvres();
}

ai_order_c& game_object_plane_ai_c::GetCurrentOrder()
{
    if (orders.empty())
        AddOrder({.kind = order_patrol, .parameter = patrol_radius}, false);
    return orders.back();
}

void game_object_plane_ai_c::StartOrder(const ai_order_c& _order)
{
    if (pilot == nullptr)
        return;
    // The order may live in the list that the pilot's events change.
    const ai_order_c order = _order;
    pilot->ClearManoeuvres();
    switch (order.kind) {
    case order_goto:
    case order_retreat: pilot->Goto(order.point); break;
    case order_destroyed: pilot->ResetControls(); break;
    case order_follow: pilot->Follow(order.object); break;
    case order_land: pilot->Land(order.point, order.secondPoint); break;
    case order_takeoff: pilot->TakeOff(order.point); break;
    case order_bomb: pilot->Bomb(order.point); break;
    case order_attack: pilot->Trace(order.object); break;
    default: {
        const float r = std::min(order.parameter, 100.0f);
        random_c& draw = pilot->GetRandom();
        const float x = draw.Float(-r, r);
        const float z = draw.Float(-r, r);
        vec3_c point = GetPosition() + vec3_c(x, 0.0f, z);
        pilot->RaiseAboveTerrain(point, 200.0f);
        pilot->Goto(point);
        break;
    }
    }
}

bool game_object_plane_ai_c::IsOrderDone(const ai_order_c& _order) const
{
    switch (_order.kind) {
    case order_goto:
    case order_retreat: {
        const vec3_c d = GetPosition() - _order.point;
        return Dot(d, d) < 25.0f * 25.0f;
    }
    case order_bomb: return _order.object ? _order.object->destroyed != 0 : _order.parameter > 0.0f;
    case order_attack: return _order.object == nullptr || _order.object->destroyed != 0;
    case order_destroyed:
    case order_patrol: return false;
    default: return true;
    }
}

std::string game_object_plane_ai_c::GetDebugText() const
{
    std::string text;
    AppendPoint(text, name.GetData(), GetPosition());
    for (const ai_order_c& order : orders)
        AppendPoint(text, GetOrderName(order.kind), order.point);
    text += "\n";
    if (pilot)
        for (const ai_manoeuvre_c& manoeuvre : pilot->GetManoeuvres())
            AppendPoint(text, GetManoeuvreName(manoeuvre.kind), manoeuvre.point);
    return text;
}

void game_object_plane_ai_c::OnObjectRemoved(game_object_c* _removed)
{
    orders.remove_if([_removed](const ai_order_c& _order) { return _order.object == _removed; });
    std::erase_if(attackers, [_removed](const attacker_c& _entry) { return _entry.attacker == _removed; });
    if (pilot)
        pilot->ForgetObject(_removed);
}
