#include "engine/terrain.h"

#include "engine/aabb.h"
#include "engine/camera.h"
#include "engine/mesh.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/still_map.h"
#include "engine/terrain_builder.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "image/flare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr u32 side = 33; // 4 x 4 patches of 8 x 8 squares: three levels
constexpr f32 spacing = 2.0f;

f32 HeightAt(u32 _row, u32 _column)
{
    return static_cast<f32>(_row % 5) * 1.5f + static_cast<f32>(_column) * 0.25f;
}

std::vector<f32> Field()
{
    std::vector<f32> heights(side * side);
    for (u32 r = 0; r < side; ++r)
        for (u32 c = 0; c < side; ++c)
            heights[r * side + c] = HeightAt(r, c);
    return heights;
}

std::unique_ptr<terrain_c> Build(recording_renderer_c& _renderer)
{
    const std::vector<f32> heights = Field();
    return std::unique_ptr<terrain_c>(BuildTerrain("Land", &_renderer, heights.data(), side, spacing, 8));
}

// The box of the samples a patch covers, worked out from the heights.
bounding_box_c PatchBox(u32 _row, u32 _column, u32 _span)
{
    f32 low = FLT_MAX, high = -FLT_MAX;
    for (u32 r = _row; r <= _row + _span; ++r)
        for (u32 c = _column; c <= _column + _span; ++c) {
            low = std::min(low, HeightAt(r, c));
            high = std::max(high, HeightAt(r, c));
        }
    return bounding_box_c(vec3_c(_column * spacing, low, -static_cast<f32>(_row + _span) * spacing),
                          vec3_c((_column + _span) * spacing, high, -static_cast<f32>(_row) * spacing));
}

// The patches a camera at _eye should see, by the level-of-detail rule.
void ExpectedPatches(const vec3_c& _eye, f32 _accuracy, u32 _row, u32 _column, u32 _span, u32 _level,
                     std::vector<std::string>& _out)
{
    const bounding_box_c box = PatchBox(_row, _column, _span);
    const f32 d = (box.ClosestPoint(_eye) - _eye).Length();
    const vec3_c size = box.GetCorner(7) - box.GetCorner(0);
    const f32 m = std::max(size.x, std::max(size.y, size.z));
    if (_span > 8 && 1.0f / _accuracy < m / d) {
        const u32 half = _span / 2;
        ExpectedPatches(_eye, _accuracy, _row, _column, half, _level + 1, _out);
        ExpectedPatches(_eye, _accuracy, _row, _column + half, half, _level + 1, _out);
        ExpectedPatches(_eye, _accuracy, _row + half, _column, half, _level + 1, _out);
        ExpectedPatches(_eye, _accuracy, _row + half, _column + half, half, _level + 1, _out);
        return;
    }
    _out.push_back(_level == 0
                       ? std::string("Land")
                       : "Land:" + std::to_string(_level) + ":" + std::to_string(_row) + ":" + std::to_string(_column));
}

class camera_fixture_c {
public:
    recording_renderer_c& renderer;
    camera_c camera{"Eye"};

    camera_fixture_c(recording_renderer_c& _renderer, const vec3_c& _position, f32 _heading = 0.0f)
        : renderer(_renderer)
    {
        camera.position = _position;
        camera.rotation = vec3_c(_heading, 0.0f, 0.0f);
        camera.UpdateTransform(nullptr);
        camera.SetViewShape(renderer);
        camera.SetProjection(1.0f, 10000.0f);
    }
};

