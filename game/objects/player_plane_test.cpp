#include "game/objects/player_plane.h"

#include "app/message/net_message.h"
#include "app/testing/app_doubles.h"
#include "engine/null_object.h"
#include "app/application.h"
#include "game/game_camera.h"
#include "game/game_messages.h"
#include "game/objects/network_plane.h"
#include "game/objects/player_plane_host.h"
#include "game/script_host.h"
#include "game/testing/plane_world.h"
#include "input/testing/bindings.h"
#include "input/testing/script_devices.h"
#include "level/level_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The in-game state as the plane sees it.
class test_host_c : public player_plane_host_c {
public:
    game_camera_c& GetCamera() override { return camera; }
    void SyncUserPlaneView() override { ++syncs; }
    void SetBombView(bool _open) override { bombView = _open; }
    void ShowInGameText(i32 _index) override { texts.push_back(_index); }
    net_session_c* GetSession() const override { return session; }

    game_camera_c camera;
    int syncs = 0;
    bool bombView = false;
    std::vector<i32> texts;
    net_session_c* session = nullptr;
};

// The rest of the state, as the in-game messages see it.
class messages_host_c : public game_messages_host_c {
public:
    explicit messages_host_c(game_world_c& _world) : world(_world) {}
    game_world_c* GetWorld() override { return &world; }
    game_object_plane_c* GetUserPlane() override { return nullptr; }
    float GetGameTime() const override { return 0.0f; }
    void AddInfoLine(const string_c&) override {}
    i32& SideScore(int _side) override { return sideScores[_side == -1 ? 0 : 1]; }
    std::unique_ptr<game_object_plane_ghost_c> LoadNetworkPlane(const string_c&) override { return nullptr; }
    void EndGameForDeparture() override {}

    game_world_c& world;
    i32 sideScores[2] = {0, 0};
};

// An object that notes the events it is sent.
class listener_c : public game_object_c {
public:
    listener_c(int _side, const vec3_c& _position) : own("listener")
    {
        side = _side;
        own.position = _position;
        own.UpdateTransform(nullptr);
        entity = &own;
    }
    int GetType() const override { return object_plane_ai; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
    void HandleEvent(const game_event_c* _event) override { events.push_back(*_event); }

    null_object_c own;
    std::vector<game_event_c> events;
};

void Note(script_host_c* _host, int, void* _context)
{
    static_cast<std::vector<std::string>*>(_context)->push_back(_host->GetStringArg(1).GetData());
}

class PlayerPlane : public ::testing::Test {
protected:
    static constexpr float step = 0.05f;

    PlayerPlane()
    {
        keyboard = &AddKeyboard(input);
        script.Register("note", Note, &notes);
        script.RunBuffer("function testbird_on_destroyed() note('template') end\n"
                         "function player_on_destroyed() note('player') end\n",
                         false);
        world.context.script = &script;
        world.context.messages = &messages;
        world.Restart();
        AddTestPlane(world.files.files, "planes\\testbird.op", test_plane_file_c(), &world.renderer);
        auto made = std::make_unique<game_object_plane_user_c>();
        made->Load("planes\\testbird.op", &world.renderer, &world.scene, &world.sound, false);
        made->name = "player";
        plane = static_cast<game_object_plane_user_c*>(world.world.AddPlane(std::move(made)));
        plane->SetPosition(vec3_c(0.0f, 500.0f, 0.0f));
        plane->SetRotation(vec3_c());
        plane->SetSpeed(40.0f);
        plane->SetWeapons(4, 5, nullptr, nullptr);
        plane->SetHost(&host);
        std::vector<binding_s> bindings;
        for (const char* name : game_object_plane_user_c::action_names)
            bindings.push_back({name, GUID{}, 0, 0.0f, 0.0f, 0});
        Bind(controllers, bindings);
        plane->BindControls(&controllers);
        plane->OnMissionStart(time);
    }

