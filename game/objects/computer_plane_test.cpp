#include "game/testing/box_target.h"
#include "game/testing/computer_planes.h"
#include "app/message/net_message_type.h"
#include "game/testing/net_game.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr float step = 0.02f;

class ComputerPlane : public ::testing::Test {
public:
    plane_world_c setting;
    float time = 0.0f;

    game_object_plane_ai_c* Make(const computer_plane_options_c& _options = computer_plane_options_c())
    {
        return MakeComputerPlane(setting, _options);
    }

    void Start() { setting.world.StartMission(time); }

    // Steps the world until _done or _seconds have passed; whether _done
    // came true.
    bool RunUntil(float _seconds, const std::function<bool()>& _done)
    {
        const float end = time + _seconds;
        while (time < end) {
            time += step;
            setting.world.Process(time);
            if (_done())
                return true;
        }
        return false;
    }

    static bool Finite(const vec3_c& _v) { return std::isfinite(_v.x) && std::isfinite(_v.y) && std::isfinite(_v.z); }
};

float Distance(const vec3_c& _a, const vec3_c& _b)
{
    return (_a - _b).Length();
}

bool HasOrder(const game_object_plane_ai_c& _plane, i32 _kind)
{
    for (const ai_order_c& order : _plane.GetOrders())
        if (order.kind == _kind)
            return true;
    return false;
}

TEST_F(ComputerPlane, WithoutOrdersItPatrolsAroundTheOriginInTheAir)
{
    computer_plane_options_c options;
    options.position = vec3_c(500.0f, 300.0f, 500.0f);
    game_object_plane_ai_c* plane = Make(options);
    Start();
    RunUntil(30.0f, [] { return false; });
    ASSERT_FALSE(plane->GetOrders().empty());
    const ai_order_c& order = plane->GetOrders().back();
    EXPECT_EQ(order_patrol, order.kind);
    EXPECT_EQ(game_object_plane_ai_c::patrol_radius, order.parameter);
    EXPECT_EQ(0.0f, Distance(order.point, vec3_c()));
    EXPECT_EQ(manoeuvre_goto, plane->GetPilot()->GetCurrentManoeuvre().kind);
    EXPECT_FALSE(plane->destroyed);
    EXPECT_GT(plane->GetAltitude(), 50.0f);
    EXPECT_GT(Distance(plane->GetPosition(), options.position), 100.0f);
}

TEST_F(ComputerPlane, EmptyListReadsAsPatrolWhichIsAdded)
{
    game_object_plane_ai_c* plane = Make();
    EXPECT_TRUE(plane->GetOrders().empty());
    EXPECT_EQ(order_patrol, plane->GetCurrentOrder().kind);
    EXPECT_EQ(1u, plane->GetOrders().size());
    EXPECT_TRUE(plane->GetPilot()->GetManoeuvres().empty()) << "the patrol is not started";
}

TEST_F(ComputerPlane, PatrolPointsStayNearThePlaneAndHighAboveTheGround)
{
    game_object_plane_ai_c* plane = Make();
    plane->SetPosition(vec3_c(100.0f, 20.0f, -50.0f));
    for (int i = 0; i < 50; ++i) {
        plane->OrderPatrol(vec3_c(), 300.0f, true);
        ASSERT_EQ(1u, plane->GetPilot()->GetManoeuvres().size());
        const vec3_c point = plane->GetPilot()->GetCurrentManoeuvre().point;
        EXPECT_LE(std::fabs(point.x - 100.0f), 100.0f);
        EXPECT_LE(std::fabs(point.z + 50.0f), 100.0f);
        EXPECT_FLOAT_EQ(200.0f, point.y);
    }
    EXPECT_EQ(1u, plane->GetOrders().size()) << "a new patrol replaces the old";
}

TEST_F(ComputerPlane, GotoReachesItsPointAndResumesThePatrol)
{
    game_object_plane_ai_c* plane = Make();
    const vec3_c goal(600.0f, 250.0f, 900.0f);
    plane->OrderPatrol(vec3_c(), 500.0f, false);
    plane->OrderGoto(goal, true);
    Start();
    float nearest = 1.0e9f;
    const bool done = RunUntil(180.0f, [&] {
        nearest = std::fmin(nearest, Distance(plane->GetPosition(), goal));
        return !HasOrder(*plane, order_goto);
    });
    ASSERT_TRUE(done);
    EXPECT_LT(nearest, 25.0f);
    EXPECT_EQ(order_patrol, plane->GetOrders().back().kind);
    EXPECT_FALSE(plane->destroyed);
}

