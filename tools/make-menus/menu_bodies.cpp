#include "tools/make-menus/menu_bodies.h"

#include "audio/sound_writers.h"
#include "engine/camera.h"
#include "engine/envelope.h"
#include "engine/geom_object.h"
#include "engine/scene.h"
#include "image/image.h"
#include "tools/data-kit/picture_paint.h"
#include "tools/make-models/shape_builder.h"

#include <cmath>
#include <memory>

namespace {

constexpr f32 kPi = 3.14159265f;
// Depths of the plates and of the panels behind them.
constexpr f32 kNear = 2.0f;
constexpr f32 kFar = 500.0f;

// The colours of the menus: dark walnut plates with brass rims, cream text.
const vec3_c kRim(0.72f, 0.56f, 0.28f);
const vec3_c kRimLit(1.0f, 0.84f, 0.42f);
const vec3_c kRimDim(0.32f, 0.3f, 0.27f);
const vec3_c kPlate(0.2f, 0.15f, 0.1f);
const vec3_c kPlateLit(0.36f, 0.26f, 0.13f);
const vec3_c kPlateDim(0.14f, 0.13f, 0.12f);
const vec3_c kPlatePressed(0.55f, 0.4f, 0.16f);
const vec3_c kField(0.06f, 0.055f, 0.05f);
const vec3_c kCream(0.95f, 0.9f, 0.75f);

std::string Common(const char* _name)
{
    return std::string(kMenuFolder) + _name;
}

surface_look_c Flat(const vec3_c& _color, f32 _transparency = 0.0f)
{
    surface_look_c look;
    look.color = _color;
    look.luminosity = 1.0f;
    look.specular = 0.0f;
    look.transparency = _transparency;
    look.doubleSided = true;
    return look;
}

// A point of the rectangle's unit square (u right, v down) at depth _depth.
vec3_c At(f32 _u, f32 _v, f32 _depth)
{
    return vec3_c((2.0f * _u - 1.0f) * _depth * 4.0f / 3.0f, (1.0f - 2.0f * _v) * _depth, _depth);
}

void Rect(shape_builder_c& _s, f32 _u0, f32 _v0, f32 _u1, f32 _v1, f32 _depth)
{
    _s.Panel(At(_u0, _v1, _depth), At(_u1, _v1, _depth), At(_u1, _v0, _depth), At(_u0, _v0, _depth));
}

// A rim of _rim wide around the square with the plate inside; _depth is
// the plate's, the rim lies just behind it.
void Plate(shape_builder_c& _s, const vec3_c& _rim, const vec3_c& _plate, f32 _rim_u, f32 _rim_v, f32 _depth)
{
    _s.Surface("rim", Flat(_rim));
    Rect(_s, 0.0f, 0.0f, 1.0f, 1.0f, _depth * 1.01f);
    _s.Surface("plate", Flat(_plate));
    Rect(_s, _rim_u, _rim_v, 1.0f - _rim_u, 1.0f - _rim_v, _depth);
    // A lighter band along the top edge, as if lit from above.
    _s.Surface("sheen", Flat(_plate * 1.35f));
    Rect(_s, _rim_u, _rim_v, 1.0f - _rim_u, _rim_v + (1.0f - 2.0f * _rim_v) * 0.3f, _depth * 0.999f);
}

envelope_key_c Key(f32 _time, f32 _value, envelope_shape_e _shape)
{
    envelope_key_c key;
    key.time = _time;
    key.value = _value;
    key.shape = _shape;
    return key;
}

// Shown (dissolve 0) from _from to _to, hidden (dissolve 1) at other times.
void ShowBetween(null_object_c& _node, f32 _from, f32 _to)
{
    envelope_c dissolve;
    if (_from > 0.0f)
        dissolve.keys.push_back(Key(0.0f, 1.0f, shape_stepped));
    dissolve.keys.push_back(Key(_from, 0.0f, shape_stepped));
    dissolve.keys.push_back(Key(_to, 1.0f, shape_stepped));
    _node.AddEnvelope(dissolve, &_node.dissolve);
}

// A scene of the given objects seen by a camera at the origin looking along
// +z with the view that the unit-square layout assumes.
std::unique_ptr<scene_c> BodyScene(const char* _name, renderer_c* _renderer)
{
    auto scene = std::make_unique<scene_c>(_name, _renderer);
    auto* camera = scene->AddCamera(new camera_c("camera"));
    camera->zoom = 1.0f;
    scene->SetActiveCamera(camera);
    scene->SetClipPlanes(1.0f, 1000.0f);
    scene->SetViewport(0.0f, 0.0f, 1.0f, 1.0f);
    return scene;
}

using glyph_f = std::function<void(shape_builder_c&)>;

// One object per look (enabled, pointer over, disabled, pressed), each with
// the glyph drawn on it, shown only at its clip's time.
void AddPlateLooks(data_files_t& _files, const std::string& _file, renderer_c* _renderer, f32 _rim_u, f32 _rim_v,
                   const glyph_f& _glyph, const vec3_c& _face)
{
    struct look_s {
        const char* name;
        vec3_c rim;
        vec3_c plate;
        vec3_c glyph;
        f32 from;
        f32 to;
    };
    const look_s looks[] = {
        {"enabled", kRim, _face, kCream, 0.0f, 0.5f},
        {"over", kRimLit, kPlateLit, kRimLit, 0.5f, 1.5f},
        {"disabled", kRimDim, kPlateDim, kRimDim, 1.5f, 2.5f},
        {"pressed", kRimLit, kPlatePressed, vec3_c(1.0f, 1.0f, 0.9f), 2.5f, 1000.0f},
    };
    auto scene = BodyScene(_file.c_str(), _renderer);
    for (const look_s& look : looks) {
        auto node = BuildPart(look.name, _renderer, [&](shape_builder_c& _s) {
            Plate(_s, look.rim, look.plate, _rim_u, _rim_v, kNear);
            if (_glyph) {
                _s.Surface("glyph", Flat(look.glyph));
                _glyph(_s);
            }
        });
        ShowBetween(*node, look.from, look.to);
        scene->AddObject(node.release());
    }
    scene->Play(0.0f, 0.0f, 0.0f, false);
    AddDataScene(_files, _file, *scene);
}

// An arrow head pointing along (dx, dy) in the unit square.
glyph_f Arrow(f32 _dx, f32 _dy)
{
    return [_dx, _dy](shape_builder_c& _s) {
        const f32 depth = kNear * 0.99f;
        const f32 cu = 0.5f, cv = 0.5f, r = 0.26f;
        const f32 px = -_dy, py = _dx;
        _s.Flat(At(cu + _dx * r, cv + _dy * r, depth), At(cu - _dx * r + px * r, cv - _dy * r + py * r, depth),
                At(cu - _dx * r - px * r, cv - _dy * r - py * r, depth));
    };
}

// The value shown by a bar: a fill from the left (horizontal) or a thumb
// that travels down (vertical); hidden while disabled.
void AddBar(data_files_t& _files, const std::string& _file, renderer_c* _renderer, bool _horizontal)
{
    auto scene = BodyScene(_file.c_str(), _renderer);
    // The groove runs the bar's length, with a narrow rim along its sides.
    auto track = BuildPart("track", _renderer, [_horizontal](shape_builder_c& _s) {
        _s.Surface("rim", Flat(kRim * 0.6f));
        Rect(_s, 0.0f, 0.0f, 1.0f, 1.0f, kNear * 1.02f);
        _s.Surface("groove", Flat(kField));
        if (_horizontal)
            Rect(_s, 0.02f, 0.15f, 0.98f, 0.85f, kNear * 1.01f);
        else
            Rect(_s, 0.15f, 0.02f, 0.85f, 0.98f, kNear * 1.01f);
    });
    scene->AddObject(track.release());
    std::unique_ptr<geom_object_c> value;
    envelope_c travel;
    if (_horizontal) {
        // Built from the left edge, so that its width is its scale.
        value = BuildPart(
            "fill", _renderer,
            [](shape_builder_c& _s) {
                _s.Surface("fill", Flat(kRim));
                const vec3_c left = At(0.0f, 0.5f, kNear);
                _s.Panel(At(0.02f, 0.8f, kNear) - left, At(1.0f, 0.8f, kNear) - left, At(1.0f, 0.2f, kNear) - left,
                         At(0.02f, 0.2f, kNear) - left);
                _s.Surface("edge", Flat(kRimLit));
                _s.Panel(At(0.975f, 0.85f, kNear * 0.99f) - left, At(1.0f, 0.85f, kNear * 0.99f) - left,
                         At(1.0f, 0.15f, kNear * 0.99f) - left, At(0.975f, 0.15f, kNear * 0.99f) - left);
            },
            At(0.0f, 0.5f, kNear));
        travel.keys = {Key(0.0f, 0.02f, shape_linear), Key(1.0f, 1.0f, shape_linear)};
        value->AddEnvelope(travel, &value->scale.x);
    } else {
        constexpr f32 thumb = 0.16f;
        value = BuildPart(
            "thumb", _renderer,
            [](shape_builder_c& _s) {
                const vec3_c top = At(0.5f, 0.0f, kNear);
                _s.Surface("rim", Flat(kRimLit));
                _s.Panel(At(0.05f, thumb, kNear) - top, At(0.95f, thumb, kNear) - top, At(0.95f, 0.0f, kNear) - top,
                         At(0.05f, 0.0f, kNear) - top);
                _s.Surface("plate", Flat(kPlateLit));
                _s.Panel(At(0.2f, thumb - 0.02f, kNear * 0.99f) - top, At(0.8f, thumb - 0.02f, kNear * 0.99f) - top,
                         At(0.8f, 0.02f, kNear * 0.99f) - top, At(0.2f, 0.02f, kNear * 0.99f) - top);
            },
            At(0.5f, 0.0f, kNear));
        travel.keys = {Key(0.0f, At(0.5f, 0.0f, kNear).y, shape_linear),
                       Key(1.0f, At(0.5f, 1.0f - thumb, kNear).y, shape_linear)};
        value->AddEnvelope(travel, &value->position.y);
    }
    ShowBetween(*value, 0.0f, 1.5f);
    scene->AddObject(value.release());
    scene->Play(0.0f, 0.0f, 1.0f, false);
    AddDataScene(_files, _file, *scene);
}

// A static scene of one part.
void AddStill(data_files_t& _files, const std::string& _file, renderer_c* _renderer, const glyph_f& _build)
{
    auto scene = BodyScene(_file.c_str(), _renderer);
    scene->AddObject(BuildPart("body", _renderer, _build).release());
    scene->Play(0.0f, 0.0f, 0.0f, false);
    AddDataScene(_files, _file, *scene);
}

} // namespace

