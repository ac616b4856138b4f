#include "engine/geom_object.h"

#include "engine/aabb.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"
#include "foundation/file_system.h"
#include "foundation/file_writer.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

namespace {

constexpr float half_pi = std::numbers::pi_v<float> / 2.0f;

// A cube from -h to h, eight shared corners, twelve outward triangles.
geometry_def_c Cube(const char* name, float h = 1.0f, u32 sets = 1)
{
    geometry_def_c def(name);
    def.format.hasPosition = 1;
    def.format.hasNormal = 1;
    static const u32 faces[12][3] = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                                     {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    for (u32 s = 0; s < sets; ++s) {
        auto* set = def.AddPrimitiveSet(new triangle_set_c());
        for (u32 i = 0; i < 8; ++i) {
            vertex_c v;
            v.position = vec3_c(i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h);
            set->vertices.push_back(v);
        }
        for (u32 f = s; f < 12; f += sets)
            set->indices.insert(set->indices.end(), {faces[f][0], faces[f][1], faces[f][2]});
    }
    return def;
}

std::vector<u8> Written(const null_object_c& object)
{
    output_file_c out;
    object.Write(out);
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

void ExpectNear(const vec3_c& actual, const vec3_c& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

// The pairing rule applied to every pair of triangles, for comparison.
std::vector<u32> PairwiseQuads(const std::vector<vertex_c>& corners, u32 triangles)
{
    std::vector<u32> quads;
    for (u32 i = 0; i < triangles; ++i)
        for (u32 j = i + 1; j < triangles; ++j)
            for (u32 a = 0; a < 3; ++a)
                for (u32 b = 0; b < 3; ++b) {
                    const u32 a0 = i * 3 + a, a1 = i * 3 + (a + 1) % 3;
                    const u32 b0 = j * 3 + b, b1 = j * 3 + (b + 1) % 3;
                    if (corners[b1].position == corners[a0].position && corners[b0].position == corners[a1].position)
                        quads.insert(quads.end(), {a1, a0, b0, b1, b0, a0});
                }
    return quads;
}

struct camera_at_origin_s {
    camera_c camera{"camera"};
    camera_at_origin_s()
    {
        camera.UpdateTransform(nullptr);
        camera.SetProjection(1.0f, FLT_MAX);
    }
};

} // namespace

TEST(MeshTest, SharedAndPrivateGeometries)
{
    recording_renderer_c renderer;
    geometry_cache_c& geometries = renderer;
    geometry_def_c def = Cube("box");
    {
        mesh_c first("a", def, &renderer);
        mesh_c second("b", def, &renderer);
        EXPECT_EQ(first.GetGeometry(), second.GetGeometry());
        EXPECT_EQ(first.GetGeometry()->useCount, 2u);
        EXPECT_EQ(first.GetMaterials().size(), 1u);
    }
    EXPECT_EQ(geometries.GetFirst()->useCount, 0u);
    def.privateGeometry = 1;
    def.blendMatrixCount = 2;
    const u32 cached = geometries.GetCount();
    {
        mesh_c own("own", def, &renderer);
        EXPECT_EQ(geometries.GetCount(), cached);
        EXPECT_EQ(geometries.Find("own"), nullptr);
        EXPECT_EQ(own.GetWeightMapNames().size(), 2u);
        own.SetWeightMapName(5, "ignored");
        own.SetMaterial(9, nullptr);
        mesh_c copy(own);
        EXPECT_NE(copy.GetGeometry(), own.GetGeometry());
    }
    EXPECT_EQ(geometries.GetCount(), cached);
}

TEST(BoneTest, SkinnedVerticesFollowTwoBones)
{
    // Bone A at the origin, bone B one unit up, below A. B banks a quarter
    // turn: a vertex two units up (all B) swings to (-1, 1, 0); one half a
    // unit up, half A and half B, lands at the mean of (0, 0.5, 0) and
    // (0.5, 1, 0).
    recording_renderer_c renderer;
    geom_object_c object("arm", &renderer);
    geometry_def_c def = Cube("arm");
    def.blendMatrixCount = 2;
    mesh_c* mesh = object.CreateMesh("arm", def);
    mesh->SetWeightMapName(0, "upper");
    mesh->SetWeightMapName(1, "lower");
    bone_c* a = object.AddBone(new bone_c("a"));
    bone_c* b = object.AddBone(new bone_c("b"));
    a->weightMapName = "upper";
    b->weightMapName = "lower";
    b->restPosition = vec3_c(0, 1, 0);
    b->position = vec3_c(0, 1, 0);
    b->rotation = vec3_c(0, 0, half_pi);
    object.SetBoneParent(b, a);
    material_c* paint = object.AddMaterial(new material_c("paint", &renderer));
    object.SetMeshMaterial(mesh, 0, paint);
    object.UpdateTransform(nullptr);

    camera_at_origin_s view;
    view.camera.position = vec3_c(0, 0, -10);
    view.camera.UpdateTransform(nullptr);
    object_list_t pass0, pass1;
    ASSERT_TRUE(object.Cull(pass0, pass1, nullptr, &view.camera, 0, 0));
    ASSERT_EQ(object.GetBonePalette().size(), 2u);
    EXPECT_EQ(object.GetBonePalette()[0], a);
    EXPECT_EQ(object.GetBonePalette()[1], b);
    // Skinning ends in camera space: take the camera back out.
    auto posed = [&](const bone_c* bone, const vec3_c& p) {
        return p * bone->GetSkinningMatrix() * view.camera.GetMatrix();
    };
    ExpectNear(posed(b, vec3_c(0, 2, 0)), vec3_c(-1, 1, 0));
    ExpectNear(posed(a, vec3_c(0, 2, 0)), vec3_c(0, 2, 0));
    const vec3_c blended = (posed(a, vec3_c(0, 0.5f, 0)) + posed(b, vec3_c(0, 0.5f, 0))) * 0.5f;
    ExpectNear(blended, vec3_c(0.25f, 0.75f, 0));
}

TEST(GeomObjectTest, UnusedWeightMapIsReported)
{
    recording_renderer_c renderer;
    geom_object_c object("ship", &renderer);
    geometry_def_c def = Cube("ship");
    def.blendMatrixCount = 2;
    mesh_c* mesh = object.CreateMesh("hull", def);
    mesh->SetWeightMapName(0, "rudder");
    bone_c* bone = object.AddBone(new bone_c("b"));
    bone->weightMapName = "aileron";
    object.UpdateDerivedData();
    EXPECT_EQ(bone->weightMapName, "");
    EXPECT_EQ(object.GetBonePalette(), (std::vector<bone_c*>{nullptr, nullptr}));
    EXPECT_STREQ(renderer.GetWarningLog(), "[ship] [hull] [rudder] Unused weight map!\n");
}

TEST(GeomObjectTest, SkinnedBoundsLeaveRoomToMove)
{
    recording_renderer_c renderer;
    geom_object_c object("o", &renderer);
    object.CreateMesh("plain", Cube("plain", 1.0f));
    aabb_c box;
    object.GetBoundingBox(box);
    EXPECT_FLOAT_EQ(box.min.x, -1);
    EXPECT_FLOAT_EQ(box.max.y, 1);
    geometry_def_c skinned = Cube("skinned", 2.0f);
    skinned.blendMatrixCount = 1;
    object.CreateMesh("skinned", skinned);
    object.GetBoundingBox(box);
    EXPECT_FLOAT_EQ(box.min.x, -8);
    EXPECT_FLOAT_EQ(box.max.z, 8);
    geom_object_c empty("e", &renderer);
    empty.GetBoundingBox(box);
    EXPECT_FALSE(box.IsValid());
}

TEST(GeomObjectTest, LevelOfDetailByDistance)
{
    recording_renderer_c renderer;
    geom_object_c object("o", &renderer);
    mesh_c* near_mesh = object.CreateMesh("near", Cube("near"));
    mesh_c* far_mesh = object.CreateMesh("far", Cube("far"));
    near_mesh->lodDistance = 100;
    far_mesh->lodDistance = 400;
    material_c* paint = object.AddMaterial(new material_c("paint", &renderer));
    object.SetMeshMaterial(near_mesh, 0, paint);
    object.SetMeshMaterial(far_mesh, 0, paint);
    camera_at_origin_s view;
    struct case_s {
        float d;
        mesh_c* expected;
    };
    for (const case_s& c :
         {case_s{50, near_mesh}, case_s{200, far_mesh}, case_s{500, nullptr}, case_s{60, near_mesh}}) {
        object.position = vec3_c(0, 0, c.d);
        object.UpdateTransform(nullptr);
        object_list_t pass0, pass1;
        const bool drawn = object.Cull(pass0, pass1, nullptr, &view.camera, 0, 0);
        EXPECT_EQ(object.GetPrimaryMesh(), c.expected) << c.d;
        EXPECT_EQ(drawn, c.expected != nullptr) << c.d;
    }
    geom_object_c single("s", &renderer);
    mesh_c* only = single.CreateMesh("only", Cube("only"));
    only->lodDistance = 10;
    single.AddMaterial(new material_c("m", &renderer));
    single.SetMeshMaterial(only, 0, single.GetMaterials().GetFirst());
    single.position = vec3_c(0, 0, 500);
    single.UpdateTransform(nullptr);
    object_list_t pass0, pass1;
    EXPECT_TRUE(single.Cull(pass0, pass1, nullptr, &view.camera, 0, 0));
    EXPECT_EQ(single.GetPrimaryMesh(), only);
}

TEST(GeomObjectTest, ShadowVolumeOfACube)
{
    recording_renderer_c renderer;
    geom_object_c object("box", &renderer);
    object.CreateMesh("cube", Cube("cube", 1.0f, 2));
    object.SetFlags(object_shadow_casting);
    object.BuildShadowVolume();
    const mesh_c* volume = object.GetShadowMesh();
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->name, "box:cube:(Shadow Volume)");
    const geometry_def_c& def = volume->GetDefinition();
    ASSERT_EQ(def.primitiveSets.size(), 1u);
    const primitive_set_c& set = *def.primitiveSets[0];
    // Twelve faces with corners of their own, and one quad of two triangles
    // for each of the 18 edges (12 sides, 6 diagonals) two faces share.
    EXPECT_EQ(set.vertices.size(), 36u);
    ASSERT_EQ(set.indices.size(), (12u + 18u * 2u) * 3u);
    for (u32 t = 0; t < 12; ++t) {
        const vec3_c& n = set.vertices[t * 3].normal;
        EXPECT_NEAR(n.Length(), 1.0f, 1e-5f);
        // Outward: the normal points the same way as the face's corners.
        EXPECT_GT(
            Dot(n, set.vertices[t * 3].position + set.vertices[t * 3 + 1].position + set.vertices[t * 3 + 2].position),
            0.0f);
    }
    const std::vector<u32> expected = PairwiseQuads(set.vertices, 12);
    EXPECT_EQ(std::vector<u32>(set.indices.begin() + 36, set.indices.end()), expected);
    for (size_t q = 36; q < set.indices.size(); q += 6) {
        // Each quad has no area: its two triangles run along one edge.
        EXPECT_EQ(set.vertices[set.indices[q]].position, set.vertices[set.indices[q + 2]].position);
    }

    object.ClearFlags(object_shadow_casting);
    object.BuildShadowVolume();
    EXPECT_EQ(object.GetShadowMesh(), nullptr);
}

TEST(GeomObjectTest, ShadowPassOfASceneWithADirectionalLight)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.SetFlags(object_shadow_casting);
    scene.CreateCamera("camera");
    light_c* sun = scene.AddLight(new light_c("sun"));
    sun->color = vec3_c(1, 1, 1);
    sun->SetFlags(light_shadows);
    auto* object = new geom_object_c("box", &renderer);
    object->SetFlags(object_shadow_casting);
    mesh_c* mesh = object->CreateMesh("cube", Cube("cube"));
    object->SetMeshMaterial(mesh, 0, object->AddMaterial(new material_c("paint", &renderer)));
    object->position = vec3_c(0, 0, 10);
    scene.AddObject(object);
    scene.PrepareFrame();
    ASSERT_EQ(scene.GetShadowList().size(), 1u);
    ASSERT_NE(object->GetShadowMesh(), nullptr);
    renderer.ClearCalls();
    scene.Render();
    EXPECT_EQ(renderer.CallNames(),
              (std::vector<std::string>{"SetViewportRect", "SetScene", "BeginGeometry", "DrawGeometry", "EndGeometry",
                                        "DrawShadow", "ResetRenderLists", "DrawShadowShade"}));
    const recorded_call_c* shadow = renderer.FindCall("DrawShadow");
    EXPECT_EQ(shadow->objects[0], object);
    EXPECT_EQ(shadow->numbers, (std::vector<double>{0, 0, 0, 1}));
}

TEST(GeomObjectTest, FrameDrawsSurfacesByPass)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.CreateCamera("camera");
    auto* object = new geom_object_c("plane", &renderer);
    mesh_c* mesh = object->CreateMesh("body", Cube("body", 1.0f, 3));
    material_c* wood = object->AddMaterial(new material_c("wood", &renderer));
    material_c* glass = object->AddMaterial(new material_c("glass", &renderer));
    glass->transparency = 0.5f;
    object->SetMeshMaterial(mesh, 0, wood);
    object->SetMeshMaterial(mesh, 2, glass);
    object->position = vec3_c(0, 0, 10);
    object->Animate(3.0f);
    scene.AddObject(object);
    scene.PrepareFrame();
    EXPECT_EQ(scene.GetPass0List(), (object_list_t{object}));
    EXPECT_EQ(scene.GetPass1List(), (object_list_t{object}));
    renderer.ClearCalls();
    scene.Render();
    EXPECT_EQ(renderer.CallNames(),
              (std::vector<std::string>{"SetViewportRect", "SetScene", "BeginGeometry", "DrawGeometry", "EndGeometry",
                                        "BeginGeometry", "DrawGeometry", "EndGeometry", "ResetRenderLists"}));
    const recorded_call_c* opaque = renderer.FindCall("DrawGeometry", 0);
    EXPECT_EQ(opaque->numbers, (std::vector<double>{0, 3}));
    EXPECT_EQ(opaque->objects[0], wood);
    const recorded_call_c* blended = renderer.FindCall("DrawGeometry", 1);
    EXPECT_EQ(blended->numbers, (std::vector<double>{2, 3}));
    EXPECT_EQ(renderer.FindCall("BeginGeometry")->objects[0], object);

