#include "engine/aggregate.h"
#include "engine/anim_sprite.h"
#include "engine/emitter.h"
#include "engine/flare.h"
#include "engine/scene.h"
#include "engine/sprite.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "engine/trail.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool Drawn(const recording_renderer_c& _renderer, const char* _call, const void* _object)
{
    return std::any_of(_renderer.calls.begin(), _renderer.calls.end(), [&](const recorded_call_c& _recorded) {
        return _recorded.name == _call && !_recorded.objects.empty() && _recorded.objects[0] == _object;
    });
}

} // namespace

TEST(EffectSceneTest, EveryEffectIsCulledAndDrawnByTheScene)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.SetClipPlanes(1.0f, 1000.0f);
    scene.CreateCamera("camera");
    auto* sprite = static_cast<sprite_c*>(scene.AddObject(new sprite_c("puff", &renderer)));
    sprite->position = vec3_c(0, 0, 10);
    auto* anim = static_cast<anim_sprite_c*>(scene.AddObject(new anim_sprite_c("boom", &renderer)));
    anim->position = vec3_c(1, 0, 12);
    auto* emitter = static_cast<emitter_c*>(scene.AddObject(new emitter_c("smoke", &renderer)));
    emitter->position = vec3_c(0, 0, 20);
    emitter->SetParticleCount(4);
    emitter->SetLifetime(1, 1);
    auto* trail = static_cast<trail_c*>(scene.AddObject(new trail_c("vapour", &renderer)));
    trail->position = vec3_c(2, 0, 15);
    trail->SetSegments(4);

    // A wall at depth 50 hides a flare placed in the scene behind it, but
    // not one inside an aggregate, which casts no rays.
    scene.AddObject(new wall_c(50.0f, -20.0f, 20.0f));
    auto* hidden = static_cast<flare_c*>(scene.AddObject(new flare_c("hidden", &renderer)));
    hidden->position = vec3_c(0, 0, 100);
    hidden->SetFlags(flare_fade_behind_objects);
    auto* group = static_cast<aggregate_c*>(scene.AddObject(new aggregate_c("group", &renderer)));
    auto* shown = static_cast<flare_c*>(group->AddObject(new flare_c("shown", &renderer)));
    shown->position = vec3_c(0, 3, 100);
    shown->SetFlags(flare_fade_behind_objects);
    flare_c* ring = shown->AddChild(new flare_c("ring", &renderer));
    ring->SetAxisPosition(0.5f);

    scene.Animate(0.5f, true);
    scene.PrepareFrame();
    renderer.ClearCalls();
    scene.Render();
    EXPECT_TRUE(Drawn(renderer, "DrawSprite", sprite));
    EXPECT_TRUE(Drawn(renderer, "DrawAnimSprite", anim));
    EXPECT_TRUE(Drawn(renderer, "DrawParticles", emitter));
    EXPECT_TRUE(Drawn(renderer, "DrawTrail", trail));
    EXPECT_FALSE(Drawn(renderer, "DrawSprite", hidden));
    EXPECT_TRUE(Drawn(renderer, "DrawSprite", shown));
    EXPECT_TRUE(Drawn(renderer, "DrawSprite", ring));
    EXPECT_FLOAT_EQ(anim->GetFramePosition(), 15.0f);
    EXPECT_FLOAT_EQ(emitter->GetEmitterTime(), 0.5f);
}
