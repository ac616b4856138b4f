// The ground targets and the balloon: y up from the ground at 0, z forward.
#include "tools/make-models/make_models.h"
#include "tools/make-models/model_parts.h"
#include "tools/make-models/pictures.h"
#include "tools/make-models/shape_builder.h"

#include <cmath>

const char* const aagun_file = "data\\game\\objects\\aagun\\aagun.op";
const char* const balloon_file = "data\\game\\objects\\balloon\\balloon.op";
const char* const flak_file = "data\\game\\objects\\flak\\flak.op";

namespace {

const vec3_c olive_colour(0.35f, 0.38f, 0.22f);
const vec3_c steel_colour(0.25f, 0.25f, 0.27f);
const vec3_c sandbag_colour(0.62f, 0.55f, 0.4f);
const vec3_c envelope_colour(0.75f, 0.72f, 0.6f);
const surface_look_c olive = Look(olive_colour, "data\\game\\objects\\olive.png");
const surface_look_c steel = Look(steel_colour, "data\\game\\objects\\steel.png");
const surface_look_c sandbag = Look(sandbag_colour, "data\\game\\objects\\sandbag.png", 0.5f);
const surface_look_c uniform = Look(vec3_c(0.4f, 0.36f, 0.25f));
const surface_look_c skin = Look(vec3_c(0.8f, 0.62f, 0.5f));
const surface_look_c soot = Look(vec3_c(0.08f, 0.07f, 0.06f));

void Sandbags(shape_builder_c& _s, float _radius)
{
    _s.Surface("sandbag", sandbag);
    for (int i = 0; i < 10; ++i) {
        if (i == 0)
            continue; // the way in
        const float a = 6.2831853f * static_cast<float>(i) / 10.0f;
        _s.TurnedBox(vec3_c(std::sin(a) * _radius, 0.3f, std::cos(a) * _radius), vec3_c(1.3f, 0.6f, 0.5f),
                     vec3_c(a, 0.0f, 0.0f));
    }
}

void MakeAagun(renderer_c* _renderer)
{
    object_template_c tmpl;
    template_group_c& main = MainGroup(tmpl, -1);
    AddSoundEffect(main, "fx_onSH", "data\\game\\sounds\\aagun_shot.wav", 120.0f);
    AddSoundEffect(main, "fx_onEX", "data\\game\\sounds\\explosion_small.wav", 300.0f);
    AddTemplateGroup(tmpl, "base", BuildPart("base", _renderer, [](shape_builder_c& _s) {
                         Sandbags(_s, 1.8f);
                         _s.Surface("steel", steel);
                         _s.Cylinder(vec3_c(0.0f, 0.0f, 0.0f), vec3_c(0.0f, 1.0f, 0.0f), 0.15f, 0.1f, 8);
                     }));
    // The gunner stands behind the gun and turns with it.
    AddTemplateGroup(tmpl, "man", BuildPart("man", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("uniform", uniform);
                         _s.Box(vec3_c(0.0f, 1.1f, -0.9f), vec3_c(0.45f, 0.7f, 0.3f));
                         _s.Box(vec3_c(-0.12f, 0.4f, -0.9f), vec3_c(0.15f, 0.8f, 0.18f));
                         _s.Box(vec3_c(0.12f, 0.4f, -0.9f), vec3_c(0.15f, 0.8f, 0.18f));
                         _s.Surface("skin", skin);
                         _s.Box(vec3_c(0.0f, 1.6f, -0.9f), vec3_c(0.22f, 0.25f, 0.22f));
                     }));
    // The barrel points along the node's forward direction, raised (a
    // negative pitch turns the nose up).
    AddTemplateGroup(tmpl, "gun", [&] {
        auto gun = BuildPart(
            "gun", _renderer,
            [](shape_builder_c& _s) {
                _s.Surface("steel", steel);
                _s.Box(vec3_c(0.0f, 0.0f, -0.2f), vec3_c(0.2f, 0.25f, 0.6f));
                _s.Cylinder(vec3_c(0.0f, 0.05f, 0.0f), vec3_c(0.0f, 0.05f, 1.1f), 0.05f, 0.04f, 6);
            },
            vec3_c(0.0f, 1.2f, 0.0f));
        gun->rotation = vec3_c(0.0f, -0.6f, 0.0f);
        return gun;
    }());
    AddTemplateGroup(tmpl, "wreck", BuildPart("wreck", _renderer, [](shape_builder_c& _s) {
                         Sandbags(_s, 2.0f);
                         _s.Surface("soot", soot);
                         _s.TurnedBox(vec3_c(0.3f, 0.2f, 0.2f), vec3_c(0.25f, 0.25f, 1.3f), vec3_c(0.5f, 0.1f, 0.8f));
                     }));
    AddTemplateGroup(tmpl, "mask", Mask(_renderer, vec3_c(0.0f, 0.9f, 0.0f), vec3_c(3.0f, 1.8f, 3.0f)));
    AddTemplateModel(tmpl, "normal", {"base", "man", "gun"});
    AddTemplateModel(tmpl, "destroyed", {"wreck"});
    WriteTemplate(tmpl, aagun_file, _renderer);
}