std::vector<std::string> Queued(terrain_c& _terrain, camera_c& _camera, u32 _mask)
{
    object_list_t pass0, pass1;
    _terrain.UpdateTransform(nullptr);
    _terrain.Cull(pass0, pass1, nullptr, &_camera, _mask, 0);
    EXPECT_TRUE(pass1.empty());
    std::vector<std::string> names;
    for (null_object_c* object : pass0)
        names.push_back(object->GetName().GetData());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<u8> Bytes(const output_file_c& _out)
{
    return std::vector<u8>(_out.GetData(), _out.GetData() + _out.GetSize());
}

// Whole chunks start on a word boundary of the body.
void Append(output_file_c& _out, const std::vector<u8>& _bytes)
{
    while (_out.GetPosition() % 4 != 0)
        _out.WriteU8(0);
    for (u8 byte : _bytes)
        _out.WriteU8(byte);
}

// The chunk of a terrain without mesh, maps or children.
std::vector<u8> EmptyPatch(recording_renderer_c& _renderer, const char* _name)
{
    terrain_c patch(_name, &_renderer);
    output_file_c out;
    patch.Write(out);
    return Bytes(out);
}

// The body of an empty patch: its fixed items only.
std::vector<u8> FixedItems(recording_renderer_c& _renderer)
{
    const std::vector<u8> chunk = EmptyPatch(_renderer, "Top");
    return std::vector<u8>(chunk.begin() + 12, chunk.end());
}

std::vector<u8> Chunk(const std::vector<u8>& _body, u32 _version = terrain_c::version)
{
    output_file_c out;
    out.WriteU32(MakeTag("TERN"));
    out.WriteU32(_version);
    out.WriteBlock(_body.data(), static_cast<u32>(_body.size()));
    return Bytes(out);
}

terrain_c* ReadBytes(const std::vector<u8>& _bytes, recording_renderer_c& _renderer)
{
    input_file_c in(_bytes.data(), static_cast<u32>(_bytes.size()));
    return terrain_c::Read(in, &_renderer);
}

} // namespace

TEST(Terrain, NewPatchDefaults)
{
    recording_renderer_c renderer(640, 480);
    terrain_c terrain("Land", &renderer);
    EXPECT_EQ(terrain.GetFlags(), 23u);
    EXPECT_FLOAT_EQ(terrain.GetAccuracy(), 0.1f);
    EXPECT_EQ(terrain.GetChildCount(), 0u);
    EXPECT_EQ(terrain.GetMesh(), nullptr);
    // Nothing to draw or hit without a mesh.
    camera_fixture_c eye(renderer, vec3_c());
    EXPECT_TRUE(Queued(terrain, eye.camera, clip_inside).empty());
    f32 fraction = 0.0f;
    vec3_c normal;
    EXPECT_FALSE(terrain.RayTest(fraction, normal, ray_c(vec3_c(0, 10, 0), vec3_c(0, -20, 0)), true, false, FLT_MAX));
}

TEST(Terrain, AccuracyClampsAndReachesEveryPatch)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    struct {
        f32 in, stored;
    } cases[] = {{0.0f, FLT_EPSILON}, {-3.0f, FLT_EPSILON}, {5.0f, 1.0f}, {0.25f, 0.25f}, {1.0f, 1.0f}};
    for (const auto& c : cases) {
        terrain->SetAccuracy(c.in);
        EXPECT_EQ(terrain->GetAccuracy(), c.stored) << c.in;
        EXPECT_EQ(terrain->GetChild(3)->GetChild(2)->GetAccuracy(), c.stored);
    }
    command_c command;
    command.Parse("Accuracy 0.5");
    EXPECT_TRUE(terrain->SetParameter(command));
    EXPECT_FLOAT_EQ(terrain->GetChild(1)->GetAccuracy(), 0.5f);
    command.Parse("Wobble 1");
    EXPECT_FALSE(terrain->SetParameter(command));
}

TEST(Terrain, BoundsCoverEveryPatch)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    aabb_c box;
    terrain->GetBoundingBox(box);
    const bounding_box_c expected = PatchBox(0, 0, side - 1);
    EXPECT_EQ(box.min, expected.GetCorner(0));
    EXPECT_EQ(box.max, expected.GetCorner(7));
    terrain->GetChild(2)->GetBoundingBox(box);
    EXPECT_EQ(box.min, PatchBox(16, 0, 16).GetCorner(0));
    EXPECT_EQ(box.max, PatchBox(16, 0, 16).GetCorner(7));
}

TEST(Terrain, LevelOfDetailFollowsTheCamera)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    const vec3_c eyes[] = {
        {1.0f, 30.0f, -1.0f}, {30.0f, 2.0f, -30.0f}, {500.0f, 0.0f, 0.0f}, {-5.0f, 4.0f, 5.0f}, {40.0f, 60.0f, -20.0f}};
    for (f32 accuracy : {1.0f, 0.5f, 0.25f, 0.1f})
        for (const vec3_c& position : eyes) {
            terrain->SetAccuracy(accuracy);
            camera_fixture_c eye(renderer, position);
            std::vector<std::string> expected;
            ExpectedPatches(position, accuracy, 0, 0, side - 1, 0, expected);
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(Queued(*terrain, eye.camera, clip_inside), expected)
                << accuracy << " " << position.x << " " << position.y << " " << position.z;
        }
    // Worked by hand: above the top-left corner at accuracy 0.5 the root (64
    // wide, 16 below) refines, its quarters (32 wide, 20 or more away) do
    // not.
    terrain->SetAccuracy(0.5f);
    camera_fixture_c above(renderer, vec3_c(1.0f, 30.0f, -1.0f));
    EXPECT_EQ(Queued(*terrain, above.camera, clip_inside),
              (std::vector<std::string>{"Land:1:0:0", "Land:1:0:16", "Land:1:16:0", "Land:1:16:16"}));
    // Far away the root is drawn whole.
    camera_fixture_c far(renderer, vec3_c(0.0f, 0.0f, 5000.0f));
    EXPECT_EQ(Queued(*terrain, far.camera, clip_inside), std::vector<std::string>{"Land"});
}