    void Set(int _action, float _value)
    {
        controllers.GetAction(static_cast<u32>(plane->GetActionIndex(_action))).value = _value;
    }
    // One frame of the world.
    void Step(float _dt = step)
    {
        time += _dt;
        plane->Update(time);
    }
    void Steps(int _count)
    {
        for (int i = 0; i < _count; ++i)
            Step();
    }
    size_t Projectiles(u32 _kind) const
    {
        const auto& list = world.world.GetProjectiles();
        return static_cast<size_t>(
            std::count_if(list.begin(), list.end(), [&](const projectile_c& _p) { return _p.kind == _kind; }));
    }
    const recording_source_c& Sound(const char* _name) const
    {
        return static_cast<const recording_source_c&>(*plane->GetSound(_name).source);
    }
    int PlaysOf(const char* _file) const { return world.sound.Find(_file)->plays; }
    int SentOf(u16 _type) const
    {
        return static_cast<int>(std::count_if(session.sent.begin(), session.sent.end(),
                                              [&](const app_testing::sent_s& _s) { return _s.type_word == _type; }));
    }
    void JoinSession() { host.session = &session; }

    script_input_c input;
    script_input_scope_c scope{input};
    script_device_c* keyboard;
    controllers_c controllers{nullptr};
    plane_world_c world;
    script_host_c script;
    std::vector<std::string> notes;
    test_host_c host;
    app_testing::event_log_t log;
    app_testing::logged_session_c session{log};
    application_c application;
    messages_host_c messagesHost{world.world};
    game_messages_c messages{application, messagesHost, &session};
    game_object_plane_user_c* plane = nullptr;
    float time = 10.0f;
    using A = game_object_plane_user_c;
};

TEST_F(PlayerPlane, BindControlsTakesTheLastActionOfEachNameAndClearsTheValues)
{
    controllers_c other(nullptr);
    Bind(other, {{"FIRE", GUID{}, 0, 0.0f, 0.0f, 0},
                 {"up", GUID{}, 0, 0.0f, 0.0f, 0},
                 {"fire", GUID{}, 0, 0.0f, 0.0f, 0},
                 {"unknown", GUID{}, 0, 0.0f, 0.0f, 0}});
    other.GetAction(1).value = 0.7f;
    game_object_plane_user_c fresh;
    fresh.BindControls(&other);
    EXPECT_EQ(2, fresh.GetActionIndex(A::action_fire));
    EXPECT_EQ(1, fresh.GetActionIndex(A::action_up));
    EXPECT_EQ(-1, fresh.GetActionIndex(A::action_bomb));
    EXPECT_EQ(0.0f, other.GetAction(1).value);

    // A later binding without a name keeps the index found before.
    controllers_c fewer(nullptr);
    Bind(fewer, {{"up", GUID{}, 0, 0.0f, 0.0f, 0}});
    fresh.BindControls(&fewer);
    EXPECT_EQ(2, fresh.GetActionIndex(A::action_fire));
    EXPECT_EQ(0, fresh.GetActionIndex(A::action_up));
}

TEST_F(PlayerPlane, StickSteersScaledByDamageEngineAndHandling)
{
    plane->damage = 0.4f;
    Set(A::action_left, 0.5f);
    Set(A::action_up, -0.25f);
    Set(A::action_tail_left, 1.0f);
    Step();
    const float k = (1.0f - 0.2f) * plane->handling;
    EXPECT_FLOAT_EQ(k * 0.5f, plane->GetRollInput());
    EXPECT_FLOAT_EQ(k * -0.25f, plane->GetPitchInput());
    EXPECT_FLOAT_EQ(k * 1.0f, plane->GetYawInput());

    plane->SetEngineFactor(0.5f);
    Step();
    EXPECT_FLOAT_EQ(k * 0.5f * 0.5f, plane->GetRollInput()) << "a failing engine weakens the controls";
}

TEST_F(PlayerPlane, LookFreezesTheStickAtItsLastValues)
{
    Set(A::action_left, 0.5f);
    Step();
    const float roll = plane->GetRollInput();
    ASSERT_NE(0.0f, roll);
    Set(A::action_look, 1.0f);
    Set(A::action_left, -1.0f);
    Steps(3);
    EXPECT_EQ(roll, plane->GetRollInput());
    Set(A::action_look, 0.99f);
    Step();
    EXPECT_FLOAT_EQ(-roll * 2.0f, plane->GetRollInput()) << "below 1.0 look is not held";
}

TEST_F(PlayerPlane, AutoLevelFollowsItsKey)
{
    Set(A::action_auto_level, 1.0f);
    Step();
    EXPECT_TRUE(plane->IsAutoLevel());
    Set(A::action_auto_level, 0.5f);
    Step();
    EXPECT_FALSE(plane->IsAutoLevel());
}

TEST_F(PlayerPlane, ARampingFireKeyShootsOnlyOnceFull)
{
    controllers_c ramped(nullptr);
    Bind(ramped, {{"fire", GUID_SysKeyboard, key_a, 0.5f, 0.0f, 0}});
    plane->BindControls(&ramped);
    keyboard->SetButton(key_a, true);
    const float frames[] = {0.2f, 0.2f, 0.2f};
    const bool firing[] = {false, false, true};
    for (int i = 0; i < 3; ++i) {
        ramped.Update(frames[i]);
        Step(frames[i]);
        EXPECT_EQ(firing[i], plane->IsFiring()) << "value " << ramped.GetAction(0).value;
    }
    EXPECT_EQ(1u, Projectiles(projectile_bullet));
}

TEST_F(PlayerPlane, GunsHeatJamAndClearOnceCoolAndReleased)
{
    Set(A::action_fire, 1.0f);
    int frames = 0;
    while (!plane->IsJammed() && frames < 4000) {
        Step();
        ++frames;
    }
    ASSERT_TRUE(plane->IsJammed()) << "jams come only above 0.7 heat";
    EXPECT_GE(plane->GetGunHeat(), 0.7f);
    const int jams = Sound("gun_jam").plays;
    EXPECT_GE(jams, 1);
    const size_t bullets = world.world.GetProjectiles().size();

    // Held, the jammed guns neither fire nor clear, and they cool.
    while (plane->GetGunHeat() >= 0.5f && frames < 8000) {
        Step();
        ++frames;
        ASSERT_TRUE(plane->IsJammed());
        ASSERT_FALSE(plane->IsFiring());
    }
    EXPECT_LE(world.world.GetProjectiles().size(), bullets);
    EXPECT_EQ(jams, Sound("gun_jam").plays) << "the click comes with a new pull only";

    // Below 0.5 heat the first frame without the trigger clears the jam.
    Set(A::action_fire, 0.0f);
    Step();
    EXPECT_FALSE(plane->IsJammed());
    Set(A::action_fire, 1.0f);
    Step();
    EXPECT_TRUE(plane->IsFiring());
}

TEST_F(PlayerPlane, AJammedGunClicksOnEveryNewPull)
{
    Set(A::action_fire, 1.0f);
    for (int frames = 0; !plane->IsJammed() && frames < 4000; ++frames)
        Step();
    ASSERT_TRUE(plane->IsJammed());
    const int jams = Sound("gun_jam").plays;
    // Released while hot, the jam may hold; pulling again then clicks.
    Set(A::action_fire, 0.0f);
    Step();
    if (plane->IsJammed()) {
        Set(A::action_fire, 1.0f);
        Step();
        EXPECT_EQ(jams + 1, Sound("gun_jam").plays);
    }
}

TEST_F(PlayerPlane, ShortBombPressDropsOneLongPressOpensTheBombView)
{
    host.camera.SetMode(camera_behind);
    Set(A::action_bomb, 1.0f);
    Steps(10);
    Set(A::action_bomb, 0.0f);
    Step();
    EXPECT_EQ(4, plane->GetBombCount());
    EXPECT_EQ(camera_behind, host.camera.GetMode());
    EXPECT_EQ(0, host.syncs);

    Set(A::action_bomb, 1.0f);
    Steps(19);
    EXPECT_EQ(camera_behind, host.camera.GetMode()) << "not before a second has passed";
    Steps(2);
    EXPECT_EQ(camera_high, host.camera.GetMode());
    EXPECT_TRUE(host.bombView);
    EXPECT_EQ(1, host.syncs);
    // In the bomb view "fire" drops the bombs, 2 s apart.
    Steps(20);
    Set(A::action_fire, 1.0f);
    Step();
    EXPECT_EQ(3, plane->GetBombCount());
    EXPECT_EQ(0u, Projectiles(projectile_bullet));
    Set(A::action_fire, 0.0f);
    Set(A::action_bomb, 0.0f);
    Step();
    EXPECT_EQ(camera_behind, host.camera.GetMode());
    EXPECT_FALSE(host.bombView);
    EXPECT_EQ(2, host.syncs);
    EXPECT_EQ(3, plane->GetBombCount()) << "leaving the bomb view drops nothing";
}

TEST_F(PlayerPlane, NoBombsInASession)
{
    JoinSession();
    Set(A::action_bomb, 1.0f);
    Step();
    Set(A::action_bomb, 0.0f);
    Step();
    EXPECT_EQ(5, plane->GetBombCount());
}

TEST_F(PlayerPlane, RocketKeySendsEveryFrameWhileRocketsLeaveEveryTwoSeconds)
{
    JoinSession();
    Set(A::action_rocket, 1.0f);
    Steps(60);
    EXPECT_EQ(60, SentOf(0x10c));
    EXPECT_EQ(2, plane->GetRocketCount()) << "3 s of holding: two rockets";
    EXPECT_EQ(2u, Projectiles(projectile_rocket));
}

TEST_F(PlayerPlane, StateGoesOutEveryTenthOfASecondInASession)
{
    Steps(10);
    EXPECT_TRUE(session.sent.empty());
    JoinSession();
    Steps(10);
    EXPECT_EQ(5, SentOf(0x105));
    const app_testing::sent_s& last = session.sent.back();
    ASSERT_EQ(34u, last.payload.size());
    net_message_c message;
    ASSERT_TRUE(message.Assign(last.payload.data(), last.payload.size()));
    EXPECT_EQ(7, message.ReadU16());
    EXPECT_EQ(0xFFFFFFFFu, message.ReadU32());
    // Sent before this frame's step joined the clock.
    EXPECT_NEAR(plane->GetPlaneClock() - step, message.ReadF32(), 1e-5f);
}

TEST_F(PlayerPlane, FiringChangesAreSentInASession)
{
    JoinSession();
    Set(A::action_fire, 1.0f);
    Steps(3);
    Set(A::action_fire, 0.0f);
    Step();
    ASSERT_EQ(2, SentOf(0x108));
}

TEST_F(PlayerPlane, OrdersGoOutWhenTheirKeyIsReleased)
{
    auto* near = static_cast<listener_c*>(
        world.world.AddPlane(std::make_unique<listener_c>(plane->side, vec3_c(0.0f, 500.0f, 200.0f))));
    auto* far = static_cast<listener_c*>(
        world.world.AddPlane(std::make_unique<listener_c>(plane->side, vec3_c(0.0f, 500.0f, -1000.0f))));
    const struct {
        int action;
        u32 kind;
        bool reachesFar;
    } orders[] = {{A::action_follow_me, 6, false}, {A::action_patrol, 8, true}, {A::action_help, 9, true}};
    for (const auto& order : orders) {
        near->events.clear();
        far->events.clear();
        host.texts.clear();
        Set(order.action, 1.0f);
        Steps(3);
        EXPECT_TRUE(near->events.empty()) << "nothing while held";
        Set(order.action, 0.0f);
        Step();
        ASSERT_EQ(1u, near->events.size()) << order.kind;
        EXPECT_EQ(order.kind, near->events[0].kind);
        EXPECT_EQ(plane, near->events[0].sender);
        EXPECT_EQ(order.reachesFar ? 1u : 0u, far->events.size()) << order.kind;
        EXPECT_EQ(std::vector<i32>{100 + static_cast<i32>(order.kind)}, host.texts) << "the plane hears itself";
    }
}

TEST_F(PlayerPlane, AttackNamesTheEnemyMostStraightAheadWithin700)
{
    auto* wingman = static_cast<listener_c*>(
        world.world.AddPlane(std::make_unique<listener_c>(plane->side, vec3_c(0.0f, 500.0f, 100.0f))));
    Set(A::action_attack, 1.0f);
    Step();
    Set(A::action_attack, 0.0f);
    Step();
    EXPECT_TRUE(wingman->events.empty()) << "no enemy: no order";
    EXPECT_TRUE(host.texts.empty());

    const vec3_c nose = plane->GetPosition() + plane->GetForward() * 10.0f;
    const struct {
        vec3_c offset;
        int side;
    } others[] = {
        {vec3_c(300.0f, 0.0f, 300.0f), -1}, // 45 degrees off: dot 0.707
        {vec3_c(50.0f, 0.0f, 600.0f), -1},  // nearly straight ahead
        {vec3_c(0.0f, 0.0f, 690.0f), 1},    // a friend
        {vec3_c(0.0f, 0.0f, 800.0f), -1},   // too far
        {vec3_c(0.0f, 0.0f, -300.0f), -1},  // behind
        {vec3_c(500.0f, 0.0f, 200.0f), -1}, // dot 0.37: outside the cone
    };
    std::vector<game_object_c*> added;
    for (const auto& other : others)
        added.push_back(world.world.AddObject(
            std::make_unique<listener_c>(other.side * plane->side, nose + other.offset - plane->GetForward() * 10.0f)));
    EXPECT_EQ(added[1], plane->FindAttackTarget());
    added[1]->destroyed = 1;
    EXPECT_EQ(added[0], plane->FindAttackTarget()) << "destroyed objects are not targets";

    Set(A::action_attack, 1.0f);
    Step();
    Set(A::action_attack, 0.0f);
    Step();
    ASSERT_EQ(1u, wingman->events.size());
    EXPECT_EQ(7u, wingman->events[0].kind);
    EXPECT_EQ(plane, wingman->events[0].sender);
}

TEST_F(PlayerPlane, DamageGrowsByDurabilityAndTheCreationFlag)
{
    const float durability = plane->durability;
    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 1.0f, 0.0f), 2.0f, nullptr, 0);
    EXPECT_FLOAT_EQ((1.0f - durability) * 0.33333334f * 2.0f * 0.05f, plane->damage);

    plane->damage = 0.0f;
    world.context.creationFlag = true;
    world.Restart();
    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 1.0f, 0.0f), 2.0f, nullptr, 0);
    EXPECT_FLOAT_EQ((1.0f - durability) * 2.0f * 0.05f, plane->damage);

    plane->damage = 0.0f;
    JoinSession();
    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 1.0f, 0.0f), 2.0f, nullptr, 6);
    EXPECT_FLOAT_EQ(0.2f, plane->damage);
    EXPECT_EQ(3, PlaysOf("snd\\hit1.wav") + PlaysOf("snd\\hit2.wav")) << "every hit sounds";
}

