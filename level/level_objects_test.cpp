#include "level/control_point_object.h"
#include "level/emitter_object.h"
#include "level/flare_object.h"
#include "level/sprite_object.h"
#include "level/testing/chunk_bytes.h"
#include "level/testing/level_fixtures.h"
#include "level/vob_object.h"
#include "level/walk_path.h"
#include "level/chunk_saver.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Writes _object as the "parO" chunk's "obj" would hold it and reads it back
// into a new object of the stored class.
std::unique_ptr<parameter_object_c> RoundTrip(parameter_object_c& _object)
{
    const bytes_t bytes = WriteBytes([&](CChunkSaver& _saver) {
        if (_saver.Begin("obj")) {
            u32 type = static_cast<u32>(_object.GetType());
            _saver.LeafU32("type", type);
            _object.Serialize(_saver, 0, nullptr);
        }
        _saver.End();
    });
    std::unique_ptr<parameter_object_c> read;
    ReadBytes(bytes, [&](CChunkSaver& _saver) {
        if (_saver.Begin("obj")) {
            u32 type = 0;
            _saver.LeafU32("type", type);
            read = CreateParameterObject(static_cast<int>(type));
            if (read)
                read->Serialize(_saver, 0, nullptr);
        }
        _saver.End();
    });
    return read;
}

} // namespace

TEST(LevelObjects, FactoryMakesClassesOneToSevenOnly)
{
    struct {
        int id;
        const char* name;
    } const cases[] = {
        {1, "Walk Path"},  {2, "Emitter"}, {3, "Sprite"},        {4, "Flare"},
        {5, "AnimSprite"}, {6, "VOB"},     {7, "Control Point"},
    };
    for (const auto& c : cases) {
        auto object = CreateParameterObject(c.id);
        ASSERT_NE(object, nullptr) << c.id;
        EXPECT_EQ(c.id, object->GetType());
        EXPECT_STREQ(c.name, object->GetTypeName());
    }
    EXPECT_EQ(CreateParameterObject(0), nullptr);
    EXPECT_EQ(CreateParameterObject(8), nullptr);
    EXPECT_EQ(CreateParameterObject(-1), nullptr);
}

