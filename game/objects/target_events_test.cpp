#include "game/objects/target_events.h"

#include "engine/testing/marker_object.h"
#include "engine/testing/recording_renderer.h"
#include "game/game_world.h"
#include "game/objects/aagun.h"
#include "game/objects/balloon.h"
#include "game/objects/flak.h"
#include "game/testing/recording_sound.h"
#include "level/object_template.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

// A model whose body (the entity) is a box of half side 3 at the origin and
// whose optional "mask" group is a box of half side 1 at x = 10.
class TargetModel : public ::testing::Test {
protected:
    recording_renderer_c renderer;
    marker_object_c body{"body", 0.0f, &renderer, vec3_c(-3.0f, -3.0f, -3.0f), vec3_c(3.0f, 3.0f, 3.0f)};
    object_template_c tmpl;

    void SetUp() override
    {
        body.SetVisibility(true, true);
        body.UpdateTransform(nullptr);
    }

    template_group_c& AddGroup(const char* _name)
    {
        tmpl.groups.push_back(std::make_unique<template_group_c>());
        tmpl.groups.back()->name = _name;
        return *tmpl.groups.back();
    }

    null_object_c* AddMask(bool _has_game_object = true)
    {
        template_group_c& mask = AddGroup("mask");
        auto node = std::make_unique<marker_object_c>("mask", 1.0f, &renderer, vec3_c(-1.0f, -1.0f, -1.0f),
                                                      vec3_c(1.0f, 1.0f, 1.0f));
        node->position = vec3_c(10.0f, 0.0f, 0.0f);
        node->SetVisibility(true, true);
        node->UpdateTransform(nullptr);
        mask.hasGameObject = _has_game_object ? 1 : 0;
        mask.node = node.get();
        mask.ownedNode = std::move(node);
        return mask.node;
    }
};

TEST_F(TargetModel, CollisionNodeIsTheMaskGroupsThenTheEntity)
{
    EXPECT_EQ(&body, CollisionNode(nullptr, &body));
    EXPECT_EQ(&body, CollisionNode(&tmpl, &body)) << "no mask group, no template node";
    AddGroup("MainGroup");
    null_object_c* mask = AddMask(false);
    EXPECT_EQ(&body, CollisionNode(&tmpl, &body)) << "a mask group without a game object";
    tmpl.groups.back()->hasGameObject = 1;
    EXPECT_EQ(mask, CollisionNode(&tmpl, &body));
    EXPECT_EQ(nullptr, CollisionNode(nullptr, nullptr));
}

// Anti-aircraft guns, flak cannons and balloons are hit through their
// "mask" group; without one, through their whole model.
TEST_F(TargetModel, GroundTargetsAreHitThroughTheirMaskGroup)
{
    using make_t = std::function<std::unique_ptr<game_object_c>(object_template_c*, null_object_c*)>;
    const struct {
        const char* kind;
        make_t make;
    } kinds[] = {
        {"aagun",
         [](object_template_c* _t, null_object_c* _n) {
             auto gun = std::make_unique<game_object_aagun_c>();
             gun->Init(_t, _n);
             return std::unique_ptr<game_object_c>(std::move(gun));
         }},
        {"flak",
         [](object_template_c* _t, null_object_c* _n) {
             auto flak = std::make_unique<game_object_flak_c>();
             flak->Init(_t, _n);
             return std::unique_ptr<game_object_c>(std::move(flak));
         }},
        {"balloon",
         [](object_template_c* _t, null_object_c* _n) {
             auto balloon = std::make_unique<game_object_balloon_c>();
             balloon->Init(0.0f, _t, _n);
             return std::unique_ptr<game_object_c>(std::move(balloon));
         }},
    };
    const ray_c throughBody(vec3_c(0.0f, 0.0f, -50.0f), vec3_c(0.0f, 0.0f, 1.0f));
    const ray_c throughMask(vec3_c(10.0f, 0.0f, -50.0f), vec3_c(0.0f, 0.0f, 1.0f));
    float distance = 0.0f;
    vec3_c normal;
    for (const auto& kind : kinds) {
        std::unique_ptr<game_object_c> plain = kind.make(&tmpl, &body);
        EXPECT_TRUE(plain->IntersectRay(distance, normal, throughBody, true, true, 100.0f)) << kind.kind;
        EXPECT_FALSE(plain->IntersectRay(distance, normal, throughMask, true, true, 100.0f)) << kind.kind;
    }
    AddMask();
    for (const auto& kind : kinds) {
        std::unique_ptr<game_object_c> masked = kind.make(&tmpl, &body);
        EXPECT_FALSE(masked->IntersectRay(distance, normal, throughBody, true, true, 100.0f)) << kind.kind;
        ASSERT_TRUE(masked->IntersectRay(distance, normal, throughMask, true, true, 100.0f)) << kind.kind;
        EXPECT_NEAR(49.0f, distance, 1e-3f) << kind.kind;
    }
}

