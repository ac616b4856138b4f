#include "engine/geom_object.h"
#include "engine/primitive_set.h"
#include "engine/scene.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/marker_object.h"
#include "engine/water.h"
#include "engine/testing/recording_renderer.h"
#include "game/fx_manager.h"
#include "game/game_world.h"
#include "app/message/net_message_type.h"
#include "game/game_messages.h"
#include "game/script_host.h"
#include "game/testing/net_game.h"
#include "game/testing/flat_ground.h"
#include "game/testing/recording_sound.h"
#include "level/level_scene.h"
#include "level/object_template.h"
#include "level/testing/level_fixtures.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// A target with a box of half side 1 around its position; it records what
// reaches it. Its shapes can be told to miss: the precise one (a near miss)
// or the visible model (a bullet stopped by the collision shape).
class target_c : public game_object_c {
public:
    struct hit_c {
        vec3_c point;
        float amount;
        game_object_c* attacker;
        int kind;
    };

    target_c(renderer_c* _renderer, const vec3_c& _position, int _type = object_car, int _side = 1)
        : marker("target", 0.0f, _renderer, vec3_c(-1.0f, -1.0f, -1.0f), vec3_c(1.0f, 1.0f, 1.0f)), type(_type)
    {
        side = _side;
        entity = &marker;
        marker.position = _position;
        marker.SetVisibility(true, true);
        marker.UpdateTransform(nullptr);
    }

    int GetType() const override { return type; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
    bool IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                      float _maximum) override
    {
        if (_precise && preciseMiss)
            return false;
        return game_object_c::IntersectRay(_distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
    }
    bool IntersectRayExact(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                           bool _precise, float _maximum) override
    {
        return !visibleMiss &&
               game_object_c::IntersectRay(_distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
    }
    void TakeDamage(const vec3_c& _point, const vec3_c&, float _amount, game_object_c* _attacker, int _kind) override
    {
        hits.push_back(hit_c{_point, _amount, _attacker, _kind});
        damage += _amount;
    }
    void OnNearMiss(const vec3_c&, game_object_c* _shooter) override { nearMisses.push_back(_shooter); }
    void OnProjectileImpact(const vec3_c& _point, const vec3_c&, const projectile_c* _projectile) override
    {
        impacts.push_back(_point);
        impactKinds.push_back(_projectile->kind);
    }

    marker_object_c marker;
    int type;
    bool preciseMiss = false;
    bool visibleMiss = false;
    std::vector<hit_c> hits;
    std::vector<game_object_c*> nearMisses;
    std::vector<vec3_c> impacts;
    std::vector<u32> impactKinds;
};

class ProjectileTest : public ::testing::Test {
protected:
    recording_renderer_c renderer;
    scene_c scene{"scene", &renderer};
    game_world_c world;
    game_world_context_c context;
    target_c* shooter = nullptr;

    void SetUp() override
    {
        context.scene = &scene;
        world.Init(context);
        shooter = Add(vec3_c(0.0f, 100.0f, -50.0f), object_plane_user, -1);
    }

    target_c* Add(const vec3_c& _position, int _type = object_car, int _side = 1)
    {
        auto target = std::make_unique<target_c>(&renderer, _position, _type, _side);
        return static_cast<target_c*>(world.AddObject(std::move(target)));
    }

    // Steps the world by _dt until it holds no projectile, at most _steps.
    void Fly(float _dt = 0.02f, int _steps = 10000)
    {
        float time = world.GetWorldTime();
        for (int i = 0; i < _steps && !world.GetProjectiles().empty(); ++i) {
            time += _dt;
            world.Process(time);
        }
    }
};

TEST_F(ProjectileTest, BulletHitsTheTargetInItsWayWithOneUnitOfDamage)
{
    target_c* target = Add(vec3_c(0.0f, 100.0f, 100.0f));
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);

    Fly();

    ASSERT_EQ(target->hits.size(), 1u);
    EXPECT_FLOAT_EQ(target->hits[0].amount, 1.0f);
    EXPECT_EQ(target->hits[0].attacker, shooter);
    EXPECT_EQ(target->hits[0].kind, 0);
    EXPECT_NEAR(target->hits[0].point.z, 99.0f, 0.05f);
    EXPECT_TRUE(shooter->hits.empty());
}

TEST_F(ProjectileTest, BalloonsAndZeppelinsTakeAThousandthOfABullet)
{
    for (int type : {object_balloon, object_zeppelin}) {
        target_c* target = Add(vec3_c(0.0f, 100.0f, 100.0f), type);
        world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
        Fly();
        ASSERT_EQ(target->hits.size(), 1u);
        EXPECT_FLOAT_EQ(target->hits[0].amount, 0.001f);
        target->destroyed = 1;
    }
}

TEST_F(ProjectileTest, BulletStoppedByTheCollisionShapeButMissingTheModelDoesNoDamage)
{
    target_c* target = Add(vec3_c(0.0f, 100.0f, 100.0f));
    target_c* behind = Add(vec3_c(0.0f, 100.0f, 200.0f));
    target->visibleMiss = true;
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);