TEST(LevelObjects, ControlPointShapes)
{
    struct {
        i32 shape;
        vec3_c point;
        bool inside;
    } const cases[] = {
        {0, {0, 9.99f, 0}, true}, {0, {0, 10, 0}, false},   {0, {6, 0, 8}, false}, {1, {3, 500, 4}, true},
        {1, {6, 0, 8}, false},    {1, {0, -1e6f, 0}, true}, {2, {0, 0, 0}, false}, {-1, {0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        control_point_object_c point;
        point.shape = c.shape;
        point.size = 10.0f;
        EXPECT_EQ(c.inside, point.Contains(c.point))
            << "shape " << c.shape << " at " << c.point.x << ", " << c.point.y << ", " << c.point.z;
    }
}

TEST(LevelObjects, StraightPathMeasuresToItsLastSample)
{
    auto path = MakeTestPath("road", {{0, 0, 0}, {10, 0, 0}});
    path->MeasureLength();
    // 99 chords of 0.1: the last hundredth of the only interval is not counted.
    EXPECT_NEAR(9.9f, path->pathLength, 1e-4f);
    EXPECT_FLOAT_EQ(0.0f, path->envelopes[0].keys[0].time);
    EXPECT_FLOAT_EQ(1.0f, path->envelopes[2].keys[1].time);
}

TEST(LevelObjects, BentPathGivesKeysTheirShareOfTheLength)
{
    auto path = MakeTestPath("road", {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
    path->position = vec3_c(100, 5, 0);
    path->MeasureLength();
    // First interval 9.9; the second adds the chord 0.1 to its first key
    // and 9.9 of its own.
    EXPECT_NEAR(19.9f, path->pathLength, 1e-4f);
    const f32 middle = path->envelopes[0].keys[1].time;
    EXPECT_NEAR(9.9f / 19.9f, middle, 1e-5f);
    const vec3_c at_middle = path->GetPositionAt(middle);
    EXPECT_NEAR(110.0f, at_middle.x, 1e-4f);
    EXPECT_NEAR(5.0f, at_middle.y, 1e-4f);
    EXPECT_NEAR(0.0f, at_middle.z, 1e-4f);
    const vec3_c quarter = path->GetPositionAt(middle / 2.0f);
    EXPECT_NEAR(105.0f, quarter.x, 1e-3f);
    const vec3_c end = path->GetPositionAt(1.0f);
    EXPECT_NEAR(110.0f, end.x, 1e-4f);
    EXPECT_NEAR(10.0f, end.z, 1e-4f);
}

TEST(LevelObjects, PathOfOnePointGivesEvenKeyTimesNotNaN)
{
    auto path = MakeTestPath("still", {{3, 3, 3}, {3, 3, 3}, {3, 3, 3}});
    path->MeasureLength();
    EXPECT_EQ(0.0f, path->pathLength);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(0.5f * static_cast<f32>(i), path->envelopes[1].keys[i].time);
    }
    const vec3_c p = path->GetPositionAt(0.25f);
    EXPECT_FALSE(std::isnan(p.x));
    EXPECT_FLOAT_EQ(3.0f, p.x);
}

TEST(LevelObjects, PathWithOneKeyKeepsItsTime)
{
    auto path = MakeTestPath("dot", {{1, 2, 3}});
    path->envelopes[0].keys[0].time = 4.0f;
    path->MeasureLength();
    EXPECT_EQ(0.0f, path->pathLength);
    EXPECT_EQ(4.0f, path->envelopes[0].keys[0].time);
}

TEST(LevelObjects, WalkPathIsStoredMeasuredAndEditedByIndex)
{
    auto path = MakeTestPath("convoy", {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
    path->visibleKeyScale = 2.0f;
    path->keyInterpolation = 3;
    path->snapKeysToGround = 1;
    auto read = RoundTrip(*path);
    // The writer goes back to key indices once written.
    EXPECT_EQ(1.0f, path->envelopes[0].keys[1].time);
    EXPECT_EQ(2.0f, path->envelopes[0].keys[2].time);
    auto* copy = dynamic_cast<walk_path_c*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ("convoy", copy->name);
    EXPECT_NEAR(19.9f, copy->pathLength, 1e-4f);
    EXPECT_EQ(2.0f, copy->visibleKeyScale);
    EXPECT_EQ(3, copy->keyInterpolation);
    EXPECT_EQ(1, copy->snapKeysToGround);
    ASSERT_EQ(3u, copy->GetKeyCount());
    EXPECT_FLOAT_EQ(1.0f, copy->envelopes[1].keys[2].time);
    for (const envelope_c& envelope : copy->envelopes)
        EXPECT_EQ(behaviour_linear, envelope.post);
    EXPECT_NEAR(10.0f, copy->GetPositionAt(1.0f).z, 1e-4f);
}

TEST(LevelObjects, ControlPointRoundTrip)
{
    control_point_object_c point;
    point.name = "bridge";
    point.position = vec3_c(1, 2, 3);
    point.activationOrder = 2;
    point.shape = control_point_object_c::shape_column;
    point.size = 40.0f;
    point.activationCounter = 3;
    point.activationSpeed = 25.0f;
    point.id = 9;
    point.script = "data\\game\\cp.lua";
    i32 extra = 5;
    point.parameters.GetSetInt("extra", &extra, false, 0, 10);
    auto read = RoundTrip(point);
    auto* copy = dynamic_cast<control_point_object_c*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ("bridge", copy->name);
    EXPECT_EQ(3.0f, copy->position.z);
    EXPECT_EQ(2, copy->activationOrder);
    EXPECT_EQ(1, copy->shape);
    EXPECT_EQ(40.0f, copy->size);
    EXPECT_EQ(3, copy->activationCounter);
    EXPECT_EQ(25.0f, copy->activationSpeed);
    EXPECT_EQ(9, copy->id);
    EXPECT_STREQ("data\\game\\cp.lua", copy->script.GetData());
    EXPECT_EQ(0, copy->occupied);
    ASSERT_EQ(1u, copy->parameters.Count());
    i32 value = 0;
    EXPECT_TRUE(copy->parameters.GetSetInt("EXTRA", &value, true, 0, 0));
    EXPECT_EQ(5, value);
}

TEST(LevelObjects, EffectObjectsRoundTripWithTheirChannels)
{
    emitter_object_c emitter;
    emitter.name = "smoke";
    emitter.particleCount = 42.0f;
    emitter.explosion = 1;
    emitter.colorEnd = vec3_c(0.5f, 0.25f, 1.0f);
    emitter.lifetimeMax = 3.0f;
    emitter.texture = "smoke.tga";
    emitter.CreateChannels();
    emitter.GetChannels()[9]->keys.push_back({0.75f, 2.0f});
    auto read = RoundTrip(emitter);
    auto* e = dynamic_cast<emitter_object_c*>(read.get());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(42.0f, e->particleCount);
    EXPECT_EQ(1, e->explosion);
    EXPECT_EQ(0.25f, e->colorEnd.y);
    EXPECT_EQ(3.0f, e->lifetimeMax);
    EXPECT_STREQ("smoke.tga", e->texture.GetData());
    ASSERT_EQ(16u, e->GetChannels().size());
    EXPECT_STREQ("smoke.Dissolve", e->GetChannels()[9]->name.GetData());
    ASSERT_EQ(2u, e->GetChannels()[9]->keys.size());
    EXPECT_EQ(0.75f, e->GetChannels()[9]->keys[1].value);
    EXPECT_STREQ("smoke.Lifetime.Max", e->GetChannels()[15]->name.GetData());

    flare_object_c flare;
    flare.name = "sun";
    flare.intensity = 0.5f;
    flare.textureSize = 128;
    flare.definition.rayCount = 6;
    flare.definition.glowColor[1] = 0.5f;
    auto flareRead = RoundTrip(flare);
    auto* f = dynamic_cast<flare_object_c*>(flareRead.get());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(0.5f, f->intensity);
    EXPECT_EQ(128, f->textureSize);
    EXPECT_EQ(6, f->definition.rayCount);
    EXPECT_EQ(0.5f, f->definition.glowColor[1]);
    EXPECT_EQ(1, f->afBF);
    EXPECT_EQ(11u, f->GetChannels().size());

    animsprite_object_c anim;
    anim.name = "fire";
    anim.textures = "a.tga|b.tga";
    anim.framesPerSecond = 24.0f;
    anim.bidirectional = 1;
    auto animRead = RoundTrip(anim);
    auto* a = dynamic_cast<animsprite_object_c*>(animRead.get());
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ("a.tga|b.tga", a->textures.GetData());
    EXPECT_EQ(24.0f, a->framesPerSecond);
    EXPECT_EQ(1, a->bidirectional);

    sprite_object_c sprite;
    sprite.name = "lamp";
    sprite.alphaThreshold = 0.25f;
    sprite.depthTest = 0;
    auto spriteRead = RoundTrip(sprite);
    auto* s = dynamic_cast<sprite_object_c*>(spriteRead.get());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(0.25f, s->alphaThreshold);
    EXPECT_EQ(0, s->depthTest);

    vob_object_c vob;
    vob.name = "tower";
    vob.fileName = "tower.vob";
    auto vobRead = RoundTrip(vob);
    auto* v = dynamic_cast<vob_object_c*>(vobRead.get());
    ASSERT_NE(v, nullptr);
    EXPECT_STREQ("tower.vob", v->fileName.GetData());
}

TEST(LevelObjects, ChannelsDriveTheirMembersOverTime)
{
    sprite_object_c sprite;
    sprite.name = "s";
    sprite.CreateChannels();
    ASSERT_EQ(10u, sprite.GetChannels().size());
    EXPECT_STREQ("s.Position.X", sprite.GetChannels()[0]->name.GetData());
    EXPECT_STREQ("s.Rotation.B", sprite.GetChannels()[5]->name.GetData());
    EXPECT_STREQ("s.Scale.Z", sprite.GetChannels()[8]->name.GetData());
    object_channel_c& x = *sprite.GetChannels()[0];
    x.keys[0].shape = shape_linear;
    x.keys.push_back({10.0f, 2.0f, shape_linear});
    object_channel_c& dissolve = *sprite.GetChannels()[9];
    dissolve.keys.push_back({1.0f, 1.0f, shape_linear});
    sprite.Update(0.5f);
    EXPECT_FLOAT_EQ(2.5f, sprite.position.x);
    EXPECT_FLOAT_EQ(0.5f, sprite.dissolve);
    EXPECT_EQ(1.0f, sprite.scale.y);
    sprite.Update(2.0f);
    EXPECT_FLOAT_EQ(10.0f, sprite.position.x);
    EXPECT_FLOAT_EQ(1.0f, sprite.dissolve);
}

TEST(LevelObjects, ExportReplacesOrAddsToTheList)
{
    parameter_list_c list;
    i32 other = 1;
    list.GetSetInt("Other", &other, false, 0, 1);

    animsprite_object_c anim;
    anim.CreateChannels();
    anim.ExchangeParameters(list, false);
    EXPECT_EQ(nullptr, list.Find("Other"));
    EXPECT_NE(nullptr, list.Find("Texture#multi"));
    EXPECT_EQ(12u, list.Count());

    parameter_list_c cpList;
    cpList.GetSetInt("Other", &other, false, 0, 1);
    control_point_object_c point;
    point.ExchangeParameters(cpList, false);
    EXPECT_EQ(8u, cpList.Count());
    i32 id = 12;
    cpList.GetSetInt("ID", &id, false, 0, 100);
    point.ExchangeParameters(cpList, true);
    EXPECT_EQ(12, point.id);
    EXPECT_EQ(8u, cpList.Count());
}

TEST(LevelObjects, ReadingParametersBackStoresMembersInFirstKeys)
{
    sprite_object_c sprite;
    sprite.name = "s";
    sprite.CreateChannels();
    parameter_list_c list;
    sprite.ExchangeParameters(list, false);
    vec3_c moved(4, 5, 6);
    list.GetSetVector("Position", &moved, false);
    sprite.position.y = 7.0f;
    sprite.ExchangeParameters(list, true);
    EXPECT_EQ(7.0f, sprite.GetChannels()[1]->keys[0].value);
    EXPECT_EQ(5.0f, sprite.position.y);
}
