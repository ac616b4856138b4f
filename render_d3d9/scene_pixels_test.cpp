// Small scenes drawn by the renderer through the OpenGL backend and read
// back by screen capture, compared with the pictures in
// render_d3d9/testing/expected.
#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/primitive_set.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/water.h"
#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/texture_image.h"
#include "platform/d3d9/testing/expected_image.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <tuple>

namespace {

// Mesa's rasterizer is exact, but filtering and fog are computed in
// floating point on both sides of a comparison; three steps per channel
// absorb rounding without hiding a wrong stage or colour.
constexpr u32 tolerance = 3;

// A square of side 2 centred on the origin in the x, y plane, facing -z,
// with texture coordinates 0..1 in every set asked.
geometry_def_c FacingSquare(const char* _name, u32 _coord_sets)
{
    geometry_def_c definition(_name);
    definition.format.hasPosition = 1;
    definition.format.hasNormal = 1;
    definition.format.texCoordSetCount = _coord_sets;
    auto* set = new triangle_set_c;
    set->vertices.resize(4);
    const f32 corners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}, {1.0f, 1.0f}};
    for (u32 i = 0; i < 4; ++i) {
        vertex_c& vertex = set->vertices[i];
        vertex.position = {corners[i][0], corners[i][1], 0.0f};
        vertex.normal = {0.0f, 0.0f, -1.0f};
        for (u32 s = 0; s < _coord_sets; ++s) {
            vertex.texCoords[s][0] = (corners[i][0] + 1.0f) * 0.5f;
            vertex.texCoords[s][1] = (1.0f - corners[i][1]) * 0.5f;
        }
    }
    set->indices = {0, 2, 1, 1, 2, 3};
    definition.AddPrimitiveSet(set);
    return definition;
}

// A closed cube of side 2 centred on the origin, each face with its own
// corners and normal, wound clockwise seen from outside.
geometry_def_c Cube(const char* _name)
{
    geometry_def_c definition(_name);
    definition.format.hasPosition = 1;
    definition.format.hasNormal = 1;
    auto* set = new triangle_set_c;
    for (u32 axis = 0; axis < 3; ++axis) {
        for (const f32 side : {-1.0f, 1.0f}) {
            // u, v span the face so that u x v points along the normal.
            vec3_c n(0.0f, 0.0f, 0.0f), u(0.0f, 0.0f, 0.0f), v(0.0f, 0.0f, 0.0f);
            (&n.x)[axis] = side;
            (&u.x)[(axis + 1) % 3] = side;
            (&v.x)[(axis + 2) % 3] = 1.0f;
            const u32 first = static_cast<u32>(set->vertices.size());
            for (const auto& [a, b] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}, {1.0f, 1.0f}}) {
                vertex_c vertex;
                vertex.position = n + u * a + v * b;
                vertex.normal = n;
                set->vertices.push_back(vertex);
            }
            set->indices.insert(set->indices.end(), {first, first + 2, first + 1, first + 1, first + 2, first + 3});
        }
    }
    definition.AddPrimitiveSet(set);
    return definition;
}

class SceneOnGl : public draw_fixture_c {
protected:
    SceneOnGl() : draw_fixture_c(draw_backend_e::opengl, 128, 128) {}

    // A facing square at _position turned by _heading, its surface showing
    // the object's one material.
    geom_object_c* Square(const vec3_c& _position, f32 _heading, u32 _coord_sets = 1)
    {
        return Place(FacingSquare("square", _coord_sets), _position, _heading);
    }
    geom_object_c* Place(const geometry_def_c& _definition, const vec3_c& _position, f32 _heading)
    {
        auto* object = Own(new geom_object_c(_definition.name.GetData(), renderer.get()));
        object->position = _position;
        object->rotation = {_heading, 0.0f, 0.0f};
        object->UpdateTransform(nullptr);
        mesh_c* mesh = object->CreateMesh(_definition.name.GetData(), _definition);
        mesh->SetMaterial(0, object->AddMaterial(new material_c("material", renderer.get())));
        return object;
    }
    // As the scene draws an object: culled against the camera (which
    // places it in camera space), then both passes.
    void Draw(null_object_c* _object)
    {
        object_list_t opaque, blended;
        ASSERT_TRUE(_object->Cull(opaque, blended, scene.get(), &camera, 0, 0));
        _object->Render(0);
        _object->Render(1);
    }
    // A white directional light along _direction's heading and pitch.
    light_c* Sun(u32 _flags, f32 _heading, f32 _pitch)
    {
        light_c* light = AddLight(_flags);
        light->color = {1.0f, 1.0f, 1.0f};
        light->rotation = {_heading, _pitch, 0.0f};
        light->UpdateTransform(nullptr);
        light->UpdateForCamera(camera);
        return light;
    }
};