    Fly();

    EXPECT_TRUE(target->hits.empty());
    EXPECT_TRUE(behind->hits.empty());
}

TEST_F(ProjectileTest, PreciseMissInsideTheCoarseShapeIsANearMissAndTheBulletFliesOn)
{
    target_c* target = Add(vec3_c(0.0f, 100.0f, 100.0f));
    target_c* behind = Add(vec3_c(0.0f, 100.0f, 200.0f));
    target->preciseMiss = true;
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);

    Fly();

    ASSERT_EQ(target->nearMisses.size(), 1u);
    EXPECT_EQ(target->nearMisses[0], shooter);
    EXPECT_TRUE(target->hits.empty());
    EXPECT_EQ(behind->hits.size(), 1u);
}

TEST_F(ProjectileTest, BulletsPassTheirOwnSideUnlessFriendlyFireIsOn)
{
    target_c* friendly = Add(vec3_c(0.0f, 100.0f, 100.0f), object_car, -1);
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    EXPECT_TRUE(friendly->hits.empty());

    context.friendlyFire = true;
    world.Init(context);
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    EXPECT_EQ(friendly->hits.size(), 1u);
}

TEST_F(ProjectileTest, OnANetworkClientComputerPlaneBulletsPassThroughEverything)
{
    context.gameType = 4;
    context.networkGame = true;
    world.Init(context);
    target_c* computer = Add(vec3_c(0.0f, 500.0f, -50.0f), object_plane_ai, -1);
    target_c* target = Add(vec3_c(0.0f, 100.0f, 100.0f));
    world.SpawnBullet(computer, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    EXPECT_TRUE(target->hits.empty());

    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    EXPECT_EQ(target->hits.size(), 1u);
}

TEST_F(ProjectileTest, ProjectilesFallUnderGravityAndEndAtTheirExpiry)
{
    world.SpawnBullet(shooter, vec3_c(0.0f, 1000.0f, 0.0f), vec3_c(1.0f, 0.0f, 0.0f), 700.0f);
    world.Process(0.5f);
    ASSERT_EQ(world.GetProjectiles().size(), 1u);
    const projectile_c& bullet = world.GetProjectiles()[0];
    EXPECT_FLOAT_EQ(bullet.position.x, 350.0f);
    EXPECT_FLOAT_EQ(bullet.position.y, 1000.0f); // the old direction moves it
    EXPECT_LT(bullet.direction.y, 0.0f);
    EXPECT_GT(bullet.speed, 700.0f);
    world.Process(1.0f);
    ASSERT_EQ(world.GetProjectiles().size(), 1u); // expiry 1.0 is not earlier than 1.0
    world.Process(1.25f);
    EXPECT_TRUE(world.GetProjectiles().empty());
}

TEST_F(ProjectileTest, BombWithoutGroundExplodesInMidAirAtItsExpiry)
{
    target_c* near = Add(vec3_c(0.0f, -48000.0f, 0.0f));
    world.SpawnBomb(shooter, vec3_c(0.0f, 1000.0f, 0.0f), vec3_c(0.0f, -1.0f, 0.0f), 0.0f);
    for (float time = 1.0f; time <= 100.0f; time += 1.0f)
        world.Process(time);
    ASSERT_EQ(world.GetProjectiles().size(), 1u);
    world.Process(101.0f);

    EXPECT_TRUE(world.GetProjectiles().empty());
    ASSERT_EQ(shooter->impacts.size(), 1u);
    EXPECT_EQ(shooter->impactKinds[0], projectile_bomb);
    EXPECT_LT(shooter->impacts[0].y, -40000.0f);
    (void)near;
}

// The blast reaches every object whose box overlaps the box of half side r
// around the explosion, r = 30 for an Allied shooter and 15 for a German one;
// farther objects are untouched.
TEST_F(ProjectileTest, BombDamageReachesOnlyObjectsWithinTheBlastBox)
{
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer);
    context.terrain = ground.get();
    world.Init(context);
    shooter->side = 1;
    struct case_c {
        float distance;
        bool allied_hit;
        bool german_hit;
    };
    const case_c cases[] = {{0.0f, true, true}, {15.0f, true, true}, {25.0f, true, false}, {40.0f, false, false}};
    for (int german = 0; german < 2; ++german) {
        shooter->side = german ? -1 : 1;
        std::vector<target_c*> targets;
        for (const case_c& c : cases)
            targets.push_back(Add(vec3_c(1000.0f + c.distance, 1.0f, 500.0f * static_cast<float>(german))));
        world.SpawnBomb(shooter, vec3_c(1000.0f, 60.0f, 500.0f * static_cast<float>(german)), vec3_c(0.0f, -1.0f, 0.0f),
                        3.0f);
        Fly();
        for (size_t i = 0; i < targets.size(); ++i) {
            const bool expected = german ? cases[i].german_hit : cases[i].allied_hit;
            ASSERT_EQ(targets[i]->hits.size(), expected ? 1u : 0u)
                << "distance " << cases[i].distance << " german " << german;
            if (expected) {
                EXPECT_FLOAT_EQ(targets[i]->hits[0].amount, 10.0f);
                EXPECT_EQ(targets[i]->hits[0].kind, 6);
            }
            targets[i]->destroyed = 1;
        }
    }
    ASSERT_EQ(shooter->impacts.size(), 2u);
    // The explosion point is where the bomb stood at the end of its last step,
    // just below the ground.
    EXPECT_LE(shooter->impacts[0].y, 0.0f);
    EXPECT_GT(shooter->impacts[0].y, -5.0f);
}

