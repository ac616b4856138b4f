#include "engine/import/lws3_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <typeinfo>
#include <string>
#include <vector>

#include "engine/bone.h"
#include "engine/camera.h"
#include "engine/anim_sprite.h"
#include "engine/emitter.h"
#include "engine/flare.h"
#include "engine/forest.h"
#include "engine/sprite.h"
#include "engine/texture_cache.h"
#include "engine/trail.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "engine/water.h"
#include "engine/geom_object.h"
#include "engine/import/object_importers.h"
#include "engine/import/testing/triangle_layers.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "engine/testing/memory_file_system.h"
#include "engine/import/testing/scene_text.h"
#include "engine/testing/recording_renderer.h"
#include "image/image.h"
#include "foundation/file_error.h"

namespace {

// The dynamic type of an item of the scene's lists.
const std::type_info& TypeOf(const null_object_c* _object)
{
    return typeid(*_object);
}

template <class T>
std::vector<T*> Items(const node_list_c<T>& _list)
{
    std::vector<T*> items;
    for (T* item = _list.GetFirst(); item; item = static_cast<node_c<T>*>(item)->GetNext())
        items.push_back(item);
    return items;
}

using scene_file_c = scene_text_c<lws3_reader_c>;

const char* const kScene = R"(LWSC
3

FirstFrame 60
LastFrame 120
FrameStep 2
FramesPerSecond 30
AmbientColor 0.5 0.25 1
AmbientIntensity (envelope)
{ Envelope
  2
  Key 0.5 0 0 0 0 0 0 0 0
  Key 1 2 3 0 0 0 0 0 0
  Behaviors 1 2
}

AddNullObject Tree
ObjectMotion
NumChannels 9
Channel 0
{ Envelope
  1
  Key 10 0 0 0 0 0 0 0 0
  Behaviors 1 1
}
Channel 1
{ Envelope
  1
  Key 0 0 0 0 0 0 0 0 0
  Behaviors 1 1
}
Channel 2
{ Envelope
  2
  Key 0 0 0 0.5 0.25 0 0 0 0
  Key 4 1 0 0 0 0 0 0 0
  Behaviors 2 4
}
Channel 3
{ Envelope 1 Key 0 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 4
{ Envelope 1 Key 0 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 5
{ Envelope 1 Key 0 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 6
{ Envelope 1 Key 1 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 7
{ Envelope 1 Key 1 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 8
{ Envelope 1 Key 2 0 0 0 0 0 0 0 0 Behaviors 1 1 }
PivotPosition 1 2 3
UnseenByRays 1
// DepthTest 1
// NoSuchCommand 5
ObjectDissolve 0.25

AddNullObject Tree
ParentItem 10000000
UnknownKeyword TargetObject 1
TargetObject 0

AddNullObject Rock
TargetItem 20000000

AddLight
LightName Sun
LightMotion
NumChannels 6
Channel 0
{ Envelope 1 Key 0 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 1
{ Envelope 1 Key 100 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 2
{ Envelope 1 Key 0 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 3
{ Envelope 1 Key 0 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 4
{ Envelope 1 Key 1.5 0 0 0 0 0 0 0 0 Behaviors 1 1 }
Channel 5
{ Envelope 1 Key 0 0 0 0 0 0 0 0 0 Behaviors 1 1 }
LightColor 1 0.9 0.8
LightIntensity 0.75
LightType 2
LightConeAngle 30
AffectSpecular 0
// ignored on a light
ParentItem 10000002

AddCamera
CameraName Camera
ZoomFactor (envelope)
{ Envelope
  2
  Key 3.2 0 0 0 0 0 0 0 0
  Key 1.6 1 0 0 0 0 0 0 0
  Behaviors 1 1
}
// FarClipPlane 5000
AddCamera
CameraName Camera
CurrentCamera 1

BackdropColor 0.1 0.2 0.3
FogType 1
FogMinDistance 10
FogMaxDistance 500
BackdropFog 1
BGImage
{ Clip
  { Still "Images/sky.bmp"
  }
}
GlowEffect 1
GlowIntensity 0.5
)";

} // namespace

TEST(Lws3Reader, RecognisesOnlyVersionThree)
{
    struct case_c {
        const char* text;
        bool version3;
    };
    for (const case_c c : {case_c{"LWSC\n3\n", true}, case_c{"LWSC\r\n3\r\n", true}, case_c{"LWSC\n1\n", false},
                           case_c{"LWSC", false}, case_c{"lwsc\n3", false}}) {
        const std::string text = c.text;
        input_file_c file(text.data(), static_cast<u32>(text.size()));
        EXPECT_EQ(IsLws3File(file), c.version3) << c.text;
    }
}

TEST(Lws3Reader, SceneWithObjectsLightsCamerasAndEnvelopes)
{
    memory_file_system_c files;
    image_c sky;
    sky.Create(8, 8, format_x8r8g8b8);
    output_file_c skyFile;
    sky.Save(skyFile, image_file_bmp);
    files.Add("Images\\sky.bmp", skyFile);
    scene_file_c s(kScene);
    s.Read();
    scene_c& scene = s.scene;
    // Frame rate 30 x step 2: frame 60 is one second.
    EXPECT_FLOAT_EQ(scene.GetFirstTime(), 1.0f);
    EXPECT_FLOAT_EQ(scene.GetLastTime(), 2.0f);
    EXPECT_EQ(scene.ambientColor.y, 0.25f);
    EXPECT_EQ(scene.ambientIntensity, 0.5f);
    EXPECT_EQ(scene.backdropColor.z, 0.3f);
    EXPECT_EQ(scene.fogColor.z, 0.3f);
    EXPECT_EQ(scene.fogEnd, 500.0f);
    EXPECT_TRUE(scene.HasFlags(scene_fog_on | scene_glow));
    EXPECT_EQ(scene.glowStrength, 0.5f);
    EXPECT_NE(scene.GetBackgroundMap(), nullptr);
    EXPECT_EQ(scene.GetFarClipPlane(), 5000.0f);

    const auto objects = Items(scene.GetObjects());
    ASSERT_EQ(objects.size(), 3u);
    null_object_c* tree1 = objects[0];
    null_object_c* tree2 = objects[1];
    null_object_c* rock = objects[2];
    EXPECT_STREQ(tree1->GetName(), "Tree (1)");
    EXPECT_STREQ(tree2->GetName(), "Tree (2)");
    EXPECT_STREQ(rock->GetName(), "Rock");
    EXPECT_EQ(tree1->position.x, 10.0f);
    EXPECT_EQ(tree1->scale.z, 2.0f);
    EXPECT_EQ(tree1->pivot.z, 3.0f);
    EXPECT_FALSE(tree1->HasFlags(object_ray_testable));
    EXPECT_EQ(tree1->dissolve, 0.25f);
    // The one animated channel: position z from 0 to 4 over a second.
    EXPECT_FLOAT_EQ(tree1->Animate(1.0f), 1.0f);
    EXPECT_NEAR(tree1->position.z, 4.0f, 1e-5);
    EXPECT_EQ(tree1->position.x, 10.0f);

    EXPECT_EQ(tree2->parent, tree1);
    EXPECT_EQ(tree2->target, nullptr); // "TargetObject 0" names no object

    const auto lights = Items(scene.GetLights());
    ASSERT_EQ(lights.size(), 1u);
    light_c* sun = lights[0];
    EXPECT_EQ(rock->target, sun);
    EXPECT_EQ(sun->position.y, 100.0f);
    EXPECT_EQ(sun->rotation.y, 1.5f);
    EXPECT_EQ(sun->color.y, 0.9f);
    EXPECT_EQ(sun->intensity, 0.75f);
    EXPECT_FLOAT_EQ(sun->coneAngle, 30.0f * 0.017453292519943295f);
    EXPECT_EQ(sun->GetFlags() & 16, 0u);
    EXPECT_EQ(sun->parent, rock);

    const auto cameras = Items(scene.GetCameras());
    ASSERT_EQ(cameras.size(), 2u);
    camera_c* first = cameras[0];
    EXPECT_STREQ(first->GetName(), "Camera (1)");
    EXPECT_STREQ(cameras[1]->GetName(), "Camera (2)");
    EXPECT_EQ(scene.GetActiveCamera(), cameras[1]);
    EXPECT_EQ(first->zoom, 3.2f);
    first->Animate(1.0f);
    EXPECT_NEAR(first->zoom, 1.6f, 1e-5);

    const string_c& log = s.renderer.GetWarningLog();
    EXPECT_NE(std::strstr(log, "[Tree] [NoSuchCommand 5] Unknown command!"), nullptr) << log.GetData();
    EXPECT_EQ(std::strstr(log, "ignored on a light"), nullptr);
}

TEST(Lws3Reader, StructureErrors)
{
    struct case_c {
        const char* body;
        const char* message;
    };
    const case_c cases[] = {
        {"AmbientIntensity (envelope) Envelope", "Begin of envelope not found!"},
        {"AmbientIntensity (envelope) { Curve", "Envelope identifier not found!"},
        {"AmbientIntensity (envelope) { Envelope 0 }", "Invalid number of keys!"},
        {"AmbientIntensity (envelope) { Envelope 3 Key 1 0 0 0 0 0 0 0 0 }", "Invalid number of keys!"},
        {"AmbientIntensity (envelope) { Envelope 2 Key 1 0", "Unexpected end of file!"},
        {"AddNullObject A\nObjectMotion Channels", "Information channels not found!"},
        {"AddNullObject A\nObjectMotion NumChannels 6", "Invalid number of information channels!"},
        {"AddNullObject A\nObjectMotion NumChannels 9 Chanel 0", "Information channel not found!"},
        {"AddNullObject A\nObjectMotion NumChannels 9 Channel 1", "Invalid information channel number!"},
        {"BGImage Clip", "Begin of clip not found!"},
        {"BGImage { Still", "Clip identifier not found!"},
        {"BGImage { Clip Still", "Begin of still image not found!"},
        {"BGImage { Clip { Image", "Still image identifier not found!"},
        {"AddNullObject A\nParentItem 10000005", "Could not find item!"},
        {"AddNullObject A\nTargetItem 40000000", "Could not find item!"},
        {"AddNullObject A\nTargetObject 2", "Could not find item!"},
    };
    for (const case_c& c : cases) {
        scene_file_c s(std::string("LWSC\n3\n") + c.body + "\n");
        try {
            s.Read();
            ADD_FAILURE() << "no error for " << c.body;
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), c.message) << c.body;
            EXPECT_STREQ(e.GetFileName(), s.file.GetName());
        }
    }
}

TEST(Lws3Reader, ObjectLayersLoadBesideTheScene)
{
    RegisterObjectImporters();
    memory_file_system_c files;
    files.Add("plane.lwo", TriangleLayers({"Body", "Wings"}));
    scene_file_c s("LWSC\n3\nLoadObjectLayer 1 Objects/Planes/plane.lwo\n"
                   "AddBone\nBoneName Root\nBoneRestLength -2\nBoneWeightMapName Spine\nParentItem 10000000\n"
                   "AddBone\nBoneName Tip\nBoneRestPosition 0 1 0\nParentItem 40000000\n"
                   "LoadObjectLayer 2 Objects/Planes/plane.lwo\n"
                   "LoadObjectLayer 2 Objects/Planes/plane.lwo\nParentItem 10000000\n");
    s.Read();
    const auto objects = Items(s.scene.GetObjects());
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_STREQ(objects[0]->GetName(), "plane:Body");
    EXPECT_STREQ(objects[1]->GetName(), "plane:Wings (1)");
    EXPECT_STREQ(objects[2]->GetName(), "plane:Wings (2)");
    EXPECT_EQ(objects[2]->parent, objects[0]);
    auto* body = dynamic_cast<geom_object_c*>(objects[0]);
    ASSERT_NE(body, nullptr);
    ASSERT_EQ(body->GetBones().GetCount(), 2u);
    bone_c* root = body->GetBones().GetFirst();
    bone_c* tip = root->GetNext();
    EXPECT_STREQ(root->GetName(), "Root");
    EXPECT_EQ(root->restLength, 0.0f);
    EXPECT_STREQ(root->weightMapName, "Spine");
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(tip->restPosition.y, 1.0f);
    EXPECT_EQ(tip->parent, root);

    scene_file_c missing("LWSC\n3\nLoadObjectLayer 1 Objects/absent.lwo\n");
    try {
        missing.Read();
        FAIL();
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.GetFileName(), "absent.lwo");
    }
    RegisterGeomLayerReader(geom_reader_lwo2, nullptr, nullptr);
    RegisterGeomLayerReader(geom_reader_lwob, nullptr, nullptr);
    RegisterMaterialReader(nullptr);
}

TEST(Lws3Reader, MorphMixerSetsMorphWeights)
{
    RegisterObjectImporters();
    memory_file_system_c files;
    files.Add("face.lwo", TriangleLayers({"Head"}, {"Smile", "Frown"}));
    const std::string head = "LWSC\n3\nLoadObjectLayer 1 face.lwo\n";
    scene_file_c s(head + "Plugin DisplacementHandler 1 LW_MorphMixer\n2 0\n"
                          "{ Group \"Mouth\" FirstFrame 90 }\n"
                          "{ MorfForm \"smile\" 0.5 { Envelope 1 Key 0.75 0 0 0 0 0 0 0 0 Behaviors 1 1 } }\n"
                          "{ MorfForm \"Frown\" 0 { Envelope 2 Key 0 0 3 0 0 0 0 0 0 Key 1 1 3 0 0 0 0 0 0 "
                          "Behaviors 1 1 } }\n"
                          "FirstFrame 60\nEndPlugin\nAddNullObject Marker\n"
                          "Plugin DisplacementHandler 1 LW_MorphMixer 1 0 { MorfForm \"None\" } EndPlugin\n");
    s.Read();
    // Keywords inside a plug-in are not acted on.
    EXPECT_EQ(s.scene.GetFirstTime(), 0.0f);
    ASSERT_EQ(s.scene.GetObjects().GetCount(), 2u);
    auto* face = dynamic_cast<geom_object_c*>(s.scene.GetObjects().GetFirst());
    ASSERT_NE(face, nullptr);
    mesh_c* smile = nullptr;
    mesh_c* frown = nullptr;
    for (mesh_c* mesh = face->GetMeshes().GetFirst(); mesh; mesh = mesh->GetNext()) {
        if (mesh->name == "Smile")
            smile = mesh;
        if (mesh->name == "Frown")
            frown = mesh;
    }
    ASSERT_NE(smile, nullptr);
    ASSERT_NE(frown, nullptr);
    EXPECT_EQ(smile->firstValue, 0.75f);
    EXPECT_EQ(frown->firstValue, 0.0f);
    frown->Animate(0.5f);
    EXPECT_NEAR(frown->firstValue, 0.5f, 1e-5);

    scene_file_c missing(head + "Plugin DisplacementHandler 1 LW_MorphMixer 1 0 { MorfForm \"Wink\" 1 }\n");
    try {
        missing.Read();
        ADD_FAILURE();
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), "Could not find item!");
        EXPECT_STREQ(e.GetFileName(), missing.file.GetName());
    }
    scene_file_c open(head + "Plugin ItemMotionHandler 1 Spin { FirstFrame 30 }\n");
    EXPECT_THROW(open.Read(), file_error_c);
    RegisterGeomLayerReader(geom_reader_lwo2, nullptr, nullptr);
    RegisterGeomLayerReader(geom_reader_lwob, nullptr, nullptr);
    RegisterMaterialReader(nullptr);
}

TEST(Lws3Reader, KeywordsInsideUnknownBlocksAreActedOn)
{
    scene_file_c s("LWSC\n3\nSomePlugin { FirstFrame 30 }\nBracketed [Sprite]\nAddNullObject [x]\n");
    s.Read();
    EXPECT_FLOAT_EQ(s.scene.GetFirstTime(), 1.0f);
    ASSERT_EQ(s.scene.GetObjects().GetCount(), 1u);
    EXPECT_STREQ(s.scene.GetObjects().GetFirst()->GetName(), "[x]");
}

TEST(Lws3Reader, ClassWordsMakeEngineObjects)
{
    scene_file_c s("LWSC\n3\nAddNullObject [sky] Clouds\nAddNullObject [Terrain] Ground\n"
                   "AddNullObject [Water] Sea\nAddNullObject [Forest] Pines\nAddNullObject [Rock] Stone\n");
    s.Read();
    const auto objects = Items(s.scene.GetObjects());
    ASSERT_EQ(objects.size(), 5u);
    EXPECT_NE(dynamic_cast<sky_box_c*>(objects[0]), nullptr);
    EXPECT_STREQ(objects[0]->GetName(), "[sky] Clouds");
    EXPECT_NE(dynamic_cast<terrain_c*>(objects[1]), nullptr);
    EXPECT_NE(dynamic_cast<water_c*>(objects[2]), nullptr);
    EXPECT_NE(dynamic_cast<forest_c*>(objects[3]), nullptr);
    EXPECT_EQ(TypeOf(objects[4]), typeid(null_object_c));
}

TEST(Lws3Reader, ClassWordsMakeEffectObjects)
{
    scene_file_c s("LWSC\n3\nAddNullObject [Sprite] Smoke\n// Additive 1\nAddNullObject [ANIM] Fire\n"
                   "AddNullObject [Flare] Glint\n// NominalDistance 4\nAddNullObject [emitter] Sparks\n"
                   "AddNullObject [Trail] Contrail\nParentItem 10000000\n");
    s.Read();
    const auto objects = Items(s.scene.GetObjects());
    ASSERT_EQ(objects.size(), 5u);
    EXPECT_EQ(TypeOf(objects[0]), typeid(sprite_c));
    EXPECT_STREQ(objects[0]->GetName(), "[Sprite] Smoke");
    EXPECT_TRUE(objects[0]->HasFlags(sprite_additive));
    EXPECT_EQ(TypeOf(objects[1]), typeid(anim_sprite_c));
    EXPECT_EQ(TypeOf(objects[2]), typeid(flare_c));
    EXPECT_EQ(static_cast<flare_c*>(objects[2])->GetNominalDistance(), 4.0f);
    EXPECT_EQ(TypeOf(objects[3]), typeid(emitter_c));
    EXPECT_EQ(TypeOf(objects[4]), typeid(trail_c));
    EXPECT_EQ(objects[4]->parent, objects[0]);
    EXPECT_STREQ(s.renderer.GetWarningLog(), "");
}

TEST(Lws3Reader, EngineObjectsAndFlaresNeedARenderer)
{
    struct case_c {
        const char* body;
        const char* message;
    };
    const case_c cases[] = {
        {"AddNullObject [Sprite] Smoke\n// Map smoke.bmp", "Engine objects need a renderer!"},
        {"AddNullObject [Water] Sea\n// ReflectionMap sky.bmp", "Engine objects need a renderer!"},
        {"AddNullObject [trail] Contrail", "Engine objects need a renderer!"},
        {"EnableLensFlares 1\nAddLight\nLightName Sun\nLensFlare 1",
         "Lens flares need a renderer to draw their picture!"},
    };
    for (const case_c& c : cases) {
        const std::string text = std::string("LWSC\n3\n") + c.body + "\n";
        input_file_c file(text.data(), static_cast<u32>(text.size()));
        scene_c scene("s", nullptr);
        lws3_reader_c reader(file);
        try {
            reader.Read(&scene, nullptr);
            ADD_FAILURE() << c.body;
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), c.message) << c.body;
        }
    }
    // Plain null objects need none.
    const std::string text = "LWSC\n3\nAddNullObject [Rock] Stone\n";
    input_file_c file(text.data(), static_cast<u32>(text.size()));
    scene_c scene("s", nullptr);
    lws3_reader_c reader(file);
    reader.Read(&scene, nullptr);
    EXPECT_EQ(scene.GetObjects().GetCount(), 1u);
}

namespace {

const char* const kFlareScene = R"(LWSC
3
AddLight
LightName Dim
LensFlare 1
FlareIntensity 0.3

EnableLensFlares 1
AddLight
LightName Sun
LightColor 1 0.5 0.25
LensFlare 1
FlareIntensity 0.75
FlareNominalDistance 9
FlareDissolve 0.25
LensFlareFade 6
LensFlareOptions 577
FlareRingColor 0 1 0
FlareRingSize 0.5
FlareDistortFactor 3
FlareStarFilter 3
FlareRotationAngle 30
FlareRandStreakInt 0.5
FlareRandStreakDens 12.7
FlareRandStreakSharp 0.5

AddLight
LightName Sun
LightColor 0 0 1
LensFlare 1
FlareIntensity (envelope)
{ Envelope
  2
  Key 1 0 3 0 0 0 0 0 0
  Key 0 1 3 0 0 0 0 0 0
  Behaviors 1 1
}
LensFlareFade 8
LensFlareOptions 47
FlareDistortFactor 3
FlareStarFilter 4
)";

flare_c* FlareOf(light_c* _light, const std::vector<null_object_c*>& _objects)
{
    for (null_object_c* object : _objects)
        if (object->parent == _light)
            return dynamic_cast<flare_c*>(object);
    return nullptr;
}

const texture_def_c& PictureOf(const flare_c& _flare)
{
    return _flare.GetMap()->GetTexture(0.0f)->definition;
}

} // namespace