void MakeFlak(renderer_c* _renderer)
{
    object_template_c tmpl;
    template_group_c& main = MainGroup(tmpl, -1);
    AddSoundEffect(main, "fx_onAT", "data\\game\\sounds\\flak_shot.wav", 400.0f);
    AddSoundEffect(main, "fx_onEX", "data\\game\\sounds\\explosion_big.wav", 400.0f);
    AddTemplateGroup(tmpl, "cannon", BuildPart("cannon", _renderer, [](shape_builder_c& _s) {
                         Sandbags(_s, 3.0f);
                         _s.Surface("olive", olive);
                         _s.Box(vec3_c(0.0f, 0.5f, 0.0f), vec3_c(2.0f, 0.6f, 2.4f));
                         for (float side : {-1.0f, 1.0f})
                             _s.Cylinder(vec3_c(side * 1.1f, 0.5f, 0.0f), vec3_c(side * 1.25f, 0.5f, 0.0f), 0.5f, 0.5f,
                                         10);
                         _s.Box(vec3_c(0.0f, 1.2f, 0.3f), vec3_c(0.8f, 0.9f, 1.0f));
                         _s.Surface("steel", steel);
                         // The barrel along the fixed aim (0, 1, 1).
                         _s.Cylinder(vec3_c(0.0f, 1.4f, 0.6f), vec3_c(0.0f, 3.0f, 2.2f), 0.14f, 0.11f, 10);
                     }));
    AddTemplateGroup(tmpl, "wreck", BuildPart("wreck", _renderer, [](shape_builder_c& _s) {
                         Sandbags(_s, 3.2f);
                         _s.Surface("soot", soot);
                         _s.TurnedBox(vec3_c(0.0f, 0.4f, 0.0f), vec3_c(2.0f, 0.6f, 2.4f), vec3_c(0.3f, 0.0f, 0.2f));
                         _s.TurnedBox(vec3_c(0.8f, 0.2f, 1.4f), vec3_c(0.25f, 0.25f, 2.2f), vec3_c(0.8f, 0.0f, 0.1f));
                     }));
    AddTemplateGroup(tmpl, "mask", Mask(_renderer, vec3_c(0.0f, 1.2f, 0.5f), vec3_c(3.0f, 2.4f, 4.0f)));
    AddTemplateModel(tmpl, "normal", {"cannon"});
    AddTemplateModel(tmpl, "destroyed", {"wreck"});
    WriteTemplate(tmpl, flak_file, _renderer);
}

