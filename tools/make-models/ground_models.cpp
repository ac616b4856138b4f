// What stands and drives on the ground: the enemy's lorry and staff car,
// the buildings of the fields and depots, and trees. y up from the ground
// at 0, z forward.
#include "tools/make-models/make_models.h"
#include "tools/make-models/model_parts.h"
#include "tools/make-models/pictures.h"

#include <cmath>
#include <initializer_list>

const char* const lorry_file = "data\\game\\objects\\lorry\\lorry.op";
const char* const staff_car_file = "data\\game\\objects\\staff_car\\staff_car.op";
const char* const hangar_file = "data\\game\\objects\\buildings\\hangar.op";
const char* const house_file = "data\\game\\objects\\buildings\\house.op";
const char* const tower_file = "data\\game\\objects\\buildings\\tower.op";
const char* const fir_file = "data\\game\\objects\\trees\\fir.op";
const char* const oak_file = "data\\game\\objects\\trees\\oak.op";

namespace {

const vec3_c field_grey(0.38f, 0.4f, 0.36f);
const vec3_c tarpaulin_colour(0.5f, 0.47f, 0.34f);
const vec3_c plank_colour(0.5f, 0.38f, 0.24f);
const vec3_c plaster_colour(0.78f, 0.74f, 0.64f);
const vec3_c roof_colour(0.5f, 0.2f, 0.14f);
const vec3_c needle_colour(0.12f, 0.3f, 0.14f);
const vec3_c leaf_colour(0.22f, 0.42f, 0.16f);
const surface_look_c paint = Look(field_grey, "data\\game\\objects\\field_grey.png");
const surface_look_c tarpaulin = Look(tarpaulin_colour, "data\\game\\objects\\tarpaulin.png", 0.5f);
const surface_look_c planks = Look(plank_colour, "data\\game\\objects\\planks.png", 0.8f);
const surface_look_c plaster = Look(plaster_colour, "data\\game\\objects\\plaster.png", 2.0f);
const surface_look_c roof = Look(roof_colour, "data\\game\\objects\\roof.png", 1.0f);
const surface_look_c tyre = Look(vec3_c(0.08f, 0.08f, 0.08f));
const surface_look_c glass = Look(vec3_c(0.3f, 0.35f, 0.4f));
const surface_look_c bark = Look(vec3_c(0.3f, 0.22f, 0.14f));
const surface_look_c needles = Look(needle_colour, "data\\game\\objects\\needles.png", 2.0f);
const surface_look_c leaves = Look(leaf_colour, "data\\game\\objects\\leaves.png", 2.0f);
const surface_look_c soot = Look(vec3_c(0.08f, 0.07f, 0.06f));
const surface_look_c ash = Look(vec3_c(0.2f, 0.19f, 0.18f));

void Wheels(shape_builder_c& _s, const std::initializer_list<float>& _axles, float _track, float _radius)
{
    _s.Surface("tyre", tyre);
    for (float z : _axles)
        for (float side : {-1.0f, 1.0f})
            _s.Cylinder(vec3_c(side * _track * 0.5f, _radius, z), vec3_c(side * (_track * 0.5f + 0.25f), _radius, z),
                        _radius, _radius, 10);
}

// A vehicle drives at "move_speed" km/h; both kinds drive at one speed so
// that a convoy keeps its spacing.
template_group_c& VehicleMain(object_template_c& _template)
{
    template_group_c& main = MainGroup(_template, -1);
    f32 speed = 30.0f;
    main.parameters.GetSetFloat("move_speed", &speed, false, 0.0f, 300.0f);
    bool bullet_proof = false;
    main.parameters.GetSetBool("bullets_invulnerability", &bullet_proof, false);
    AddSoundEffect(main, "fx_onEX", "data\\game\\sounds\\explosion_small.wav", 300.0f);
    AddSoundEffect(main, "fx_onHT", "data\\game\\sounds\\hit1.wav", 40.0f);
    return main;
}

void Lorry(shape_builder_c& _s, const surface_look_c& _body, const surface_look_c& _cover)
{
    _s.Surface("body", _body);
    _s.Box(vec3_c(0.0f, 1.0f, 0.0f), vec3_c(2.0f, 0.3f, 6.0f));
    _s.Box(vec3_c(0.0f, 1.3f, 2.3f), vec3_c(1.7f, 0.9f, 1.4f)); // bonnet
    _s.Box(vec3_c(0.0f, 1.9f, 1.1f), vec3_c(2.0f, 1.5f, 1.2f)); // cab
    _s.Surface("cover", _cover);
    _s.Box(vec3_c(0.0f, 2.1f, -1.4f), vec3_c(2.1f, 1.9f, 3.4f));
}

void MakeLorry(renderer_c* _renderer)
{
    object_template_c tmpl;
    VehicleMain(tmpl);
    AddTemplateGroup(tmpl, "lorry", BuildPart("lorry", _renderer, [](shape_builder_c& _s) {
                         Lorry(_s, paint, tarpaulin);
                         _s.Surface("glass", glass);
                         _s.Box(vec3_c(0.0f, 2.2f, 1.71f), vec3_c(1.6f, 0.6f, 0.02f));
                         Wheels(_s, {2.0f, -1.0f, -2.2f}, 2.0f, 0.5f);
                     }));
    AddTemplateGroup(tmpl, "wreck", BuildPart("wreck", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("soot", soot);
                         _s.TurnedBox(vec3_c(0.0f, 0.8f, 0.0f), vec3_c(2.0f, 0.4f, 6.0f), vec3_c(0.1f, 0.0f, 0.12f));
                         _s.TurnedBox(vec3_c(0.2f, 1.4f, 1.4f), vec3_c(1.8f, 1.2f, 1.6f), vec3_c(0.2f, 0.1f, 0.1f));
                         _s.Surface("ash", ash);
                         _s.TurnedBox(vec3_c(0.0f, 1.2f, -1.6f), vec3_c(2.0f, 0.6f, 3.0f), vec3_c(0.0f, 0.0f, 0.15f));
                     }));
    AddTemplateModel(tmpl, "normal", {"lorry"});
    AddTemplateModel(tmpl, "destroyed", {"wreck"});
    WriteTemplate(tmpl, lorry_file, _renderer);
}