TEST_F(SceneOnGl, LitSquaresFadeIntoLinearFog)
{
    MakeRenderer();
    scene->SetFlag(scene_fog_on, true);
    scene->fogColor = {0.4f, 0.5f, 0.8f};
    scene->fogStart = 4.0f;
    scene->fogEnd = 16.0f;
    scene->ambientColor = {0.2f, 0.2f, 0.2f};
    Sun(light_diffuse, 0.5f, 0.3f);
    renderer->Clear({0.4f, 0.5f, 0.8f}, 0, true, true, true, false);
    Start();
    const f32 depths[3] = {3.0f, 8.0f, 14.0f};
    for (u32 i = 0; i < 3; ++i) {
        const f32 d = depths[i];
        geom_object_c* object =
            Square({(static_cast<f32>(i) - 1.0f) * 0.25f * d, 0.0f, d}, 0.4f * static_cast<f32>(i) - 0.4f);
        material_c* material = object->GetMaterials().GetFirst();
        material->flags = material_lighting;
        material->color = {1.0f, 0.6f, 0.2f};
        material->diffuse = 1.0f;
        Draw(object);
    }
    ExpectImage(Capture(), "lit_fogged_squares", tolerance);
}

// A texel pattern: a ring, opaque and coloured by quadrant, on a fully
// transparent ground.
u32 RingTexel(u32 _x, u32 _y)
{
    const f32 dx = static_cast<f32>(_x) - 7.5f;
    const f32 dy = static_cast<f32>(_y) - 7.5f;
    const f32 r = std::sqrt(dx * dx + dy * dy);
    if (r < 3.0f || r > 7.0f) {
        return 0x00FFFFFFu;
    }
    return dx < 0.0f ? (dy < 0.0f ? 0xFFFF4020u : 0xFF20C040u) : (dy < 0.0f ? 0xFF2060FFu : 0xFFFFE040u);
}

TEST_F(SceneOnGl, ACompressedTextureIsCutOutByItsAlpha)
{
    MakeRenderer();
    renderer->Clear({0.1f, 0.1f, 0.3f}, 0, true, true, true, false);
    Start();
    geom_object_c* object = Square({0.0f, 0.0f, 3.5f}, 0.3f);
    material_c* material = object->GetMaterials().GetFirst();
    material->flags = material_double_sided;
    material->color = {1.0f, 1.0f, 1.0f};
    material->luminosity = 1.0f;
    material->SetColorMap(
        0, std::make_unique<test_map_c>(std::vector<texture_c*>{MakePatternTexture(16, format_dxt5, RingTexel)}));
    Draw(object);
    ExpectImage(Capture(), "dxt_ring_alpha_test", tolerance);
}

TEST_F(SceneOnGl, ABumpMapBendsTheLightOfTheSecondStage)
{
    MakeRenderer();
    scene->ambientColor = {0.1f, 0.1f, 0.1f};
    Sun(light_diffuse, 0.0f, 0.2f);
    renderer->Clear({0.0f, 0.0f, 0.0f}, 0, true, true, true, false);
    Start();
    geom_object_c* object = Square({0.0f, 0.0f, 3.0f}, 0.0f);
    material_c* material = object->GetMaterials().GetFirst();
    material->flags = material_lighting | material_smooth;
    material->color = {0.9f, 0.8f, 0.6f};
    material->diffuse = 1.0f;
    material->bumpAmplitude = 0.8f;
    // Ridges across x: the slope turns the lookup into the falloff map
    // back and forth.
    material->SetBumpMap(std::make_unique<test_map_c>(std::vector<texture_c*>{MakePatternTexture(
        16, format_x8r8g8b8, [](u32 _x, u32) { return (_x % 4) < 2 ? 0xFF000000u : 0xFFFFFFFFu; })}));
    Draw(object);
    ExpectImage(Capture(), "bump_ridges", tolerance);
}

