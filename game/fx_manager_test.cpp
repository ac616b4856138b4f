#include "game/fx_manager.h"

#include "engine/aggregate.h"
#include "engine/primitive_set.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "game/testing/recording_sound.h"
#include "level/parameter_list.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

void AddString(parameter_list_c& _list, const char* _name, const char* _value)
{
    auto parameter = std::make_unique<parameter_string_c>();
    parameter->name = _name;
    parameter->value = _value;
    _list.Add(std::move(parameter));
}

void AddFile(parameter_list_c& _list, const char* _name, const char* _value)
{
    auto parameter = std::make_unique<parameter_file_c>();
    parameter->name = _name;
    parameter->value = _value;
    _list.Add(std::move(parameter));
}

void AddFloat(parameter_list_c& _list, const char* _name, float _value)
{
    _list.GetSetFloat(_name, &_value, false, -1.0e30f, 1.0e30f);
}

class FxManagerTest : public ::testing::Test {
protected:
    recording_renderer_c renderer;
    aggregate_c scene{"game scene", &renderer};
    recording_sound_system_c sound;
    null_object_c owner{"owner"};
    fx_manager_c manager;
    parameter_list_c parameters;

    void SetUp() override
    {
        manager.Init(&scene, &renderer, &sound);
        sound.files = {"boom.wav", "hiss.wav"};
        owner.position = vec3_c(10.0f, 0.0f, 0.0f);
        owner.UpdateTransform(nullptr);
    }
    void TearDown() override { manager.Clear(); }

    bool Create(const char* _event, const vec3_c& _direction = vec3_c(0.0f, 1.0f, 0.0f))
    {
        return manager.CreateEffects(&owner, vec3_c(12.0f, 0.0f, 0.0f), _direction, false, &parameters, _event);
    }
};

TEST_F(FxManagerTest, SoundWithoutOptionalKeysHasDefaultRangeLoopAndLife)
{
    AddString(parameters, "fx_onEX", "sound");
    AddFile(parameters, "fx_onEX_file", "boom.wav");

    ASSERT_TRUE(Create("fx_onEX"));
    ASSERT_EQ(manager.GetEffectCount(), 1u);
    auto* effect = static_cast<fx_object_sound_c*>(manager.GetEffect(0));
    EXPECT_EQ(effect->GetType(), fx_type_sound);
    EXPECT_FLOAT_EQ(effect->GetLife(), 1.0e16f);
    auto* source = sound.Find("boom.wav");
    ASSERT_NE(source, nullptr);
    EXPECT_FLOAT_EQ(source->distance, 10.0f);
    EXPECT_FALSE(source->looping);
    EXPECT_TRUE(source->playing);
    EXPECT_FLOAT_EQ(source->position.x, 12.0f);
}

TEST_F(FxManagerTest, SoundFollowsItsOwner)
{
    AddString(parameters, "fx_onHT", "sound");
    AddFile(parameters, "fx_onHT_file", "hiss.wav");
    AddFloat(parameters, "fx_onHT_distance", 40.0f);
    ASSERT_TRUE(Create("fx_onHT"));

    owner.position = vec3_c(110.0f, 5.0f, 0.0f);
    owner.UpdateTransform(nullptr);
    manager.Update(1.0f);

    const auto* source = sound.Find("hiss.wav");
    EXPECT_FLOAT_EQ(source->distance, 40.0f);
    EXPECT_FLOAT_EQ(source->position.x, 112.0f);
    EXPECT_FLOAT_EQ(source->position.y, 5.0f);
}

TEST_F(FxManagerTest, EventNamesMatchWithTheirCaseAndKindsExactly)
{
    AddString(parameters, "FX_ONHT", "sound");
    AddFile(parameters, "FX_ONHT_file", "boom.wav");
    AddString(parameters, "fx_onHT", "Sound");
    AddFile(parameters, "fx_onHT_file", "boom.wav");

    EXPECT_FALSE(Create("fx_onHT"));
    EXPECT_EQ(manager.GetEffectCount(), 0u);
}