// A flak shell bursts in mid-air at its fuse time; the burst reaches the
// planes whose boxes meet the box of half side 30 (15 for a German gun)
// around its end point, each for the full 10, and nothing beyond.
TEST_F(ProjectileTest, ShellBurstsAtItsFuseAndReachesOnlyWithinTheBlastBox)
{
    const struct {
        int side;
        float offset;
        bool hit;
    } cases[] = {{1, 20.0f, true}, {1, 40.0f, false}, {-1, 10.0f, true}, {-1, 20.0f, false}};
    float x = 0.0f;
    for (const auto& c : cases) {
        x += 2000.0f;
        shooter->side = c.side;
        // 100 units a second for 0.5 s: the burst is near (x, 500, 50).
        target_c* plane = Add(vec3_c(x + c.offset, 500.0f, 50.0f), object_plane_ai, -c.side);
        world.SpawnShell(shooter, vec3_c(x, 500.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 100.0f, 0.5f);
        Fly(0.05f);
        ASSERT_EQ(c.hit ? 1u : 0u, plane->hits.size()) << c.side << " " << c.offset;
        if (c.hit) {
            EXPECT_FLOAT_EQ(10.0f, plane->hits[0].amount);
            EXPECT_EQ(6, plane->hits[0].kind);
            // At the end of the step in which the fuse ran out (5 units a step).
            EXPECT_NEAR(52.5f, plane->hits[0].point.z, 3.0f);
        }
        plane->destroyed = 1;
    }
}

TEST_F(ProjectileTest, BulletIntoTheGroundEndsWithoutExploding)
{
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer);
    context.terrain = ground.get();
    world.Init(context);
    world.SpawnBullet(shooter, vec3_c(0.0f, 10.0f, 0.0f), vec3_c(0.0f, -1.0f, 0.0f), 700.0f);
    world.Process(0.1f);
    EXPECT_TRUE(world.GetProjectiles().empty());
    EXPECT_TRUE(shooter->impacts.empty());
}