TEST(Lws3Reader, LightsWithLensFlares)
{
    scene_file_c s(kFlareScene);
    s.Read();
    const auto lights = Items(s.scene.GetLights());
    ASSERT_EQ(lights.size(), 3u);
    const auto objects = Items(s.scene.GetObjects());
    // Flares only where the scene enables them.
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(FlareOf(lights[0], objects), nullptr);

    flare_c* first = FlareOf(lights[1], objects);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(lights[1]->GetName(), "Sun (1)");
    EXPECT_STREQ(first->GetName(), "Sun:Flare (1)");
    EXPECT_EQ(first->GetIntensity(), 0.75f);
    EXPECT_EQ(first->dissolve, 0.25f);
    EXPECT_EQ(first->rotation.z, -30.0f);
    EXPECT_TRUE(first->HasFlags(flare_fade_with_distance | flare_fade_off_screen | object_depth_test));
    EXPECT_FALSE(first->HasFlags(flare_fade_behind_objects));
    EXPECT_EQ(first->GetDistortionFactor(), 3.0f);
    // No star or streak survives the options: a plain glow, drawn larger and nearer.
    EXPECT_FLOAT_EQ(first->GetNominalDistance(), 5.0f);
    const texture_def_c& small = PictureOf(*first);
    EXPECT_EQ(small.width, 64);
    const flare_def_c& a = small.flareDef;
    EXPECT_EQ(a.size, 1.8f);
    EXPECT_EQ(a.color[1], 0.5f);
    EXPECT_EQ(a.glowColor[0], 1.0f);
    EXPECT_EQ(a.glowColor[1], 0.0f);
    EXPECT_EQ(a.glowSize, 1.0f);
    EXPECT_EQ(a.ringWidth, 0.0f);
    EXPECT_EQ(a.rayLength, 0.0f);
    EXPECT_EQ(a.ray2Length, 0.0f);
    EXPECT_EQ(a.streakLength, 0.0f);
    EXPECT_EQ(a.ringColor[1], 1.0f);
    EXPECT_EQ(a.ringSize, 0.5f);
    EXPECT_EQ(a.rayCount, 4);
    EXPECT_EQ(a.ray2Count, 0);
    EXPECT_EQ(a.streakIntensity, 0.5f);
    EXPECT_EQ(a.streakCount, 12);
    EXPECT_FLOAT_EQ(a.streakWidth, 0.2f);

    flare_c* second = FlareOf(lights[2], objects);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->GetName(), "Sun:Flare (2)");
    EXPECT_TRUE(second->HasFlags(flare_fade_behind_objects));
    EXPECT_FALSE(second->HasFlags(object_depth_test));
    // Distortion is off without option 64.
    EXPECT_EQ(second->GetDistortionFactor(), 1.0f);
    EXPECT_EQ(second->GetNominalDistance(), 1.0f);
    const texture_def_c& large = PictureOf(*second);
    EXPECT_EQ(large.width, 256);
    const flare_def_c& b = large.flareDef;
    EXPECT_EQ(b.size, 1.0f);
    EXPECT_EQ(b.glowColor[2], 1.0f);
    EXPECT_FLOAT_EQ(b.ringColor[0], 0x4F / 255.0f);
    EXPECT_EQ(b.rayCount, 4);
    EXPECT_EQ(b.ray2Count, 4);
    EXPECT_EQ(second->GetIntensity(), 1.0f);
    second->Animate(0.5f);
    EXPECT_NEAR(second->GetIntensity(), 0.5f, 1e-5);

    EXPECT_NE(std::strstr(s.renderer.GetWarningLog(), "[Sun:Flare (2)] Ray tracing enabled!"), nullptr)
        << s.renderer.GetWarningLog().GetData();
}

