#include "game/hud.h"

#include "engine/camera.h"
#include "engine/scene.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/marker_object.h"
#include "game/game_world.h"
#include "game/score_table.h"
#include "game/script_host.h"
#include "game/testing/hud_files.h"
#include "game/testing/mission_doubles.h"
#include "game/testing/recording_sound.h"
#include "level/object_template.h"
#include "level/testing/level_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace game_testing;

namespace {

constexpr const char* hud_path = hud_test_path;
constexpr f32 pi = 3.14159265f;

// Which digit a counter shows: -1 none, -2 more than one.
int ShownDigit(const digit_counter_c& _counter)
{
    const object_template_c* tmpl = _counter.GetModel().GetTemplate();
    if (tmpl == nullptr)
        return -1;
    int shown = -1;
    for (const auto& model : tmpl->models)
        for (const template_group_c* group : model->groups)
            if (group->node && group->node->HasFlags(object_rendered))
                shown = shown == -1 ? std::stoi(model->name) : -2;
    return shown;
}

bool Drawn(const null_object_c* _node)
{
    return _node && _node->HasFlags(object_rendered);
}

class Hud : public ::testing::Test {
protected:
    test_mission_c mission;
    recording_sound_system_c* sound = nullptr;
    std::unique_ptr<hud_c> hud = std::make_unique<hud_c>();
    hud_frame_c frame;
    camera_c camera{"game camera"};

    void SetUp() override
    {
        auto owned_sound = std::make_unique<recording_sound_system_c>();
        sound = owned_sound.get();
        mission.app.sound_device = std::move(owned_sound);
        mission.app.script_host = std::make_shared<script_host_c>();
        mission.app.game_type = 1;
        for (int i = 0; i < 320; ++i)
            mission.app.in_game_texts.push_back(string_c("text %d", i));
        camera.UpdateTransform(nullptr);
        frame.camera = &camera;
    }
    void TearDown() override { hud.reset(); }

    void AddFiles() { AddHudFiles(mission.files.files, mission.renderer); }
    void Init(f32 _shadow_offset = 0.0f)
    {
        hud->Init(mission.app, hud_path, "compass.op", vec3_c(1.0f, 1.0f, 0.0f), _shadow_offset);
    }
    void Update(f32 _time)
    {
        frame.time = _time;
        hud->Update(frame);
    }
    void Script(const char* _text) { mission.app.script_host->RunBuffer(_text, false); }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        for (const info_line_c& line : hud->GetInfoLines().GetLines())
            lines.push_back(line.text.GetData());
        return lines;
    }
    recording_source_c& Voice(const std::string& _file) { return *sound->Find(_file); }
};

TEST_F(Hud, CountersShowSingleDigitsAndLeaveTwoDigitCountsBlank)
{
    AddFiles();
    Init();
    struct {
        i32 allied, german, rockets, bombs;
        int alliedShown, germanShown, rocketsShown, tensShown, onesShown;
    } const cases[] = {
        {3, 2, 4, 17, 3, 2, 4, 1, 7},  {0, 9, 0, 0, 0, 9, 0, 0, 0},     {10, 12, 8, 42, -1, -1, 8, 4, 2},
        {1, 0, 12, 5, 1, 0, -1, 0, 5}, {-1, 1, 2, 130, -1, 1, 2, 3, 0},
    };
    for (const auto& c : cases) {
        frame.alliedCount = c.allied;
        frame.germanCount = c.german;
        frame.rockets = c.rockets;
        frame.bombs = c.bombs;
        Update(1.0f);
        SCOPED_TRACE(::testing::Message() << c.allied << " " << c.german << " " << c.rockets << " " << c.bombs);
        EXPECT_EQ(c.alliedShown, ShownDigit(hud->GetAlliedCount()));
        EXPECT_EQ(c.germanShown, ShownDigit(hud->GetGermanCount()));
        EXPECT_EQ(c.rocketsShown, ShownDigit(hud->GetRocketCount()));
        EXPECT_EQ(c.tensShown, ShownDigit(hud->GetBombTens()));
        EXPECT_EQ(c.onesShown, ShownDigit(hud->GetBombOnes()));
    }
}

