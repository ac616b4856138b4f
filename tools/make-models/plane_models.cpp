// Two biplanes of one layout, told apart by their colours, markings and
// handling. Plane space: x to the right wing, y up, z to the nose; the
// wheels touch the ground at y = -1.4, where the flight model's contact
// segments lie.
#include "game/objects/plane_file.h"
#include "level/template_builder.h"
#include "tools/make-models/make_models.h"
#include "tools/make-models/pictures.h"
#include "tools/make-models/shape_builder.h"

#include <cmath>

const char* const plane_files[2] = {"data\\planes\\hawk\\hawk.op", "data\\planes\\falcon\\falcon.op"};

namespace {

struct plane_style_c {
    const char* name;
    const char* folder;
    int iff;
    float speed;
    float handling;
    float durability;
    float minVelocity;
    float maxVelocity;
    vec3_c fabric; // wings and tail
    vec3_c hull;   // fuselage
    vec3_c marking;
};

const plane_style_c styles[2] = {
    {"Hawk", "data\\planes\\hawk\\", 1, 0.65f, 0.8f, 1.0f, 20.0f, 60.0f, vec3_c(0.55f, 0.52f, 0.36f),
     vec3_c(0.42f, 0.40f, 0.30f), vec3_c(0.75f, 0.12f, 0.12f)},
    {"Falcon", "data\\planes\\falcon\\", -1, 0.6f, 0.85f, 0.9f, 19.0f, 58.0f, vec3_c(0.35f, 0.45f, 0.55f),
     vec3_c(0.30f, 0.34f, 0.28f), vec3_c(0.1f, 0.1f, 0.1f)},
};

// Heights and stations chosen around the flight model's fixed points: the
// wheels' contact line at y = -1.4 through z = 0.5, the belly line rising to
// the tail skid, wing collision lines at y = 1.0 and -0.5, and the pilot's
// eye at the default inside camera point (0, 0.75..0.85, -0.9).
constexpr float ground_y = -1.4f;
constexpr float wheel_radius = 0.45f;
constexpr float wheel_z = 0.5f;
constexpr float axle_y = ground_y + wheel_radius;
constexpr float hull_y = 0.1f; // fuselage centre line
constexpr float hull_top = 0.55f;
constexpr float hull_bottom = -0.35f;
constexpr float upper_wing_y = 1.0f;
constexpr float lower_wing_y = -0.45f;
constexpr float half_span = 4.5f;
constexpr float wing_chord = 1.5f;
constexpr float wing_z = 0.3f;
constexpr float tail_z = -5.6f; // hinge line of elevator and rudder
constexpr float tail_y = 0.35f;
constexpr float cowl_z = 1.2f;
constexpr float nose_z = 1.95f;
constexpr float aileron_chord = 0.4f;
constexpr float dashboard_z = -0.35f;
constexpr float gun_y = 0.64f;
constexpr float gun_x = 0.18f;

const vec3_c wood_colour(0.55f, 0.36f, 0.2f);
const vec3_c metal_colour(0.6f, 0.6f, 0.62f);

struct plane_looks_c {
    surface_look_c fabric, hull, marking, wood, metal, dark, glass, tyre;
};

plane_looks_c Looks(const plane_style_c& _style)
{
    const std::string folder = _style.folder;
    plane_looks_c looks;
    looks.fabric.color = _style.fabric;
    looks.fabric.texture = folder + "fabric.png";
    looks.fabric.tile = 0.5f;
    looks.hull.color = _style.hull;
    looks.hull.texture = folder + "hull.png";
    looks.hull.tile = 0.5f;
    looks.marking.color = _style.marking;
    looks.wood.color = wood_colour;
    looks.wood.texture = "data\\common\\planes\\wood.png";
    looks.wood.tile = 0.6f;
    looks.metal.color = metal_colour;
    looks.metal.texture = "data\\common\\planes\\metal.png";
    looks.metal.specular = 0.5f;
    looks.dark.color = vec3_c(0.12f, 0.12f, 0.12f);
    looks.glass.color = vec3_c(0.8f, 0.85f, 0.8f);
    looks.glass.texture = "data\\common\\planes\\dial.png";
    looks.glass.tile = 0.16f; // one dial face across a dial
    looks.glass.luminosity = 0.3f;
    looks.tyre.color = vec3_c(0.08f, 0.08f, 0.08f);
    return looks;
}

// The guns on the fuselage top ahead of the pilot.
void AddGuns(shape_builder_c& _shape, const plane_looks_c& _looks)
{
    _shape.Surface("dark", _looks.dark);
    for (float side : {-1.0f, 1.0f}) {
        _shape.Box(vec3_c(side * gun_x, gun_y, 0.2f), vec3_c(0.1f, 0.14f, 0.8f));
        _shape.Cylinder(vec3_c(side * gun_x, gun_y + 0.02f, 0.6f), vec3_c(side * gun_x, gun_y + 0.02f, 1.3f), 0.035f,
                        0.035f, 6);
    }
}

// The wings and tail surfaces that do not move: the moving ones are parts.
void AddAirframe(shape_builder_c& _shape, const plane_looks_c& _looks, u32 _sides)
{
    const float hull_length = cowl_z + 1.8f;
    _shape.Surface("hull", _looks.hull);
    _shape.Box(vec3_c(0.0f, hull_y, cowl_z - hull_length * 0.5f), vec3_c(1.0f, hull_top - hull_bottom, hull_length));
    _shape.Cylinder(vec3_c(0.0f, hull_y, -1.8f), vec3_c(0.0f, tail_y, tail_z - 0.4f), 0.5f, 0.1f, _sides);
    _shape.Surface("metal", _looks.metal);
    _shape.Cylinder(vec3_c(0.0f, hull_y, cowl_z), vec3_c(0.0f, hull_y, nose_z - 0.1f), 0.56f, 0.6f, _sides, false);
    _shape.Surface("fabric", _looks.fabric);
    // Upper wing without the aileron bays; lower wing whole.
    _shape.Box(vec3_c(0.0f, upper_wing_y, wing_z + aileron_chord * 0.5f),
               vec3_c(half_span * 2.0f, 0.1f, wing_chord - aileron_chord));
    _shape.Box(vec3_c(0.0f, upper_wing_y, wing_z - wing_chord * 0.5f + aileron_chord * 0.5f),
               vec3_c(half_span, 0.1f, aileron_chord));
    _shape.Box(vec3_c(0.0f, lower_wing_y, wing_z - 0.1f), vec3_c(half_span * 1.8f, 0.1f, wing_chord * 0.9f));
    // Fixed tailplane and fin ahead of the hinge line.
    _shape.Box(vec3_c(0.0f, tail_y, tail_z + 0.35f), vec3_c(3.0f, 0.06f, 0.7f));
    _shape.Box(vec3_c(0.0f, tail_y + 0.45f, tail_z + 0.3f), vec3_c(0.06f, 0.9f, 0.6f));
    _shape.Surface("marking", _looks.marking);
    for (float side : {-1.0f, 1.0f})
        _shape.Disc(vec3_c(side * (half_span - 0.9f), upper_wing_y + 0.051f, wing_z), vec3_c(0.0f, 1.0f, 0.0f), 0.5f,
                    _sides);
    for (float side : {-1.0f, 1.0f})
        _shape.Disc(vec3_c(side * 0.38f, 0.2f, -3.0f), vec3_c(side, 0.0f, 0.0f), 0.25f, _sides);
    _shape.Surface("wood", _looks.wood);
    for (float side : {-1.0f, 1.0f}) {
        for (float z : {wing_z + 0.5f, wing_z - 0.5f}) {
            _shape.Box(vec3_c(side * (half_span - 0.7f), (upper_wing_y + lower_wing_y) * 0.5f, z),
                       vec3_c(0.06f, upper_wing_y - lower_wing_y, 0.08f));
            _shape.Box(vec3_c(side * 0.5f, (upper_wing_y + hull_top) * 0.5f, z),
                       vec3_c(0.05f, upper_wing_y - hull_top, 0.06f));
        }
        // Undercarriage legs down to the axle.
        for (float z : {0.9f, 0.1f})
            _shape.Cylinder(vec3_c(side * 0.35f, hull_bottom, z), vec3_c(side * 0.7f, axle_y, wheel_z), 0.04f, 0.04f, 4,
                            false);
    }
    _shape.Surface("metal", _looks.metal);
    _shape.Cylinder(vec3_c(-0.8f, axle_y, wheel_z), vec3_c(0.8f, axle_y, wheel_z), 0.03f, 0.03f, 4);
    _shape.Box(vec3_c(0.0f, tail_y - 0.35f, tail_z - 0.2f), vec3_c(0.05f, 0.5f, 0.1f)); // tail skid
    // The cockpit opening.
    _shape.Surface("dark", _looks.dark);
    _shape.Box(vec3_c(0.0f, hull_top + 0.005f, -0.9f), vec3_c(0.6f, 0.01f, 0.9f));
}

void WriteSkin(const plane_style_c& _style)
{
    WritePattern((std::string(_style.folder) + "fabric.png").c_str(), pattern_canvas, _style.fabric);
    WritePattern((std::string(_style.folder) + "hull.png").c_str(), pattern_canvas, _style.hull);
}

void WriteCommonPictures()
{
    WritePattern("data\\common\\planes\\wood.png", pattern_wood, wood_colour);
    WritePattern("data\\common\\planes\\metal.png", pattern_metal, metal_colour);
    // An instrument face: white ring and ticks on black.
    WritePicture("data\\common\\planes\\dial.png", 64, 64, false, [](int _x, int _y) {
        const float dx = static_cast<float>(_x) - 31.5f, dy = static_cast<float>(_y) - 31.5f;
        const float r = std::sqrt(dx * dx + dy * dy);
        const float angle = std::atan2(dy, dx);
        const bool ring = r > 28.0f && r < 30.5f;
        const bool tick = r > 22.0f && r < 28.0f && std::fmod(angle + 6.2831853f, 0.5235988f) < 0.06f;
        return ring || tick ? Colour(0.95f, 0.95f, 0.9f) : Colour(0.05f, 0.05f, 0.05f);
    });
}

void MakePlane(const plane_style_c& _style, const char* _file, renderer_c* _renderer)
{
    WriteSkin(_style);
    const plane_looks_c looks = Looks(_style);
    object_template_c tmpl;
    TemplateLayer(tmpl, (std::string(_style.name) + ".lwo").c_str());
    AddTemplateGroup(tmpl, "MainGroup", nullptr);

    // The collision shape: ray tests only.
    auto mask = BuildPart("mask", _renderer, [&](shape_builder_c& _s) {
        _s.Box(vec3_c(0.0f, hull_y + 0.1f, -2.0f), vec3_c(1.1f, 1.2f, 8.0f));
        _s.Box(vec3_c(0.0f, upper_wing_y, wing_z), vec3_c(half_span * 2.0f, 0.2f, wing_chord));
        _s.Box(vec3_c(0.0f, lower_wing_y, wing_z), vec3_c(half_span * 1.8f, 0.2f, wing_chord));
    });
    mask->SetVisibility(false, true);
    AddTemplateGroup(tmpl, "mask", std::move(mask));
    AddTemplateGroup(tmpl, "shadow", BuildPart("shadow", _renderer, [&](shape_builder_c& _s) {
                         _s.Box(vec3_c(0.0f, hull_y, -1.9f), vec3_c(0.9f, 0.9f, 7.6f));
                         _s.Box(vec3_c(0.0f, upper_wing_y, wing_z), vec3_c(half_span * 2.0f, 0.1f, wing_chord));
                         _s.Box(vec3_c(0.0f, lower_wing_y, wing_z), vec3_c(half_span * 1.8f, 0.1f, wing_chord));
                         _s.Box(vec3_c(0.0f, tail_y, tail_z), vec3_c(3.0f, 0.06f, 1.2f));
                     }));

    // Inside: the dashboard, the coaming, the fuselage top and guns ahead
    // and the wings over the pilot; the instruments are parts of their own.
    AddTemplateGroup(
        tmpl, "cockpit", BuildPart("cockpit", _renderer, [&](shape_builder_c& _s) {
            _s.Surface("wood", looks.wood);
            _s.Box(vec3_c(0.0f, 0.56f, dashboard_z), vec3_c(0.9f, 0.32f, 0.04f));
            _s.Surface("hull", looks.hull);
            for (float side : {-1.0f, 1.0f})
                _s.Box(vec3_c(side * 0.42f, hull_top + 0.04f, -0.9f), vec3_c(0.16f, 0.08f, 1.1f));
            _s.Box(vec3_c(0.0f, hull_top, 0.45f), vec3_c(1.0f, 0.04f, 1.5f));
            _s.Surface("metal", looks.metal);
            _s.Cylinder(vec3_c(0.0f, hull_y, cowl_z), vec3_c(0.0f, hull_y, nose_z - 0.1f), 0.56f, 0.6f, 10, false);
            AddGuns(_s, looks);
            _s.Surface("fabric", looks.fabric);
            _s.Box(vec3_c(0.0f, upper_wing_y, wing_z), vec3_c(half_span * 2.0f, 0.1f, wing_chord));
            _s.Box(vec3_c(0.0f, lower_wing_y, wing_z - 0.1f), vec3_c(half_span * 1.8f, 0.1f, wing_chord * 0.9f));
            _s.Surface("wood", looks.wood);
            for (float side : {-1.0f, 1.0f})
                for (float z : {wing_z + 0.5f, wing_z - 0.5f}) {
                    _s.Box(vec3_c(side * 0.5f, (upper_wing_y + hull_top) * 0.5f, z),
                           vec3_c(0.05f, upper_wing_y - hull_top, 0.06f));
                    _s.Box(vec3_c(side * (half_span - 0.7f), (upper_wing_y + lower_wing_y) * 0.5f, z),
                           vec3_c(0.06f, upper_wing_y - lower_wing_y, 0.08f));
                }
        }));
    const float dial_z = dashboard_z - 0.025f;
    AddTemplateGroup(tmpl, "compass",
                     BuildPart(
                         "compass", _renderer,
                         [&](shape_builder_c& _s) {
                             _s.Surface("dial", looks.glass);
                             _s.Disc(vec3_c(), vec3_c(0.0f, 0.0f, -1.0f), 0.08f, 12);
                         },
                         vec3_c(-0.22f, 0.54f, dial_z)));
    for (const auto& [name, x] : {std::pair{"arrow1", 0.08f}, std::pair{"arrow2", 0.28f}}) {
        // The needle over its own dial, turning about the view axis. The dial
        // stands off the panel as the compass does: on the panel's plane
        // the two would fight over the depth test.
        AddTemplateGroup(tmpl, name,
                         BuildPart(
                             name, _renderer,
                             [&](shape_builder_c& _s) {
                                 _s.Surface("dial", looks.glass);
                                 _s.Disc(vec3_c(), vec3_c(0.0f, 0.0f, -1.0f), 0.07f, 12);
                                 _s.Surface("needle", looks.marking);
                                 _s.Box(vec3_c(0.0f, 0.03f, -0.005f), vec3_c(0.008f, 0.06f, 0.004f));
                             },
                             vec3_c(x, 0.6f, dial_z)));
    }

    // The gunner's view: the guns and the fuselage top.
    AddTemplateGroup(tmpl, "guns_view", BuildPart("guns_view", _renderer, [&](shape_builder_c& _s) {
                         AddGuns(_s, looks);
                         _s.Surface("hull", looks.hull);
                         _s.Box(vec3_c(0.0f, hull_top, 0.45f), vec3_c(1.0f, 0.04f, 1.5f));
                     }));

    // Outside: the airframe, the turning rotary engine, the control surfaces
    // and the wheels.
    AddTemplateGroup(tmpl, "body", BuildPart("body", _renderer, [&](shape_builder_c& _s) {
                         AddAirframe(_s, looks, 10);
                         AddGuns(_s, looks);
                     }));
    AddTemplateGroup(tmpl, "out_engine",
                     BuildPart(
                         "out_engine", _renderer,
                         [&](shape_builder_c& _s) {
                             _s.Surface("metal", looks.metal);
                             for (int c = 0; c < 7; ++c) {
                                 const float a = 6.2831853f * static_cast<float>(c) / 7.0f;
                                 _s.Cylinder(vec3_c(), vec3_c(std::cos(a) * 0.5f, std::sin(a) * 0.5f, 0.0f), 0.09f,
                                             0.08f, 6);
                             }
                         },
                         vec3_c(0.0f, hull_y, nose_z)));
    // Ailerons hinge at their leading edge, on the outer half of the upper
    // wing.
    for (float side : {1.0f, -1.0f}) {
        const char* name = side > 0.0f ? "wing_br" : "wing_bl";
        AddTemplateGroup(
            tmpl, name,
            BuildPart(
                name, _renderer,
                [&](shape_builder_c& _s) {
                    _s.Surface("fabric", looks.fabric);
                    _s.Box(vec3_c(side * half_span * 0.25f, 0.0f, -aileron_chord * 0.5f),
                           vec3_c(half_span * 0.5f, 0.08f, aileron_chord));
                },
                vec3_c(side * half_span * 0.75f, upper_wing_y, wing_z - wing_chord * 0.5f + aileron_chord)));
    }
    AddTemplateGroup(tmpl, "tail__p",
                     BuildPart(
                         "tail__p", _renderer,
                         [&](shape_builder_c& _s) {
                             _s.Surface("fabric", looks.fabric);
                             _s.Box(vec3_c(0.0f, 0.0f, -0.25f), vec3_c(3.0f, 0.05f, 0.5f));
                         },
                         vec3_c(0.0f, tail_y, tail_z)));
    AddTemplateGroup(tmpl, "fin__h",
                     BuildPart(
                         "fin__h", _renderer,
                         [&](shape_builder_c& _s) {
                             _s.Surface("fabric", looks.fabric);
                             _s.Box(vec3_c(0.0f, 0.45f, -0.25f), vec3_c(0.05f, 0.9f, 0.5f));
                             _s.Surface("marking", looks.marking);
                             for (float side : {-1.0f, 1.0f})
                                 _s.Disc(vec3_c(side * 0.03f, 0.5f, -0.25f), vec3_c(side, 0.0f, 0.0f), 0.2f, 10);
                         },
                         vec3_c(0.0f, tail_y, tail_z)));
    for (float side : {-1.0f, 1.0f}) {
        const char* name = side < 0.0f ? "out_wl" : "out_wr";
        AddTemplateGroup(tmpl, name,
                         BuildPart(
                             name, _renderer,
                             [&](shape_builder_c& _s) {
                                 _s.Surface("tyre", looks.tyre);
                                 _s.Cylinder(vec3_c(-0.07f, 0.0f, 0.0f), vec3_c(0.07f, 0.0f, 0.0f), wheel_radius,
                                             wheel_radius, 12);
                                 _s.Surface("metal", looks.metal);
                                 for (float face : {-1.0f, 1.0f})
                                     _s.Disc(vec3_c(face * 0.075f, 0.0f, 0.0f), vec3_c(face, 0.0f, 0.0f), 0.3f, 12);
                             },
                             vec3_c(side * 0.85f, axle_y, wheel_z)));
    }

    // The airscrew: two wooden blades while slow, a pale disc while fast;
    // both turn about the nose axis.
    const vec3_c hub(0.0f, hull_y, nose_z + 0.2f);
    AddTemplateGroup(tmpl, "airscrew_slow",
                     BuildPart(
                         "airscrew_slow", _renderer,
                         [&](shape_builder_c& _s) {
                             _s.Surface("wood", looks.wood);
                             for (float side : {-1.0f, 1.0f})
                                 _s.TurnedBox(vec3_c(0.0f, side * 0.65f, 0.0f), vec3_c(0.16f, 1.2f, 0.05f),
                                              vec3_c(0.0f, 0.0f, 0.0f));
                             _s.Surface("metal", looks.metal);
                             _s.Cylinder(vec3_c(0.0f, 0.0f, -0.05f), vec3_c(0.0f, 0.0f, 0.2f), 0.12f, 0.02f, 8);
                         },
                         hub));
    // Faint and pale: from the seat the disc is wider than the screen, and
    // brown at a quarter opaque it darkened the whole view ahead.
    surface_look_c blur = looks.wood;
    blur.texture.clear();
    blur.color = vec3_c(0.85f, 0.84f, 0.8f);
    blur.transparency = 0.92f;
    blur.doubleSided = true;
    blur.flags |= material_alpha_blending;
    AddTemplateGroup(tmpl, "airscrew_fast",
                     BuildPart(
                         "airscrew_fast", _renderer,
                         [&](shape_builder_c& _s) {
                             _s.Surface("blur", blur);
                             _s.Disc(vec3_c(), vec3_c(0.0f, 0.0f, 1.0f), 1.25f, 16);
                         },
                         hub));

    // Far away: a few boxes.
    AddTemplateGroup(tmpl, "far_body", BuildPart("far_body", _renderer, [&](shape_builder_c& _s) {
                         _s.Surface("hull", looks.hull);
                         _s.Box(vec3_c(0.0f, hull_y, -1.9f), vec3_c(0.9f, 0.9f, 7.6f));
                         _s.Surface("fabric", looks.fabric);
                         _s.Box(vec3_c(0.0f, upper_wing_y, wing_z), vec3_c(half_span * 2.0f, 0.1f, wing_chord));
                         _s.Box(vec3_c(0.0f, lower_wing_y, wing_z), vec3_c(half_span * 1.8f, 0.1f, wing_chord));
                         _s.Box(vec3_c(0.0f, tail_y, tail_z), vec3_c(3.0f, 0.06f, 1.2f));
                         _s.Box(vec3_c(0.0f, tail_y + 0.45f, tail_z), vec3_c(0.06f, 0.9f, 1.1f));
                     }));
    // Burning: the airframe charred, its paint and grain gone.
    plane_looks_c charred = looks;
    for (surface_look_c* look : {&charred.fabric, &charred.hull, &charred.marking, &charred.wood, &charred.metal}) {
        look->color = look->color * 0.25f;
        look->texture.clear();
    }
    AddTemplateGroup(tmpl, "burned_body",
                     BuildPart("burned_body", _renderer, [&](shape_builder_c& _s) { AddAirframe(_s, charred, 6); }));
    // Crashed: the fuselage nose down and the wings broken off beside it.
    AddTemplateGroup(tmpl, "crashed_body", BuildPart("crashed_body", _renderer, [&](shape_builder_c& _s) {
                         _s.Surface("hull", charred.hull);
                         _s.TurnedBox(vec3_c(0.0f, -0.8f, -1.5f), vec3_c(1.0f, 0.9f, 7.0f), vec3_c(0.2f, 0.2f, 0.3f));
                         _s.Surface("fabric", charred.fabric);
                         _s.TurnedBox(vec3_c(-2.5f, -1.25f, 0.5f), vec3_c(4.0f, 0.1f, 1.4f), vec3_c(0.5f, 0.1f, 0.2f));
                         _s.TurnedBox(vec3_c(2.8f, -1.2f, -0.5f), vec3_c(3.6f, 0.1f, 1.4f),
                                      vec3_c(-0.3f, -0.1f, -0.4f));
                         _s.Surface("wood", charred.wood);
                         _s.TurnedBox(vec3_c(0.5f, -1.3f, 2.5f), vec3_c(0.16f, 2.0f, 0.05f), vec3_c(0.0f, 1.2f, 0.3f));
                     }));

    AddTemplateModel(tmpl, "mask", {"mask"});
    AddTemplateModel(tmpl, "shadow", {"shadow"});
    AddTemplateModel(tmpl, "inside", {"cockpit", "compass", "arrow1", "arrow2"});
    AddTemplateModel(tmpl, "guns", {"guns_view"});
    AddTemplateModel(tmpl, "outside",
                     {"body", "out_engine", "wing_br", "wing_bl", "tail__p", "fin__h", "out_wl", "out_wr"});
    AddTemplateModel(tmpl, "distant", {"far_body"});
    AddTemplateModel(tmpl, "burned", {"burned_body"});
    AddTemplateModel(tmpl, "crashed", {"crashed_body"});

    plane_file_c plane;
    plane.name = _style.name;
    plane.iff = _style.iff;
    plane.speed = _style.speed;
    plane.handling = _style.handling;
    plane.durability = _style.durability;
    plane.minVelocity = _style.minVelocity;
    plane.maxVelocity = _style.maxVelocity;
    plane.minThrust = 0.1f;
    plane.maxThrust = 1.0f;
    // Bullets leave the muzzles; seen from inside they start a little
    // lower, where the pilot's line of sight over the guns meets them.
    plane.gunLeft = vec3_c(-gun_x, gun_y + 0.02f, 1.3f);
    plane.gunRight = vec3_c(gun_x, gun_y + 0.02f, 1.3f);
    plane.insideGunLeft = vec3_c(-gun_x, gun_y, 1.3f);
    plane.insideGunRight = vec3_c(gun_x, gun_y, 1.3f);
    plane.rocketLeft = vec3_c(-2.0f, lower_wing_y - 0.15f, wing_z);
    plane.rocketRight = vec3_c(2.0f, lower_wing_y - 0.15f, wing_z);
    plane.compassPivot = vec3_c();
    plane.w1Pivot = vec3_c();
    plane.w2Pivot = vec3_c();
    plane.insideCameraShift = vec3_c(0.0f, 0.82f, -0.9f);
    plane.outsideCameraShift = vec3_c(0.0f, 3.5f, -14.0f);
    plane.overgunsCameraShift = vec3_c(0.0f, 0.82f, -0.6f);
    plane.sounds = std::string(_style.folder) + (_style.iff > 0 ? "hawk_sounds.txt" : "falcon_sounds.txt");
    AddPlaneParameters(tmpl.FindGroup("MainGroup")->parameters, plane);
    WriteTemplate(tmpl, _file, _renderer);
}

} // namespace

void MakePlanes(renderer_c* _renderer)
{
    WriteCommonPictures();
    for (int i = 0; i < 2; ++i)
        MakePlane(styles[i], plane_files[i], _renderer);
}
