#include "game/state_game.h"

#include "engine/scene.h"
#include "engine/terrain.h"
#include "game/fx_manager.h"
#include "game/game_map.h"
#include "game/game_world.h"
#include "game/hud.h"
#include "game/script_host.h"
#include "level/parameter_list.h"
#include "game/testing/mission_doubles.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace game_testing;

namespace {

constexpr double frame = 1.0 / 60.0;

void Note(script_host_c* _host, int, void* _context)
{
    static_cast<journal_t*>(_context)->push_back(_host->GetStringArg(1).GetData());
}

class StateGame : public ::testing::Test {
protected:
    test_mission_c mission;
    state_game_c state;
    journal_t notes;
    double t = 0.0;

    void SetUp() override
    {
        mission.app.game_type = 1;
        mission.app.mission_number = 1;
        state.SetObjectFactory(&mission.factory);
        mission.Build();
        state.Enter(&mission.app);
        ASSERT_EQ("", state.GetFailure());
        mission.app.script_host->Register("note", Note, &notes);
        ASSERT_EQ(state_stay, state.Update(t));
    }
    ~StateGame() override { state.Leave(); }

    // One frame _step after the last; Update's answer.
    i32 Step(double _step = frame)
    {
        t += _step;
        const i32 result = state.Update(t);
        state.Render(t);
        return result;
    }
    void Key(WPARAM _key) { state.OnMessage(nullptr, WM_KEYDOWN, _key, 0); }
    test_object_c& Player() { return *dynamic_cast<test_object_c*>(state.GetPlayerPlane()); }
    void Script(const char* _text) { mission.app.script_host->RunBuffer(_text, false); }
};

TEST_F(StateGame, MissionRunsToItsResultsAndClosingFadeWithAPause)
{
    EXPECT_EQ(1, Player().starts) << "the mission started at the first update";
    int frames = 0;
    i32 result = state_stay;
    while (result == state_stay && frames < 2000) {
        // A pause of half a second after one second.
        mission.input->Set("pause", frames == 60 || frames == 90 ? 1.0f : 0.0f);
        result = Step();
        ++frames;
    }
    EXPECT_EQ(state_leave, result);
    EXPECT_EQ(1, mission.app.primary_reached);
    EXPECT_EQ(0, mission.app.secondary_reached);
    EXPECT_EQ(1, state.terminated);
    // Three seconds of events, half a second paused, then the 1.5 s fade.
    EXPECT_GT(frames, 60 * 4.5);
    EXPECT_LT(frames, 60 * 5.5);
    EXPECT_GT(Player().updates, 200);
    state.Leave();
    EXPECT_EQ(nullptr, state.world);
    EXPECT_EQ(nullptr, mission.app.script_host);
}

// The level's environment makes the effects manager that the world hands to
// its objects; the frames age its effects with the game time, and leaving
// takes them out of the scene.
TEST_F(StateGame, EffectsOfTheMissionAgeWithTheGameAndGoWithIt)
{
    ASSERT_NE(nullptr, state.effects);
    ASSERT_EQ(state.effects.get(), state.world->GetContext().effects);
    ASSERT_NE(nullptr, state.terrain);
    parameter_list_c fx;
    auto kind = std::make_unique<parameter_string_c>();
    kind->name = "fx_onEX";
    kind->value = "decal";
    fx.Add(std::move(kind));
    string_c texture = std::string(kTestMissionFolder) + "map.dds";
    fx.GetSetString("fx_onEX_texture", &texture, false);
    f32 life = 0.5f;
    fx.GetSetFloat("fx_onEX_life", &life, false, 0.0f, 10.0f);
    ASSERT_TRUE(state.effects->CreateEffects(state.terrain, vec3_c(0.0f, 2.0f, 0.0f), vec3_c(0.0f, 1.0f, 0.0f), false,
                                             &fx, "fx_onEX"));
    const null_object_c* decal = state.effects->GetEffect(0)->GetSceneObject();
    ASSERT_NE(nullptr, decal);
    bool inScene = false;
    for (const null_object_c* object = state.scene->GetObjects().GetFirst(); object; object = object->GetNext())
        inScene = inScene || object == decal;
    EXPECT_TRUE(inScene);
    for (int i = 0; i < 18; ++i)
        Step();
    EXPECT_EQ(1u, state.effects->GetEffectCount()) << "0.3 s old";
    for (int i = 0; i < 18; ++i)
        Step();
    EXPECT_EQ(0u, state.effects->GetEffectCount()) << "0.6 s old";

    life = 100.0f;
    fx.GetSetFloat("fx_onEX_life", &life, false, 0.0f, 1000.0f);
    ASSERT_TRUE(state.effects->CreateEffects(state.terrain, vec3_c(0.0f, 2.0f, 0.0f), vec3_c(0.0f, 1.0f, 0.0f), false,
                                             &fx, "fx_onEX"));
    state.Leave();
    EXPECT_EQ(nullptr, state.effects);
    EXPECT_EQ(nullptr, state.world);
}

TEST_F(StateGame, GameTimeStepIsHeldAndStallsAreSkipped)
{
    const struct {
        double gap;
        f32 advance;
    } cases[] = {{0.05, 0.05f}, {0.5, 0.1f}, {1.5, 0.0f}, {-0.2, 0.0f}, {0.99, 0.1f}};
    for (const auto& c : cases) {
        const f32 before = state.gameTime;
        t = state.gameTime;
        Step(c.gap);
        const f32 expected = c.gap > 1.0 ? static_cast<f32>(t) : before + c.advance;
        EXPECT_NEAR(expected, state.gameTime, 1e-5) << c.gap;
        EXPECT_NEAR(c.advance, state.lastDt, 1e-5) << c.gap;
    }
}

// Every frame, running or paused, starts on a black screen with depth and
// stencil cleared: the shadow volumes count into the stencil each frame.
TEST_F(StateGame, EveryFrameClearsTheScreenDepthAndStencil)
{
    const auto frame_clear = [&] {
        mission.renderer->ClearCalls();
        t += frame;
        state.Update(t);
        const recorded_call_c* clear = mission.renderer->FindCall("Clear");
        return clear != nullptr ? clear->numbers : std::vector<double>{};
    };
    // Colour, stencil value, then target, depth, stencil, glow buffer.
    const std::vector<double> everything = {0, 0, 0, 0, 1, 1, 1, 0};
    EXPECT_EQ(everything, frame_clear());
    mission.input->Set("pause", 1.0f);
    frame_clear();
    ASSERT_EQ(1, state.paused);
    EXPECT_EQ(everything, frame_clear());
}

TEST_F(StateGame, HeldPauseActionTogglesOnce)
{
    mission.input->Set("pause", 1.0f);
    for (int i = 0; i < 3; ++i)
        Step();
    EXPECT_EQ(1, state.paused);
    const f32 paused_at = state.gameTime;
    Step();
    EXPECT_EQ(paused_at, state.gameTime) << "no game time passes in the pause";
    mission.input->Set("pause", 0.0f);
    Step();
    EXPECT_EQ(1, state.paused);
    mission.input->Set("pause", 1.0f);
    Step();
    EXPECT_EQ(0, state.paused);
}

TEST_F(StateGame, PauseActionCannotEndTheEscapePause)
{
    Key(VK_ESCAPE);
    EXPECT_EQ(1, state.paused);
    EXPECT_EQ(1, state.pausedByEscape);
    mission.input->Set("pause", 1.0f);
    Step();
    EXPECT_EQ(1, state.paused);
    Key(VK_ESCAPE);
    EXPECT_EQ(0, state.paused);
    EXPECT_EQ(0, state.pausedByEscape);
}

TEST_F(StateGame, EscapeInASessionAsksToLeave)
{
    mission.app.in_session = 1;
    Key(VK_ESCAPE);
    EXPECT_EQ(0, state.paused);
    EXPECT_EQ(state_leave, Step());
}

TEST_F(StateGame, EnterInTheEscapePauseEndsTheMissionAfterTheFade)
{
    Key(VK_RETURN);
    EXPECT_EQ(0, state.missionOver) << "Enter counts only in the Escape pause";
    Key(VK_ESCAPE);
    Key(VK_RETURN);
    EXPECT_EQ(0, state.paused);
    EXPECT_EQ(1, state.missionOver);
    int frames = 0;
    while (Step() == state_stay && frames < 1000)
        ++frames;
    EXPECT_NEAR(90, frames, 2) << "1.5 s of fade";
}

TEST_F(StateGame, ViewKeysSelectTheViewsTheyAreNamedAfter)
{
    const struct {
        const char* action;
        i32 mode;
        int view;
    } cases[] = {{"guns view", 2, plane_view_guns},
                 {"outside view", 1, plane_view_outside},
                 {"chase view", 3, plane_view_outside},
                 {"cokpit view", 0, plane_view_inside}};
    for (const auto& c : cases) {
        mission.input->Set(c.action, 1.0f);
        Step();
        mission.input->Set(c.action, 0.0f);
        Step();
        EXPECT_EQ(c.mode, state.camera.GetMode()) << c.action;
        EXPECT_EQ(c.view, Player().view) << c.action;
    }
}

TEST_F(StateGame, CameraKeyCyclesOncePerPress)
{
    std::vector<i32> modes;
    for (int press = 0; press < 5; ++press) {
        mission.input->Set("camera", 1.0f);
        Step();
        Step();
        mission.input->Set("camera", 0.0f);
        Step();
        modes.push_back(state.camera.GetMode());
    }
    EXPECT_EQ((std::vector<i32>{1, 2, 3, 0, 1}), modes);
}

TEST_F(StateGame, ThrustKeysMoveTheThrottleByTheStep)
{
    mission.input->Set("thrust up", 1.0f);
    Step(0.05);
    EXPECT_NEAR(0.01f, Player().throttle, 1e-6);
    mission.input->Set("thrust up", 0.0f);
    mission.input->Set("thrust down", 1.0f);
    Step(0.05);
    Step(0.05);
    EXPECT_NEAR(-0.01f, Player().throttle, 1e-6);
}

TEST_F(StateGame, EventsAddedDuringTheWalkRunInTheSameFrame)
{
    Script("function a() note('a') add_event('b', 0) end\n"
           "function b() note('b') end\n"
           "function x() note('x') end\n"
           "function y() note('y') end\n"
           "add_event('a', -1)\n"
           "add_event('x', 0.5)\n"
           "add_event('y', 0.5)\n");
    Step();
    EXPECT_EQ((journal_t{"a", "b"}), notes);
    for (int i = 0; i < 40; ++i)
        Step();
    EXPECT_EQ((journal_t{"a", "b", "x", "y"}), notes);
}

TEST_F(StateGame, EventThatAddsItselfAgainRunsOncePerFrame)
{
    Script("function tick() note('tick') add_event('tick', 0) end\n"
           "add_event('tick', 0)\n");
    for (int i = 0; i < 5; ++i)
        Step();
    EXPECT_EQ(5u, notes.size());
}

TEST_F(StateGame, ScriptGlobalsFollowTheMissionAndThePlayer)
{
    Step(0.05);
    Script("note(game_time .. ' ' .. user_alive)");
    EXPECT_EQ("0.05 1", notes.back().substr(0, 4) + notes.back().substr(notes.back().size() - 2));
    state.GetPlayerPlane()->damage = 1.0f;
    Step();
    Script("note('' .. user_alive)");
    EXPECT_EQ("0", notes.back());
}

TEST_F(StateGame, CameraFollowsThePlayersFate)
{
    mission.input->Set("guns view", 1.0f);
    Step();
    mission.input->Set("guns view", 0.0f);
    Player().onGround = true;
    Step();
    EXPECT_EQ(5, state.camera.GetMode());
    Player().onGround = false;
    Step();
    EXPECT_EQ(2, state.camera.GetMode()) << "back to the remembered view";
    Player().damage = 1.0f;
    Step();
    EXPECT_EQ(3, state.camera.GetMode());
}

TEST_F(StateGame, CameraSitsInTheCockpitOfThePlayersPlane)
{
    EXPECT_EQ(state.scene->GetActiveCamera(), state.camera.GetCamera());
    Player().SetPosition(vec3_c(10.0f, 200.0f, 30.0f));
    Player().SetRotation(vec3_c());
    Step();
    // The default inside shift: 0.75 up, 0.9 back.
    const vec3_c seat = state.camera.GetPosition();
    EXPECT_NEAR(10.0f, seat.x, 1e-4f);
    EXPECT_NEAR(200.75f, seat.y, 1e-4f);
    EXPECT_NEAR(29.1f, seat.z, 1e-4f);

    // Looking freezes nothing here but turns the head by "left" and "up".
    mission.input->Set("look", 1.0f);
    mission.input->Set("left", 0.5f);
    Step();
    EXPECT_TRUE(state.camera.IsLookActive());
    EXPECT_NEAR(1.1f, state.camera.GetRotation().x, 1e-5f);
    mission.input->Set("look", 0.0f);
    Step();
    EXPECT_FALSE(state.camera.IsLookActive());
    EXPECT_NEAR(0.0f, state.camera.GetRotation().x, 1e-5f);
}

TEST_F(StateGame, InGameTextsOutsideTheListShowNothing)
{
    ASSERT_NE(nullptr, state.hud);
    const i32 count = static_cast<i32>(mission.app.in_game_texts.size());
    for (i32 index : {-1, 106, count - 1, count, 100000})
        state.ShowInGameText(index);
    std::vector<std::string> lines;
    for (const info_line_c& line : state.hud->GetInfoLines().GetLines())
        lines.push_back(line.text.GetData());
    EXPECT_EQ((std::vector<std::string>{"text 106", "text " + std::to_string(count - 1)}), lines);
}

TEST_F(StateGame, CameraTargetStartsAtThePlayerAndWraps)
{
    state.SetDebug(true);
    Step();
    EXPECT_EQ(1, state.debugTarget) << "the player's plane is the second object";
    Key(VK_HOME);
    Step();
    EXPECT_EQ(0, state.debugTarget);
    Key(VK_END);
    EXPECT_TRUE(mission.journal.empty()) << "no object before the first";
    Key(VK_HOME);
    Key(VK_END);
    EXPECT_EQ((journal_t{"flak_1 hit 100"}), mission.journal);
}

TEST_F(StateGame, DebugKeysActOnThePlayersPlaneOnlyInDebugMode)
{
    const struct {
        WPARAM key;
        const char* effect;
    } keys[] = {
        {VK_INSERT, "extra 300 speed 25 engine 1 damage 0"}, {VK_DELETE, "extra 0 speed 0 engine 1 damage 0"},
        {VK_F1 + 3, "extra 0 speed 0 engine 0 damage 0"},    {VK_F1 + 3, "extra 0 speed 0 engine 1 damage 0"},
        {VK_F1 + 5, "extra 0 speed 0 engine 1 damage 0.5"},  {VK_F1 + 6, "extra 0 speed 0 engine 1 damage 0.8"}};
    const auto effect = [&] {
        std::ostringstream out;
        out << "extra " << Player().extraSpeed << " speed " << Player().speed << " engine " << Player().engineFactor
            << " damage " << Player().damage;
        return out.str();
    };
    Key(VK_INSERT);
    EXPECT_EQ("extra 0 speed 25 engine 1 damage 0", effect()) << "not in debug mode";
    state.SetDebug(true);
    for (const auto& k : keys) {
        Key(k.key);
        EXPECT_EQ(k.effect, effect()) << k.key;
    }
}

TEST_F(StateGame, PageUpAndDownDrawTheSceneAsWireframeInDebugMode)
{
    Key(VK_PRIOR);
    EXPECT_EQ(0u, state.scene->GetFlags() & scene_wireframe) << "not in debug mode";
    state.SetDebug(true);
    Key(VK_PRIOR);
    EXPECT_EQ(scene_wireframe, state.scene->GetFlags() & scene_wireframe);
    Key(VK_PRIOR);
    EXPECT_EQ(scene_wireframe, state.scene->GetFlags() & scene_wireframe) << "sets, does not toggle";
    Key(VK_NEXT);
    EXPECT_EQ(0u, state.scene->GetFlags() & scene_wireframe);
}

TEST_F(StateGame, FailureInAFrameIsReportedAndLeaves)
{
    dynamic_cast<test_object_c*>(state.world->GetObject(0))->throwOnUpdate = true;
    EXPECT_EQ(state_leave, Step());
    EXPECT_EQ("flak_1 broke", state.GetFailure());
    EXPECT_EQ(nullptr, state.world);
    mission.renderer->ClearCalls();
    state.Render(t);
    EXPECT_TRUE(mission.renderer->calls.empty());
}

TEST_F(StateGame, RenderDrawsTheFlashAndThePauseOverTheScene)
{
    // The main scene sets its viewport once as it draws; the fade scene,
    // prepared and drawn over it, twice. The HUD is hidden here.
    Key(VK_TAB);
    const auto scenes_drawn = [&] {
        t += frame;
        state.Update(t);
        mission.renderer->ClearCalls();
        state.Render(t);
        return mission.renderer->CountCalls("SetViewportRect");
    };
    std::vector<u32> scenes;
    for (int i = 0; i < 4; ++i)
        scenes.push_back(scenes_drawn());
    Key(VK_ESCAPE);
    scenes.push_back(scenes_drawn());
    EXPECT_EQ((std::vector<u32>{3, 3, 3, 1, 3}), scenes);
}

TEST_F(StateGame, HudIsDrawnOverTheSceneUntilTabHidesIt)
{
    Script("add_mission_info_line('over the lines')");
    const auto texts_drawn = [&] {
        Step();
        mission.renderer->ClearCalls();
        state.Render(t);
        u32 count = 0;
        for (const recorded_call_c& call : mission.renderer->calls)
            count += call.name == "DrawText" && call.text == "over the lines" ? 1 : 0;
        return count;
    };
    EXPECT_EQ(1u, texts_drawn());
    Key(VK_TAB);
    EXPECT_EQ(0u, texts_drawn());
    Key(VK_TAB);
    EXPECT_EQ(1u, texts_drawn());
}

TEST_F(StateGame, MapReplacesTheSceneWhileItsActionIsFullyPressed)
{
    const auto backgrounds_drawn = [&] {
        Step();
        mission.renderer->ClearCalls();
        state.Render(t);
        return mission.renderer->CountCalls("DrawMap");
    };
    EXPECT_EQ(0u, backgrounds_drawn());
    mission.input->Set("map", 0.5f);
    EXPECT_EQ(0u, backgrounds_drawn()) << "half pressed";
    mission.input->Set("map", 1.0f);
    EXPECT_EQ(1u, backgrounds_drawn());
    EXPECT_EQ(state.world->GetPlanes().size(), state.gameMap->GetMarkerCount());
    state.world->mapSwitch = 0;
    EXPECT_EQ(0u, backgrounds_drawn()) << "a cut scene turns the map off";
}

} // namespace

