#include "game/game_world.h"

#include "engine/null_object.h"
#include "game/objects/noise.h"
#include "game/script_host.h"
#include "level/control_point_object.h"
#include "level/level_scene.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using journal_t = std::vector<std::string>;

// A game object of any type that writes what happens to it into a journal
// and can be given something to do in its Update and HandleEvent.
class probe_c : public game_object_c {
public:
    probe_c(const char* _name, int _type, journal_t& _journal) : node(_name), type(_type), journal(_journal)
    {
        name = _name;
        entity = &node;
    }
    ~probe_c() override { journal.push_back("deleted " + std::string(name.GetData())); }

    int GetType() const override { return type; }
    void Update(float _time) override
    {
        journal.push_back("update " + std::string(name.GetData()));
        if (onUpdate)
            onUpdate(_time);
    }
    void OnMissionStart(float) override { journal.push_back("start " + std::string(name.GetData())); }
    void HandleEvent(const game_event_c* _event) override
    {
        journal.push_back("event " + std::string(name.GetData()) + " " + std::to_string(_event->kind) + " " +
                          std::to_string(_event->argument) + (_event->sender == this ? " self" : " other"));
        if (onEvent)
            onEvent();
    }
    void OnObjectRemoved(game_object_c* _removed) override
    {
        if (_removed == target)
            target = nullptr;
    }

    null_object_c node;
    int type;
    journal_t& journal;
    game_object_c* target = nullptr;
    std::function<void(float)> onUpdate;
    std::function<void()> onEvent;
};

void Note(script_host_c* _host, int, void* _context)
{
    static_cast<journal_t*>(_context)->push_back(_host->GetStringArg(1).GetData());
}

class GameWorldTest : public ::testing::Test {
protected:
    journal_t journal;
    game_log_c log{false};
    script_host_c script{&log};
    level_scene_c level;
    game_world_c world;

    void SetUp() override
    {
        script.Register("note", Note, &journal);
        script.RunBuffer("function mission_init() note(\"init\") end\n"
                         "function mission_process() note(\"process\") end\n"
                         "function control_point_on_enter() note(\"enter\") end\n"
                         "function control_point_on_activate() note(\"activate\") end\n"
                         "function Bridge_on_enter() note(\"Bridge enter\") end\n"
                         "function Bridge_on_activate() note(\"Bridge activate\") end\n",
                         false, "mission.lua");
        game_world_context_c context;
        context.script = &script;
        context.levelScenes.push_back(&level);
        world.Init(context);
    }

    control_point_object_c* AddPoint(const char* _name, i32 _id, i32 _counter, i32 _order = -1)
    {
        auto point = std::make_unique<control_point_object_c>();
        point->name = _name;
        point->id = _id;
        point->activationCounter = _counter;
        point->activationOrder = _order;
        point->size = 10.0f;
        control_point_object_c* raw = point.get();
        level.levelObjects.push_back(std::move(point));
        world.SetControlPointScene(0);
        return raw;
    }

    probe_c* Add(const char* _name, int _type = object_car, std::vector<i32> _points = {})
    {
        auto probe = std::make_unique<probe_c>(_name, _type, journal);
        probe->activationPoints = std::move(_points);
        probe_c* raw = probe.get();
        if (_type <= object_plane_ghost)
            world.AddPlane(std::move(probe));
        else
            world.AddObject(std::move(probe));
        return raw;
    }

    // The journal lines of the step, then an empty journal.
    journal_t Step(float _time)
    {
        journal.clear();
        world.Process(_time);
        journal_t lines = journal;
        journal.clear();
        return lines;
    }
};

const vec3_c far_away(1000.0f, 0.0f, 0.0f);

} // namespace

TEST_F(GameWorldTest, StepRunsObjectsControlPointsTimersThenTheScript)
{
    AddPoint("Bridge", 1, 1);
    probe_c* a = Add("a", object_car, {1});
    Add("b", object_zeppelin);
    world.AddTimer(a, 0.0f, 7);
    EXPECT_EQ((journal_t{"update a", "update b", "enter", "Bridge enter", "activate", "Bridge activate",
                         "event a 4 7 self", "process"}),
              Step(1.0f));
    EXPECT_EQ((journal_t{"update a", "update b", "process"}), Step(2.0f));
}

TEST_F(GameWorldTest, SameTimeRunsNothing)
{
    Add("a");
    Step(1.0f);
    EXPECT_TRUE(Step(1.0f).empty());
    EXPECT_EQ(1.0f, world.GetWorldTime());
}