TEST_F(Hud, IconsShowOnlyTheirOwnModelAndNetworkGamesHideTheWeapons)
{
    AddFiles();
    Init();
    frame.rockets = 4;
    frame.bombs = 2;
    Update(1.0f);
    for (int icon = 0; icon < hud_c::icon_count; ++icon) {
        const null_object_c* node = hud->GetIcon(icon);
        ASSERT_NE(nullptr, node);
        const auto* group = dynamic_cast<const aggregate_c*>(node);
        ASSERT_NE(nullptr, group);
        int drawn = 0;
        for (const null_object_c* item = group->GetObjects().GetFirst(); item; item = item->GetNext())
            drawn += Drawn(item) ? 1 : 0;
        EXPECT_EQ(1, drawn) << icon;
    }
    mission.app.game_type = 3;
    Update(2.0f);
    EXPECT_EQ(-1, ShownDigit(hud->GetRocketCount()));
    EXPECT_EQ(-1, ShownDigit(hud->GetBombTens()));
    EXPECT_EQ(-1, ShownDigit(hud->GetBombOnes()));
    const auto* rocket = dynamic_cast<const aggregate_c*>(hud->GetIcon(hud_c::icon_rocket));
    for (const null_object_c* item = rocket->GetObjects().GetFirst(); item; item = item->GetNext())
        EXPECT_FALSE(Drawn(item));
}

TEST_F(Hud, VoiceClipNamesHaveAtLeastThreeDigits)
{
    const struct {
        i32 number;
        const char* name;
    } cases[] = {{0, "data\\game\\voice\\000.wav"},     {7, "data\\game\\voice\\007.wav"},
                 {42, "data\\game\\voice\\042.wav"},    {123, "data\\game\\voice\\123.wav"},
                 {1234, "data\\game\\voice\\1234.wav"}, {-5, ""}};
    for (const auto& c : cases)
        EXPECT_STREQ(c.name, VoiceClipName(c.number).GetData()) << c.number;
}

TEST_F(Hud, VoiceClipsPlayOneAfterAnotherEachShowingItsLineWhenItStarts)
{
    Init();
    sound->files = {"data\\game\\voice\\007.wav", "data\\game\\voice\\042.wav", "radio.wav"};
    Script("add_info_line_with_sound(7) add_info_line_with_sound(42) add_info_line_with_sound('radio.wav')");
    ASSERT_EQ(3u, hud->GetVoiceQueue().GetCount());
    EXPECT_FALSE(Voice("data\\game\\voice\\007.wav").playing) << "nothing plays before the update";

    Update(1.0f);
    EXPECT_TRUE(Voice("data\\game\\voice\\007.wav").playing);
    EXPECT_FALSE(Voice("data\\game\\voice\\042.wav").playing);
    EXPECT_EQ(std::vector<std::string>{"text 7"}, Lines());

    Update(2.0f);
    EXPECT_FALSE(Voice("data\\game\\voice\\042.wav").playing) << "the first clip still plays";
    Voice("data\\game\\voice\\007.wav").playing = false;
    Update(3.0f);
    EXPECT_EQ(2u, hud->GetVoiceQueue().GetCount()) << "the finished clip left the queue";
    EXPECT_FALSE(Voice("data\\game\\voice\\042.wav").playing);
    Update(4.0f);
    EXPECT_TRUE(Voice("data\\game\\voice\\042.wav").playing);
    EXPECT_EQ((std::vector<std::string>{"text 7", "text 42"}), Lines());
    EXPECT_FLOAT_EQ(13.0f, hud->GetInfoLines().GetLines().back().expiry) << "ten seconds from the last update";

    Voice("data\\game\\voice\\042.wav").playing = false;
    Update(5.0f);
    Update(6.0f);
    EXPECT_TRUE(Voice("radio.wav").playing);
    EXPECT_EQ(2u, Lines().size()) << "a clip named by its file has no line";
}