TEST_F(ComputerPlane, AttackDestroysTheTargetAndDropsTheOrder)
{
    computer_plane_options_c options;
    options.position = vec3_c(0.0f, 300.0f, -400.0f);
    game_object_plane_ai_c* hunter = Make(options);
    auto* target = static_cast<box_target_c*>(setting.world.AddObject(
        std::make_unique<box_target_c>(&setting.renderer, vec3_c(150.0f, 320.0f, 300.0f), object_balloon, -1)));
    hunter->OrderPatrol(vec3_c(), 1000.0f, false);
    hunter->OrderAttack(target, true);
    Start();
    const bool done = RunUntil(180.0f, [&] { return !HasOrder(*hunter, order_attack); });
    ASSERT_TRUE(done);
    EXPECT_TRUE(target->destroyed);
    EXPECT_EQ(order_patrol, hunter->GetOrders().back().kind);
    EXPECT_FALSE(hunter->destroyed);
}

TEST_F(ComputerPlane, BombOnAPointDropsABombAndIsThenDone)
{
    computer_plane_options_c options;
    options.position = vec3_c(0.0f, 200.0f, -600.0f);
    game_object_plane_ai_c* plane = Make(options);
    plane->SetWeapons(0, 5, nullptr, nullptr);
    plane->OrderBomb(vec3_c(100.0f, 0.0f, 300.0f), true);
    Start();
    const bool done = RunUntil(180.0f, [&] { return plane->GetBombCount() < 5; });
    ASSERT_TRUE(done);
    ASSERT_EQ(order_bomb, plane->GetOrders().back().kind);
    EXPECT_EQ(1.0f, plane->GetOrders().back().parameter);
    EXPECT_TRUE(plane->IsOrderDone(plane->GetOrders().back()));
    EXPECT_LT(Distance(plane->GetPosition(), vec3_c(100.0f, 0.0f, 300.0f)), 200.0f);
}

TEST_F(ComputerPlane, BombOnAnObjectIsDoneOnlyWhenTheObjectIsDestroyed)
{
    game_object_plane_ai_c* plane = Make();
    computer_plane_options_c other;
    other.seed = 3;
    other.position = vec3_c(0.0f, 300.0f, 500.0f);
    game_object_plane_ai_c* target = Make(other);
    plane->OrderBombObject(target, false);
    ai_order_c& order = plane->GetCurrentOrder();
    order.parameter = 3.0f;
    EXPECT_FALSE(plane->IsOrderDone(order));
    target->destroyed = 1;
    EXPECT_TRUE(plane->IsOrderDone(order));
}

TEST_F(ComputerPlane, LandOrderEndsOnTheGroundAtTheField)
{
    computer_plane_options_c options;
    options.position = vec3_c(0.0f, 150.0f, -900.0f);
    game_object_plane_ai_c* plane = Make(options);
    const vec3_c touchdown(0.0f, 0.0f, 0.0f);
    const vec3_c direction(0.0f, 0.0f, 400.0f);
    plane->OrderLand(touchdown, direction);
    Start();
    const bool done = RunUntil(240.0f, [&] { return !HasOrder(*plane, order_land); });
    ASSERT_TRUE(done);
    EXPECT_FALSE(plane->destroyed);
    EXPECT_LT(plane->GetAltitude(), 5.0f);
    const bool stopped = plane->GetSpeed() < 0.1f;
    EXPECT_TRUE(stopped || Distance(plane->GetPosition(), direction) < 5.0f);
    EXPECT_LT(Distance(plane->GetPosition(), touchdown), 100.0f);
}

TEST_F(ComputerPlane, FinishedGotoIsRemovedButStartedOnceMore)
{
    game_object_plane_ai_c* plane = Make();
    const vec3_c here = plane->GetPosition();
    plane->OrderPatrol(vec3_c(), 800.0f, false);
    plane->OrderGoto(here + vec3_c(10.0f, 0.0f, 0.0f), false);
    const game_event_c done{ai_event_done, 0, nullptr};
    plane->HandleEvent(&done);
    ASSERT_EQ(1u, plane->GetOrders().size());
    EXPECT_EQ(order_patrol, plane->GetOrders().back().kind);
    const ai_manoeuvre_c current = plane->GetPilot()->GetCurrentManoeuvre();
    EXPECT_EQ(manoeuvre_goto, current.kind);
    EXPECT_EQ(0.0f, Distance(current.point, here + vec3_c(10.0f, 0.0f, 0.0f)));
}

