// The HUD's models, seen face on by the HUD camera (looking along +z; x to
// the right, y up). The HUD spans x -4..4 and y -3..3 and shows its models
// at a scale of 5, so a model 0.1 across covers a twelfth of the screen's
// height. The compass sits 0.75 from two screen edges; the digits of the
// bomb counter stand 0.09 apart.
#include "engine/aggregate.h"
#include "engine/scene.h"
#include "game/digit_counter.h"
#include "game/hud.h"
#include "level/template_builder.h"
#include "tools/make-models/make_models.h"
#include "tools/make-models/pictures.h"
#include "tools/make-models/shape_builder.h"

#include <cmath>

const char* const hud_folder = "data\\game\\hud\\";
const char* const hud_compass_file = "data\\game\\hud\\compass.op";

std::string HudFile(const char* _name)
{
    return std::string(hud_folder) + _name;
}

namespace {

constexpr float two_pi = 6.2831853f;

// Bright whatever the HUD light, both faces.
surface_look_c Glow(const vec3_c& _color, const char* _texture = "")
{
    surface_look_c look;
    look.color = _color;
    look.luminosity = 1.0f;
    look.texture = _texture;
    look.doubleSided = true;
    return look;
}

const vec3_c facing(0.0f, 0.0f, -1.0f);

// A flat bar from a to b of the given width, at depth z.
void Bar(shape_builder_c& _s, float _ax, float _ay, float _bx, float _by, float _width)
{
    const float dx = _bx - _ax, dy = _by - _ay;
    const float length = std::sqrt(dx * dx + dy * dy);
    const float nx = -dy / length * _width * 0.5f, ny = dx / length * _width * 0.5f;
    _s.Panel(vec3_c(_ax - nx, _ay - ny, 0.0f), vec3_c(_bx - nx, _by - ny, 0.0f), vec3_c(_bx + nx, _by + ny, 0.0f),
             vec3_c(_ax + nx, _ay + ny, 0.0f));
}

void Ring(shape_builder_c& _s, float _radius, float _width, u32 _sides)
{
    for (u32 i = 0; i < _sides; ++i) {
        const float a0 = two_pi * static_cast<float>(i) / static_cast<float>(_sides);
        const float a1 = two_pi * static_cast<float>(i + 1) / static_cast<float>(_sides);
        Bar(_s, std::cos(a0) * _radius, std::sin(a0) * _radius, std::cos(a1) * _radius, std::sin(a1) * _radius, _width);
    }
}

// An arrow from the compass centre toward +y, out at the rim.
void RimArrow(shape_builder_c& _s)
{
    _s.Flat(vec3_c(-0.015f, 0.12f, 0.0f), vec3_c(0.015f, 0.12f, 0.0f), vec3_c(0.0f, 0.155f, 0.0f));
}

void MakeCompass(renderer_c* _renderer)
{
    WritePicture("data\\game\\hud\\compass_map.png", 64, 64, false, [](int _x, int _y) {
        // Fields in patches with a river, for the moving map under the needle.
        const bool river = std::fabs(static_cast<float>(_x) - 32.0f - 8.0f * std::sin(_y * 0.15f)) < 1.5f;
        if (river)
            return Colour(0.3f, 0.45f, 0.7f);
        const float patch = Hash01(static_cast<u32>(_x / 8), static_cast<u32>(_y / 8), 23);
        return Colour(0.35f + 0.2f * patch, 0.5f + 0.15f * patch, 0.3f);
    });
    object_template_c tmpl;
    AddTemplateGroup(tmpl, "frame", BuildPart("frame", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("rim", Glow(vec3_c(0.2f, 0.18f, 0.15f)));
                         Ring(_s, 0.14f, 0.02f, 32);
                     }));
    AddTemplateGroup(tmpl, "map", BuildPart("map", _renderer, [](shape_builder_c& _s) {
                         surface_look_c map = Glow(vec3_c(1.0f, 1.0f, 1.0f), "data\\game\\hud\\compass_map.png");
                         map.tile = 0.8f;
                         _s.Surface("map", map);
                         _s.Disc(vec3_c(0.0f, 0.0f, 0.003f), facing, 0.133f, 32);
                     }));
    AddTemplateGroup(tmpl, "compass", BuildPart("compass", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("north", Glow(vec3_c(0.8f, 0.1f, 0.1f)));
                         Bar(_s, 0.0f, 0.0f, 0.0f, 0.1f, 0.01f);
                         _s.Surface("south", Glow(vec3_c(0.9f, 0.9f, 0.85f)));
                         Bar(_s, 0.0f, 0.0f, 0.0f, -0.1f, 0.01f);
                     }));
    AddTemplateGroup(tmpl, "target_green", BuildPart("target_green", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("green", Glow(vec3_c(0.1f, 0.8f, 0.2f)));
                         RimArrow(_s);
                     }));
    AddTemplateGroup(tmpl, "target_red", BuildPart("target_red", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("red", Glow(vec3_c(0.9f, 0.15f, 0.1f)));
                         RimArrow(_s);
                     }));
    AddTemplateModel(tmpl, "simple", {"frame", "map", "compass", "target_green", "target_red"});
    WriteTemplate(tmpl, hud_compass_file, _renderer);
}