TEST_F(Hud, TextNumbersOutsideTheTextsShowNothing)
{
    Init();
    mission.app.in_game_texts.resize(10);
    sound->files = {"data\\game\\voice\\500.wav"};
    Script("add_mission_info_line(3) add_mission_info_line(10) add_mission_info_line(-1)"
           " add_mission_info_line(1e300) add_mission_info_line('plain text')"
           " add_info_line_with_sound(500) add_info_line_with_sound(-7)");
    Update(1.0f);
    EXPECT_EQ((std::vector<std::string>{"text 3", "plain text"}), Lines());
    EXPECT_TRUE(Voice("data\\game\\voice\\500.wav").playing) << "the clip plays without a line";
    EXPECT_EQ(1u, hud->GetVoiceQueue().GetCount()) << "a negative number names no clip";

    mission.renderer->ClearCalls();
    hud->RenderText(false, {}, true, false);
    for (const recorded_call_c& call : mission.renderer->calls)
        EXPECT_NE("text 312", call.text);
    EXPECT_EQ(2u, mission.renderer->CountCalls("DrawText")) << "the two lines; no pause text past the list";
}

TEST_F(Hud, ScriptFunctionsIgnoreOtherArgumentCounts)
{
    Init();
    sound->files = {"data\\game\\voice\\007.wav", "boom.wav"};
    Script("add_mission_info_line() add_mission_info_line('a', 'b') add_info_line_with_sound(7, 8)"
           " play_2d_sound() play_2d_sound('boom.wav', 1)");
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(0u, hud->GetVoiceQueue().GetCount());
    EXPECT_EQ(0u, hud->Get2dSounds().GetCount());
}

TEST_F(Hud, TwoDimensionalSoundsPlayAtOnceAndFinishedOnesAreDropped)
{
    Init();
    sound->files = {"boom.wav", "hiss.wav"};
    Script("play_2d_sound('boom.wav')");
    EXPECT_TRUE(Voice("boom.wav").playing);
    EXPECT_EQ(0u, Voice("boom.wav").position.x) << "not placed";
    Voice("boom.wav").playing = false;
    Script("play_2d_sound('hiss.wav')");
    EXPECT_EQ(1u, hud->Get2dSounds().GetCount());
    EXPECT_EQ(nullptr, sound->Find("boom.wav"));
}

TEST_F(Hud, InfoLinesShowForNineSecondsThenFadeAndLeaveAtTen)
{
    const struct {
        f32 now;
        f32 text;
        f32 shadow;
    } cases[] = {{0.0f, 1.0f, 1.0f},  {9.2f, 1.0f, 1.0f},  {9.48f, 0.65f, 0.5f}, {9.6f, 0.5f, 0.285714f},
                 {9.76f, 0.3f, 0.0f}, {10.0f, 0.0f, 0.0f}, {11.0f, 0.0f, 0.0f}};
    for (const auto& c : cases) {
        EXPECT_NEAR(c.text, info_lines_c::TextFade(10.0f, c.now), 1e-5f) << c.now;
        EXPECT_NEAR(c.shadow, info_lines_c::ShadowFade(10.0f, c.now), 1e-5f) << c.now;
    }

    info_lines_c lines;
    lines.Add("first", 0.0f);
    lines.Add("second", 1.0f);
    lines.Expire(9.99f);
    EXPECT_EQ(2u, lines.GetLines().size());
    lines.Expire(10.0f);
    ASSERT_EQ(1u, lines.GetLines().size()) << "removed when its expiry is reached";
    EXPECT_STREQ("second", lines.GetLines()[0].text.GetData());
}