TEST_F(ProjectileTest, ShooterLeavingTheWorldLeavesItsProjectilesFlyingWithoutOne)
{
    world.SpawnBomb(shooter, vec3_c(0.0f, 1000.0f, 0.0f), vec3_c(0.0f, -1.0f, 0.0f), 0.0f);
    world.RemoveObject(shooter);
    ASSERT_EQ(world.GetProjectiles().size(), 1u);
    EXPECT_EQ(world.GetProjectiles()[0].shooter, nullptr);
    Fly(1.0f);
    EXPECT_TRUE(world.GetProjectiles().empty());
}

void NoteCall(script_host_c* _host, int, void* _context)
{
    static_cast<std::vector<std::string>*>(_context)->push_back(_host->GetStringArg(1).GetData());
}

// Two shells of 10 each on a bridge of 15 hit points: "_on_hit" twice,
// "_on_destroyed" once, and the bridge's template shows its burned model.
TEST_F(ProjectileTest, HitPointObjectsLoseHitPointsAndBurnAtZero)
{
    std::vector<std::string> calls;
    game_log_c log(false);
    script_host_c script(&log);
    script.Register("note", NoteCall, &calls);
    script.RunBuffer("function bridge_on_hit() note(\"hit\") end\n"
                     "function bridge_on_destroyed() note(\"destroyed\") end\n",
                     false, "test.lua");
    context.script = &script;
    world.Init(context);
    object_template_c tmpl;
    for (const char* name : {"whole", "ruin"}) {
        auto group = std::make_unique<template_group_c>();
        group->name = name;
        group->hasGameObject = 1;
        group->ownedNode = std::make_unique<null_object_c>(name);
        group->node = group->ownedNode.get();
        auto model = std::make_unique<template_model_c>();
        model->name = name == std::string("whole") ? "normal" : "burned";
        model->groups.push_back(group.get());
        tmpl.models.push_back(std::move(model));
        tmpl.groups.push_back(std::move(group));
    }
    marker_object_c bridge("bridge", 0.0f, &renderer, vec3_c(-5.0f, -5.0f, -5.0f), vec3_c(5.0f, 5.0f, 5.0f));
    bridge.position = vec3_c(0.0f, 500.0f, 0.0f);
    hit_point_object_c record;
    record.entity = &bridge;
    record.hitPoints = 15.0f;
    record.normalModel = "normal";
    record.burnedModel = "burned";
    record.tmpl = &tmpl;
    world.hitPointObjects.push_back(record);
    for (int i = 0; i < 3; ++i) {
        world.SpawnShell(shooter, vec3_c(0.0f, 510.0f, 0.0f), vec3_c(1.0f, 0.0f, 0.0f), 10.0f, 0.5f);
        Fly(0.25f);
    }
    EXPECT_FLOAT_EQ(world.hitPointObjects[0].hitPoints, 0.0f);
    EXPECT_EQ(calls, (std::vector<std::string>{"hit", "hit", "destroyed"}));
    EXPECT_TRUE(tmpl.FindGroup("ruin")->node->HasFlags(object_rendered));
    EXPECT_FALSE(tmpl.FindGroup("whole")->node->HasFlags(object_rendered));
}