TEST_F(ComputerPlane, RemovedObjectIsDroppedFromEveryList)
{
    game_object_plane_ai_c* plane = Make();
    computer_plane_options_c enemy;
    enemy.file.iff = -1;
    enemy.seed = 5;
    enemy.position = vec3_c(0.0f, 300.0f, 200.0f);
    game_object_plane_ai_c* target = Make(enemy);
    Start();
    plane->OrderPatrol(vec3_c(), 500.0f, false);
    plane->OrderFollow(target, false);
    plane->OrderAttack(target, true);
    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 0.0f, 1.0f), 0.5f, target, 0);
    plane->GetPilot()->ScanPlanes();
    ASSERT_EQ(1u, plane->GetAttackers().size());
    ASSERT_EQ(2, plane->GetPilot()->GetSightState(target));
    setting.world.RemoveObject(target);
    for (const ai_order_c& order : plane->GetOrders())
        EXPECT_NE(order.kind == order_attack || order.kind == order_follow, true);
    EXPECT_TRUE(plane->GetAttackers().empty());
    EXPECT_EQ(0, plane->GetPilot()->GetSightState(target));
    for (const ai_manoeuvre_c& manoeuvre : plane->GetPilot()->GetManoeuvres())
        EXPECT_EQ(nullptr, manoeuvre.object);
    RunUntil(5.0f, [] { return false; });
    EXPECT_FALSE(plane->destroyed);
}

TEST_F(ComputerPlane, HitWithoutAttackerIsTakenAndCreditedToNobody)
{
    game_object_plane_ai_c* plane = Make();
    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 0.0f, 1.0f), 1.0f, nullptr, 0);
    EXPECT_GT(plane->damage, 0.0f);
    EXPECT_TRUE(plane->GetAttackers().empty());
    Start();
    RunUntil(1.0f, [] { return false; });
}

TEST_F(ComputerPlane, DamageDependsOnSideSkillAndTheCreationFlag)
{
    const struct {
        int iff;
        float skill;
        bool creationFlag;
        float expected;
    } cases[] = {
        {-1, 0.7f, false, 0.6f * 0.1f * 3.0f},
        {1, 0.7f, false, 0.6f * 0.1f},
        {-1, 0.97f, false, 0.6f * 0.03f * 3.0f},
        {-1, 0.7f, true, 0.6f * 0.1f},
    };
    for (const auto& c : cases) {
        plane_world_c world;
        world.context.creationFlag = c.creationFlag;
        world.Restart();
        computer_plane_options_c options;
        options.file.iff = c.iff;
        options.skill = c.skill;
        game_object_plane_ai_c* plane = MakeComputerPlane(world, options);
        plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 0.0f, 1.0f), 1.0f, nullptr, 0);
        EXPECT_NEAR(c.expected, plane->damage, 1.0e-6f) << c.iff << " " << c.skill << " " << c.creationFlag;
    }
}

TEST_F(ComputerPlane, DestructionRunsOnceAndTheWreckSpinsToTheGround)
{
    computer_plane_options_c options;
    options.file.iff = -1;
    game_object_plane_ai_c* plane = Make(options);
    Start();
    for (int i = 0; i < 3; ++i)
        plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 0.0f, 1.0f), 100.0f, nullptr, 0);
    EXPECT_TRUE(plane->destroyed);
    EXPECT_EQ(1u, setting.world.counters.planes);
    EXPECT_EQ(order_destroyed, plane->GetOrders().back().kind);
    EXPECT_EQ(manoeuvre_spin, plane->GetPilot()->GetCurrentManoeuvre().kind);
    EXPECT_EQ(plane_view_burned, plane->GetModelView());
    ASSERT_TRUE(RunUntil(120.0f, [&] { return plane->IsWrecked(); }));
    EXPECT_EQ(plane_view_crashed, plane->GetModelView());
    EXPECT_TRUE(plane->GetPilot()->GetManoeuvres().empty());
}

