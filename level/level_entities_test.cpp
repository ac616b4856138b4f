#include "engine/emitter.h"
#include "engine/flare.h"
#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/null_renderer.h"
#include "engine/scene.h"
#include "engine/sprite.h"
#include "level/chunk_saver.h"
#include "level/control_point_object.h"
#include "level/emitter_object.h"
#include "level/flare_object.h"
#include "level/level_object_members.h"
#include "level/level_scene.h"
#include "level/sprite_object.h"
#include "level/testing/chunk_bytes.h"
#include "level/testing/level_fixtures.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace {

// _object written as a scene's only level object, read back with a renderer.
std::unique_ptr<level_scene_c> ReadWithRenderer(std::unique_ptr<parameter_object_c> _object, renderer_c* _renderer)
{
    level_scene_c scene;
    scene.levelObjects.push_back(std::move(_object));
    const bytes_t bytes = WriteBytes([&](CChunkSaver& _saver) { scene.Serialize(_saver, nullptr, false); });
    auto read = std::make_unique<level_scene_c>();
    ReadBytes(bytes, [&](CChunkSaver& _saver) { read->Serialize(_saver, _renderer, false); });
    return read;
}

} // namespace

TEST(LevelEntities, SpriteIsMadeWithItsMembersApplied)
{
    null_renderer_c renderer;
    auto sprite = std::make_unique<sprite_object_c>();
    sprite->name = "lamp";
    sprite->position = vec3_c(1, 2, 3);
    sprite->additivity = 1;
    sprite->depthTest = 0;
    sprite->alphaThreshold = 3.0f;
    sprite->dissolve = 0.25f;
    auto scene = ReadWithRenderer(std::move(sprite), &renderer);
    ASSERT_EQ(1u, scene->levelObjects.size());
    auto* entity = dynamic_cast<sprite_c*>(scene->levelObjects[0]->GetEntity());
    ASSERT_NE(nullptr, entity);
    EXPECT_EQ("lamp", entity->GetName());
    EXPECT_EQ(2.0f, entity->position.y);
    EXPECT_TRUE(entity->HasFlags(entity_additive));
    EXPECT_FALSE(entity->HasFlags(object_depth_test));
    EXPECT_TRUE(entity->HasFlags(object_fog));
    EXPECT_EQ(1.0f, entity->GetAlphaThreshold()) << "held in 0..1 by the sprite";
    EXPECT_EQ(0.25f, entity->dissolve);

    // Shown by the scene, but not hit by rays.
    aggregate_c world("world", &renderer);
    scene->AddToScene(&world);
    EXPECT_TRUE(entity->HasFlags(object_rendered));
    EXPECT_FALSE(entity->HasFlags(object_ray_testable));
    scene.reset();
    EXPECT_EQ(0u, world.GetObjects().GetCount());
}

TEST(LevelEntities, EmitterCountsAreRoundedAndNeverWrap)
{
    null_renderer_c renderer;
    const struct {
        f32 count;
        u32 particles;
    } cases[] = {{10.4f, 10}, {10.5f, 11}, {0.2f, 0}, {-5.0f, 0}, {NAN, 0}, {FLT_MAX, 0}};
    for (const auto& c : cases) {
        auto emitter = std::make_unique<emitter_object_c>();
        emitter->name = "smoke";
        emitter->particleCount = c.count;
        emitter->velocityMin = 2.0f;
        emitter->velocityMax = 4.0f;
        auto scene = ReadWithRenderer(std::move(emitter), &renderer);
        auto* entity = dynamic_cast<emitter_c*>(scene->levelObjects[0]->GetEntity());
        ASSERT_NE(nullptr, entity);
        EXPECT_EQ(c.particles, entity->GetParticleCount()) << c.count;
        EXPECT_EQ(4.0f, entity->GetSpeedMaximum());
    }
}

TEST(LevelEntities, ChannelsMoveTheEntity)
{
    null_renderer_c renderer;
    auto flare = std::make_unique<flare_object_c>();
    flare->name = "sun";
    flare->nominalDistance = 0.0f;
    flare->CreateChannels();
    flare->GetChannels()[9]->keys[0].shape = shape_linear;
    flare->GetChannels()[9]->keys.push_back({3.0f, 1.0f, shape_linear});
    flare->GetChannels()[1]->keys.push_back({8.0f, 2.0f, shape_linear});
    auto scene = ReadWithRenderer(std::move(flare), &renderer);
    parameter_object_c& object = *scene->levelObjects[0];
    auto* entity = dynamic_cast<flare_c*>(object.GetEntity());
    ASSERT_NE(nullptr, entity);
    EXPECT_EQ(FLT_EPSILON, entity->GetNominalDistance());
    object.Update(1.0f);
    EXPECT_FLOAT_EQ(3.0f, entity->GetIntensity());
    EXPECT_FLOAT_EQ(4.0f, entity->position.y);
}

TEST(LevelEntities, SnappingNeedsGroundBelowEveryKey)
{
    null_renderer_c renderer;
    scene_c scene("ground", &renderer);
    auto path = MakeTestPath("road", {{0, 0, 0}, {5, 0, 0}});
    path->SnapToGround(&scene);
    path->snapKeysToGround = 1;
    try {
        path->SnapToGround(&scene);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Couldn't find intersection for path key.", error.what());
    }
}