void MakeStaffCar(renderer_c* _renderer)
{
    object_template_c tmpl;
    VehicleMain(tmpl);
    AddTemplateGroup(tmpl, "car", BuildPart("car", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("body", paint);
                         _s.Box(vec3_c(0.0f, 0.9f, 0.0f), vec3_c(1.7f, 0.6f, 4.2f));
                         _s.Box(vec3_c(0.0f, 1.0f, 1.5f), vec3_c(1.3f, 0.5f, 1.2f)); // bonnet
                         _s.Surface("seats", Look(vec3_c(0.25f, 0.15f, 0.1f)));
                         _s.Box(vec3_c(0.0f, 1.35f, -0.6f), vec3_c(1.5f, 0.4f, 1.8f));
                         _s.Surface("glass", glass);
                         _s.TurnedBox(vec3_c(0.0f, 1.55f, 0.75f), vec3_c(1.4f, 0.6f, 0.04f), vec3_c(0.0f, -0.3f, 0.0f));
                         Wheels(_s, {1.4f, -1.3f}, 1.6f, 0.4f);
                     }));
    AddTemplateGroup(tmpl, "wreck", BuildPart("wreck", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("soot", soot);
                         _s.TurnedBox(vec3_c(0.0f, 0.6f, 0.0f), vec3_c(1.7f, 0.6f, 4.2f), vec3_c(0.3f, 0.05f, 0.35f));
                     }));
    AddTemplateModel(tmpl, "normal", {"car"});
    AddTemplateModel(tmpl, "destroyed", {"wreck"});
    WriteTemplate(tmpl, staff_car_file, _renderer);
}

