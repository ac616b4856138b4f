// Effects drawn by the renderer through the OpenGL backend and read back
// by screen capture, compared with the pictures in
// render_d3d9/testing/expected: particles and a trail, sprites, text and
// the glow blur.
#include "engine/emitter.h"
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

}