void MakeBalloon(renderer_c* _renderer)
{
    object_template_c tmpl;
    template_group_c& main = MainGroup(tmpl, -1);
    AddSoundEffect(main, "fx_onEX", "data\\game\\sounds\\explosion_big.wav", 500.0f);
    AddSoundEffect(main, "fx_onCR", "data\\game\\sounds\\crash.wav", 300.0f);
    const surface_look_c envelope = Look(envelope_colour, "data\\game\\objects\\balloon.png", 2.0f);
    const surface_look_c burnt = Look(vec3_c(0.15f, 0.1f, 0.08f));
    // An elongated gas bag with fins, a basket below on its ropes.
    auto bag = [&](shape_builder_c& _s, const surface_look_c& _look) {
        _s.Surface("envelope", _look);
        _s.Cylinder(vec3_c(0.0f, 0.0f, -6.0f), vec3_c(0.0f, 0.0f, 4.0f), 3.0f, 3.0f, 14, false);
        _s.Cylinder(vec3_c(0.0f, 0.0f, 4.0f), vec3_c(0.0f, 0.0f, 7.0f), 3.0f, 0.0f, 14, false);
        _s.Cylinder(vec3_c(0.0f, 0.0f, -6.0f), vec3_c(0.0f, 0.0f, -8.0f), 3.0f, 0.5f, 14);
        for (float a : {0.0f, 2.0943951f, 4.1887902f})
            _s.TurnedBox(vec3_c(std::sin(a) * 2.5f, std::cos(a) * 2.5f, -6.5f), vec3_c(0.1f, 2.0f, 2.0f),
                         vec3_c(0.0f, 0.0f, -a));
    };
    auto basket = [&](shape_builder_c& _s) {
        _s.Surface("basket", Look(vec3_c(0.45f, 0.33f, 0.18f), "data\\common\\planes\\wood.png", 0.5f));
        _s.Box(vec3_c(0.0f, -7.0f, 0.0f), vec3_c(1.2f, 1.0f, 1.2f));
        _s.Surface("rope", Look(vec3_c(0.3f, 0.28f, 0.25f)));
        for (float x : {-0.5f, 0.5f})
            for (float z : {-0.5f, 0.5f})
                _s.Cylinder(vec3_c(x, -6.5f, z), vec3_c(x * 3.0f, -2.6f, z * 3.0f), 0.02f, 0.02f, 3, false);
    };
    AddTemplateGroup(tmpl, "balloon", BuildPart("balloon", _renderer, [&](shape_builder_c& _s) {
                         bag(_s, envelope);
                         basket(_s);
                     }));
    AddTemplateGroup(tmpl, "burning", BuildPart("burning", _renderer, [&](shape_builder_c& _s) {
                         bag(_s, burnt);
                         basket(_s);
                     }));
    AddTemplateGroup(tmpl, "remains",
                     BuildPart(
                         "remains", _renderer,
                         [&](shape_builder_c& _s) {
                             _s.Surface("burnt", burnt);
                             _s.TurnedBox(vec3_c(0.0f, 0.3f, 0.0f), vec3_c(4.0f, 0.6f, 6.0f), vec3_c(0.3f, 0.0f, 0.0f));
                             basket(_s);
                         },
                         vec3_c(0.0f, 7.0f, 0.0f)));
    AddTemplateGroup(tmpl, "mask", Mask(_renderer, vec3_c(0.0f, -1.0f, -0.5f), vec3_c(6.0f, 14.0f, 15.0f)));
    AddTemplateModel(tmpl, "normal", {"balloon"});
    AddTemplateModel(tmpl, "burned", {"burning"});
    AddTemplateModel(tmpl, "destroyed", {"remains"});
    WriteTemplate(tmpl, balloon_file, _renderer);
}

} // namespace

void MakeGroundTargets(renderer_c* _renderer)
{
    WritePattern("data\\game\\objects\\olive.png", pattern_metal, olive_colour);
    WritePattern("data\\game\\objects\\steel.png", pattern_metal, steel_colour);
    WritePattern("data\\game\\objects\\sandbag.png", pattern_sandbag, sandbag_colour);
    WritePattern("data\\game\\objects\\balloon.png", pattern_canvas, envelope_colour);
    MakeAagun(_renderer);
    MakeFlak(_renderer);
    MakeBalloon(_renderer);
}