// A building stands in its "normal" model and, once bombed to pieces, shows
// its "burned" one (the level names both for its destructible scenery).
void WriteBuilding(const char* _file, std::unique_ptr<geom_object_c> _whole, std::unique_ptr<geom_object_c> _ruin,
                   renderer_c* _renderer)
{
    object_template_c tmpl;
    template_group_c& main = MainGroup(tmpl, -1);
    AddSoundEffect(main, "fx_onEX", "data\\game\\sounds\\explosion_big.wav", 500.0f);
    AddTemplateGroup(tmpl, "building", std::move(_whole));
    AddTemplateGroup(tmpl, "ruin", std::move(_ruin));
    AddTemplateModel(tmpl, "normal", {"building"});
    AddTemplateModel(tmpl, "burned", {"ruin"});
    WriteTemplate(tmpl, _file, _renderer);
}

// Low rubble of a building of that floor size.
std::unique_ptr<geom_object_c> Ruin(renderer_c* _renderer, float _width, float _depth)
{
    return BuildPart("ruin", _renderer, [=](shape_builder_c& _s) {
        _s.Surface("ash", ash);
        _s.Box(vec3_c(0.0f, 0.3f, 0.0f), vec3_c(_width, 0.6f, _depth));
        _s.Surface("soot", soot);
        _s.TurnedBox(vec3_c(_width * 0.2f, 1.0f, _depth * 0.1f), vec3_c(_width * 0.5f, 1.2f, 0.4f),
                     vec3_c(0.4f, 0.2f, 0.0f));
        _s.TurnedBox(vec3_c(-_width * 0.3f, 0.8f, -_depth * 0.2f), vec3_c(0.4f, 1.5f, _depth * 0.4f),
                     vec3_c(0.2f, 0.0f, 0.3f));
    });
}

// A wooden hangar with a round roof, its doors to +z.
void MakeHangar(renderer_c* _renderer)
{
    constexpr float width = 24.0f, depth = 20.0f, wall = 5.0f;
    WriteBuilding(hangar_file,
                  BuildPart("building", _renderer,
                            [](shape_builder_c& _s) {
                                _s.Surface("planks", planks);
                                _s.Box(vec3_c(0.0f, wall * 0.5f, 0.0f), vec3_c(width, wall, depth));
                                _s.Surface("roof", tarpaulin);
                                _s.Cylinder(vec3_c(0.0f, wall, -depth * 0.5f), vec3_c(0.0f, wall, depth * 0.5f),
                                            width * 0.5f, width * 0.5f, 16);
                                _s.Surface("doors", Look(vec3_c(0.2f, 0.16f, 0.1f)));
                                _s.Box(vec3_c(0.0f, wall * 0.5f, depth * 0.5f + 0.05f),
                                       vec3_c(width * 0.7f, wall, 0.1f));
                            }),
                  Ruin(_renderer, width, depth), _renderer);
}

// A plastered house with a pitched roof.
void MakeHouse(renderer_c* _renderer)
{
    constexpr float width = 8.0f, depth = 10.0f, wall = 5.0f;
    WriteBuilding(house_file,
                  BuildPart("building", _renderer,
                            [](shape_builder_c& _s) {
                                _s.Surface("plaster", plaster);
                                _s.Box(vec3_c(0.0f, wall * 0.5f, 0.0f), vec3_c(width, wall, depth));
                                _s.Surface("roof", roof);
                                for (float side : {-1.0f, 1.0f})
                                    _s.TurnedBox(vec3_c(side * width * 0.25f, wall + 1.4f, 0.0f),
                                                 vec3_c(width * 0.62f, 0.2f, depth + 0.6f),
                                                 vec3_c(0.0f, 0.0f, -side * 0.6f));
                                _s.Surface("windows", glass);
                                for (float x : {-2.0f, 2.0f})
                                    _s.Box(vec3_c(x, 2.8f, depth * 0.5f + 0.03f), vec3_c(1.0f, 1.2f, 0.06f));
                            }),
                  Ruin(_renderer, width, depth), _renderer);
}

