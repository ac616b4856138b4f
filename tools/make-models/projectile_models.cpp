// Bullet, bomb and rocket models (z along the flight), the rocket's smoke
// trail and the plane effects: smoke and shell-case particles and the muzzle
// flash.
#include "engine/aggregate.h"
#include "engine/emitter.h"
#include "level/template_builder.h"
#include "tools/make-models/make_models.h"
#include "tools/make-models/pictures.h"
#include "tools/make-models/shape_builder.h"

#include <algorithm>
#include <cmath>

namespace {

surface_look_c Look(const vec3_c& _color, float _luminosity = 0.0f)
{
    surface_look_c look;
    look.color = _color;
    look.luminosity = _luminosity;
    return look;
}

// A template of one game-object group shown by the model "normal".
void WriteSingleGroup(const char* _file, const char* _group, renderer_c* _renderer,
                      const std::function<void(shape_builder_c&)>& _build)
{
    object_template_c tmpl;
    shape_builder_c shape(_group, _renderer);
    _build(shape);
    AddTemplateGroup(tmpl, _group, shape.Build());
    AddTemplateModel(tmpl, "normal", {_group});
    WriteTemplate(tmpl, _file, _renderer);
}

// Soft round puff: white, alpha falling to the rim.
u32 Puff(int _x, int _y, int _size, u32 _seed)
{
    const float half = static_cast<float>(_size) * 0.5f;
    const float dx = (static_cast<float>(_x) + 0.5f - half) / half;
    const float dy = (static_cast<float>(_y) + 0.5f - half) / half;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float alpha = std::clamp(1.0f - r, 0.0f, 1.0f) * (0.8f + 0.2f * Hash01(_x, _y, _seed));
    return (static_cast<u32>(alpha * alpha * 255.0f) << 24) | (Colour(0.85f, 0.85f, 0.85f) & 0xFFFFFFu);
}

} // namespace