std::vector<std::string> MenuBodyFiles()
{
    std::vector<std::string> files;
    for (const char* name :
         {"button.lws", "field.lws", "check_border.lws", "check_mark.lws", "arrow_left.lws", "arrow_right.lws",
          "arrow_up.lws", "arrow_down.lws", "hbar.lws", "vbar.lws", "frame.lws", "mark.lws", "panel.lws"})
        files.push_back(Common(name));
    return files;
}

std::vector<std::string> DistinctionFiles()
{
    std::vector<std::string> files;
    for (int n = 1; n <= 8; ++n)
        files.push_back("data\\menu\\distinctions\\medal" + std::to_string(n) + ".lws");
    return files;
}

void AddMenuBodies(data_files_t& _files, renderer_c* _renderer)
{
    AddPlateLooks(_files, Common("button.lws"), _renderer, 0.012f, 0.07f, nullptr, kPlate);
    AddPlateLooks(_files, Common("field.lws"), _renderer, 0.006f, 0.06f, nullptr, kField);
    AddPlateLooks(_files, Common("check_border.lws"), _renderer, 0.1f, 0.1f, nullptr, kField);
    AddPlateLooks(_files, Common("arrow_left.lws"), _renderer, 0.08f, 0.08f, Arrow(-1.0f, 0.0f), kPlate);
    AddPlateLooks(_files, Common("arrow_right.lws"), _renderer, 0.08f, 0.08f, Arrow(1.0f, 0.0f), kPlate);
    AddPlateLooks(_files, Common("arrow_up.lws"), _renderer, 0.08f, 0.08f, Arrow(0.0f, -1.0f), kPlate);
    AddPlateLooks(_files, Common("arrow_down.lws"), _renderer, 0.08f, 0.08f, Arrow(0.0f, 1.0f), kPlate);

    // The tick of a check box: off at 0, on at 1, hidden while disabled.
    {
        auto scene = BodyScene("check_mark", _renderer);
        auto tick = BuildPart("tick", _renderer, [](shape_builder_c& _s) {
            const f32 d = kNear * 0.98f;
            _s.Surface("tick", Flat(kRimLit));
            _s.Panel(At(0.2f, 0.5f, d), At(0.3f, 0.4f, d), At(0.5f, 0.62f, d), At(0.42f, 0.75f, d));
            _s.Panel(At(0.42f, 0.75f, d), At(0.5f, 0.62f, d), At(0.82f, 0.2f, d), At(0.9f, 0.3f, d));
        });
        ShowBetween(*tick, 0.5f, 1.5f);
        scene->AddObject(tick.release());
        scene->Play(0.0f, 0.0f, 0.0f, false);
        AddDataScene(_files, Common("check_mark.lws"), *scene);
    }

    AddBar(_files, Common("hbar.lws"), _renderer, true);
    AddBar(_files, Common("vbar.lws"), _renderer, false);

    AddStill(_files, Common("frame.lws"), _renderer, [](shape_builder_c& _s) {
        _s.Surface("rim", Flat(kRim * 0.8f));
        Rect(_s, 0.0f, 0.0f, 1.0f, 1.0f, kFar * 1.001f);
        _s.Surface("inside", Flat(kField));
        Rect(_s, 0.004f, 0.004f, 0.996f, 0.996f, kFar);
    });
    AddStill(_files, Common("mark.lws"), _renderer, [](shape_builder_c& _s) {
        _s.Surface("mark", Flat(kRim * 0.7f, 0.35f));
        Rect(_s, 0.0f, 0.0f, 1.0f, 1.0f, kFar * 0.99f);
    });
    AddStill(_files, Common("panel.lws"), _renderer, [](shape_builder_c& _s) {
        _s.Surface("rim", Flat(kRim * 0.7f));
        Rect(_s, 0.0f, 0.0f, 1.0f, 1.0f, kFar * 1.002f);
        _s.Surface("panel", Flat(vec3_c(0.09f, 0.075f, 0.06f), 0.12f));
        Rect(_s, 0.006f, 0.008f, 0.994f, 0.992f, kFar);
    });
}