// The shooter (German, at (0, 100, -50)) fires along +z; a rocket picks the
// enemy nearest to its line within the cone and homes on it.
TEST_F(ProjectileTest, RocketHomesOnTheEnemyNearestItsLineAndBurstsBesideIt)
{
    Add(vec3_c(0.0f, 100.0f, 250.0f), object_car, -1);       // own side
    target_c* wide = Add(vec3_c(300.0f, 100.0f, 250.0f));    // outside the cone
    target_c* chosen = Add(vec3_c(30.0f, 100.0f, 350.0f));   // cosine 0.996
    target_c* farther = Add(vec3_c(-60.0f, 100.0f, 400.0f)); // cosine 0.989
    world.SpawnRocket(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 100.0f);
    ASSERT_EQ(1u, world.GetProjectiles().size());
    EXPECT_EQ(chosen, world.GetProjectiles()[0].target);
    Fly();
    ASSERT_EQ(1u, chosen->hits.size()) << "gravity alone would take it 20 units low and 30 to the side";
    EXPECT_EQ(6, chosen->hits[0].kind);
    EXPECT_LE((chosen->hits[0].point - chosen->GetPosition()).Length(), 5.0f + 4.0f);
    EXPECT_TRUE(wide->hits.empty());
    EXPECT_TRUE(farther->hits.empty());
    EXPECT_EQ(1u, shooter->impacts.size());
}

TEST_F(ProjectileTest, RocketLetsGoOfATargetThatDiesOrLeaves)
{
    target_c* target = Add(vec3_c(0.0f, 100.0f, 300.0f));
    world.SpawnRocket(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 100.0f);
    world.SpawnRocket(nullptr, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 100.0f);
    EXPECT_EQ(nullptr, world.GetProjectiles()[1].target) << "no shooter, no side, no target";
    world.Process(0.5f);
    target->destroyed = 1;
    world.Process(1.0f);
    EXPECT_EQ(nullptr, world.GetProjectiles()[0].target);
    target->destroyed = 0;

    world.SpawnRocket(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 100.0f);
    ASSERT_EQ(target, world.GetProjectiles().back().target);
    world.RemoveObject(target);
    EXPECT_EQ(nullptr, world.GetProjectiles().back().target);
    world.Process(1.5f);
    EXPECT_EQ(3u, world.GetProjectiles().size()) << "flying on";
}

class PooledProjectileTest : public ProjectileTest {
protected:
    memory_file_system_c files;

    void SetUp() override
    {
        ProjectileTest::SetUp();
        const char* templates[] = {"data\\game\\common_objects\\pocisk\\pocisk.op",
                                   "data\\game\\common_objects\\bomba\\bomba.op",
                                   "data\\game\\common_objects\\raca\\raca.op"};
        for (const char* file : templates)
            AddTestTemplate(files.files, file, {test_group_c{"model", true, {}}}, {{"normal", {0}}}, &renderer);
        files.files["data\\game\\common_objects\\fx\\dym_raca.vob"] = Written(null_object_c("smoke"));
        world.LoadProjectileTemplates(&renderer);
    }
};

TEST_F(PooledProjectileTest, ModelsReturnToTheirPoolAndAreReused)
{
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 600.0f);
    ASSERT_NE(world.GetProjectiles()[0].model, nullptr);
    null_object_c* model = world.GetProjectiles()[0].model;
    EXPECT_FLOAT_EQ(model->scale.z, 2.0f);
    EXPECT_TRUE(model->HasFlags(object_rendered));
    Fly(0.5f);
    EXPECT_EQ(world.GetPooledCount(pool_bullets), 1u);
    EXPECT_FALSE(model->HasFlags(object_rendered));

    world.SpawnShell(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 300.0f, 0.2f);
    EXPECT_EQ(world.GetProjectiles()[0].model, model);
    EXPECT_EQ(world.GetPooledCount(pool_bullets), 0u);
}