TEST(Terrain, OnlyFourChildrenRefine)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    terrain->SetChild(3, nullptr);
    EXPECT_EQ(terrain->GetChildCount(), 3u);
    camera_fixture_c inside(renderer, vec3_c(10.0f, 5.0f, -10.0f));
    EXPECT_FALSE(terrain->NeedsRefinement(&inside.camera));
    EXPECT_EQ(Queued(*terrain, inside.camera, clip_inside), std::vector<std::string>{"Land"});
}

TEST(Terrain, ClipMaskIsHandedDown)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    terrain->SetAccuracy(1.0f);
    // Looking away from the land (forward is +z, the land lies at -z).
    camera_fixture_c away(renderer, vec3_c(32.0f, 10.0f, 5.0f));
    EXPECT_TRUE(Queued(*terrain, away.camera, 0).empty());
    // A parent that reports every plane passed spares its children the test.
    std::vector<std::string> expected;
    ExpectedPatches(vec3_c(32.0f, 10.0f, 5.0f), 1.0f, 0, 0, side - 1, 0, expected);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Queued(*terrain, away.camera, clip_inside), expected);
    for (u32 i = 0; i < 4; ++i)
        if (terrain->GetChild(i)->IsVisible()) {
            EXPECT_EQ(terrain->GetChild(i)->GetBounds().GetClipMask(), clip_inside);
        }
    // Turned round, the land is in view and the children see the parent's
    // planes as passed.
    camera_fixture_c toward(renderer, vec3_c(32.0f, 10.0f, 5.0f), 3.14159265f);
    const std::vector<std::string> seen = Queued(*terrain, toward.camera, 0);
    ASSERT_FALSE(seen.empty());
    const u32 root = terrain->GetBounds().GetClipMask();
    ASSERT_NE(root, 0u);
    for (u32 i = 0; i < 4; ++i) {
        const u32 mask = terrain->GetChild(i)->GetBounds().GetClipMask();
        if (mask != 0) {
            EXPECT_EQ(mask & root & clip_all_planes, root & clip_all_planes) << i;
        }
    }
}

TEST(Terrain, PreciseRaysHitTheHeightField)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    terrain->position = vec3_c(100.0f, 5.0f, -50.0f);
    terrain->UpdateTransform(nullptr);
    for (u32 r = 1; r < side - 1; r += 3)
        for (u32 c = 1; c < side - 1; c += 5) {
            const vec3_c top(100.0f + c * spacing, 200.0f, -50.0f - r * spacing);
            f32 fraction = 0.0f;
            vec3_c normal;
            ASSERT_TRUE(
                terrain->RayTest(fraction, normal, ray_c(top, vec3_c(0.0f, -400.0f, 0.0f)), true, true, FLT_MAX))
                << r << " " << c;
            EXPECT_NEAR(fraction, (200.0f - 5.0f - HeightAt(r, c)) / 400.0f, 1e-5f) << r << " " << c;
            EXPECT_NEAR(normal.Length(), 1.0f, 1e-3f);
            EXPECT_GT(normal.y, 0.0f);
        }
    f32 fraction = 0.0f;
    vec3_c normal;
    EXPECT_FALSE(terrain->RayTest(fraction, normal, ray_c(vec3_c(0, 200, 0), vec3_c(0, -400, 0)), true, true, FLT_MAX));
    // Not precise: the top of the box, and the up axis.
    const f32 top = 5.0f + PatchBox(0, 0, side - 1).GetCorner(7).y;
    ASSERT_TRUE(
        terrain->RayTest(fraction, normal, ray_c(vec3_c(120, 200, -70), vec3_c(0, -400, 0)), true, false, FLT_MAX));
    EXPECT_NEAR(fraction, (200.0f - top) / 400.0f, 1e-5f);
    EXPECT_EQ(normal, vec3_c(0.0f, 1.0f, 0.0f));
}