void AddMenuBackground(data_files_t& _files, renderer_c* _renderer)
{
    const std::string picture_file = Common("background.png");
    image_c picture;
    picture.Create(512, 512, format_x8r8g8b8);
    PaintPicture(picture, [](int _x, int _y) {
        const f32 u = static_cast<f32>(_x) / 511.0f, v = static_cast<f32>(_y) / 511.0f;
        // Dusk over a line of hills, with a few long clouds.
        const f32 ridge = 0.78f + 0.04f * std::sin(u * 7.0f + 1.3f) + 0.02f * std::sin(u * 19.0f);
        u32 colour = v > ridge   ? BlendColour(0xFF1A1712, 0xFF0B0A08, (v - ridge) * 4.0f)
                     : v < 0.45f ? BlendColour(0xFF141C2C, 0xFF3A3A48, v / 0.45f)
                                 : BlendColour(0xFF3A3A48, 0xFFB07A40, (v - 0.45f) / (ridge - 0.45f));
        const f32 band = std::sin(v * 38.0f + std::sin(u * 5.0f) * 2.0f);
        if (v < ridge - 0.05f && band > 0.93f)
            colour = BlendColour(colour, 0xFF6A5A4C, (band - 0.93f) * 8.0f);
        // Darker towards the corners, so that the plates stand out.
        const f32 du = u - 0.5f, dv = v - 0.5f;
        return BlendColour(colour, 0xFF000000, (du * du + dv * dv) * 1.1f);
    });
    AddDataPicture(_files, picture_file, picture, image_file_png);

    scene_c scene("background", _renderer);
    scene.SetViewport(0.0f, 0.0f, 1.0f, 1.0f);
    scene.SetBackgroundMap(picture_file.c_str());
    scene.Play(0.0f, 0.0f, 1.0f, true);
    AddDataScene(_files, kMenuBackground, scene);
}