void MakeProjectilesAndEffects(renderer_c* _renderer)
{
    // The tracer stretches along its flight with its speed.
    WriteSingleGroup("data\\game\\common_objects\\pocisk\\pocisk.op", "pocisk", _renderer, [](shape_builder_c& _s) {
        _s.Surface("tracer", Look(vec3_c(1.0f, 0.85f, 0.4f), 1.0f));
        _s.Box(vec3_c(0.0f, 0.0f, -0.3f), vec3_c(0.04f, 0.04f, 0.6f));
    });
    WriteSingleGroup("data\\game\\common_objects\\bomba\\bomba.op", "bomba", _renderer, [](shape_builder_c& _s) {
        _s.Surface("casing", Look(vec3_c(0.3f, 0.32f, 0.28f)));
        _s.Cylinder(vec3_c(0.0f, 0.0f, -0.4f), vec3_c(0.0f, 0.0f, 0.3f), 0.12f, 0.12f, 8, false);
        _s.Cylinder(vec3_c(0.0f, 0.0f, 0.3f), vec3_c(0.0f, 0.0f, 0.5f), 0.12f, 0.0f, 8, false);
        _s.Cylinder(vec3_c(0.0f, 0.0f, -0.4f), vec3_c(0.0f, 0.0f, -0.55f), 0.12f, 0.04f, 8);
        for (float a : {0.0f, 1.5707963f})
            _s.TurnedBox(vec3_c(0.0f, 0.0f, -0.55f), vec3_c(0.34f, 0.02f, 0.18f), vec3_c(0.0f, 0.0f, a));
    });
    WriteSingleGroup("data\\game\\common_objects\\raca\\raca.op", "raca", _renderer, [](shape_builder_c& _s) {
        _s.Surface("tube", Look(vec3_c(0.55f, 0.5f, 0.42f)));
        _s.Cylinder(vec3_c(0.0f, 0.0f, -0.5f), vec3_c(0.0f, 0.0f, 0.35f), 0.06f, 0.06f, 8);
        _s.Surface("head", Look(vec3_c(0.6f, 0.15f, 0.1f)));
        _s.Cylinder(vec3_c(0.0f, 0.0f, 0.35f), vec3_c(0.0f, 0.0f, 0.6f), 0.06f, 0.0f, 8, false);
        _s.Surface("stick", Look(vec3_c(0.55f, 0.36f, 0.2f)));
        _s.Box(vec3_c(0.0f, -0.08f, -1.2f), vec3_c(0.02f, 0.02f, 1.5f));
    });

    WritePicture("data\\common\\planes\\fx\\smoke.png", 64, 64, true,
                 [](int _x, int _y) { return Puff(_x, _y, 64, 17); });
    // A brass case seen from any side: a small bright oval.
    WritePicture("data\\common\\planes\\fx\\case1.png", 16, 16, true, [](int _x, int _y) {
        const float dx = (static_cast<float>(_x) - 7.5f) / 3.0f, dy = (static_cast<float>(_y) - 7.5f) / 7.0f;
        const float inside = 1.0f - (dx * dx + dy * dy);
        return inside > 0.0f ? (0xFF000000u | (Colour(0.85f, 0.65f, 0.25f, 0.7f + 0.3f * inside) & 0xFFFFFFu)) : 0u;
    });
    WritePicture("data\\common\\planes\\fx\\shoot\\flash.png", 32, 32, true, [](int _x, int _y) {
        const float dx = (static_cast<float>(_x) - 15.5f) / 16.0f, dy = (static_cast<float>(_y) - 15.5f) / 16.0f;
        const float star = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) * 1.3f) +
                           std::max(0.0f, 1.0f - std::fabs(dx * dy) * 40.0f) * 0.5f;
        const float a = std::clamp(star, 0.0f, 1.0f);
        return (static_cast<u32>(a * 255.0f) << 24) | (Colour(1.0f, 0.8f, 0.4f) & 0xFFFFFFu);
    });

    // The rocket's smoke: a trail of grey puffs rising slowly.
    emitter_c smoke("dym_raca", _renderer);
    smoke.SetMap("data\\common\\planes\\fx\\smoke.png");
    smoke.SetParticleCount(80);
    smoke.SetParticleSize(0.6f, 4.0f);
    smoke.SetParticleColor(vec3_c(0.8f, 0.8f, 0.8f), vec3_c(0.5f, 0.5f, 0.5f));
    smoke.SetFrequency(30.0f);
    smoke.SetSpeed(0.2f, 0.8f);
    smoke.SetAngle(0.0f, 3.1415927f);
    smoke.SetLifetime(1.5f, 2.5f);
    smoke.SetGravity(vec3_c(0.0f, 0.5f, 0.0f));
    smoke.Save("data\\game\\common_objects\\fx\\dym_raca.vob");

    // The muzzle flash: two crossed glowing panels pointing forward.
    aggregate_c flash("ogien", _renderer);
    surface_look_c fire = Look(vec3_c(1.0f, 0.85f, 0.5f), 1.0f);
    fire.texture = "data\\common\\planes\\fx\\shoot\\flash.png";
    fire.tile = 0.4f;
    fire.doubleSided = true;
    fire.flags = material_additive;
    shape_builder_c shape("flash", _renderer);
    shape.Surface("fire", fire);
    shape.Panel(vec3_c(-0.2f, 0.0f, 0.0f), vec3_c(0.2f, 0.0f, 0.0f), vec3_c(0.2f, 0.0f, 0.4f),
                vec3_c(-0.2f, 0.0f, 0.4f));
    shape.Panel(vec3_c(0.0f, -0.2f, 0.0f), vec3_c(0.0f, 0.2f, 0.0f), vec3_c(0.0f, 0.2f, 0.4f),
                vec3_c(0.0f, -0.2f, 0.4f));
    flash.AddObject(shape.Build().release());
    flash.Save("data\\common\\planes\\fx\\shoot\\ogien.lws");
}