TEST(Terrain, ReachIsAWorldDistanceAtEveryLevel)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    terrain->UpdateTransform(nullptr);
    const u32 r = 10, c = 12;
    const vec3_c top(c * spacing, 200.0f, -static_cast<f32>(r) * spacing);
    const f32 hit = 200.0f - HeightAt(r, c);
    // The bounding sphere lies within both reaches; the hit only within one.
    const bounding_box_c box = PatchBox(0, 0, side - 1);
    ASSERT_LT((top - box.GetCentre()).Length() - box.GetRadius(), hit - 10.0f);
    for (f32 length : {1.0f, 400.0f}) {
        const ray_c ray(top, vec3_c(0.0f, -length, 0.0f));
        for (terrain_c* patch : {terrain.get(), terrain->GetChild(0)->GetChild(3)}) {
            f32 fraction = 0.0f;
            vec3_c normal;
            EXPECT_TRUE(patch->RayTest(fraction, normal, ray, true, true, hit + 1.0f)) << length;
            EXPECT_NEAR(fraction * length, hit, 1e-3f);
            EXPECT_FALSE(patch->RayTest(fraction, normal, ray, true, true, hit - 10.0f)) << length;
        }
    }
}

TEST(Terrain, WriteThenReadKeepsTheTree)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    terrain->SetAccuracy(0.5f);
    terrain->words[0] = 7, terrain->words[2] = 0xdeadbeef;
    terrain->GetChild(1)->SetColorMap(1, new still_map_c(texture_def_c(flare_def_c(), 8), &renderer));
    terrain->GetChild(1)->GetColorMap(1)->SetBlendMode(2);
    output_file_c out;
    terrain->Write(out);
    const std::vector<u8> bytes = Bytes(out);
    std::unique_ptr<terrain_c> copy(ReadBytes(bytes, renderer));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetName(), "Land");
    EXPECT_EQ(copy->GetChildCount(), 4u);
    EXPECT_EQ(copy->GetChild(2)->GetChildCount(), 4u);
    EXPECT_EQ(copy->GetChild(2)->GetChild(0)->GetChildCount(), 0u);
    EXPECT_EQ(copy->GetChild(3)->GetName(), "Land:1:16:16");
    EXPECT_FLOAT_EQ(copy->GetChild(0)->GetAccuracy(), 0.5f);
    EXPECT_EQ(copy->words[0], 7u);
    EXPECT_EQ(copy->words[2], 0xdeadbeefu);
    EXPECT_EQ(copy->GetFlags(), 23u);
    EXPECT_EQ(copy->GetBounds().GetCorner(7), terrain->GetBounds().GetCorner(7));
    EXPECT_EQ(copy->GetChild(1)->GetColorMap(0), nullptr);
    ASSERT_NE(copy->GetChild(1)->GetColorMap(1), nullptr);
    EXPECT_EQ(copy->GetChild(1)->GetColorMap(1)->GetBlendMode(), 2u);
    ASSERT_NE(copy->GetMesh(), nullptr);
    EXPECT_EQ(copy->GetMesh()->GetDefinition().GetVertexCount(), 81u);
    // The copy answers rays as the original does.
    copy->UpdateTransform(nullptr);
    terrain->UpdateTransform(nullptr);
    const ray_c ray(vec3_c(21.0f, 100.0f, -33.0f), vec3_c(0.0f, -200.0f, 0.0f));
    f32 a = 0.0f, b = 0.0f;
    vec3_c na, nb;
    ASSERT_TRUE(terrain->RayTest(a, na, ray, true, true, FLT_MAX));
    ASSERT_TRUE(copy->RayTest(b, nb, ray, true, true, FLT_MAX));
    EXPECT_EQ(a, b);
    // And writes the same bytes again.
    output_file_c again;
    copy->Write(again);
    EXPECT_EQ(Bytes(again), bytes);
    // Through the object loader as well.
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<null_object_c> loaded(LoadObject(in, &renderer, false));
    EXPECT_NE(dynamic_cast<terrain_c*>(loaded.get()), nullptr);
}