TEST_F(GameWorldTest, WithoutControlPointSceneTheScriptStillRuns)
{
    AddPoint("Bridge", 1, 1);
    world.SetControlPointScene(-1);
    Add("a", object_car, {1});
    EXPECT_EQ((journal_t{"update a", "process"}), Step(1.0f));
    world.SetControlPointScene(5);
    EXPECT_EQ((journal_t{"update a", "process"}), Step(2.0f));
    EXPECT_EQ(nullptr, world.FindControlPoint("Bridge"));
    world.SetControlPointScene(0);
    EXPECT_NE(nullptr, world.FindControlPoint("bridge"));
}

TEST_F(GameWorldTest, PointFiresOncePerEntryUntilItsCounterIsUsed)
{
    AddPoint("Bridge", 1, 2);
    probe_c* a = Add("a", object_car, {1});
    probe_c* b = Add("b", object_car, {1});
    // Two qualifying objects inside in one step fire it once.
    EXPECT_EQ((journal_t{"update a", "update b", "enter", "Bridge enter", "process"}), Step(1.0f));
    EXPECT_EQ((journal_t{"update a", "update b", "process"}), Step(2.0f));
    a->SetPosition(far_away);
    EXPECT_EQ((journal_t{"update a", "update b", "process"}), Step(3.0f)) << "b keeps it occupied";
    b->SetPosition(far_away);
    Step(4.0f);
    a->SetPosition(vec3_c());
    EXPECT_EQ((journal_t{"update a", "update b", "enter", "Bridge enter", "activate", "Bridge activate", "process"}),
              Step(5.0f));
    a->SetPosition(far_away);
    Step(6.0f);
    a->SetPosition(vec3_c());
    EXPECT_EQ((journal_t{"update a", "update b", "process"}), Step(7.0f)) << "counter used up";
}

TEST_F(GameWorldTest, OnlyObjectsListingThePointKeepItOccupied)
{
    AddPoint("Bridge", 1, 3);
    probe_c* a = Add("a", object_car, {1});
    Add("stranger", object_car, {2});
    Add("gun", object_aagun, {1});
    Step(1.0f);
    a->SetPosition(far_away);
    Step(2.0f);
    a->SetPosition(vec3_c());
    const journal_t lines = Step(3.0f);
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "Bridge enter"));
}

TEST_F(GameWorldTest, DestroyedObjectsDoNotCount)
{
    AddPoint("Bridge", 1, 1);
    probe_c* a = Add("a", object_car, {1});
    a->destroyed = 1;
    EXPECT_EQ((journal_t{"update a", "process"}), Step(1.0f));
}

TEST_F(GameWorldTest, OrderGateHoldsLaterPointsBack)
{
    control_point_object_c* first = AddPoint("First", 5, 1, 0);
    control_point_object_c* second = AddPoint("Bridge", 5, 1, 1);
    control_point_object_c* third = AddPoint("Third", 5, 1, 2);
    first->position = vec3_c(-500, 0, 0);
    third->position = vec3_c(500, 0, 0);
    Add("a", object_car, {5});
    EXPECT_EQ((journal_t{"update a", "process"}), Step(1.0f));
    EXPECT_EQ(0, second->occupied) << "a point held back has not fired";
    EXPECT_EQ(1, second->activationCounter);
    first->activationCounter = 0;
    EXPECT_EQ((journal_t{"update a", "enter", "Bridge enter", "activate", "Bridge activate", "process"}), Step(2.0f));
}

TEST_F(GameWorldTest, SpeedGateAppliesToThePlayersPlaneOnly)
{
    control_point_object_c* point = AddPoint("Bridge", 1, 1);
    point->activationSpeed = 20.0f;
    probe_c* player = Add("player", object_plane_user, {1});
    player->velocity = vec3_c(0, 0, 30);
    EXPECT_EQ((journal_t{"update player", "process"}), Step(1.0f));
    player->velocity = vec3_c(0, 0, 20);
    EXPECT_EQ((journal_t{"update player", "enter", "Bridge enter", "activate", "Bridge activate", "process"}),
              Step(2.0f));

    AddPoint("Other", 2, 1)->activationSpeed = 1.0f;
    probe_c* truck = Add("truck", object_car, {2});
    truck->velocity = vec3_c(0, 0, 50);
    const journal_t lines = Step(3.0f);
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "enter"));
}