TEST(LevelEntities, AnimatedChannelsAttachToTheEntitysMembers)
{
    null_renderer_c renderer;
    auto emitter = std::make_unique<emitter_object_c>();
    emitter->name = "smoke";
    emitter->CreateChannels();
    // Position Y and Velocity.Max animate; the other channels hold one key.
    emitter->GetChannels()[1]->keys.push_back({5.0f, 1.0f, shape_linear});
    emitter->GetChannels()[11]->keys.push_back({9.0f, 1.0f, shape_linear});
    auto scene = ReadWithRenderer(std::move(emitter), &renderer);
    parameter_object_c& object = *scene->levelObjects[0];
    auto* entity = dynamic_cast<emitter_c*>(object.GetEntity());
    ASSERT_NE(nullptr, entity);
    object.AttachChannels(entity);
    ASSERT_EQ(2u, entity->GetEnvelopeCount());
    entity->graph_c::Animate(1.0f);
    EXPECT_FLOAT_EQ(5.0f, entity->position.y);
    EXPECT_FLOAT_EQ(9.0f, entity->GetSpeedMaximum());
}

TEST(LevelEntities, ControlPointMarkerDrawsItsShape)
{
    null_renderer_c renderer;
    const struct {
        i32 shape;
        u32 lines;
        f32 height;
    } cases[] = {{0, 48, 10.0f}, {1, 32, 1000.0f}, {2, 0, 0.0f}};
    for (const auto& c : cases) {
        aggregate_c parent("level", &renderer);
        {
            control_point_object_c point;
            point.name = "cp";
            point.shape = c.shape;
            point.size = 10.0f;
            point.position = vec3_c(5, 6, 7);
            point.CreateEngineObject(&parent, &renderer);
            auto* marker = dynamic_cast<geom_object_c*>(point.GetEntity());
            ASSERT_NE(nullptr, marker);
            EXPECT_EQ("cp_obj", marker->GetName());
            EXPECT_EQ(6.0f, marker->position.y);
            EXPECT_TRUE(parent.GetObjects().Contains(marker));
            ASSERT_NE(nullptr, marker->GetPrimaryMesh());
            EXPECT_EQ("cp_msh", marker->GetPrimaryMesh()->name);
            const geometry_def_c& definition = marker->GetPrimaryMesh()->GetDefinition();
            ASSERT_EQ(1u, definition.primitiveSets.size());
            const primitive_set_c& lines = *definition.primitiveSets[0];
            EXPECT_EQ(c.lines, lines.GetPrimitiveCount(primitive_lines)) << c.shape;
            f32 highest = 0.0f;
            for (const vertex_c& vertex : lines.vertices) {
                highest = std::max(highest, vertex.position.y);
                if (c.shape == 0) {
                    EXPECT_NEAR(10.0f, vertex.position.Length(), 1e-4f);
                }
            }
            EXPECT_NEAR(c.height, highest, 1e-4f);
            ASSERT_NE(nullptr, marker->GetMaterials().GetFirst());
            EXPECT_EQ("cp_mat", marker->GetMaterials().GetFirst()->name);
            EXPECT_EQ(1.0f, marker->GetMaterials().GetFirst()->diffuse);

            // New parameters rebuild the marker in place of the old one.
            point.size = 20.0f;
            point.ApplyParameters();
            EXPECT_NE(marker, point.GetEntity());
            EXPECT_EQ(1u, parent.GetObjects().GetCount());
        }
        EXPECT_EQ(0u, parent.GetObjects().GetCount()) << "the marker leaves with its control point";
    }
}

TEST(LevelEntities, WalkPathMarkersShowKeysAndSteps)
{
    null_renderer_c renderer;
    memory_file_system_c files;
    output_file_c ball;
    geom_object_c("kulka", &renderer).Write(ball);
    files.files["kulka.lwo"] = std::vector<u8>(ball.GetData(), ball.GetData() + ball.GetSize());

    aggregate_c parent("level", &renderer);
    {
        auto path = MakeTestPath("road", {{0, 0, 0}, {10, 0, 0}});
        path->position = vec3_c(0, 5, 0);
        path->visibleKeyScale = 2.0f;
        path->CreateEngineObject(&parent, &renderer);
        auto* markers = dynamic_cast<aggregate_c*>(path->GetEntity());
        ASSERT_NE(nullptr, markers);
        EXPECT_EQ("road", markers->GetName());
        EXPECT_TRUE(parent.GetObjects().Contains(markers));
        ASSERT_EQ(2u, markers->GetObjects().GetCount());
        auto* key = dynamic_cast<aggregate_c*>(markers->GetObjects().GetFirst());
        ASSERT_NE(nullptr, key);
        EXPECT_EQ("road_key_aggregate_0", key->GetName());
        ASSERT_EQ(10u, key->GetObjects().GetCount());
        null_object_c* ballAtKey = key->GetObjects().GetFirst();
        EXPECT_EQ("road_key_0", ballAtKey->GetName());
        EXPECT_EQ(2.0f, ballAtKey->scale.y);
        EXPECT_EQ(5.0f, ballAtKey->position.y);
        null_object_c* step = ballAtKey->GetNext();
        EXPECT_EQ("road_key_step_1", step->GetName());
        EXPECT_NEAR(1.0f, step->position.x, 1e-4f);
        EXPECT_EQ(1.0f, step->scale.x);

        // A rebuild empties the same aggregate.
        path->keyInterpolation = shape_linear;
        path->ApplyParameters();
        EXPECT_EQ(markers, path->GetEntity());
        EXPECT_EQ(2u, markers->GetObjects().GetCount());
        EXPECT_EQ(1u, parent.GetObjects().GetCount());
    }
    EXPECT_EQ(0u, parent.GetObjects().GetCount());
    auto lost = MakeTestPath("lost", {{0, 0, 0}});
    files.files.clear();
    EXPECT_THROW(lost->CreateEngineObject(&parent, &renderer), file_error_c);
}