    // While dissolving every surface goes to the blended pass.
    object->dissolve = 0.5f;
    scene.PrepareFrame();
    EXPECT_TRUE(scene.GetPass0List().empty());
    renderer.ClearCalls();
    scene.Render();
    EXPECT_EQ(renderer.CountCalls("DrawGeometry"), 2u);
    object->dissolve = 1.0f;
    scene.PrepareFrame();
    EXPECT_TRUE(scene.GetPass1List().empty());
}

TEST(GeomObjectTest, RayTests)
{
    recording_renderer_c renderer;
    geom_object_c object("box", &renderer);
    mesh_c* mesh = object.CreateMesh("cube", Cube("cube", 1.0f, 2));
    material_c* wood = object.AddMaterial(new material_c("wood", &renderer));
    object.SetMeshMaterial(mesh, 0, wood);
    object.SetMeshMaterial(mesh, 1, wood);
    object.position = vec3_c(0, 0, 10);
    object.scale = vec3_c(2, 2, 2);
    object.UpdateTransform(nullptr);
    struct case_s {
        ray_c ray;
        bool precise;
        bool hit;
        float distance;
    };
    const case_s cases[] = {
        {ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), true, true, 8},
        {ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 20)), true, true, 0.4f},
        {ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), false, true, 8},
        {ray_c(vec3_c(0.5f, 0.5f, 0), vec3_c(0, 0, 1)), true, true, 8},
        {ray_c(vec3_c(0, 5, 0), vec3_c(0, 0, 1)), true, false, 0},
        {ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, -1)), true, false, 0},
        {ray_c(vec3_c(0, 0, 20), vec3_c(0, 0, -1)), true, true, 8},
    };
    for (const case_s& c : cases) {
        float distance = FLT_MAX;
        vec3_c normal;
        EXPECT_EQ(object.RayTest(distance, normal, c.ray, true, c.precise, FLT_MAX), c.hit);
        if (c.hit) {
            EXPECT_NEAR(distance, c.distance, 1e-4f);
            EXPECT_NEAR(normal.Length(), 1.0f, 1e-5f);
        }
    }
    float distance;
    vec3_c normal;
    ASSERT_TRUE(object.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), true, true, FLT_MAX));
    EXPECT_NEAR(normal.z, -1.0f, 1e-5f);
    EXPECT_FALSE(object.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), true, true, 3.0f));
    wood->transparency = 0.5f;
    EXPECT_FALSE(object.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), false, true, FLT_MAX));
    EXPECT_TRUE(object.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), true, true, FLT_MAX));
    // From inside only a double-sided surface is hit.
    EXPECT_FALSE(object.RayTest(distance, normal, ray_c(vec3_c(0, 0, 10), vec3_c(0, 0, 1)), true, true, FLT_MAX));
    wood->flags |= material_double_sided;
    EXPECT_TRUE(object.RayTest(distance, normal, ray_c(vec3_c(0, 0, 10), vec3_c(0, 0, 1)), true, true, FLT_MAX));
    EXPECT_NEAR(distance, 2.0f, 1e-4f);
    object.ClearFlags(object_ray_testable);
    EXPECT_FALSE(object.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), true, false, FLT_MAX));
}