TEST_F(PlayerPlane, DestructionBurnsTheEngineAndCallsTheScriptOnce)
{
    Set(A::action_left, 0.5f);
    Step();
    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 1.0f, 0.0f), 1.0e6f, nullptr, 0);
    EXPECT_EQ(1, plane->destroyed);
    EXPECT_EQ(1.0f, plane->damage);
    EXPECT_EQ(0.0f, plane->GetEngineFactor());
    EXPECT_EQ(plane_view_burned, plane->GetModelView());
    EXPECT_EQ(0.0f, controllers.GetAction(static_cast<u32>(plane->GetActionIndex(A::action_left))).value);
    EXPECT_EQ((std::vector<std::string>{"template", "player"}), notes);
    EXPECT_EQ(1, Sound("plane_explode").plays);

    plane->TakeDamage(plane->GetPosition(), vec3_c(0.0f, 1.0f, 0.0f), 1.0e6f, nullptr, 0);
    EXPECT_EQ(2u, notes.size()) << "hits of a destroyed plane are ignored";

    // Falling into the ground wrecks it without calling the script again.
    plane->SetPosition(vec3_c(0.0f, -2.0f, 0.0f));
    Step();
    EXPECT_TRUE(plane->IsWrecked());
    EXPECT_TRUE(plane->IsOnGround());
    EXPECT_EQ(2u, notes.size());
    Steps(5);
    EXPECT_EQ(2u, notes.size());
}