void MakeSight(renderer_c* _renderer)
{
    object_template_c tmpl;
    AddTemplateGroup(tmpl, "sight", BuildPart("sight", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("sight", Glow(vec3_c(0.95f, 0.9f, 0.6f)));
                         Ring(_s, 0.04f, 0.004f, 24);
                         Bar(_s, -0.07f, 0.0f, -0.02f, 0.0f, 0.003f);
                         Bar(_s, 0.02f, 0.0f, 0.07f, 0.0f, 0.003f);
                         Bar(_s, 0.0f, -0.07f, 0.0f, -0.02f, 0.003f);
                         Bar(_s, 0.0f, 0.02f, 0.0f, 0.07f, 0.003f);
                     }));
    AddTemplateModel(tmpl, "sight", {"sight"});
    WriteTemplate(tmpl, HudFile(hud_sight_file).c_str(), _renderer);
}

void MakeItems(renderer_c* _renderer)
{
    object_template_c tmpl;
    // Side markings: a roundel for the Allies, a cross for the other side.
    AddTemplateGroup(tmpl, "aliant", BuildPart("aliant", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("outer", Glow(vec3_c(0.15f, 0.25f, 0.7f)));
                         _s.Disc(vec3_c(0.0f, 0.0f, 0.001f), facing, 0.025f, 20);
                         _s.Surface("middle", Glow(vec3_c(0.95f, 0.95f, 0.95f)));
                         _s.Disc(vec3_c(0.0f, 0.0f, 0.0005f), facing, 0.017f, 20);
                         _s.Surface("inner", Glow(vec3_c(0.8f, 0.1f, 0.1f)));
                         _s.Disc(vec3_c(), facing, 0.009f, 20);
                     }));
    AddTemplateGroup(tmpl, "german", BuildPart("german", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("cross", Glow(vec3_c(0.08f, 0.08f, 0.08f)));
                         Bar(_s, -0.025f, 0.0f, 0.025f, 0.0f, 0.015f);
                         Bar(_s, 0.0f, -0.025f, 0.0f, 0.025f, 0.015f);
                     }));
    AddTemplateGroup(tmpl, "rocket", BuildPart("rocket", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("rocket", Glow(vec3_c(0.9f, 0.6f, 0.2f)));
                         Bar(_s, -0.025f, -0.025f, 0.015f, 0.015f, 0.01f);
                         _s.Flat(vec3_c(0.01f, 0.0225f, 0.0f), vec3_c(0.0225f, 0.01f, 0.0f),
                                 vec3_c(0.0275f, 0.0275f, 0.0f));
                     }));
    AddTemplateGroup(tmpl, "bomb", BuildPart("bomb", _renderer, [](shape_builder_c& _s) {
                         _s.Surface("bomb", Glow(vec3_c(0.6f, 0.65f, 0.55f)));
                         Bar(_s, 0.0f, -0.02f, 0.0f, 0.02f, 0.0175f);
                         Bar(_s, -0.0125f, 0.025f, 0.0125f, 0.025f, 0.0075f);
                     }));
    for (const char* name : {"german", "aliant", "rocket", "bomb"})
        AddTemplateModel(tmpl, name, {name});
    WriteTemplate(tmpl, HudFile(hud_items_file).c_str(), _renderer);
}