TEST_F(FxManagerTest, EveryDescriptionOfTheEventMakesAnEffectWithItsOwnKeys)
{
    AddString(parameters, "fx_onEX", "sound");
    AddFile(parameters, "fx_onEX_file", "boom.wav");
    AddFloat(parameters, "fx_onEX_life", 3.0f);
    AddString(parameters, "fx_onEX", "sound");
    AddFile(parameters, "fx_onEX_file", "hiss.wav");

    ASSERT_TRUE(Create("fx_onEX"));
    ASSERT_EQ(manager.GetEffectCount(), 2u);
    EXPECT_FLOAT_EQ(manager.GetEffect(0)->GetLife(), 3.0f);
    EXPECT_FLOAT_EQ(manager.GetEffect(1)->GetLife(), 1.0e16f);
    EXPECT_NE(sound.Find("hiss.wav"), nullptr);
}

TEST_F(FxManagerTest, EffectsThatCannotBeMadeAreReportedAsNotMade)
{
    AddString(parameters, "fx_onEX", "sound"); // no file key
    AddString(parameters, "fx_onEX", "vob");
    AddString(parameters, "fx_onEX_file", "explosion.vob"); // a string, not a file
    AddString(parameters, "fx_onBE", "sound");
    AddFile(parameters, "fx_onBE_file", "missing.wav");
    AddString(parameters, "fx_onCR", "vob");
    AddFile(parameters, "fx_onCR_file", "missing.vob");

    EXPECT_FALSE(Create("fx_onEX"));
    EXPECT_FALSE(Create("fx_onBE"));
    EXPECT_FALSE(Create("fx_onCR"));
    EXPECT_EQ(manager.GetEffectCount(), 0u);
    EXPECT_FALSE(manager.CreateEffects(&owner, vec3_c(), vec3_c(), false, nullptr, "fx_onEX"));
}

TEST_F(FxManagerTest, EffectEndsWhenItsAgeReachesItsLife)
{
    AddString(parameters, "fx_onEX", "sound");
    AddFile(parameters, "fx_onEX_file", "boom.wav");
    AddFloat(parameters, "fx_onEX_life", 2.0f);
    ASSERT_TRUE(Create("fx_onEX"));

    manager.Update(10.0f);
    EXPECT_FLOAT_EQ(manager.GetEffect(0)->GetAge(), 0.0f);
    manager.Update(11.0f);
    ASSERT_EQ(manager.GetEffectCount(), 1u);
    EXPECT_FLOAT_EQ(manager.GetEffect(0)->GetAge(), 1.0f);
    manager.Update(12.5f);
    EXPECT_EQ(manager.GetEffectCount(), 0u);
    EXPECT_EQ(sound.made.size(), 0u); // the source went with the effect
}

TEST_F(FxManagerTest, ExpiringAnOwnerEndsAllItsEffectsAtTheNextUpdate)
{
    AddString(parameters, "fx_onEX", "sound");
    AddFile(parameters, "fx_onEX_file", "boom.wav");
    ASSERT_TRUE(Create("fx_onEX"));
    ASSERT_TRUE(Create("fx_onEX"));
    null_object_c other("other");
    ASSERT_TRUE(manager.CreateEffects(&other, vec3_c(), vec3_c(), true, &parameters, "fx_onEX"));
    manager.Update(1.0f);

    manager.ExpireEffectsOf(&owner);
    manager.Update(1.0f);

    ASSERT_EQ(manager.GetEffectCount(), 1u);
    EXPECT_EQ(manager.GetEffect(0)->GetOwner(), &other);
}

TEST_F(FxManagerTest, ClearDestroysWhatItDrops)
{
    AddString(parameters, "fx_onEX", "sound");
    AddFile(parameters, "fx_onEX_file", "boom.wav");
    ASSERT_TRUE(Create("fx_onEX"));
    ASSERT_EQ(sound.made.size(), 1u);

    manager.Clear();

    EXPECT_EQ(manager.GetEffectCount(), 0u);
    EXPECT_EQ(sound.made.size(), 0u);
    EXPECT_EQ(sound.deleted, 1);
}