TEST(Lws3Reader, DamagedFlareNumbersStayInRange)
{
    struct case_c {
        const char* line;
        i32 rayCount, ray2Count, streakCount;
        f32 streakWidth;
    };
    const f32 width = flare_def_c().streakWidth;
    const case_c cases[] = {
        {"FlareRandStreakSharp 0", 0, 0, 0, 0.0f},
        {"FlareRandStreakSharp 1e-45", 0, 0, 0, 0.0f},
        {"FlareRandStreakDens 1e20", 0, 0, INT32_MAX, width},
        {"FlareRandStreakDens -1e20", 0, 0, INT32_MIN, width},
        {"FlareStarFilter 2147483647", INT32_MAX, 0, 0, width},
        {"FlareStarFilter -3", -2, 0, 0, width},
    };
    for (const case_c& c : cases) {
        scene_file_c s(std::string("LWSC\n3\nEnableLensFlares 1\nAddLight\nLightName L\nLensFlare 1\n") + c.line +
                       "\n");
        s.Read();
        auto* flare = dynamic_cast<flare_c*>(s.scene.GetObjects().GetFirst());
        ASSERT_NE(flare, nullptr) << c.line;
        const flare_def_c& def = PictureOf(*flare).flareDef;
        EXPECT_EQ(def.rayCount, c.rayCount) << c.line;
        EXPECT_EQ(def.ray2Count, c.ray2Count) << c.line;
        EXPECT_EQ(def.streakCount, c.streakCount) << c.line;
        EXPECT_EQ(def.streakWidth, c.streakWidth) << c.line;
    }
}

TEST(Lws3Reader, ImporterDeclinesOtherFiles)
{
    const std::string text = "LWSC\n1\n";
    input_file_c file(text.data(), static_cast<u32>(text.size()));
    recording_renderer_c renderer;
    scene_c scene("s", &renderer);
    EXPECT_FALSE(ImportLws3Scene(file, scene));
    EXPECT_EQ(file.GetPosition(), 0u);
}