TEST_F(GameWorldTest, TimersFireStrictlyAfterTheirDueTime)
{
    probe_c* a = Add("a");
    Step(1.0f);
    world.AddTimer(a, 1.0f, 3);
    EXPECT_EQ((journal_t{"update a", "process"}), Step(2.0f)) << "due equals world time";
    EXPECT_EQ((journal_t{"update a", "event a 4 3 self", "process"}), Step(2.5f));
    EXPECT_EQ(0u, world.GetTimerCount());
}

TEST_F(GameWorldTest, TimerSetWhileTimersFireWaitsForTheNextStep)
{
    probe_c* a = Add("a");
    a->onEvent = [&] { world.AddTimer(a, 0.0f, 9); };
    world.AddTimer(a, 0.0f, 1);
    EXPECT_EQ((journal_t{"update a", "event a 4 1 self", "process"}), Step(1.0f));
    EXPECT_EQ((journal_t{"update a", "event a 4 9 self", "process"}), Step(2.0f));
    EXPECT_EQ(1u, world.GetTimerCount());
}

TEST_F(GameWorldTest, StartMissionStartsEveryObjectThenTheScript)
{
    Add("a");
    Add("b");
    journal.clear();
    world.StartMission(4.0f);
    EXPECT_EQ((journal_t{"start a", "start b", "init"}), journal);
    EXPECT_EQ(4.0f, world.GetWorldTime());
}

TEST_F(GameWorldTest, PlaneQueries)
{
    probe_c* ally = Add("Ace", object_plane_ai);
    ally->side = 1;
    probe_c* player = Add("ace", object_plane_user);
    player->side = 1;
    probe_c* enemy = Add("Red", object_plane_ai);
    enemy->side = -1;
    enemy->SetPosition(vec3_c(0, 0, 100));
    probe_c* ghost = Add("Red2", object_plane_ghost);
    ghost->side = -1;
    ghost->SetPosition(vec3_c(0, 0, 50));
    Add("truck");
    EXPECT_EQ(4u, world.GetPlanes().size());
    EXPECT_EQ(ally, world.FindPlane("ACE"));
    EXPECT_EQ(nullptr, world.FindPlane("Red2"));
    EXPECT_EQ(2u, world.CountAlivePlanes(1));
    ally->destroyed = 1;
    EXPECT_EQ(1u, world.CountAlivePlanes(1));
    game_world_context_c network = world.GetContext();
    network.networkGame = true;
    world.Init(network);
    EXPECT_EQ(2u, world.CountAlivePlanes(1));

    EXPECT_EQ(50.0f, world.NearestEnemyPlanePosition(1, vec3_c()).z);
    EXPECT_EQ(50.0f, world.NearestPlanePosition(-1, vec3_c(0, 0, 75)).z) << "ties keep the later plane";
    const vec3_c alone(0, 0, 50.5f);
    EXPECT_EQ(100.0f, world.NearestPlanePosition(-1, alone).z) << "closer than 1 does not count";
    EXPECT_EQ(7.0f, world.NearestPlanePosition(-1, vec3_c(7, 0, 1e6f)).x) << "none within range";
}

TEST_F(GameWorldTest, EventsReachAlliesWithinTheRadius)
{
    probe_c* leader = Add("leader", object_plane_user);
    probe_c* near = Add("near", object_plane_ai);
    near->SetPosition(vec3_c(0, 0, 10));
    probe_c* far = Add("far", object_plane_ai);
    far->SetPosition(vec3_c(0, 0, 10.5f));
    probe_c* enemy = Add("enemy", object_plane_ai);
    enemy->side = -1;
    journal.clear();
    world.SendEventToNearbyAllies(leader, {6, 0, leader}, 10.0f);
    EXPECT_EQ((journal_t{"event leader 6 0 self", "event near 6 0 other"}), journal);
    journal.clear();
    world.SendEventToNearbyAllies(nullptr, {6, 0, nullptr}, 10.0f);
    EXPECT_TRUE(journal.empty());
}

TEST_F(GameWorldTest, ObjectsGetRisingNumbersAndDieWithTheWorld)
{
    journal_t own;
    {
        game_world_c other;
        auto first = std::make_unique<probe_c>("first", object_car, own);
        auto second = std::make_unique<probe_c>("second", object_car, own);
        game_object_c* a = other.AddObject(std::move(first));
        game_object_c* b = other.AddObject(std::move(second));
        EXPECT_EQ(&other, a->world);
        EXPECT_EQ(a->sequenceNumber + 1, b->sequenceNumber);
        EXPECT_EQ(b, other.FindObjectById(b->sequenceNumber));
        EXPECT_EQ(a, other.GetObject(0));
        EXPECT_EQ(nullptr, other.GetObject(2));
    }
    EXPECT_EQ((journal_t{"deleted first", "deleted second"}), own);
}