TEST(EventEffectNames, TableAndOutOfRangeKinds)
{
    EXPECT_STREQ(GetEventEffectName(fx_event_hit), "fx_onHT");
    EXPECT_STREQ(GetEventEffectName(fx_event_bomb), "fx_onBE");
    EXPECT_STREQ(GetEventEffectName(fx_event_rocket), "fx_onRE");
    EXPECT_EQ(GetEventEffectName(-1), nullptr);
    EXPECT_EQ(GetEventEffectName(fx_event_count), nullptr);
}

class FxDecalTest : public FxManagerTest {
protected:
    memory_file_system_c files;

    void SetUp() override
    {
        FxManagerTest::SetUp();
        files.files["hole.bmp"] = PictureBytes(4, 4, format_x8r8g8b8, 0xff202020);
        AddString(parameters, "fx_onHT", "decal");
        AddFile(parameters, "fx_onHT_texture", "hole.bmp");
        AddFloat(parameters, "fx_onHT_size", 2.0f);
    }
    const fx_object_decal_c* Decal() const { return static_cast<const fx_object_decal_c*>(manager.GetEffect(0)); }
};

TEST_F(FxDecalTest, FortyEventsOnOneOwnerKeepTheLastThirtyTwoQuads)
{
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(manager.CreateEffects(&owner, vec3_c(10.0f + static_cast<float>(i), 0.0f, 0.0f),
                                          vec3_c(0.0f, 1.0f, 0.0f), false, &parameters, "fx_onHT"));

    ASSERT_EQ(manager.GetEffectCount(), 1u);
    EXPECT_EQ(Decal()->GetQuadCount(), 32u);
    EXPECT_EQ(Decal()->GetNextQuad(), 8u);
    const triangle_set_c* triangles = Decal()->GetTriangles();
    ASSERT_EQ(triangles->vertices.size(), 128u);
    // Slot 0 now holds event 32 (owner frame: x = 32), slot 7 event 39.
    const float centre0 = (triangles->vertices[0].position.x + triangles->vertices[2].position.x) * 0.5f;
    const float centre7 = (triangles->vertices[28].position.x + triangles->vertices[30].position.x) * 0.5f;
    EXPECT_NEAR(centre0, 32.0f, 1e-4f);
    EXPECT_NEAR(centre7, 39.0f, 1e-4f);
    EXPECT_NE(Decal()->GetSceneObject(), nullptr);
}

// The quad lies 0.01 above the point along the normal, has the decal's size,
// and its first triangle faces along the normal, under both axis rules.
TEST_F(FxDecalTest, QuadFacesAlongTheNormalUnderBothRules)
{
    const vec3_c normals[] = {vec3_c(0.0f, 1.0f, 0.0f), vec3_c(1.0f, 0.0f, 0.0f), vec3_c(-1.0f, 0.0f, 0.0f),
                              vec3_c(0.0f, 0.0f, 1.0f)};
    for (const vec3_c& n : normals) {
        manager.Clear();
        ASSERT_TRUE(Create("fx_onHT", n));
        const triangle_set_c* triangles = Decal()->GetTriangles();
        const vec3_c& a = triangles->vertices[triangles->indices[0]].position;
        const vec3_c& b = triangles->vertices[triangles->indices[1]].position;
        const vec3_c& c = triangles->vertices[triangles->indices[2]].position;
        vec3_c face;
        face.Cross(b - a, c - a);
        EXPECT_GT(Dot(face, n), 0.0f) << n.x << " " << n.y << " " << n.z;
        const vec3_c side = triangles->vertices[1].position - triangles->vertices[0].position;
        EXPECT_NEAR(side.Length(), 2.0f, 1e-4f);
        vec3_c centre = (triangles->vertices[0].position + triangles->vertices[2].position) * 0.5f;
        EXPECT_NEAR(Dot(centre - vec3_c(2.0f, 0.0f, 0.0f), n), 0.01f, 1e-5f);
    }
}

} // namespace