TEST_F(PlayerPlane, WheelsOnTheGroundStartTheGroundRunOnce)
{
    plane->SetPosition(vec3_c(0.0f, 1.2f, 0.0f));
    plane->SetSpeed(10.0f);
    Step();
    ASSERT_FALSE(plane->IsWrecked());
    EXPECT_TRUE(plane->IsOnGround());
    EXPECT_EQ(1, Sound("touchdown").plays);
    Steps(3);
    EXPECT_EQ(1, Sound("touchdown").plays);

    // Destroyed while rolling, it becomes a wreck where it stands.
    const vec3_c place = plane->GetPosition();
    plane->TakeDamage(place, vec3_c(0.0f, 1.0f, 0.0f), 1.0e6f, nullptr, 0);
    EXPECT_TRUE(plane->IsWrecked());
    EXPECT_TRUE(plane->IsOnGround());
    EXPECT_NEAR(place.x, plane->GetPosition().x, 1e-3f);
    EXPECT_NEAR(place.z, plane->GetPosition().z, 1e-3f);
    EXPECT_EQ((std::vector<std::string>{"template", "player"}), notes);
}

TEST_F(PlayerPlane, SceneCrashesDestroyAndDiveOrSink)
{
    level_scene_c level;
    AddTowerAndLake(level, &world.renderer);
    world.world.AddLevelScene(&level);
    JoinSession();

    const struct {
        const char* what;
        vec3_c position;
        vec3_c rotation;
        u32 kind;
        i32 text;
        bool sinking;
    } crashes[] = {
        {"tower", vec3_c(0.0f, 100.0f, -1.5f), vec3_c(), 0, 95, false},
        {"lake", vec3_c(1000.0f, 0.3f, 0.0f), vec3_c(0.0f, 0.3f, 0.0f), 1, 94, true},
    };
    for (const auto& crash : crashes) {
        plane->damage = 0.0f;
        plane->destroyed = 0;
        plane->sinking = 0;
        plane->SetEngineFactor(1.0f);
        notes.clear();
        host.texts.clear();
        session.sent.clear();
        plane->SetPosition(crash.position);
        plane->SetRotation(crash.rotation);
        Step();
        EXPECT_EQ(1, plane->destroyed) << crash.what;
        EXPECT_EQ(plane_view_burned, plane->GetModelView()) << crash.what;
        EXPECT_EQ(0.0f, plane->GetEngineFactor()) << crash.what;
        EXPECT_EQ(-1.5f, plane->GetPitchInput()) << crash.what;
        EXPECT_EQ(crash.sinking, plane->sinking != 0) << crash.what;
        EXPECT_FALSE(plane->IsWrecked()) << crash.what;
        EXPECT_EQ((std::vector<std::string>{"template", "player"}), notes) << crash.what;
        EXPECT_EQ(std::vector<i32>{crash.text}, host.texts) << crash.what;
        ASSERT_EQ(1, SentOf(0x107)) << crash.what;
        const app_testing::sent_s& lost =
            *std::find_if(session.sent.begin(), session.sent.end(),
                          [](const app_testing::sent_s& _s) { return _s.type_word == 0x107; });
        net_message_c message;
        ASSERT_TRUE(message.Assign(lost.payload.data(), lost.payload.size()));
        message.ReadU16();
        message.ReadU32();
        EXPECT_EQ(crash.kind, message.ReadU32()) << crash.what;
    }
    EXPECT_EQ(-2, plane->GetScore());
}