// A wooden watch tower on four legs.
void MakeTower(renderer_c* _renderer)
{
    constexpr float height = 12.0f;
    WriteBuilding(
        tower_file,
        BuildPart("building", _renderer,
                  [](shape_builder_c& _s) {
                      _s.Surface("planks", planks);
                      for (float x : {-1.5f, 1.5f})
                          for (float z : {-1.5f, 1.5f})
                              _s.Cylinder(vec3_c(x, 0.0f, z), vec3_c(x * 0.8f, height, z * 0.8f), 0.15f, 0.12f, 6);
                      _s.Box(vec3_c(0.0f, height, 0.0f), vec3_c(3.6f, 0.3f, 3.6f));
                      _s.Box(vec3_c(0.0f, height + 0.6f, 1.75f), vec3_c(3.6f, 1.0f, 0.1f));
                      _s.Box(vec3_c(0.0f, height + 0.6f, -1.75f), vec3_c(3.6f, 1.0f, 0.1f));
                      _s.Surface("roof", roof);
                      _s.Cylinder(vec3_c(0.0f, height + 2.4f, 0.0f), vec3_c(0.0f, height + 4.0f, 0.0f), 2.8f, 0.0f, 4);
                  }),
        Ruin(_renderer, 3.6f, 3.6f), _renderer);
}

void WriteTree(const char* _file, std::unique_ptr<geom_object_c> _tree, renderer_c* _renderer)
{
    object_template_c tmpl;
    AddTemplateGroup(tmpl, "tree", std::move(_tree));
    AddTemplateModel(tmpl, "normal", {"tree"});
    WriteTemplate(tmpl, _file, _renderer);
}

void MakeTrees(renderer_c* _renderer)
{
    WriteTree(fir_file,
              BuildPart("tree", _renderer,
                        [](shape_builder_c& _s) {
                            _s.Surface("bark", bark);
                            _s.Cylinder(vec3_c(0.0f, 0.0f, 0.0f), vec3_c(0.0f, 3.0f, 0.0f), 0.35f, 0.3f, 6);
                            _s.Surface("needles", needles);
                            for (int i = 0; i < 3; ++i) {
                                const float base = 2.0f + 3.5f * static_cast<float>(i);
                                const float radius = 3.2f - 0.8f * static_cast<float>(i);
                                _s.Cylinder(vec3_c(0.0f, base, 0.0f), vec3_c(0.0f, base + 5.0f, 0.0f), radius, 0.0f, 8);
                            }
                        }),
              _renderer);
    WriteTree(oak_file,
              BuildPart("tree", _renderer,
                        [](shape_builder_c& _s) {
                            _s.Surface("bark", bark);
                            _s.Cylinder(vec3_c(0.0f, 0.0f, 0.0f), vec3_c(0.0f, 4.5f, 0.0f), 0.5f, 0.35f, 7);
                            _s.Surface("leaves", leaves);
                            _s.Cylinder(vec3_c(0.0f, 3.5f, 0.0f), vec3_c(0.0f, 7.0f, 0.0f), 3.0f, 4.0f, 9);
                            _s.Cylinder(vec3_c(0.0f, 7.0f, 0.0f), vec3_c(0.0f, 10.0f, 0.0f), 4.0f, 1.0f, 9);
                        }),
              _renderer);
}

} // namespace

void MakeGroundScenery(renderer_c* _renderer)
{
    WritePattern("data\\game\\objects\\field_grey.png", pattern_metal, field_grey);
    WritePattern("data\\game\\objects\\tarpaulin.png", pattern_canvas, tarpaulin_colour);
    WritePattern("data\\game\\objects\\planks.png", pattern_wood, plank_colour);
    WritePattern("data\\game\\objects\\plaster.png", pattern_sandbag, plaster_colour);
    WritePattern("data\\game\\objects\\roof.png", pattern_wood, roof_colour);
    WritePattern("data\\game\\objects\\needles.png", pattern_canvas, needle_colour);
    WritePattern("data\\game\\objects\\leaves.png", pattern_canvas, leaf_colour);
    MakeLorry(_renderer);
    MakeStaffCar(_renderer);
    MakeHangar(_renderer);
    MakeHouse(_renderer);
    MakeTower(_renderer);
    MakeTrees(_renderer);
}