// On the hosting program of a network game the plane sends its state every
// 0.1 s; shot down, it loses nothing itself, wrecked it respawns 10 s later.
TEST_F(ComputerPlane, InANetworkGameItSendsItsStateCrashAndRespawn)
{
    net_game_side_c side(3, 0);
    setting.context.gameType = 3;
    setting.context.networkGame = true;
    setting.context.messages = &side.messages;
    setting.Restart();
    setting.world.SetSpawnPoints(1, {vec3_c(0.0f, 400.0f, 0.0f)}, {vec3_c()});
    game_object_plane_ai_c* plane = Make();
    plane->networkId = 4;
    Start();
    RunUntil(1.01f, [] { return false; });
    const auto states = side.recording.Sent(net_plane_state);
    // A step of 0.02 s reaches 0.1 after five or six steps (float sums).
    ASSERT_GE(states.size(), 7u);
    EXPECT_LE(states.size(), 11u);
    net_message_c body = states.back()->body;
    body.Rewind();
    EXPECT_EQ(0xFFFF, body.ReadU16());
    EXPECT_EQ(4u, body.ReadU32());
    EXPECT_TRUE(states.back()->relay);

    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 0.0f, 1.0f), 1000.0f, nullptr, 0);
    ASSERT_TRUE(plane->destroyed);
    EXPECT_EQ(1u, side.recording.Sent(net_plane_destroyed).size());
    ASSERT_TRUE(RunUntil(120.0f, [&] { return plane->IsWrecked(); }));
    EXPECT_EQ(1u, side.recording.Sent(net_plane_crash).size());
    EXPECT_EQ(0, plane->score) << "destroyed before the crash: no point lost";
    ASSERT_TRUE(RunUntil(11.0f, [&] { return !plane->IsWrecked(); }));
    EXPECT_EQ(1u, side.recording.Sent(net_respawn).size());
    EXPECT_FALSE(plane->destroyed);
}

TEST_F(ComputerPlane, ChaseIsLeftOnLostSightByLowSkillOnly)
{
    const struct {
        float skill;
        bool leaves;
    } cases[] = {{0.9f, false}, {0.95f, false}, {0.49f, true}, {0.0f, true}};
    for (const auto& c : cases) {
        plane_world_c world;
        computer_plane_options_c options;
        options.skill = c.skill;
        game_object_plane_ai_c* plane = MakeComputerPlane(world, options);
        computer_plane_options_c enemy;
        enemy.file.iff = -1;
        game_object_plane_ai_c* target = MakeComputerPlane(world, enemy);
        for (int i = 0; i < 20; ++i) {
            plane->OrderPatrol(vec3_c(), 500.0f, false);
            plane->GetPilot()->ClearManoeuvres();
            plane->GetPilot()->Trace(target);
            const game_event_c lost{ai_event_lost, 0, target};
            plane->HandleEvent(&lost);
            const bool left = plane->GetPilot()->GetCurrentManoeuvre().kind != manoeuvre_trace;
            EXPECT_EQ(c.leaves, left) << c.skill;
        }
    }
}

TEST_F(ComputerPlane, RespawnForgetsOrdersAttackersAndSightings)
{
    game_object_plane_ai_c* plane = Make();
    computer_plane_options_c enemy;
    enemy.file.iff = -1;
    enemy.seed = 11;
    enemy.position = vec3_c(0.0f, 300.0f, 200.0f);
    game_object_plane_ai_c* other = Make(enemy);
    setting.world.SetSpawnPoints(1, {vec3_c(100.0f, 50.0f, 100.0f)}, {vec3_c()});
    plane->OrderAttack(other, true);
    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 0.0f, 1.0f), 0.5f, other, 0);
    plane->GetPilot()->ScanPlanes();
    plane->Respawn();
    EXPECT_TRUE(plane->GetOrders().empty());
    EXPECT_TRUE(plane->GetAttackers().empty());
    EXPECT_TRUE(plane->GetPilot()->GetManoeuvres().empty());
    EXPECT_EQ(0, plane->GetPilot()->GetSightState(other));
    EXPECT_EQ(0.0f, (plane->GetPosition() - vec3_c(100.0f, 50.0f, 100.0f)).Length());
}

TEST_F(ComputerPlane, FireRequestsShootBurstsOfSixToTwentyOneWithPauses)
{
    game_object_plane_ai_c* plane = Make();
    Start();
    const game_event_c fire{ai_event_fire, 0, nullptr};
    std::vector<float> shots;
    float lastShot = plane->GetLastGunShot();
    RunUntil(10.0f, [&] {
        plane->HandleEvent(&fire);
        EXPECT_LE(plane->GetBurst(), 21);
        if (plane->GetLastGunShot() != lastShot) {
            lastShot = plane->GetLastGunShot();
            shots.push_back(lastShot);
        }
        return false;
    });
    ASSERT_FALSE(shots.empty());
    // Shots come in runs 0.1 s apart; a new run waits more than 1 s.
    std::vector<int> runs(1, 1);
    for (size_t i = 1; i < shots.size(); ++i) {
        const float gap = shots[i] - shots[i - 1];
        if (gap > 1.0f) {
            runs.push_back(1);
        } else {
            EXPECT_LT(gap, 0.2f);
            ++runs.back();
        }
    }
    ASSERT_GE(runs.size(), 3u);
    for (size_t i = 0; i + 1 < runs.size(); ++i) {
        EXPECT_GE(runs[i], 6);
        EXPECT_LE(runs[i], 21);
    }
}