TEST_F(PlayerPlane, TerrainCrashCountsOneLossInASession)
{
    JoinSession();
    plane->SetPosition(vec3_c(0.0f, -2.0f, 0.0f));
    Step();
    EXPECT_TRUE(plane->IsWrecked());
    EXPECT_EQ((std::vector<std::string>{"template", "player"}), notes);
    EXPECT_EQ(-1, plane->GetScore());
    ASSERT_EQ(1, SentOf(0x107));
    EXPECT_EQ(std::vector<i32>{95}, host.texts);
    Steps(3);
    EXPECT_EQ(-1, plane->GetScore());
    EXPECT_EQ(1, SentOf(0x107));
}

TEST_F(PlayerPlane, ADownedPlaneComesBackTenSecondsLaterInASession)
{
    JoinSession();
    plane->SetPosition(vec3_c(0.0f, -2.0f, 0.0f));
    Step();
    ASSERT_TRUE(plane->IsWrecked());
    host.texts.clear();
    Step();
    EXPECT_EQ(std::vector<i32>{97}, host.texts);
    EXPECT_FLOAT_EQ(time + 10.0f, plane->respawnTime);
    EXPECT_EQ(0.0f, plane->GetSpeed());
    for (int i = 0; i < 199 && SentOf(0x10b) == 0; ++i)
        Step();
    EXPECT_EQ(0, SentOf(0x10b)) << "not before ten seconds";
    Steps(2);
    EXPECT_EQ(1, SentOf(0x10b));
    EXPECT_FALSE(plane->IsWrecked());
    EXPECT_EQ(0, plane->destroyed);
    EXPECT_EQ(-1.0f, plane->respawnTime);
}