TEST_F(GameWorldTest, RemovingObjectsMidStepLeavesNoReferenceBehind)
{
    AddPoint("Bridge", 1, 5);
    probe_c* a = Add("a", object_plane_ai, {1});
    probe_c* b = Add("b", object_plane_ai, {1});
    probe_c* c = Add("c", object_car, {1});
    c->target = b;
    world.AddTimer(b, 0.0f, 1);
    world.AddTimer(c, 0.0f, 2);
    const u32 bId = b->sequenceNumber;
    // a removes b (later in the list) and then itself during its own update.
    a->onUpdate = [&](float) {
        world.RemoveObject(b);
        world.RemoveObject(a);
    };
    const journal_t lines = Step(1.0f);
    EXPECT_EQ((journal_t{"update a", "update c", "enter", "Bridge enter", "event c 4 2 self", "process", "deleted b",
                         "deleted a"}),
              lines);
    EXPECT_EQ(1u, world.GetObjectCount());
    EXPECT_EQ(c, world.GetObject(0));
    EXPECT_TRUE(world.GetPlanes().empty());
    EXPECT_EQ(nullptr, world.FindObjectById(bId));
    EXPECT_EQ(nullptr, c->target);
    EXPECT_EQ(0u, world.GetTimerCount());
    EXPECT_EQ((journal_t{"update c", "process"}), Step(2.0f));
}

TEST_F(GameWorldTest, RemovingAnObjectWhileTimersFireDropsItsDueTimer)
{
    probe_c* a = Add("a");
    probe_c* b = Add("b");
    a->onEvent = [&] { world.RemoveObject(b); };
    world.AddTimer(a, 0.0f, 1);
    world.AddTimer(b, 0.0f, 2);
    EXPECT_EQ((journal_t{"update a", "update b", "event a 4 1 self", "process", "deleted b"}), Step(1.0f));
    // Outside a step the object is deleted at once; a stranger is ignored.
    probe_c stranger("stranger", object_car, journal);
    world.RemoveObject(&stranger);
    world.AddTimer(&stranger, 0.0f, 1);
    EXPECT_EQ(0u, world.GetTimerCount());
    world.RemoveObject(a);
    EXPECT_EQ((journal_t{"deleted a"}), journal);
    EXPECT_EQ(0u, world.GetObjectCount());
}

TEST_F(GameWorldTest, ScriptErrorsInCallbacksAreSurvived)
{
    script.RunBuffer("function mission_process() local x = nil .. 1 end", false, "broken.lua");
    Add("a");
    Step(1.0f);
    Step(2.0f);
    EXPECT_EQ(2u, log.GetLines().size());
}

TEST(GameWorldDeterminism, SameStepsGiveBitIdenticalStates)
{
    // Objects that wander on noise and re-arm timers that move them again.
    class wanderer_c : public game_object_c {
    public:
        explicit wanderer_c(int _index) : node("w"), index(_index) { entity = &node; }
        int GetType() const override { return object_car; }
        void Update(float _time) override
        {
            const f32 p[3] = {static_cast<f32>(index) * 0.37f, _time * 0.1f, 0.5f};
            node.position.x += FractalNoise3(p, 4);
            node.position.z += Noise1(_time + static_cast<f32>(index));
        }
        void OnMissionStart(float) override { world->AddTimer(this, 0.05f, 1); }
        void HandleEvent(const game_event_c*) override
        {
            node.position.y += 1.0f;
            world->AddTimer(this, 0.05f * static_cast<f32>(index % 3), 1);
        }
        null_object_c node;
        int index;
    };
    auto run = [](std::vector<vec3_c>& _positions) {
        game_world_c world;
        world.Init(game_world_context_c());
        for (int i = 0; i < 20; ++i)
            world.AddObject(std::make_unique<wanderer_c>(i));
        world.StartMission(0.0f);
        for (int step = 1; step <= 300; ++step)
            world.Process(static_cast<float>(step) / 60.0f);
        for (u32 i = 0; i < world.GetObjectCount(); ++i)
            _positions.push_back(world.GetObject(i)->GetPosition());
    };
    std::vector<vec3_c> first, second;
    run(first);
    run(second);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(0, std::memcmp(first.data(), second.data(), first.size() * sizeof(vec3_c)));
    EXPECT_NE(0.0f, first[3].y);
}
