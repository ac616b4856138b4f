// The airships: one frame, two sides. Airship space: z to the nose, y up,
// the origin under the gondolas, so that the bombs it drops (from 5 below
// its origin) start clear of the hull.
#include "level/parameter.h"
#include "tools/make-models/make_models.h"
#include "tools/make-models/model_parts.h"
#include "tools/make-models/pictures.h"

#include <cmath>
#include <string>

const char* const airship_files[2] = {"data\\game\\objects\\airship\\airship.op",
                                      "data\\game\\objects\\zeppelin\\zeppelin.op"};

namespace {

struct airship_style_c {
    const char* file;
    const char* skin;
    int iff;
    vec3_c envelope;
    vec3_c marking;
};

const airship_style_c airship_styles[2] = {
    {airship_files[0], "data\\game\\objects\\airship\\envelope.png", 1, vec3_c(0.72f, 0.72f, 0.7f),
     vec3_c(0.7f, 0.12f, 0.12f)},
    {airship_files[1], "data\\game\\objects\\zeppelin\\envelope.png", -1, vec3_c(0.6f, 0.56f, 0.46f),
     vec3_c(0.1f, 0.1f, 0.1f)},
};

constexpr float hull_y = 12.0f;
constexpr float hull_radius = 8.0f;
constexpr float body_back = -32.0f;
constexpr float body_front = 30.0f;
constexpr u32 hull_sides = 16;

struct gun_place_c {
    const char* group;
    vec3_c at;
};

// A gun on top of the hull and one under each gondola.
const gun_place_c gun_places[3] = {
    {"gun_1", vec3_c(0.0f, hull_y + hull_radius + 0.6f, 12.0f)},
    {"gun_2", vec3_c(0.0f, 0.8f, 22.0f)},
    {"gun_3", vec3_c(0.0f, 0.8f, -16.0f)},
};

void Hull(shape_builder_c& _s, const surface_look_c& _skin, const surface_look_c& _marking)
{
    _s.Surface("envelope", _skin);
    _s.Cylinder(vec3_c(0.0f, hull_y, body_back), vec3_c(0.0f, hull_y, body_front), hull_radius, hull_radius, hull_sides,
                false);
    _s.Cylinder(vec3_c(0.0f, hull_y, body_front), vec3_c(0.0f, hull_y, body_front + 12.0f), hull_radius, 0.0f,
                hull_sides, false);
    _s.Cylinder(vec3_c(0.0f, hull_y, body_back), vec3_c(0.0f, hull_y, body_back - 14.0f), hull_radius, 0.0f, hull_sides,
                false);
    // Four fins at the tail.
    for (int i = 0; i < 4; ++i) {
        const float a = 1.5707963f * static_cast<float>(i);
        _s.TurnedBox(vec3_c(std::sin(a) * 7.0f, hull_y + std::cos(a) * 7.0f, body_back - 4.0f),
                     vec3_c(0.3f, 7.0f, 9.0f), vec3_c(0.0f, 0.0f, -a));
    }
    _s.Surface("marking", _marking);
    for (float side : {-1.0f, 1.0f})
        _s.Disc(vec3_c(side * (hull_radius + 0.05f), hull_y, body_front - 8.0f), vec3_c(side, 0.0f, 0.0f), 3.0f,
                hull_sides);
}

void Gondolas(shape_builder_c& _s, const surface_look_c& _wood, const surface_look_c& _steel)
{
    _s.Surface("gondola", _wood);
    _s.Box(vec3_c(0.0f, 2.5f, 22.0f), vec3_c(2.6f, 2.4f, 9.0f));
    _s.Box(vec3_c(0.0f, 2.5f, -16.0f), vec3_c(2.4f, 2.2f, 7.0f));
    _s.Surface("struts", _steel);
    for (float z : {19.0f, 25.0f, -13.5f, -18.5f})
        _s.Cylinder(vec3_c(0.0f, 3.5f, z), vec3_c(0.0f, hull_y - hull_radius + 0.5f, z), 0.15f, 0.15f, 4, false);
    // Engine cars on outriggers with their airscrews.
    for (float side : {-1.0f, 1.0f}) {
        _s.Box(vec3_c(side * 5.0f, 4.0f, -6.0f), vec3_c(1.6f, 1.6f, 4.0f));
        _s.Cylinder(vec3_c(side * 1.3f, 4.0f, -6.0f), vec3_c(side * 4.2f, 4.0f, -6.0f), 0.12f, 0.12f, 4, false);
        _s.Box(vec3_c(side * 5.0f, 4.0f, -8.2f), vec3_c(0.2f, 3.0f, 0.2f));
    }
}

std::unique_ptr<geom_object_c> Gun(const gun_place_c& _place, renderer_c* _renderer, const surface_look_c& _steel)
{
    return BuildPart(
        _place.group, _renderer,
        [&](shape_builder_c& _s) {
            _s.Surface("steel", _steel);
            _s.Box(vec3_c(0.0f, 0.0f, 0.0f), vec3_c(0.5f, 0.5f, 0.7f));
            _s.Cylinder(vec3_c(0.0f, 0.1f, 0.2f), vec3_c(0.0f, 0.1f, 1.4f), 0.06f, 0.05f, 6);
        },
        _place.at);
}

void MakeAirship(const airship_style_c& _style, renderer_c* _renderer)
{
    WritePattern(_style.skin, pattern_canvas, _style.envelope);
    const surface_look_c skin = Look(_style.envelope, _style.skin, 4.0f);
    const surface_look_c burnt = Look(vec3_c(0.14f, 0.1f, 0.08f));
    const surface_look_c marking = Look(_style.marking);
    const surface_look_c wood = Look(vec3_c(0.45f, 0.33f, 0.2f), "data\\common\\planes\\wood.png", 0.6f);
    const surface_look_c steel = Look(vec3_c(0.25f, 0.25f, 0.27f), "data\\game\\objects\\steel.png");

    object_template_c tmpl;
    template_group_c& main = MainGroup(tmpl, _style.iff);
    f32 speed = 50.0f; // km/h
    main.parameters.GetSetFloat("move_speed", &speed, false, 0.0f, 500.0f);
    AddTextKey(main, "on_destroy", "drop");
    // Burning, it noses down and rolls as it falls, slowly at first.
    vec3_c rate(0.02f, 0.12f, 0.06f);
    main.parameters.GetSetVector("drown_rotation_vector", &rate, false);
    vec3_c end(0.18f, 0.6f, 0.3f); // radians here, degrees in the file
    main.parameters.GetSetRotation("drown_rotation_end", &end, false);
    f32 fall = 0.25f;
    main.parameters.GetSetFloat("drop_drown_speed", &fall, false, 0.0f, 10.0f);
    AddSoundEffect(main, "fx_onEX", "data\\game\\sounds\\explosion_big.wav", 800.0f);
    AddSoundEffect(main, "fx_onCR", "data\\game\\sounds\\crash.wav", 600.0f);
    AddSoundEffect(main, "fx_onHT", "data\\game\\sounds\\hit2.wav", 60.0f);

    AddTemplateGroup(tmpl, "hull", BuildPart("hull", _renderer, [&](shape_builder_c& _s) {
                         Hull(_s, skin, marking);
                         Gondolas(_s, wood, steel);
                     }));
    AddTemplateGroup(tmpl, "burning", BuildPart("burning", _renderer, [&](shape_builder_c& _s) {
                         Hull(_s, burnt, burnt);
                         Gondolas(_s, burnt, burnt);
                     }));
    // The crashed frame lies broken on the ground around the origin.
    AddTemplateGroup(tmpl, "wreck", BuildPart("wreck", _renderer, [&](shape_builder_c& _s) {
                         _s.Surface("frame", burnt);
                         _s.TurnedBox(vec3_c(0.0f, 2.0f, 10.0f), vec3_c(12.0f, 4.0f, 40.0f), vec3_c(0.1f, 0.05f, 0.1f));
                         _s.TurnedBox(vec3_c(2.0f, 1.5f, -25.0f), vec3_c(10.0f, 3.0f, 30.0f),
                                      vec3_c(-0.2f, 0.05f, -0.1f));
                         _s.Cylinder(vec3_c(0.0f, 1.0f, -40.0f), vec3_c(0.0f, 6.0f, -44.0f), 4.0f, 0.5f, 8);
                     }));
    for (const gun_place_c& place : gun_places) {
        template_group_c* gun = AddTemplateGroup(tmpl, place.group, Gun(place, _renderer, steel));
        f32 burst_delay = 1.5f, burst_length = 6.0f, shooting_delay = 0.15f, max_yaw_dot = -1.0f, distance = 150.0f;
        gun->parameters.GetSetFloat("gun burst delay", &burst_delay, false, 0.0f, 100.0f);
        gun->parameters.GetSetFloat("gun burst length", &burst_length, false, 0.0f, 100.0f);
        gun->parameters.GetSetFloat("gun shooting delay", &shooting_delay, false, 0.0f, 100.0f);
        gun->parameters.GetSetFloat("gun max yaw dot", &max_yaw_dot, false, -1.0f, 1.0f);
        auto file = std::make_unique<parameter_file_c>();
        file->name = "gun sound file";
        file->value = "data\\game\\sounds\\aagun_shot.wav";
        gun->parameters.Add(std::move(file));
        gun->parameters.GetSetFloat("gun sound distance", &distance, false, 0.0f, 1.0e6f);
    }
    AddTemplateGroup(tmpl, "mask", Mask(_renderer, vec3_c(0.0f, hull_y - 2.0f, -3.0f), vec3_c(16.0f, 20.0f, 88.0f)));
    AddTemplateModel(tmpl, "normal", {"hull", "gun_1", "gun_2", "gun_3"});
    AddTemplateModel(tmpl, "burned", {"burning"});
    AddTemplateModel(tmpl, "crashed", {"wreck"});
    WriteTemplate(tmpl, _style.file, _renderer);
}

} // namespace

void MakeAirships(renderer_c* _renderer)
{
    for (const airship_style_c& style : airship_styles)
        MakeAirship(style, _renderer);
}
