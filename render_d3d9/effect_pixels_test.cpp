// Effects drawn by the renderer through the OpenGL backend and read back
// by screen capture, compared with the pictures in
// render_d3d9/testing/expected: particles and a trail, sprites, text and
// the glow blur.
#include "engine/anim_sprite.h"
#include "engine/emitter.h"
#include "engine/font_def.h"
#include "engine/font_handle.h"
#include "engine/trail.h"
#include "foundation/random_numbers.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <cmath>

namespace {

// Mesa's rasterizer is exact, but blending and filtering are computed in
// floating point on both sides of a comparison; three steps per channel
// absorb rounding without hiding a wrong stage or colour.
constexpr u32 tolerance = 3;

class EffectOnGl : public draw_fixture_c {
protected:
    EffectOnGl() : draw_fixture_c(draw_backend_e::opengl, 128, 128) {}

    // Clears to the colour, then opens the scene's lists.
    void Begin(const vec3_c& _background)
    {
        MakeRenderer();
        renderer->Clear(_background, 0, true, true, true, false);
        OpenLists();
    }
};

TEST_F(EffectOnGl, ParticlesRiseAndATrailFollowsItsPath)
{
    MakeRenderer();
    random_c random;
    random.SetSeed(1234);
    emitter_c emitter("smoke", renderer.get());
    emitter.SetRandomSource(&random);
    emitter.SetParticleCount(48);
    emitter.SetParticleSize(0.04f, 0.12f);
    emitter.SetParticleColor(vec3_c(1.0f, 0.8f, 0.2f), vec3_c(0.2f, 0.2f, 1.0f));
    emitter.SetGravity(vec3_c(0.0f, 1.0f, 0.0f));
    emitter.SetEmissionMode(emitter_eruption);
    emitter.SetSpeed(0.2f, 0.4f);
    emitter.SetAngle(0.0f, 0.8f);
    emitter.SetLifetime(1.5f, 2.0f);
    emitter.SetFrequency(30.0f);
    emitter.position = {-0.8f, -1.2f, 8.0f};
    emitter.UpdateTransform(nullptr);
    trail_c trail("vapour", renderer.get());
    trail.SetSegments(24);
    trail.SetSegmentSize(0.25f);
    trail.SetLifetime(2.0f);
    trail.SetMeasure(0.1f);
    // Both advance in fixed steps; the trail flies a half circle.
    object_list_t opaque, blended;
    const u32 steps = 45;
    for (u32 step = 0; step <= steps; ++step) {
        const f32 time = static_cast<f32>(step) / 30.0f;
        const f32 angle = 3.1415927f * static_cast<f32>(step) / static_cast<f32>(steps);
        trail.position = {1.0f + 1.0f * std::cos(angle), 1.2f * std::sin(angle) - 0.6f, 8.0f};
        trail.UpdateTransform(nullptr);
        emitter.Animate(time);
        trail.Animate(time);
        opaque.clear();
        blended.clear();
        emitter.Cull(opaque, blended, scene.get(), &camera, 0, 0);
        trail.Cull(opaque, blended, scene.get(), &camera, 0, 0);
    }
    renderer->Clear({0.1f, 0.1f, 0.1f}, 0, true, true, true, false);
    OpenLists();
    for (null_object_c* object : blended) {
        object->Render(1);
    }
    ExpectImage(Capture(), "particles_and_trail", tolerance);
}

// Two frames of a sprite: red with a white bar across, blue with a white
// bar down; filtered animated sprites show the frame at the time blended
// with the next by the fraction.
TEST_F(EffectOnGl, AnimatedSpritesBlendTheirFramesByTheFraction)
{
    Begin({0.0f, 0.0f, 0.0f});
    texture_c* red = MakePatternTexture(8, format_x8r8g8b8,
                                        [](u32, u32 _y) { return _y == 3 || _y == 4 ? 0xFFFFFFFFu : 0xFFE02020u; });
    texture_c* blue = MakePatternTexture(8, format_x8r8g8b8,
                                         [](u32 _x, u32) { return _x == 3 || _x == 4 ? 0xFFFFFFFFu : 0xFF2020E0u; });
    const f32 frames[4] = {0.0f, 0.25f, 0.5f, 1.0f};
    std::vector<std::unique_ptr<mapped_c<anim_sprite_c>>> sprites;
    for (u32 i = 0; i < 4; ++i) {
        sprites.push_back(
            std::make_unique<mapped_c<anim_sprite_c>>(renderer.get(), std::vector<texture_c*>{red, blue}));
        mapped_c<anim_sprite_c>& sprite = *sprites.back();
        sprite.position = {i % 2 == 0 ? -0.6f : 0.6f, i < 2 ? 0.6f : -0.6f, 5.0f};
        sprite.scale = {0.5f, 0.5f, 0.5f};
        sprite.UpdateTransform(nullptr);
        sprite.UpdateBillboard(&camera);
        renderer->DrawAnimSprite(&sprite, frames[i], false);
    }
    ExpectImage(Capture(), "sprite_frame_blending", tolerance);
}

TEST_F(EffectOnGl, TextsDrawInTheirColourAndTransparencyOverTheScene)
{
    Begin({0.2f, 0.3f, 0.2f});
    font_handle_c font(font_def_c("DejaVu Sans", 12.0f), renderer.get());
    CloseLists();
    renderer->DrawText(&font, 4, 4, 120, 30, "Skyvarn", vec3_c(1.0f, 1.0f, 1.0f), 0.0f);
    renderer->DrawText(&font, 4, 40, 120, 30, "Red 42", vec3_c(1.0f, 0.2f, 0.1f), 0.0f);
    renderer->DrawText(&font, 4, 76, 120, 30, "half", vec3_c(0.3f, 0.5f, 1.0f), 0.5f);
    ExpectImage(Capture(), "texts", tolerance);
}

}