// A plane that stands in front of the guns.
class standing_enemy_c : public game_object_c {
public:
    standing_enemy_c() { side = 1; }
    int GetType() const override { return object_plane_ai; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
    vec3_c GetPosition() const override { return vec3_c(0.0f, 50.0f, 100.0f); }
};

class ShotSound : public TargetModel {
protected:
    // Before the world, whose guns own sources of it.
    recording_sound_system_c sound;
    game_world_c world;

    void SetUp() override
    {
        TargetModel::SetUp();
        world.Init(game_world_context_c());
        sound.files = {"shot.wav"};
    }

    // "MainGroup" with the shot-sound description of _event.
    void Describe(const char* _event, bool _with_file = true)
    {
        parameter_list_c& keys = AddGroup("MainGroup").parameters;
        i32 iff = -1;
        keys.GetSetInt("iff", &iff, false, -1, 1);
        auto kind = std::make_unique<parameter_string_c>();
        kind->name = _event;
        kind->value = "sound";
        keys.Add(std::move(kind));
        const std::string prefix(_event);
        if (_with_file) {
            string_c file = "shot.wav";
            keys.GetSetString((prefix + "_file").c_str(), &file, false);
        }
        f32 distance = 35.0f;
        keys.GetSetFloat((prefix + "_distance").c_str(), &distance, false, 0.0f, 100.0f);
        bool looped = true;
        keys.GetSetBool((prefix + "_looped").c_str(), &looped, false);
    }

    // Fires with a target in sight for 20 s; the sound's plays and stops.
    void Fight(gun_shooter_c& _gun)
    {
        _gun.guns[0].target = world.AddPlane(std::make_unique<standing_enemy_c>());
        for (float t = 0.5f; t <= 20.0f; t += 0.25f)
            _gun.UpdateGuns(t);
    }
};

TEST_F(ShotSound, AnAagunsSoundComesFromItsShotDescriptionAndPlaysInBursts)
{
    Describe("fx_onSH");
    auto gun = std::make_unique<game_object_aagun_c>();
    gun->Init(&tmpl, &body, &sound);
    gun->SetGunParameters(1.2f, 3.0f, 3, 1.0f, -1.0f);
    const recording_source_c* source = sound.Find("shot.wav");
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(source, gun->guns[0].shotSound);
    EXPECT_FLOAT_EQ(35.0f, source->distance);
    EXPECT_TRUE(source->looping);
    EXPECT_FALSE(source->playing);
    auto* placed = static_cast<game_object_aagun_c*>(world.AddObject(std::move(gun)));
    Fight(*placed);
    // Bursts of three shots a second apart, more than three seconds between.
    EXPECT_GE(source->plays, 3);
    EXPECT_GE(source->stops, 3);
}

TEST_F(ShotSound, AFlaksSoundComesFromItsAttackDescription)
{
    Describe("fx_onAT");
    auto flak = std::make_unique<game_object_flak_c>();
    flak->Init(&tmpl, &body, &sound);
    const recording_source_c* source = sound.Find("shot.wav");
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(source, flak->guns[0].shotSound);
    auto* placed = static_cast<game_object_flak_c*>(world.AddObject(std::move(flak)));
    Fight(*placed);
    EXPECT_GE(source->plays, 3);
    EXPECT_GE(source->stops, 3);
}

TEST_F(ShotSound, WithoutADescriptionOrAFileTheGunShootsSilently)
{
    Describe("fx_onAT"); // not the aagun's event
    auto gun = std::make_unique<game_object_aagun_c>();
    gun->Init(&tmpl, &body, &sound);
    EXPECT_EQ(nullptr, gun->guns[0].shotSound);
    tmpl.groups.clear();
    Describe("fx_onSH");
    auto deaf = std::make_unique<game_object_aagun_c>();
    deaf->Init(&tmpl, &body, nullptr);
    EXPECT_EQ(nullptr, deaf->guns[0].shotSound) << "no sound device";
    tmpl.groups.clear();
    Describe("fx_onSH", false);
    auto fileless = std::make_unique<game_object_aagun_c>();
    fileless->Init(&tmpl, &body, &sound);
    EXPECT_EQ(nullptr, fileless->guns[0].shotSound) << "no file";
    EXPECT_TRUE(sound.made.empty());
}

} // namespace