void AddDistinctionMedals(data_files_t& _files, renderer_c* _renderer)
{
    // Ribbon colours and medal metals of the eight distinctions.
    const vec3_c ribbons[8][2] = {
        {{0.7f, 0.1f, 0.1f}, {0.95f, 0.95f, 0.9f}}, {{0.1f, 0.2f, 0.6f}, {0.95f, 0.95f, 0.9f}},
        {{0.1f, 0.45f, 0.2f}, {0.9f, 0.8f, 0.2f}},  {{0.5f, 0.1f, 0.5f}, {0.9f, 0.9f, 0.9f}},
        {{0.85f, 0.5f, 0.1f}, {0.1f, 0.1f, 0.1f}},  {{0.1f, 0.1f, 0.1f}, {0.95f, 0.95f, 0.9f}},
        {{0.2f, 0.5f, 0.8f}, {0.8f, 0.1f, 0.1f}},   {{0.9f, 0.8f, 0.3f}, {0.6f, 0.1f, 0.1f}},
    };
    const vec3_c metals[3] = {{0.85f, 0.68f, 0.3f}, {0.8f, 0.8f, 0.82f}, {0.7f, 0.45f, 0.25f}};
    const std::vector<std::string> files = DistinctionFiles();
    for (size_t n = 0; n < files.size(); ++n) {
        scene_c scene(files[n].c_str(), _renderer);
        auto* camera = scene.AddCamera(new camera_c("camera"));
        camera->zoom = 1.0f;
        scene.SetActiveCamera(camera);
        auto medal = BuildPart(
            "medal", _renderer,
            [&](shape_builder_c& _s) {
                _s.Surface("ribbon", Flat(ribbons[n][0]));
                _s.Panel(vec3_c(-0.32f, 0.15f, 0.01f), vec3_c(0.32f, 0.15f, 0.01f), vec3_c(0.32f, 0.9f, 0.01f),
                         vec3_c(-0.32f, 0.9f, 0.01f));
                _s.Surface("stripe", Flat(ribbons[n][1]));
                _s.Panel(vec3_c(-0.08f, 0.15f, 0.0f), vec3_c(0.08f, 0.15f, 0.0f), vec3_c(0.08f, 0.9f, 0.0f),
                         vec3_c(-0.08f, 0.9f, 0.0f));
                _s.Surface("metal", Flat(metals[n % 3]));
                if (n % 2 == 0) {
                    _s.Disc(vec3_c(0.0f, -0.35f, -0.01f), vec3_c(0.0f, 0.0f, -1.0f), 0.42f, 24);
                } else {
                    _s.Panel(vec3_c(-0.12f, -0.85f, -0.01f), vec3_c(0.12f, -0.85f, -0.01f),
                             vec3_c(0.12f, 0.15f, -0.01f), vec3_c(-0.12f, 0.15f, -0.01f));
                    _s.Panel(vec3_c(-0.48f, -0.47f, -0.01f), vec3_c(0.48f, -0.47f, -0.01f),
                             vec3_c(0.48f, -0.23f, -0.01f), vec3_c(-0.48f, -0.23f, -0.01f));
                }
            },
            vec3_c(0.0f, 0.0f, 2.2f));
        // Turning in while it grows, still, then turning away while it
        // shrinks.
        envelope_c turn;
        turn.keys = {Key(0.0f, kPi, shape_linear), Key(0.5f, 0.0f, shape_linear), Key(1.0f, 0.0f, shape_linear),
                     Key(1.5f, -kPi, shape_linear)};
        medal->AddEnvelope(turn, &medal->rotation.x);
        for (f32* axis : {&medal->scale.x, &medal->scale.y, &medal->scale.z}) {
            envelope_c size;
            size.keys = {Key(0.0f, 0.05f, shape_linear), Key(0.5f, 1.0f, shape_linear), Key(1.0f, 1.0f, shape_linear),
                         Key(1.5f, 0.05f, shape_linear)};
            medal->AddEnvelope(size, axis);
        }
        scene.AddObject(medal.release());
        scene.Play(0.0f, 0.5f, 0.5f, false);
        AddDataScene(_files, files[n], scene);
    }
}

void AddMenuSounds(data_files_t& _files)
{
    constexpr u32 rate = 22050;
    // A short wooden knock, and a softer tick for the pointer.
    const auto knock = [](double _pitch, double _length, double _gain) {
        return [=](u32 _frame, u32) {
            const double t = static_cast<double>(_frame) / rate;
            return _gain * std::exp(-t / _length) * std::sin(2.0 * 3.14159265358979 * _pitch * t) *
                   (1.0 + 0.3 * std::sin(2.0 * 3.14159265358979 * _pitch * 2.7 * t));
        };
    };
    _files[kMenuClickSound] = MakeWave(rate, 1, rate / 8, knock(420.0, 0.025, 0.6));
    _files[kMenuHoverSound] = MakeWave(rate, 1, rate / 20, knock(1300.0, 0.008, 0.25));
}

void MakeMenus(data_files_t& _files, renderer_c* _renderer)
{
    AddMenuBodies(_files, _renderer);
    AddMenuBackground(_files, _renderer);
    AddDistinctionMedals(_files, _renderer);
    AddMenuSounds(_files);
}