TEST(GeomObjectTest, WriteThenReadGivesTheSameObject)
{
    recording_renderer_c renderer;
    geom_object_c object("biplane", &renderer);
    geometry_def_c skinned = Cube("body", 1.0f, 2);
    skinned.blendMatrixCount = 2;
    mesh_c* body = object.CreateMesh("body", skinned);
    mesh_c* distant = object.CreateMesh("distant", Cube("distant", 1.0f));
    body->lodDistance = 100;
    distant->lodDistance = 1000;
    body->SetWeightMapName(0, "wing");
    body->SetWeightMapName(1, "tail");
    material_c* canvas = object.AddMaterial(new material_c("canvas", &renderer));
    material_c* glass = object.AddMaterial(new material_c("glass", &renderer));
    glass->transparency = 0.3f;
    object.SetMeshMaterial(body, 0, canvas);
    object.SetMeshMaterial(body, 1, glass);
    object.SetMeshMaterial(distant, 0, canvas);
    bone_c* root = object.AddBone(new bone_c("root"));
    bone_c* wing = object.AddBone(new bone_c("wing"));
    bone_c* tail = object.AddBone(new bone_c("tail"));
    wing->weightMapName = "wing";
    tail->weightMapName = "tail";
    wing->restPosition = vec3_c(1, 0, 0);
    object.SetBoneParent(wing, root);
    object.SetBoneParent(tail, root);
    object.shadowDepth = 12.5f;
    object.position = vec3_c(5, 6, 7);

    const std::vector<u8> bytes = Written(object);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<geom_object_c> read(geom_object_c::Read(in, &renderer, 0));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Written(*read), bytes);
    EXPECT_EQ(read->GetName(), "biplane");
    EXPECT_FLOAT_EQ(read->shadowDepth, 12.5f);
    ASSERT_EQ(read->GetMeshes().GetCount(), 2u);
    const mesh_c* read_body = read->GetMeshes().GetFirst();
    EXPECT_EQ(read_body->GetMaterials()[0], read->GetMaterials().GetFirst());
    EXPECT_EQ(read_body->GetMaterials()[1], read->GetMaterials().GetLast());
    EXPECT_EQ(read_body->GetWeightMapNames()[1], "tail");
    EXPECT_FLOAT_EQ(read->GetMeshes().GetLast()->lodDistance, 1000);
    const bone_c* read_root = read->GetBones().GetFirst();
    EXPECT_EQ(read_root->GetNext()->parent, read_root);
    EXPECT_EQ(read->GetBones().GetLast()->parent, read_root);

    std::unique_ptr<geom_object_c> clone(static_cast<geom_object_c*>(object.Clone()));
    EXPECT_EQ(Written(*clone), bytes);
    EXPECT_EQ(clone->GetMeshes().GetFirst()->GetMaterials()[1], clone->GetMaterials().GetLast());

    // The loader finds it first, and only it when geometry alone is asked.
    input_file_c loaded_in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<null_object_c> loaded(LoadObject(loaded_in, &renderer, true));
    EXPECT_NE(dynamic_cast<geom_object_c*>(loaded.get()), nullptr);
}