TEST_F(PlayerPlane, ADownedPlaneStaysDownAlone)
{
    plane->SetPosition(vec3_c(0.0f, -2.0f, 0.0f));
    Step();
    ASSERT_TRUE(plane->IsWrecked());
    for (int i = 0; i < 300; ++i)
        Step();
    EXPECT_TRUE(plane->IsWrecked());
    EXPECT_EQ(-1.0f, plane->respawnTime);
    EXPECT_TRUE(session.sent.empty());
}

TEST_F(PlayerPlane, OrderEventsShowTheirTexts)
{
    for (u32 kind = 0; kind < 12; ++kind) {
        const game_event_c event{kind, 0, nullptr};
        plane->HandleEvent(&event);
    }
    EXPECT_EQ((std::vector<i32>{106, 107, 108, 109}), host.texts);
}

TEST_F(PlayerPlane, ThrottleStaysInThePlanesRange)
{
    plane->ChangeThrottle(5.0f);
    EXPECT_EQ(plane->GetMaxThrust(), plane->GetThrust());
    plane->ChangeThrottle(-5.0f);
    EXPECT_EQ(plane->GetMinThrust(), plane->GetThrust());
}

TEST_F(PlayerPlane, WithoutAWorldOnlyTheClockRuns)
{
    game_object_plane_user_c alone;
    alone.OnMissionStart(1.0f);
    alone.Update(1.5f);
    EXPECT_FLOAT_EQ(0.5f, alone.GetPlaneClock());
}

} // namespace