TEST_F(PooledProjectileTest, RocketSmokeFollowsItAndLingersTwoSeconds)
{
    world.SpawnRocket(shooter, vec3_c(0.0f, 1000.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 100.0f);
    ASSERT_EQ(world.GetSmokeCount(), 1u);
    world.Process(1.0f);
    const null_object_c* rocket = world.GetProjectiles()[0].model;
    EXPECT_FLOAT_EQ(world.GetSmokeEntity(0)->position.z, rocket->position.z);

    for (float time = 2.0f; time <= 61.0f; time += 1.0f)
        world.Process(time);
    ASSERT_TRUE(world.GetProjectiles().empty());
    EXPECT_TRUE(world.IsSmokeActive(0));
    world.Process(62.5f);
    EXPECT_TRUE(world.IsSmokeActive(0));
    world.Process(63.0f);
    EXPECT_FALSE(world.IsSmokeActive(0));
    EXPECT_FALSE(world.GetSmokeEntity(0)->HasFlags(object_rendered));

    world.SpawnRocket(shooter, vec3_c(0.0f, 1000.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 100.0f);
    EXPECT_EQ(world.GetSmokeCount(), 1u);
    EXPECT_TRUE(world.IsSmokeActive(0));
}

} // namespace

namespace {

void AddSoundEffect(parameter_list_c& _list, const char* _event, const char* _file)
{
    auto kind = std::make_unique<parameter_string_c>();
    kind->name = _event;
    kind->value = "sound";
    _list.Add(std::move(kind));
    auto file = std::make_unique<parameter_file_c>();
    file->name = std::string(_event) + "_file";
    file->value = _file;
    _list.Add(std::move(file));
}

// A level with one placed wall (a box 10 wide at z = 100) and one water
// (extent 200 at y = 0, around x = 1000), with effects heard through a
// recording sound system.
class LevelProjectileTest : public ProjectileTest {
protected:
    recording_sound_system_c sound;
    fx_manager_c effects;
    level_scene_c level;
    placed_object_c* wall = nullptr;
    water_record_c* water = nullptr;

    void SetUp() override
    {
        ProjectileTest::SetUp();
        sound.files = {"hit.wav", "fallback.wav", "splash.wav", "plop.wav"};
        effects.Init(&scene, &renderer, &sound);
        auto placed = std::make_unique<placed_object_c>();
        placed->ownedNode = std::make_unique<marker_object_c>("wall", 0.0f, &renderer, vec3_c(-5.0f, 0.0f, -1.0f),
                                                              vec3_c(5.0f, 200.0f, 1.0f));
        placed->node = placed->ownedNode.get();
        placed->node->position = vec3_c(0.0f, 0.0f, 100.0f);
        placed->node->SetVisibility(true, true);
        placed->node->UpdateTransform(nullptr);
        wall = placed.get();
        level.placedObjects.push_back(std::move(placed));
        auto surface = std::make_unique<water_record_c>();
        surface->entity = std::make_unique<water_c>("lake", &renderer);
        surface->entity->SetExtent(200.0f);
        surface->entity->position = vec3_c(1000.0f, 0.0f, 0.0f);
        surface->entity->SetVisibility(true, true);
        surface->entity->UpdateTransform(nullptr);
        AddSoundEffect(surface->parameters, "fx_onBE", "splash.wav");
        AddSoundEffect(surface->parameters, "fx_onHT", "plop.wav");
        water = surface.get();
        level.waters.push_back(std::move(surface));
        context.levelScenes = {&level};
        context.effects = &effects;
        world.Init(context);
    }
    void TearDown() override { effects.Clear(); }
};

TEST_F(LevelProjectileTest, BulletOnAPlacedObjectShowsItsHitEffectOrItsTemplatesFxGroup)
{
    AddSoundEffect(wall->parameters, "fx_onHT", "hit.wav");
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    ASSERT_NE(sound.Find("hit.wav"), nullptr);
    EXPECT_NEAR(sound.Find("hit.wav")->position.z, 99.0f, 0.1f);

    object_template_c tmpl;
    auto group = std::make_unique<template_group_c>();
    group->name = "FX";
    AddSoundEffect(group->parameters, "fx_onHT", "fallback.wav");
    tmpl.groups.push_back(std::move(group));
    wall->parameters.Clear();
    wall->tmpl = &tmpl;
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    EXPECT_NE(sound.Find("fallback.wav"), nullptr);
    wall->tmpl = nullptr;
}

TEST_F(LevelProjectileTest, BombIntoAPlacedObjectExplodesThere)
{
    target_c* near = Add(vec3_c(0.0f, 100.0f, 110.0f));
    world.SpawnBomb(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 200.0f);
    Fly();
    ASSERT_EQ(shooter->impacts.size(), 1u);
    EXPECT_EQ(near->hits.size(), 1u);
}

TEST_F(LevelProjectileTest, BombIntoWaterSplashesAndShowsNoImpact)
{
    world.SpawnBomb(shooter, vec3_c(1000.0f, 50.0f, 0.0f), vec3_c(0.0f, -1.0f, 0.0f), 10.0f);
    Fly();
    EXPECT_NE(sound.Find("splash.wav"), nullptr);
    EXPECT_TRUE(shooter->impacts.empty());

    world.SpawnBullet(shooter, vec3_c(1000.0f, 50.0f, 0.0f), vec3_c(0.0f, -1.0f, 0.0f), 700.0f);
    Fly();
    EXPECT_NE(sound.Find("plop.wav"), nullptr);
}

// A level of placed slabs whose meshes carry white vertex colours at x = 0,
// 10 and 40 (private geometry unless told otherwise).
class ScorchTest : public ProjectileTest {
protected:
    level_scene_c level;
    object_template_c scorching;
    object_template_c plain;

    void SetUp() override
    {
        ProjectileTest::SetUp();
        for (object_template_c* tmpl : {&scorching, &plain}) {
            tmpl->groups.push_back(std::make_unique<template_group_c>());
            tmpl->groups.back()->name = "MainGroup";
        }
        bool scorch = true;
        scorching.groups.front()->parameters.GetSetBool("scorch", &scorch, false);
        context.levelScenes = {&level};
        world.Init(context);
    }

    static std::unique_ptr<geom_object_c> Slab(renderer_c* _renderer, bool _colours = true, bool _private = true)
    {
        geometry_def_c definition("slab geometry");
        definition.format.hasPosition = 1;
        definition.format.hasDiffuse = _colours ? 1 : 0;
        definition.privateGeometry = _private ? 1 : 0;
        auto* triangles = static_cast<triangle_set_c*>(definition.AddPrimitiveSet(new triangle_set_c()));
        for (float x : {0.0f, 10.0f, 40.0f}) {
            vertex_c vertex;
            vertex.position = vec3_c(x, 0.0f, 0.0f);
            vertex.diffuse = 0xffffffffu;
            triangles->vertices.push_back(vertex);
        }
        triangles->indices = {0, 1, 2};
        auto slab = std::make_unique<geom_object_c>("slab", _renderer);
        slab->CreateMesh(_private ? "slab mesh" : "shared slab mesh", definition);
        slab->SetVisibility(true, true);
        slab->UpdateTransform(nullptr);
        return slab;
    }

    // Places _node with _template; returns the slab's vertex colours.
    geom_object_c* Place(std::unique_ptr<null_object_c> _node, object_template_c* _template)
    {
        auto placed = std::make_unique<placed_object_c>();
        placed->node = _node.get();
        placed->ownedNode = std::move(_node);
        placed->tmpl = _template;
        null_object_c* node = placed->node;
        level.placedObjects.push_back(std::move(placed));
        if (auto* group = dynamic_cast<aggregate_c*>(node))
            return dynamic_cast<geom_object_c*>(group->GetObjects().GetFirst());
        return dynamic_cast<geom_object_c*>(node);
    }

    static std::vector<u32> Colours(const geom_object_c* _slab)
    {
        std::vector<u32> colours;
        for (const auto& set : _slab->GetPrimaryMesh()->GetDefinition().primitiveSets)
            for (const vertex_c& vertex : set->vertices)
                colours.push_back(vertex.diffuse);
        return colours;
    }

    void Blast(const vec3_c& _point)
    {
        projectile_c bomb;
        bomb.kind = projectile_bomb;
        world.Explode(nullptr, nullptr, _point, 10.0f, false, bomb);
    }
};

// Radius 30: the vertex at the centre loses 204, the one 10 away
// (1 - 100 / 900) x 204 = 181, the one 40 away nothing; a second blast
// darkens to black and never below.
TEST_F(ScorchTest, ExplosionDarkensVertexColoursByDistance)
{
    geom_object_c* slab = Place(Slab(&renderer), &scorching);
    Blast(vec3_c(0.0f, 0.0f, 0.0f));
    EXPECT_EQ((std::vector<u32>{0xff333333u, 0xff4a4a4au, 0xffffffffu}), Colours(slab));
    Blast(vec3_c(0.0f, 0.0f, 0.0f));
    EXPECT_EQ((std::vector<u32>{0xff000000u, 0xff000000u, 0xffffffffu}), Colours(slab));
}

TEST_F(ScorchTest, OnlyOwnColouredMeshesOfScorchingTemplatesNearTheBlastDarken)
{
    geom_object_c* unmarked = Place(Slab(&renderer), &plain);
    geom_object_c* colourless = Place(Slab(&renderer, false), &scorching);
    geom_object_c* shared = Place(Slab(&renderer, true, false), &scorching);
    std::unique_ptr<geom_object_c> far = Slab(&renderer);
    far->position = vec3_c(0.0f, 0.0f, 500.0f);
    far->UpdateTransform(nullptr);
    geom_object_c* distant = Place(std::move(far), &scorching);
    Blast(vec3_c(0.0f, 0.0f, 0.0f));
    const std::vector<u32> white(3, 0xffffffffu);
    EXPECT_EQ(white, Colours(unmarked));
    EXPECT_EQ(white, Colours(colourless));
    EXPECT_EQ(white, Colours(shared));
    EXPECT_EQ(white, Colours(distant));
}

TEST_F(ScorchTest, AnAggregateScorchesEachOfItsItemsInTheirOwnFrame)
{
    auto group = std::make_unique<aggregate_c>("several groups", &renderer);
    std::unique_ptr<geom_object_c> item = Slab(&renderer);
    item->position = vec3_c(-10.0f, 0.0f, 0.0f);
    group->AddObject(item.release());
    group->UpdateTransform(nullptr);
    group->UpdateTransforms(nullptr);
    geom_object_c* slab = Place(std::move(group), &scorching);
    // At x = 0 in the world: the item's vertex at 10 (local) is the centre.
    Blast(vec3_c(0.0f, 0.0f, 0.0f));
    EXPECT_EQ((std::vector<u32>{0xff4a4a4au, 0xff333333u, 0xffffffffu}), Colours(slab));
}

} // namespace

namespace {

// In a network game the program that owns the shooter decides its hits and
// sends them to the others.
class NetworkProjectileTest : public ProjectileTest {
protected:
    net_game_side_c side{3, 0};

    void Network(int _game_type)
    {
        context.gameType = _game_type;
        context.networkGame = true;
        context.messages = &side.messages;
        world.Init(context);
    }
};

TEST_F(NetworkProjectileTest, PlayersBulletHitIsSentInTheVictimsFrame)
{
    Network(3);
    target_c* target = Add(vec3_c(0.0f, 100.0f, 100.0f));
    target->marker.rotation = vec3_c(0.7f, 0.0f, 0.0f);
    target->marker.UpdateTransform(nullptr);
    world.SpawnBullet(shooter, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    ASSERT_EQ(target->hits.size(), 1u);
    const auto sent = side.recording.Sent(net_hit);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0]->relay);
    net_message_c body = sent[0]->body;
    body.Rewind();
    EXPECT_EQ(body.ReadU16(), 0);
    EXPECT_EQ(body.ReadU32(), 0xFFFFFFFFu);
    // A vehicle is no plane: the victim fields name none.
    EXPECT_EQ(body.ReadU16(), 0xFFFF);
    EXPECT_EQ(body.ReadU32(), 0xFFFFFFFFu);
    const vec3_c local = body.ReadVec3();
    const vec3_c back = FromObjectFrame(*target, local);
    EXPECT_NEAR(back.x, target->hits[0].point.x, 1e-3f);
    EXPECT_NEAR(back.y, target->hits[0].point.y, 1e-3f);
    EXPECT_NEAR(back.z, target->hits[0].point.z, 1e-3f);
}

TEST_F(NetworkProjectileTest, ComputerPlaneBulletsOnAJoinedProgramDecideNothing)
{
    Network(4);
    target_c* gunner = Add(vec3_c(0.0f, 100.0f, -50.0f), object_plane_ai, -1);
    target_c* target = Add(vec3_c(0.0f, 100.0f, 100.0f));
    world.SpawnBullet(gunner, vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f), 700.0f);
    Fly();
    EXPECT_TRUE(target->hits.empty());
    EXPECT_TRUE(side.recording.Sent(net_hit).empty());
}

} // namespace