TEST(Terrain, CloneIsDeep)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    std::unique_ptr<null_object_c> clone(terrain->Clone());
    auto* copy = dynamic_cast<terrain_c*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->GetChild(0), terrain->GetChild(0));
    EXPECT_EQ(copy->GetChild(0)->GetChildCount(), 4u);
    EXPECT_NE(copy->GetMesh(), terrain->GetMesh());
    EXPECT_EQ(copy->GetMesh()->GetGeometry(), terrain->GetMesh()->GetGeometry());
}

TEST(Terrain, OtherVersionsAreNotTerrains)
{
    recording_renderer_c renderer(640, 480);
    memory_file_system_c files;
    for (u32 version : {2u, 4u}) {
        const std::vector<u8> bytes = Chunk(FixedItems(renderer), version);
        input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
        EXPECT_EQ(terrain_c::Read(in, &renderer), nullptr);
        EXPECT_EQ(in.GetPosition(), bytes.size()); // skipped whole
        files.Add("land.ter", bytes);
        try {
            delete LoadTerrain("land.ter", &renderer);
            FAIL() << version;
        } catch (const file_error_c& error) {
            EXPECT_STREQ(error.what(), "Unknown file format!");
        }
    }
    files.Add("land.ter", Chunk(FixedItems(renderer)));
    std::unique_ptr<terrain_c> loaded(LoadTerrain("land.ter", &renderer));
    EXPECT_EQ(loaded->GetName(), "Top");
    // Another tag: nothing consumed.
    output_file_c other;
    other.WriteU32(MakeTag("WATR"));
    const std::vector<u8> bytes = Bytes(other);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    EXPECT_EQ(terrain_c::Read(in, &renderer), nullptr);
    EXPECT_EQ(in.GetPosition(), 0u);
}

TEST(Terrain, ItemsInAnyOrderAndUnknownRecordsSkipped)
{
    recording_renderer_c renderer(640, 480);
    output_file_c body;
    Append(body, FixedItems(renderer));
    body.WriteU32(MakeTag("abcd"));
    body.WriteBlock("xyz", 3);
    Append(body, EmptyPatch(renderer, "First"));
    output_file_c map;
    still_map_c(texture_def_c(flare_def_c(), 4), &renderer).Write(map);
    body.WriteU32(MakeTag("col1"));
    body.WriteBlock(map);
    Append(body, EmptyPatch(renderer, "Second"));
    std::unique_ptr<terrain_c> terrain(ReadBytes(Chunk(Bytes(body)), renderer));
    ASSERT_TRUE(terrain);
    EXPECT_EQ(terrain->GetChildCount(), 2u);
    EXPECT_EQ(terrain->GetChild(1)->GetName(), "Second");
    EXPECT_NE(terrain->GetColorMap(1), nullptr);
}

TEST(Terrain, FifthChildIsRefused)
{
    recording_renderer_c renderer(640, 480);
    output_file_c body;
    Append(body, FixedItems(renderer));
    for (int i = 0; i < 5; ++i)
        Append(body, EmptyPatch(renderer, "Child"));
    try {
        delete ReadBytes(Chunk(Bytes(body)), renderer);
        FAIL();
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Terrain patch with more than four children!");
    }
}

TEST(Terrain, NestingIsBounded)
{
    recording_renderer_c renderer(640, 480);
    auto root = std::make_unique<terrain_c>("Deep", &renderer);
    terrain_c* at = root.get();
    for (int i = 0; i < 80; ++i) {
        at->SetChild(0, new terrain_c("Deep", &renderer));
        at = at->GetChild(0);
    }
    output_file_c out;
    root->Write(out);
    try {
        delete ReadBytes(Bytes(out), renderer);
        FAIL();
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Objects nested too deeply!");
    }
}

TEST(Terrain, DrawsThroughTheTerrainSlot)
{
    recording_renderer_c renderer(640, 480);
    auto terrain = Build(renderer);
    camera_fixture_c eye(renderer, vec3_c(0.0f, 0.0f, 5000.0f));
    Queued(*terrain, eye.camera, clip_inside);
    renderer.calls.clear();
    terrain->Render(0);
    terrain->DrawBounds();
    ASSERT_EQ(renderer.calls.size(), 2u);
    EXPECT_EQ(renderer.calls[0].name, "DrawTerrain");
    EXPECT_EQ(renderer.calls[0].objects[0], terrain.get());
    EXPECT_EQ(renderer.calls[0].numbers[0], 0.0); // wholly inside: no clipping
    EXPECT_EQ(renderer.calls[1].name, "DrawBox");
}