TEST_F(Hud, InfoLinesAreCentredSnappedAndDrawnWithTheirFadingShadows)
{
    Init(0.01f);
    hud->AddInfoLine("abcd");
    hud->AddInfoLine("abcdefghi");
    Update(9.6f);
    mission.renderer->ClearCalls();
    hud->RenderText(true, {}, false, false);
    const recorded_call_c* clear = mission.renderer->FindCall("Clear");
    ASSERT_NE(nullptr, clear) << "the depth is cleared first";
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0, 0, 1, 0, 0}), clear->numbers);

    ASSERT_EQ(4u, mission.renderer->CountCalls("DrawText"));
    // 640 x 480 output, 10 pixels a character, 20 a line.
    const recorded_call_c* shadow = mission.renderer->FindCall("DrawText", 0);
    const recorded_call_c* text = mission.renderer->FindCall("DrawText", 1);
    EXPECT_EQ("abcd", text->text);
    EXPECT_EQ(300.0, text->numbers[0]);
    EXPECT_EQ(24.0, text->numbers[1]);
    EXPECT_NEAR(0.5, text->numbers[7], 1e-5);
    EXPECT_EQ((std::vector<double>{1.0, 1.0, 0.0}),
              (std::vector<double>{text->numbers[4], text->numbers[5], text->numbers[6]}));
    EXPECT_EQ(306.0, shadow->numbers[0]);
    EXPECT_EQ(29.0, shadow->numbers[1]);
    EXPECT_NEAR((1.0 - 0.285714) * 0.7, shadow->numbers[7], 1e-5);
    EXPECT_EQ((std::vector<double>{0.0, 0.0, 0.0}),
              (std::vector<double>{shadow->numbers[4], shadow->numbers[5], shadow->numbers[6]}));
    const recorded_call_c* second = mission.renderer->FindCall("DrawText", 3);
    EXPECT_EQ("abcdefghi", second->text);
    EXPECT_EQ(275.0, second->numbers[0]) << "(0.5 - 90 / 1280) x 640 = 275";
    EXPECT_EQ(44.0, second->numbers[1]) << "one line lower";
}

TEST_F(Hud, PauseTextDependsOnHowTheGameWasPaused)
{
    Init();
    for (const bool by_escape : {false, true}) {
        mission.renderer->ClearCalls();
        hud->RenderText(false, {}, true, by_escape);
        ASSERT_EQ(1u, mission.renderer->CountCalls("DrawText"));
        EXPECT_EQ(by_escape ? "text 315" : "text 312", mission.renderer->FindCall("DrawText")->text);
        EXPECT_EQ(240.0, mission.renderer->FindCall("DrawText")->numbers[1]);
    }
}

TEST_F(Hud, ScoreTableRanksPlanesByKillsWithTheirPlayersNames)
{
    Init();
    mission.app.game_type = 3;
    mission.app.net_manager = std::make_unique<app_testing::logged_session_c>(mission.events);
    mission.app.players.Add("Anna", 7, 0, 0);
    mission.app.players.Add("Boris", 9, 0, 0);
    journal_t journal;
    auto make = [&](int _type, const char* _name, i32 _score, u16 _owner) {
        auto plane = std::make_unique<test_object_c>(_type, journal);
        plane->name = _name;
        plane->score = _score;
        plane->ownerId = _owner;
        return plane;
    };
    auto bot = make(object_plane_ai, "Fokker", 2, 0);
    auto own = make(object_plane_user, "player", 5, 0);
    auto ghost = make(object_plane_ghost, "ghost_1", 2, 9);
    auto stranger = make(object_plane_ghost, "ghost_2", 7, 30);
    const std::vector<game_object_c*> planes = {bot.get(), own.get(), ghost.get(), stranger.get()};

    const std::vector<score_line_c> ranked = RankPlanes(planes, mission.app.players, 7);
    std::vector<std::string> names;
    for (const score_line_c& line : ranked)
        names.push_back(line.name.GetData());
    EXPECT_EQ((std::vector<std::string>{"ghost_2", "Anna", "Fokker", "Boris"}), names)
        << "equal kills keep the list's order; unknown players show the plane's name";

    mission.renderer->ClearCalls();
    hud->RenderText(false, planes, false, false);
    ASSERT_EQ(4u, mission.renderer->CountCalls("DrawText"));
    EXPECT_EQ("1. ghost_2 : 7", mission.renderer->FindCall("DrawText", 0)->text);
    EXPECT_EQ("2. Anna : 5", mission.renderer->FindCall("DrawText", 1)->text);
    EXPECT_EQ("4. Boris : 2", mission.renderer->FindCall("DrawText", 3)->text);
    EXPECT_EQ(144.0, mission.renderer->FindCall("DrawText", 0)->numbers[1]) << "from y = 0.3";
}