TEST(GeomObjectTest, ReaderPicksTheLayer)
{
    recording_renderer_c renderer;
    output_file_c file;
    geom_object_c("first", &renderer).Write(file);
    geom_object_c("second", &renderer).Write(file);
    for (u32 layer : {0u, 1u, 2u}) {
        input_file_c in(file.GetData(), file.GetSize());
        std::unique_ptr<geom_object_c> read(geom_object_c::Read(in, &renderer, layer));
        if (layer == 2)
            EXPECT_EQ(read, nullptr);
        else
            EXPECT_EQ(read->GetName(), layer == 0 ? "first" : "second");
    }
}

namespace {

// A "GEOM" chunk: the body of an empty object followed by extra bytes.
std::vector<u8> GeometryWith(renderer_c* renderer, const std::function<void(output_file_c&)>& extra)
{
    geom_object_c object("broken", renderer);
    object.CreateMesh("m", Cube("m", 1.0f, 2));
    object.AddMaterial(new material_c("paint", renderer));
    object.AddBone(new bone_c("a"));
    object.AddBone(new bone_c("b"));
    object.AddBone(new bone_c("c"));
    const std::vector<u8> bytes = Written(object);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    input_file_c inner;
    EXPECT_TRUE(ReadChunk(in, MakeTag("GEOM"), 5, inner));
    output_file_c body;
    for (u32 i = 0; i < inner.GetSize(); ++i)
        body.WriteU8(inner.GetData()[i]);
    extra(body);
    output_file_c out;
    WriteChunk(out, MakeTag("GEOM"), 5, body);
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

void Record(output_file_c& body, u32 tag, const std::vector<u32>& words)
{
    output_file_c block;
    for (u32 word : words)
        block.WriteU32(word);
    body.WriteU32(tag);
    body.WriteBlock(block);
}

} // namespace

TEST(GeomObjectTest, BadRecordsAreFileErrors)
{
    recording_renderer_c renderer;
    struct case_s {
        u32 tag;
        std::vector<u32> words;
        const char* message;
    };
    const case_s cases[] = {
        {MakeTag("mtrl"), {1, 0, 0}, "Could not find item!"}, {MakeTag("mtrl"), {0, 2, 0}, "Could not find item!"},
        {MakeTag("mtrl"), {0, 0, 1}, "Could not find item!"}, {MakeTag("prnt"), {0, 3}, "Could not find item!"},
        {MakeTag("prnt"), {7, 0}, "Could not find item!"},    {MakeTag("mtrl"), {0, 0}, "Unexpected end of file!"},
    };
    for (const case_s& c : cases) {
        const std::vector<u8> bytes =
            GeometryWith(&renderer, [&](output_file_c& body) { Record(body, c.tag, c.words); });
        input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
        try {
            std::unique_ptr<geom_object_c> read(geom_object_c::Read(in, &renderer, 0));
            ADD_FAILURE() << c.tag;
        } catch (const file_error_c& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(GeomObjectTest, BoneParentCyclesAreBroken)
{
    recording_renderer_c renderer;
    const std::vector<u8> bytes = GeometryWith(&renderer, [](output_file_c& body) {
        Record(body, MakeTag("prnt"), {0, 1});
        Record(body, MakeTag("prnt"), {1, 2});
        Record(body, MakeTag("prnt"), {2, 0});
    });
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<geom_object_c> read(geom_object_c::Read(in, &renderer, 0));
    ASSERT_NE(read, nullptr);
    const std::vector<bone_c*>& skeleton = read->GetSkeleton();
    ASSERT_EQ(skeleton.size(), 3u);
    int links = 0;
    for (size_t i = 0; i < skeleton.size(); ++i)
        if (skeleton[i]->parent) {
            ++links;
            const auto parent_at = std::find(skeleton.begin(), skeleton.end(), skeleton[i]->parent);
            EXPECT_LT(parent_at - skeleton.begin(), static_cast<std::ptrdiff_t>(i));
        }
    EXPECT_EQ(links, 2);
}

TEST(GeomObjectTest, SubObjectsOfAnotherVersionAreSkippedWhole)
{
    recording_renderer_c renderer;
    const std::vector<u8> bytes = GeometryWith(&renderer, [&](output_file_c& body) {
        output_file_c future;
        bone_c("future").Write(future);
        // The same bone chunk, claiming version 3.
        output_file_c changed;
        for (u32 i = 0; i < future.GetSize(); ++i)
            changed.WriteU8(i >= 4 && i < 8 ? (i == 4 ? 3 : 0) : future.GetData()[i]);
        for (u32 i = 0; i < changed.GetSize(); ++i)
            body.WriteU8(changed.GetData()[i]);
        material_c("after", &renderer).Write(body);
    });
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<geom_object_c> read(geom_object_c::Read(in, &renderer, 0));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetBones().GetCount(), 3u);
    EXPECT_EQ(read->GetMaterials().GetLast()->name, "after");
}

TEST(GeomObjectTest, StoredBlendMatrixCountIsBounded)
{
    recording_renderer_c renderer;
    geometry_def_c def = Cube("m");
    def.blendMatrixCount = 3;
    mesh_c mesh("m", def, &renderer);
    output_file_c out;
    mesh.Write(out);
    std::vector<u8> bytes(out.GetData(), out.GetData() + out.GetSize());
    // The count sits in the definition's options after the name and format;
    // find the 3 and make it huge.
    bool patched = false;
    for (size_t i = 12; i + 4 <= bytes.size() && !patched; i += 4) {
        u32 word;
        std::memcpy(&word, &bytes[i], 4);
        if (word == 3 && i > 40) {
            const u32 huge = 0x40000000;
            std::memcpy(&bytes[i], &huge, 4);
            input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
            try {
                std::unique_ptr<mesh_c> read(mesh_c::Read(in, &renderer));
            } catch (const file_error_c& error) {
                EXPECT_STREQ(error.what(), "Invalid blend matrix count!");
                patched = true;
            }
        }
    }
    EXPECT_TRUE(patched);
}

// Geometry the renderer would refuse is refused while reading, as a file error
// that names the file, not as the renderer's own failure.
TEST(GeomObjectTest, StoredGeometryThatIsNotIntegralIsAFileError)
{
    recording_renderer_c renderer;
    // Two corners of a triangle strip: not even one triangle.
    geometry_def_c def("m");
    def.format.hasPosition = 1;
    primitive_set_c* strip = def.AddPrimitiveSet(new triangle_set_c);
    strip->vertices.resize(2);
    ASSERT_FALSE(def.IsIntegral());
    output_file_c body;
    body.WriteString("m");
    WriteGeometryDef(body, def);
    output_file_c file;
    WriteChunk(file, MakeTag("MESH"), mesh_c::version, body);
    input_file_c in(file.GetData(), file.GetSize());
    try {
        std::unique_ptr<mesh_c> read(mesh_c::Read(in, &renderer));
        ADD_FAILURE() << "read";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Non integral geometry!");
    }
}

TEST(GeomObjectTest, WeightMapNameCutShortByAZeroByteWritesLikeAnEmptyOne)
{
    recording_renderer_c renderer;
    geometry_def_c def = Cube("m");
    def.blendMatrixCount = 1;
    mesh_c mesh("m", def, &renderer);
    string_c cut;
    cut.Assign("\0x", 2);
    mesh.SetWeightMapName(0, cut);
    output_file_c out;
    mesh.Write(out);
    input_file_c in(out.GetData(), out.GetSize());
    std::unique_ptr<mesh_c> read(mesh_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    output_file_c again;
    read->Write(again);
    EXPECT_EQ(std::vector<u8>(again.GetData(), again.GetData() + again.GetSize()),
              std::vector<u8>(out.GetData(), out.GetData() + out.GetSize()));
}

TEST(GeomObjectTest, ShadowVolumeOfFarAwayCorners)
{
    recording_renderer_c renderer;
    geom_object_c object("far", &renderer);
    object.CreateMesh("cube", Cube("cube", 1e30f));
    object.SetFlags(object_shadow_casting);
    object.BuildShadowVolume();
    ASSERT_NE(object.GetShadowMesh(), nullptr);
    EXPECT_EQ(object.GetShadowMesh()->GetDefinition().primitiveSets[0]->indices.size(), (12u + 18u * 2u) * 3u);
}

// A rippled grid around the origin whose triangles each have corners of their
// own, moved by less than the epsilon (still the same point), by a little
// more (another point) or not at all, with triangles repeated (an edge shared
// three and four ways), flat ones and corners on both sides of cell edges.
geometry_def_c JitteredGrid(u32 _side)
{
    geometry_def_c def("jittered");
    def.format.hasPosition = 1;
    def.format.hasNormal = 1;
    auto* set = def.AddPrimitiveSet(new triangle_set_c());
    u32 seed = 12345;
    auto jitter = [&]() {
        seed = seed * 1664525u + 1013904223u;
        switch ((seed >> 24) % 6) {
        case 0: return 0.4f * kMathEpsilon;
        case 1: return -0.45f * kMathEpsilon;
        case 2: return 1.5f * kMathEpsilon;
        default: return 0.0f;
        }
    };
    auto corner = [&](u32 _x, u32 _z) {
        const f32 x = (static_cast<f32>(_x) - _side / 2.0f) * 0.25f, z = (static_cast<f32>(_z) - _side / 2.0f) * 3e-7f;
        const f32 dx = jitter();
        const f32 dz = jitter();
        vertex_c v;
        v.position = vec3_c(x + dx, std::sin(static_cast<f32>(_x * 7 + _z * 3)) * 1e-7f, z + dz);
        return v;
    };
    auto triangle = [&](u32 _x0, u32 _z0, u32 _x1, u32 _z1, u32 _x2, u32 _z2) {
        const u32 first = static_cast<u32>(set->vertices.size());
        set->vertices.insert(set->vertices.end(), {corner(_x0, _z0), corner(_x1, _z1), corner(_x2, _z2)});
        set->indices.insert(set->indices.end(), {first, first + 1, first + 2});
    };
    for (u32 z = 0; z < _side; ++z)
        for (u32 x = 0; x < _side; ++x) {
            triangle(x, z, x, z + 1, x + 1, z);
            triangle(x + 1, z, x, z + 1, x + 1, z + 1);
            if ((x + z) % 5 == 0)
                triangle(x + 1, z, x, z + 1, x + 1, z + 1);
            if ((x * z) % 7 == 3)
                triangle(x, z, x, z, x + 1, z);
        }
    return def;
}

TEST(GeomObjectTest, ShadowVolumePairsEdgesAsComparingEveryPairOfTrianglesDoes)
{
    recording_renderer_c renderer;
    geom_object_c object("jittered", &renderer);
    object.CreateMesh("grid", JitteredGrid(14));
    object.SetFlags(object_shadow_casting);
    object.BuildShadowVolume();
    ASSERT_NE(object.GetShadowMesh(), nullptr);
    const primitive_set_c& set = *object.GetShadowMesh()->GetDefinition().primitiveSets[0];
    const u32 triangles = static_cast<u32>(set.vertices.size() / 3);
    ASSERT_GT(triangles, 400u);
    ASSERT_GE(set.indices.size(), triangles * 3u);
    for (u32 i = 0; i < triangles * 3; ++i)
        ASSERT_EQ(set.indices[i], i);
    const std::vector<u32> expected = PairwiseQuads(set.vertices, triangles);
    EXPECT_GT(expected.size(), triangles * 2u);
    EXPECT_EQ(std::vector<u32>(set.indices.begin() + triangles * 3, set.indices.end()), expected);
}

TEST(GeomObjectTest, SlotsOfMaterialsNotInTheListAreCleared)
{
    recording_renderer_c renderer;
    geom_object_c object("o", &renderer);
    mesh_c* mesh = object.CreateMesh("m", Cube("m"));
    material_c stranger("stranger", &renderer);
    object.SetMeshMaterial(mesh, 0, &stranger);
    object.UpdateDerivedData();
    EXPECT_EQ(mesh->GetMaterials()[0], nullptr);
}

TEST(GeomObjectTest, LayerNamesAndLoadingByName)
{
    recording_renderer_c renderer;
    output_file_c file("models\\pair.geo");
    geom_object_c("left", &renderer).Write(file);
    geom_object_c("right", &renderer).Write(file);
    // Stored through the current writer, read through the current file
    // system: both are the disk unless a test stacks others; keep it in
    // memory here.
    struct memory_c : public file_system_c, public file_writer_c {
        std::vector<u8> bytes;
        u32 GetSize(const char* name) override
        {
            if (string_c(name) != "models\\pair.geo")
                throw file_error_c(name, "File does not exist!");
            return static_cast<u32>(bytes.size());
        }
        u32 Load(const char* name, void* buffer, u32) override
        {
            GetSize(name);
            std::memcpy(buffer, bytes.data(), bytes.size());
            return static_cast<u32>(bytes.size());
        }
        int Write(const char*, const void* data, u32 size) override
        {
            bytes.assign(static_cast<const u8*>(data), static_cast<const u8*>(data) + size);
            return static_cast<int>(size);
        }
    } memory;
    file.Commit();
    EXPECT_EQ(ReadObjectLayerName("models\\pair.geo", 1), "right");
    EXPECT_EQ(ReadObjectLayerName("models\\pair.geo", 2), "");
    std::unique_ptr<geom_object_c> left(LoadGeomObject("models\\pair.geo", &renderer, 0));
    EXPECT_EQ(left->GetName(), "left");
    try {
        LoadGeomObject("models\\pair.geo", &renderer, 5);
        ADD_FAILURE();
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Unknown file format!");
        EXPECT_EQ(error.GetFileName(), "models\\pair.geo");
    }
}