TEST_F(SceneOnGl, AShadowVolumeDarkensTheGroundBehindItsCaster)
{
    MakeRenderer();
    scene->ambientColor = {0.3f, 0.3f, 0.3f};
    shadowLight = Sun(light_diffuse | light_shadows, -0.35f, -0.3f);
    renderer->Clear({0.2f, 0.2f, 0.2f}, 0, true, true, true, false);
    Start();
    geom_object_c* ground = Square({0.0f, 0.0f, 8.0f}, 0.0f);
    ground->scale = {3.0f, 3.0f, 1.0f};
    ground->UpdateTransform(nullptr);
    material_c* ground_material = ground->GetMaterials().GetFirst();
    ground_material->flags = material_lighting;
    ground_material->color = {0.3f, 0.8f, 0.3f};
    ground_material->diffuse = 1.0f;
    geom_object_c* caster = Place(Cube("cube"), {-0.3f, 0.2f, 5.0f}, 0.6f);
    caster->scale = {0.5f, 0.5f, 0.5f};
    caster->SetFlags(object_shadow_casting);
    // In the caster's own units: far enough to pass through the ground.
    caster->shadowDepth = 20.0f;
    caster->BuildShadowVolume();
    caster->UpdateTransform(nullptr);
    material_c* caster_material = caster->GetMaterials().GetFirst();
    caster_material->flags = material_lighting;
    caster_material->color = {0.9f, 0.3f, 0.2f};
    caster_material->diffuse = 1.0f;
    Draw(ground);
    Draw(caster);
    renderer->DrawShadow(caster, {0.0f, 0.0f, 0.0f}, 1.0f);
    renderer->ResetRenderLists();
    const f32 shade[4] = {0.0f, 0.0f, 0.2f, 1.0f};
    renderer->DrawShadowShade(shade, 0.6f);
    ExpectImage(Capture(), "shadow_volume", tolerance);
}

// The cube's triangles the other way round, as the models are wound: each
// face is seen clockwise from outside, its face normal pointing out.
geometry_def_c Reversed(geometry_def_c _definition)
{
    for (const auto& set : _definition.primitiveSets) {
        for (size_t i = 0; i + 3 <= set->indices.size(); i += 3) {
            std::swap(set->indices[i + 1], set->indices[i + 2]);
        }
    }
    return _definition;
}

// A thin slab over the camera, as a plane's wing over its pilot, casts its
// shadow from a high sun onto the ground well below; the volume reaches to
// infinity under a projection without a far plane. Only ground whose way
// to the sun crosses the slab may be darkened.
struct slab_view_s {
    const char* name;
    vec3_c cameraTurn;    // heading, pitch
    vec3_c sun;           // heading, pitch
    vec3_c centre;        // of the slab, the camera at the origin
    f32 ground;           // height of the ground
    bool cameraInside;    // in the slab's shadow
    u32 leastInFootprint; // pixels that must see the footprint
};

const slab_view_s slab_views[] = {
    // The camera inside the volume (under the slab's sweep towards the
    // ground), looking at the footprint.
    {"InsideTheVolume", {0.3f, 0.85f, 0.0f}, {0.3f, 0.9f, 0.0f}, {0.0f, 1.0f, -0.75f}, -10.0f, true, 50},
    // The pilot's seat: just behind and below the slab's trailing edge,
    // looking ahead while the footprint lies below to the side, out of
    // sight; the volume passes in front of the camera.
    {"BehindTheTrailingEdge", {0.0f, 0.0f, 0.0f}, {0.626f, 0.828f, 0.0f}, {0.0f, 0.18f, 0.9f}, -100.0f, false, 0},
};

void PrintTo(const slab_view_s& _view, std::ostream* _out)
{
    *_out << _view.name;
}

// The slab's faces wound as the models' are, or the other way round.
class SlabShadowOnGl : public SceneOnGl, public ::testing::WithParamInterface<std::tuple<slab_view_s, bool>> {};