TEST_F(Hud, GreenArrowNeedsAnotherAlliedPlaneAndBothTurnTowardTheirTargets)
{
    AddFiles();
    Init();
    frame.playerRotation = vec3_c(0.5f, 0.0f, 0.0f);
    frame.nearestFriendly = vec3_c(100.0f, 0.0f, 0.0f);
    frame.nearestEnemy = vec3_c(0.0f, 0.0f, -100.0f);
    frame.alliedCount = 1;
    frame.germanCount = 0;
    Update(1.0f);
    EXPECT_FALSE(Drawn(hud->GetCompassGroup("target_green"))) << "only the player's plane on side +1";
    EXPECT_FALSE(Drawn(hud->GetCompassGroup("target_red")));
    EXPECT_FLOAT_EQ(0.5f, hud->GetCompassGroup("compass")->rotation.z);

    frame.alliedCount = 2;
    frame.germanCount = 1;
    Update(2.0f);
    ASSERT_TRUE(Drawn(hud->GetCompassGroup("target_green")));
    ASSERT_TRUE(Drawn(hud->GetCompassGroup("target_red")));
    EXPECT_NEAR(0.5f - pi / 2.0f, hud->GetCompassGroup("target_green")->rotation.z, 1e-5f);
    EXPECT_NEAR(0.5f - pi, hud->GetCompassGroup("target_red")->rotation.z, 1e-5f);
}

TEST_F(Hud, SightShowsWhereTheGunsPointWhileThePlaneFlies)
{
    AddFiles();
    Init();
    frame.gunOffset = 10.0f;
    Update(1.0f);
    const null_object_c* sight = hud->GetSight();
    ASSERT_TRUE(Drawn(sight));
    // (0, 10, 100) through zoom 3.2: y = 10 x 3.2 / 100.
    EXPECT_NEAR(0.0f, sight->position.x, 1e-5f);
    EXPECT_NEAR(0.32f * 3.0f, sight->position.y, 1e-5f);
    EXPECT_EQ(vec3_c(5.0f, 5.0f, 0.5f), sight->scale);

    frame.playerRotation = vec3_c(pi / 2.0f, 0.0f, 0.0f);
    frame.playerPosition = vec3_c(-50.0f, 0.0f, 100.0f);
    frame.gunOffset = 0.0f;
    Update(2.0f);
    EXPECT_NEAR(50.0f * 3.2f / 100.0f * 4.0f, sight->position.x, 1e-4f);

    frame.playerPosition = vec3_c(0.0f, 0.0f, 0.0f);
    frame.playerRotation = vec3_c(pi, 0.0f, 0.0f);
    Update(3.0f);
    EXPECT_FALSE(Drawn(sight)) << "a point behind the camera";

    frame.playerRotation = vec3_c();
    frame.playerDestroyed = true;
    Update(4.0f);
    EXPECT_FALSE(Drawn(sight));
    frame.playerDestroyed = false;
    frame.camera = nullptr;
    Update(5.0f);
    EXPECT_FALSE(Drawn(sight));
}

TEST_F(Hud, GunSceneLagsByTheGunHeat)
{
    AddFiles();
    Init();
    ASSERT_NE(nullptr, hud->GetGunScene());
    frame.gunHeat = 0.5f;
    Update(4.0f);
    EXPECT_FLOAT_EQ(3.2f, hud->GetGunScene()->timeOffset);
    EXPECT_EQ(vec3_c(3.20544f, -2.835f, 0.0f), hud->GetGunScene()->position);
}