// Seven-segment digits, 0.016 wide and 0.03 high.
void MakeDigits(renderer_c* _renderer)
{
    // Segments a..g: top, upper right, lower right, bottom, lower left,
    // upper left, middle.
    const float w = 0.008f, h = 0.015f, t = 0.003f;
    const float segments[7][4] = {{-w, h, w, h},      {w, h, w, 0.0f},   {w, 0.0f, w, -h},   {w, -h, -w, -h},
                                  {-w, -h, -w, 0.0f}, {-w, 0.0f, -w, h}, {-w, 0.0f, w, 0.0f}};
    const char* lit[10] = {"abcdef", "bc", "abged", "abgcd", "fgbc", "afgcd", "afgedc", "abc", "abcdefg", "abcdfg"};
    object_template_c tmpl;
    for (int digit = 0; digit < 10; ++digit) {
        const std::string name = std::to_string(digit);
        AddTemplateGroup(tmpl, "digit" + name, BuildPart(("digit" + name).c_str(), _renderer, [&](shape_builder_c& _s) {
                             _s.Surface("digit", Glow(vec3_c(0.95f, 0.9f, 0.7f)));
                             for (const char* c = lit[digit]; *c; ++c) {
                                 const float* s = segments[*c - 'a'];
                                 Bar(_s, s[0], s[1], s[2], s[3], t);
                             }
                         }));
    }
    for (int digit = 0; digit < 10; ++digit)
        AddTemplateModel(tmpl, std::to_string(digit), {"digit" + std::to_string(digit)});
    WriteTemplate(tmpl, hud_digits_file, _renderer);
}

// The gun in the HUD's lower right corner (its scene is placed without a
// scale, in HUD units), lying across the screen: a barrel that recoils twice
// a second; the HUD runs its clock behind by the guns' heat. The HUD loads
// it as a scene, so it is written as one.
void MakeGunScene(renderer_c* _renderer)
{
    scene_c scene("karabinek", _renderer);
    auto gun = BuildPart("karabinek_gun", _renderer, [](shape_builder_c& _s) {
        _s.Surface("steel", Glow(vec3_c(0.25f, 0.25f, 0.27f)));
        _s.Box(vec3_c(0.15f, 0.0f, 0.0f), vec3_c(0.5f, 0.14f, 0.12f));
        _s.Box(vec3_c(0.3f, -0.12f, 0.0f), vec3_c(0.08f, 0.16f, 0.08f));
        _s.Surface("barrel", Glow(vec3_c(0.15f, 0.15f, 0.16f)));
        _s.Cylinder(vec3_c(-0.1f, 0.02f, 0.0f), vec3_c(-0.55f, 0.02f, 0.0f), 0.035f, 0.035f, 8);
    });
    envelope_c recoil;
    const float keys[][2] = {{0.0f, 0.0f}, {0.05f, 0.06f}, {0.25f, 0.0f}, {0.5f, 0.0f}};
    for (const auto& [time, value] : keys) {
        envelope_key_c key;
        key.time = time;
        key.value = value;
        key.shape = shape_linear;
        recoil.keys.push_back(key);
    }
    recoil.pre = behaviour_repeat;
    recoil.post = behaviour_repeat;
    gun->AddEnvelope(recoil, &gun->position.x);
    scene.AddObject(gun.release());
    scene.Save(hud_gun_scene_file);
}

// The in-game map's plane markers: an arrow pointing up the map (+y).
void MakeMapMarkers(renderer_c* _renderer)
{
    const std::pair<const char*, vec3_c> markers[] = {
        {"data\\game\\hud\\map_userplane.lwo", vec3_c(1.0f, 0.9f, 0.2f)},
        {"data\\game\\hud\\map_aliant.lwo", vec3_c(0.2f, 0.4f, 0.95f)},
        {"data\\game\\hud\\map_german.lwo", vec3_c(0.9f, 0.15f, 0.1f)},
    };
    for (const auto& [file, color] : markers) {
        const surface_look_c look = Glow(color);
        auto marker = BuildPart("marker", _renderer, [&look](shape_builder_c& _s) {
            _s.Surface("marker", look);
            _s.Flat(vec3_c(-0.03f, -0.03f, 0.0f), vec3_c(0.03f, -0.03f, 0.0f), vec3_c(0.0f, 0.05f, 0.0f));
            Bar(_s, -0.04f, 0.0f, 0.04f, 0.0f, 0.012f);
        });
        marker->Save(file);
    }
}

} // namespace

void MakeHud(renderer_c* _renderer)
{
    MakeCompass(_renderer);
    MakeSight(_renderer);
    MakeItems(_renderer);
    MakeDigits(_renderer);
    MakeGunScene(_renderer);
    MakeMapMarkers(_renderer);
}