TEST_F(ComputerPlane, DebugTextListsOrdersAndManoeuvres)
{
    game_object_plane_ai_c* plane = Make();
    plane->name = "red_1";
    plane->OrderGoto(vec3_c(1.0f, 300.0f, 3.0f), true);
    EXPECT_EQ("red_1 ( 0.0; 300.0; 0.0 )\n"
              "GOTO ( 1.0; 300.0; 3.0 )\n"
              "\n"
              " goto ( 1.0; 300.0; 3.0 )\n",
              plane->GetDebugText());
}

TEST_F(ComputerPlane, WingmanOrdersFollowAttackPatrolAndHelp)
{
    game_object_plane_ai_c* plane = Make();
    computer_plane_options_c leader;
    leader.seed = 7;
    leader.position = vec3_c(50.0f, 300.0f, 0.0f);
    game_object_plane_ai_c* player = Make(leader);
    const struct {
        u32 kind;
        i32 order;
        i32 manoeuvre;
    } cases[] = {{ai_event_follow_me, order_follow, manoeuvre_follow},
                 {ai_event_attack, order_attack, manoeuvre_trace},
                 {ai_event_patrol, order_patrol, manoeuvre_goto},
                 {ai_event_help, order_patrol, manoeuvre_goto}};
    for (const auto& c : cases) {
        const game_event_c event{c.kind, 0, player};
        plane->HandleEvent(&event);
        EXPECT_EQ(c.order, plane->GetOrders().back().kind) << c.kind;
        EXPECT_EQ(c.manoeuvre, plane->GetPilot()->GetCurrentManoeuvre().kind) << c.kind;
    }
    ASSERT_EQ(2u, plane->GetOrders().size()) << "help: a goto, then the patrol";
    EXPECT_EQ(order_goto, plane->GetOrders().front().kind);
}

TEST_F(ComputerPlane, EqualSpeedRangeAndZeroGainFlyWithoutNaN)
{
    computer_plane_options_c options;
    options.file.minVelocity = 40.0f;
    options.file.maxVelocity = 40.0f;
    options.gain = 0.0f;
    game_object_plane_ai_c* plane = Make(options);
    plane->OrderGoto(vec3_c(0.0f, 300.0f, 0.0f), true);
    Start();
    RunUntil(20.0f, [] { return false; });
    EXPECT_TRUE(Finite(plane->GetPosition()));
    EXPECT_TRUE(Finite(plane->GetRotation()));
    EXPECT_TRUE(std::isfinite(plane->GetSpeed()));
    EXPECT_TRUE(std::isfinite(plane->GetPilot()->GetYawOutput()));
}

// Every float of two computer planes fighting, after each step.
std::vector<u8> FlyDogfight()
{
    plane_world_c setting;
    computer_plane_options_c blue;
    blue.position = vec3_c(0.0f, 300.0f, -300.0f);
    computer_plane_options_c red;
    red.file.iff = -1;
    red.seed = 9;
    red.position = vec3_c(100.0f, 320.0f, 300.0f);
    red.rotation = vec3_c(3.0f, 0.0f, 0.0f);
    red.sounds = true;
    game_object_plane_ai_c* planes[2] = {MakeComputerPlane(setting, blue), MakeComputerPlane(setting, red)};
    setting.world.StartMission(0.0f);
    std::vector<u8> states;
    auto keep = [&](const void* _data, size_t _size) {
        const u8* bytes = static_cast<const u8*>(_data);
        states.insert(states.end(), bytes, bytes + _size);
    };
    float time = 0.0f;
    for (int i = 0; i < 50 * 30; ++i) {
        time += step;
        setting.world.Process(time);
        for (const game_object_plane_ai_c* plane : planes) {
            const vec3_c position = plane->GetPosition();
            const vec3_c rotation = plane->GetRotation();
            const float values[] = {plane->GetSpeed(), plane->damage, plane->GetPilot()->GetRollOutput()};
            keep(&position, sizeof position);
            keep(&rotation, sizeof rotation);
            keep(values, sizeof values);
        }
        for (const projectile_c& projectile : setting.world.GetProjectiles())
            keep(&projectile.position, sizeof projectile.position);
    }
    return states;
}

TEST(ComputerPlaneDeterminism, SameStepsGiveBitIdenticalDogfights)
{
    const std::vector<u8> first = FlyDogfight();
    const std::vector<u8> second = FlyDogfight();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size()), 0);
}

} // namespace