TEST_F(Hud, MovingMapFollowsThePlayerAcrossTheMap)
{
    const struct {
        vec3_c position;
        vec3_c translation;
    } cases[] = {{vec3_c(-3000.0f, 50.0f, -3000.0f), vec3_c(-1.0f, 1.0f, 1.0f)},
                 {vec3_c(3000.0f, 50.0f, 3000.0f), vec3_c(0.0f, 0.0f, 1.0f)},
                 {vec3_c(0.0f, 0.0f, 0.0f), vec3_c(-0.5f, 0.5f, 1.0f)}};
    for (const auto& c : cases) {
        const mat4x3_c transform = MovingMapTransform(c.position, 0.0f);
        EXPECT_EQ(c.translation, transform.GetPosition());
    }
    const mat4x3_c turned = MovingMapTransform(vec3_c(3000.0f, 0.0f, -3000.0f), pi / 2.0f);
    // The translation (0, 1, 1) turned a quarter about the view axis.
    const vec3_c moved = vec3_c(0.0f, 0.0f, 0.0f) * turned;
    mat4x3_c quarter;
    quarter.SetRotation(2, pi / 2.0f);
    const vec3_c expected = vec3_c(0.0f, 1.0f, 1.0f) * quarter;
    EXPECT_NEAR(expected.x, moved.x, 1e-6f);
    EXPECT_NEAR(expected.y, moved.y, 1e-6f);
    EXPECT_NEAR(1.0f, moved.z, 1e-6f);
}

TEST_F(Hud, WorksWithoutAnyOfItsModels)
{
    Init();
    EXPECT_EQ(nullptr, hud->GetSight());
    EXPECT_EQ(nullptr, hud->GetCompassGroup("compass"));
    EXPECT_EQ(nullptr, hud->GetGunScene());
    frame.alliedCount = 3;
    hud->AddInfoLine("still here");
    Update(1.0f);
    EXPECT_EQ(3, hud->GetAlliedCount().GetValue());
    mission.renderer->ClearCalls();
    hud->Render();
    hud->RenderText(false, {}, false, false);
    EXPECT_EQ(1u, mission.renderer->CountCalls("DrawText"));
}

TEST_F(Hud, CompassWithoutItsGroupsStillTurnsWhatItHas)
{
    AddFiles();
    AddTestTemplate(mission.files.files, std::string(hud_path) + "bare.op", {{"compass", true, {}}}, {{"simple", {0}}},
                    mission.renderer);
    hud->Init(mission.app, hud_path, "bare.op", vec3_c(1.0f, 1.0f, 1.0f), 0.0f);
    frame.playerRotation = vec3_c(1.0f, 0.0f, 0.0f);
    frame.alliedCount = 3;
    frame.germanCount = 3;
    Update(1.0f);
    EXPECT_FLOAT_EQ(1.0f, hud->GetCompassGroup("compass")->rotation.z);
    EXPECT_EQ(nullptr, hud->GetCompassGroup("target_green"));
}

TEST_F(Hud, SceneIsDrawnThroughItsOwnCamera)
{
    AddFiles();
    Init();
    hud->GetScene()->AddObject(
        new marker_object_c("probe", 5.0f, mission.renderer, vec3_c(-1.0f, -1.0f, -1.0f), vec3_c(1.0f, 1.0f, 1.0f)));
    Update(1.0f);
    mission.renderer->ClearCalls();
    hud->Render();
    ASSERT_NE(nullptr, mission.renderer->FindCall("DrawDebug30"));
    EXPECT_EQ(5.0, mission.renderer->FindCall("DrawDebug30")->numbers[0]);
    const std::vector<std::string> names = mission.renderer->CallNames();
    const auto clear = std::find(names.begin(), names.end(), "Clear");
    ASSERT_NE(names.end(), clear);
    EXPECT_LT(clear - names.begin(), std::find(names.begin(), names.end(), "SetScene") - names.begin())
        << "the depth is cleared before the HUD is drawn";
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0, 0, 1, 0, 0}), mission.renderer->FindCall("Clear")->numbers);
    const recorded_call_c* set = mission.renderer->FindCall("SetScene");
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(hud->GetScene(), set->objects[0]);
    const camera_c* used = static_cast<const camera_c*>(set->objects[1]);
    EXPECT_EQ("hud camera", std::string(used->GetName().GetData()));
    EXPECT_FLOAT_EQ(10.0f, used->zoom);
    EXPECT_EQ(vec3_c(0.0f, 0.0f, -30.0f), used->position);
}

} // namespace