TEST_P(SlabShadowOnGl, DarkensOnlyTheCastersFootprint)
{
    const slab_view_s& view = std::get<0>(GetParam());
    const bool as_models = std::get<1>(GetParam());
    MakeRenderer();
    camera.SetProjection(0.2f, 3.4028235e38f);
    camera.rotation = view.cameraTurn;
    camera.UpdateTransform(nullptr);
    shadowLight = Sun(light_diffuse | light_shadows, view.sun.x, view.sun.y);
    const f32 ground_y = view.ground;
    geom_object_c* ground = Square({0.0f, ground_y, 0.0f}, 0.0f);
    ground->rotation = {0.0f, 1.5707964f, 0.0f};
    ground->scale = {4000.0f, 4000.0f, 1.0f};
    ground->UpdateTransform(nullptr);
    material_c* ground_material = ground->GetMaterials().GetFirst();
    ground_material->flags = material_lighting | material_double_sided;
    ground_material->color = {0.3f, 0.8f, 0.3f};
    ground_material->diffuse = 1.0f;
    const vec3_c half(2.0f, 0.05f, 0.75f);
    const vec3_c centre = view.centre;
    geom_object_c* slab = Place(as_models ? Reversed(Cube("slab")) : Cube("slab"), centre, 0.0f);
    slab->scale = half;
    slab->UpdateTransform(nullptr);
    slab->SetFlags(object_shadow_casting);
    slab->BuildShadowVolume();
    // The same frame without and with the shadow.
    auto frame = [&](bool _shadow) {
        renderer->Clear({0.4f, 0.5f, 0.8f}, 0, true, true, true, false);
        Start();
        Draw(ground);
        object_list_t shadows;
        EXPECT_TRUE(slab->CullShadow(shadows, &camera));
        if (_shadow) {
            renderer->DrawShadow(slab, {0.0f, 0.0f, 0.0f}, 1.0f);
        }
        renderer->ResetRenderLists();
        const f32 shade[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        renderer->DrawShadowShade(shade, 0.5f);
        return Capture();
    };
    const std::vector<u8> plain = frame(false);
    const std::vector<u8> capture = frame(true);

    // Whether the way from a point below the slab towards the sun passes
    // through it; where a point of the screen sees the ground, and whether
    // that lies in the shadow (-1: no ground).
    const mat4x3_c& sun = shadowLight->GetMatrix();
    const vec3_c travel(sun.m[2][0], sun.m[2][1], sun.m[2][2]);
    ASSERT_LT(travel.y, -0.5f);
    auto shaded = [&](const vec3_c& _point) {
        const vec3_c at_slab = _point + travel * ((centre.y - _point.y) / travel.y);
        return std::fabs(at_slab.x - centre.x) <= half.x && std::fabs(at_slab.z - centre.z) <= half.z;
    };
    EXPECT_EQ(shaded(vec3_c(0.0f, 0.0f, 0.0f)), view.cameraInside);
    auto in_footprint = [&](f32 _x, f32 _y) {
        ray_c ray;
        camera.GetPickRay(ray, _x, _y);
        if (!(ray.direction.y < 0.0f)) {
            return -1;
        }
        return shaded(ray.origin + ray.direction * ((ground_y - ray.origin.y) / ray.direction.y)) ? 1 : 0;
    };
    // Pixels within a pixel and a half of the footprint's edge or the
    // horizon may go either way.
    constexpr u32 side = 128;
    constexpr f32 margin = 1.5f / static_cast<f32>(side);
    u32 inside = 0, light_inside = 0, dark_outside = 0;
    for (u32 y = 0; y < side; ++y) {
        for (u32 x = 0; x < side; ++x) {
            int lowest = 2, highest = -2;
            for (const f32 dx : {-margin, 0.0f, margin}) {
                for (const f32 dy : {-margin, 0.0f, margin}) {
                    const int in = in_footprint((static_cast<f32>(x) + 0.5f) / side + dx,
                                                (static_cast<f32>(y) + 0.5f) / side + dy);
                    lowest = std::min(lowest, in);
                    highest = std::max(highest, in);
                }
            }
            if (lowest != highest) {
                continue;
            }
            const bool dark = ColorDistance(CapturedPixel(capture, side, x, y), CapturedPixel(plain, side, x, y)) > 8;
            if (lowest == 1) {
                ++inside;
                light_inside += dark ? 0 : 1;
            } else {
                dark_outside += dark ? 1 : 0;
            }
        }
    }
    EXPECT_GE(inside, view.leastInFootprint);
    EXPECT_EQ(light_inside, 0u);
    EXPECT_EQ(dark_outside, 0u);
    ExpectImage(capture, std::string("slab_shadow_") + view.name + (as_models ? "" : "_inside_out"), tolerance);
}

INSTANTIATE_TEST_SUITE_P(Views, SlabShadowOnGl, ::testing::Combine(::testing::ValuesIn(slab_views), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<slab_view_s, bool>>& _info) {
                             return std::string(std::get<0>(_info.param).name) +
                                    (std::get<1>(_info.param) ? "" : "InsideOut");
                         });

// A glowing square beside a plain one: both write the back buffer, only
// the glowing one the glow target, whose blur is added around it alone.
TEST_F(SceneOnGl, GlowSpreadsAroundGlowingSurfacesOnly)
{
    flags |= d3d_flag_glow;
    MakeRenderer();
    ASSERT_NE(renderer->GetGlowBuffer(0), nullptr);
    renderer->Clear({0.0f, 0.0f, 0.1f}, 0, true, true, true, false);
    Start();
    const struct {
        f32 x;
        u32 flags;
        vec3_c color;
    } squares[] = {{-0.8f, material_lighting | material_glow, {1.0f, 0.7f, 0.2f}},
                   {0.8f, material_lighting, {0.2f, 0.7f, 1.0f}}};
    for (const auto& square : squares) {
        geom_object_c* object = Square({square.x, 0.0f, 6.0f}, 0.0f);
        object->scale = {0.35f, 0.35f, 1.0f};
        object->UpdateTransform(nullptr);
        material_c* material = object->GetMaterials().GetFirst();
        material->flags = square.flags;
        material->color = square.color;
        material->luminosity = 1.0f;
        Draw(object);
    }
    renderer->ResetRenderLists();
    renderer->ApplyGlow(1.0f);
    ExpectImage(Capture(), "glow", tolerance);
}

// Water seen from above: its waves take their colour from a sky cube of
// six coloured faces, and a grid of caustic light is added on top.
TEST_F(SceneOnGl, WaterReflectsTheSkyAndCarriesCaustics)
{
    texture_image_c sky;
    sky.Create(4, 4, format_x8r8g8b8, false, true);
    const u32 faces[6] = {0xFF804040u, 0xFF408040u, 0xFF8080C0u, 0xFF204020u, 0xFF4060A0u, 0xFF606060u};
    for (u32 face = 0; face < 6; ++face) {
        sky.GetLevel(0, static_cast<int>(face)).Fill(faces[face]);
    }
    output_file_c sky_file;
    sky.SaveDds(sky_file);
    files.Add("sea\\sky.dds", Bytes(sky_file));
    std::vector<u8> grid(8 * 8);
    for (u32 i = 0; i < grid.size(); ++i) {
        grid[i] = (i % 8) == 0 || (i / 8) == 0 ? 255 : 0;
    }
    files.Add("sea\\caustic.bmp", GreyPictureBytes(8, grid));
    MakeRenderer();
    camera.position = {0.0f, 3.0f, -4.0f};
    camera.rotation = {0.0f, 0.6f, 0.0f};
    camera.UpdateTransform(nullptr);
    renderer->Clear({0.0f, 0.0f, 0.0f}, 0, true, true, true, false);
    Start();
    water_c* water = Own(FlatWater(renderer.get(), 8.0f, 8, "sea\\sky.dds", "sea\\caustic.bmp", 0.6f, 2.0f));
    water->SetWaveAmplitude(0, 0.2f);
    water->SetWaveLength(0, 2.0f);
    water->SetWaveVelocity(0, {1.0f, 0.0f, 0.5f});
    water->UpdateTransform(nullptr);
    water->Animate(0.5f);
    Draw(water);
    ExpectImage(Capture(), "water_caustics", tolerance);
}

}