namespace {

// A multiplayer game this program hosts, on the builder's mission.
class HostedGame : public ::testing::Test {
protected:
    test_mission_c mission;
    state_game_c state;
    double t = 10.0;

    void SetUp() override
    {
        mission.app.game_type = 3;
        mission.app.mission_number = 1;
        mission.app.mp_game_mode = 1;
        mission.app.mp_game_time = 1;
        mission.app.mp_limit_mode = 1;
        mission.app.net_manager = mission.devices.CreateNetManager(nullptr, nullptr);
        mission.app.players.Add("Red Baron", mission.devices.session->local_id, 1, 0);
        mission.app.players.Add("Snoopy", 9, 1, 0);
        state.SetObjectFactory(&mission.factory);
        mission.Build();
    }
    ~HostedGame() override { state.Leave(); }

    void Start()
    {
        state.Enter(&mission.app);
        ASSERT_EQ("", state.GetFailure());
        ASSERT_EQ(state_stay, state.Update(t));
    }
    test_object_c& AddPlane(int _type, const char* _name, i32 _score, u16 _owner)
    {
        auto plane = std::make_unique<test_object_c>(_type, mission.journal);
        plane->name = _name;
        plane->score = _score;
        plane->ownerId = _owner;
        return *static_cast<test_object_c*>(state.world->AddPlane(std::move(plane)));
    }
    const app_testing::sent_s* Sent(u16 _type) const
    {
        for (const auto& sent : mission.devices.session->sent)
            if (sent.type_word == _type)
                return &sent;
        return nullptr;
    }
    // The text of the game's end message, after its kind.
    std::string EndLeader() const
    {
        const app_testing::sent_s* end = Sent(0x10F);
        return end ? std::string(end->payload.begin() + 4, end->payload.end() - 1) : "(none)";
    }
};

TEST_F(HostedGame, TimedGameEndsAfterItsMinutesWithTheLeader)
{
    Start();
    AddPlane(object_plane_ghost, "ghost", 3, 9);
    state.Update(t + 60.0);
    EXPECT_EQ(nullptr, Sent(0x10F)) << "60 whole seconds have not passed yet";
    state.Update(t + 61.0);
    ASSERT_NE(nullptr, Sent(0x10F));
    EXPECT_EQ(2, Sent(0x10F)->payload[0]) << "every plane for itself";
    EXPECT_EQ("Snoopy", EndLeader());
    EXPECT_EQ(state_stay, state.Update(t + 65.0));
    EXPECT_EQ(state_leave, state.Update(t + 66.5)) << "five seconds after the end";
}

TEST_F(HostedGame, ScoreLimitedGameNeverEndsByTime)
{
    mission.app.mp_limit_mode = 2;
    mission.app.mp_game_time = 5;
    Start();
    test_object_c& player = dynamic_cast<test_object_c&>(*state.GetPlayerPlane());
    state.Update(t + 3600.0);
    EXPECT_EQ(nullptr, Sent(0x10F));
    player.score = 5;
    state.Update(t + 3600.05);
    ASSERT_NE(nullptr, Sent(0x10F));
    EXPECT_EQ("Red Baron", EndLeader()) << "the local player flies the leading plane";
}

TEST_F(HostedGame, LeavingStoresTheResultsHighestScoreFirst)
{
    Start();
    AddPlane(object_plane_ghost, "a", 2, 9);
    AddPlane(object_plane_ai, "b", 5, 0);
    AddPlane(object_plane_ai, "c", 2, 0);
    state.Leave();
    std::vector<std::string> results;
    for (const mp_result_s& result : mission.app.mp_results)
        results.push_back(std::string(result.name.GetData()) + " " + std::to_string(result.score));
    EXPECT_EQ((std::vector<std::string>{"b 5", "a 2", "c 2", "player 0"}), results);
}

} // namespace
