#include "engine/import/lws1_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/bone.h"
#include "engine/camera.h"
#include "engine/flare.h"
#include "engine/geom_object.h"
#include "engine/import/object_importers.h"
#include "engine/import/testing/triangle_layers.h"
#include "engine/testing/memory_file_system.h"
#include "engine/texture_cache.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "engine/import/testing/scene_text.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"

namespace {

using scene_file_c = scene_text_c<lws1_reader_c>;

const char* const kScene = R"(LWSC
1

FirstFrame 15
LastFrame 45
FramesPerSecond 30

AddNullObject Hangar
ObjectMotion (unnamed)
  9
  2
  0 0 0 90 0 0 1 1 1
  0 0 0 0 0
  10 0 0 180 0 0 1 1 1
  15 1 0 0 0
EndBehavior 2
PivotPoint 1 2 3
ObjDissolve 0.5

AddNullObject Door
ObjectMotion (unnamed)
  9
  1
  5 6 7 0 0 0 2 2 2
  0 0 0 0 0
EndBehavior 1
ParentObject 1
TargetObject 0

AmbientColor 255 128 0
AmbIntensity (envelope)
  1
  2
  0.25 0 0 0 0 0
  1 15 0 0 0 0
EndBehavior 1

AddLight
LightName Lamp
LightMotion (unnamed)
  9
  1
  0 50 0 0 90 0 1 1 1
  0 0 0 0 0
EndBehavior 1
LightColor 255 255 255
LgtIntensity 0.8
LightType 1
NoSpecular 1
ParentObject 2

ShowCamera 1 0
CameraMotion (unnamed)
  9
  1
  0 2 -10 0 0 0 1 1 1
  0 0 0 0 0
EndBehavior 1
ZoomFactor 2.5
TargetObject 2

BackdropColor 0 0 255
FogType 1
FogMinDist 5
FogMaxDist 50
BackdropFog 1
)";

} // namespace

TEST(Lws1Reader, RecognisesOnlyVersionOne)
{
    for (const auto& c : std::vector<std::pair<std::string, bool>>{
             {"LWSC\n1\n", true}, {"LWSC\r\n1\n", true}, {"LWSC\n3\n", false}, {"LWSC\n", false}}) {
        input_file_c file(c.first.data(), static_cast<u32>(c.first.size()));
        EXPECT_EQ(IsLws1File(file), c.second) << c.first;
    }
}

TEST(Lws1Reader, SceneWithObjectsLightCameraAndEnvelopes)
{
    scene_file_c s(kScene);
    s.Read();
    scene_c& scene = s.scene;
    EXPECT_FLOAT_EQ(scene.GetFirstTime(), 0.5f);
    EXPECT_FLOAT_EQ(scene.GetLastTime(), 1.5f);
    EXPECT_EQ(scene.ambientColor.x, 1.0f);
    EXPECT_FLOAT_EQ(scene.ambientColor.y, 0.5019608f);
    EXPECT_EQ(scene.ambientColor.z, 0.0f);
    EXPECT_EQ(scene.ambientIntensity, 0.25f);
    EXPECT_EQ(scene.fogColor.z, 1.0f);
    EXPECT_EQ(scene.fogEnd, 50.0f);
    EXPECT_TRUE(scene.HasFlags(scene_fog_on));

    ASSERT_EQ(scene.GetObjects().GetCount(), 2u);
    null_object_c* hangar = scene.GetObjects().GetFirst();
    null_object_c* door = hangar->GetNext();
    EXPECT_STREQ(hangar->GetName(), "Hangar");
    EXPECT_FLOAT_EQ(hangar->rotation.x, 1.5707964f);
    EXPECT_EQ(hangar->pivot.y, 2.0f);
    EXPECT_EQ(hangar->dissolve, 0.5f);
    // Key 2 at frame 15 is half a second in.
    hangar->Animate(0.5f);
    EXPECT_NEAR(hangar->position.x, 10.0f, 1e-5);
    EXPECT_NEAR(hangar->rotation.x, 3.1415927f, 1e-5);
    EXPECT_EQ(door->position.y, 6.0f);
    EXPECT_EQ(door->scale.z, 2.0f);
    EXPECT_EQ(door->parent, hangar);
    EXPECT_EQ(door->target, nullptr);

    ASSERT_EQ(scene.GetLights().GetCount(), 1u);
    light_c* lamp = scene.GetLights().GetFirst();
    EXPECT_EQ(lamp->position.y, 50.0f);
    EXPECT_FLOAT_EQ(lamp->rotation.y, 1.5707964f);
    EXPECT_EQ(lamp->color.x, 1.0f);
    EXPECT_EQ(lamp->intensity, 0.8f);
    EXPECT_EQ(lamp->GetFlags() & 16, 0u);
    EXPECT_EQ(lamp->parent, door);

    ASSERT_EQ(scene.GetCameras().GetCount(), 1u);
    camera_c* camera = scene.GetCameras().GetFirst();
    EXPECT_STREQ(camera->GetName(), "Camera");
    EXPECT_EQ(scene.GetActiveCamera(), camera);
    EXPECT_EQ(camera->position.z, -10.0f);
    EXPECT_EQ(camera->zoom, 2.5f);
    EXPECT_EQ(camera->target, door);
}

TEST(Lws1Reader, Errors)
{
    struct case_c {
        const char* body;
        const char* message;
    };
    const case_c cases[] = {
        {"AddLight\nLightName L\nLightMotion m 6 1", "Invalid number of information channels!"},
        {"AddNullObject A\nObjectMotion m 9 0", "Invalid number of keys!"},
        {"AddNullObject A\nObjectMotion m 9 1 0 0 0 0 0 0 1 1 1 0 0 0 0 0 End 1", "Unable to determine end behavior!"},
        {"AmbIntensity (envelope) 2", "Invalid number of information channels!"},
        {"AmbIntensity (envelope) 1 0", "Invalid number of keys!"},
        {"AmbIntensity (envelope) 1 5 1 0", "Unexpected end of file!"},
        {"AddNullObject A\nParentObject 2", "Could not find object!"},
    };
    for (const case_c& c : cases) {
        scene_file_c s(std::string("LWSC\n1\n") + c.body + "\n");
        try {
            s.Read();
            ADD_FAILURE() << "no error for " << c.body;
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), c.message) << c.body;
        }
    }
}

TEST(Lws1Reader, RepeatedNamesAreNumbered)
{
    scene_file_c s("LWSC\n1\nAddNullObject Tree\nAddNullObject tree\nAddNullObject Rock\nAddLight\nLightName Sun\n");
    s.Read();
    null_object_c* first = s.scene.GetObjects().GetFirst();
    EXPECT_STREQ(first->GetName(), "Tree (1)");
    EXPECT_STREQ(first->GetNext()->GetName(), "tree (2)");
    EXPECT_STREQ(first->GetNext()->GetNext()->GetName(), "Rock");
    EXPECT_STREQ(s.scene.GetLights().GetFirst()->GetName(), "Sun");
}

TEST(Lws1Reader, LightWithLensFlare)
{
    scene_file_c s("LWSC\n1\nFramesPerSecond 30\nEnableLensFlare 1\nAddLight\nLightName Lamp\n"
                   "LightColor 255 128 0\nLensFlare 1\nFlareRingColor 0 255 0\nFlareRingSize 0.3\n"
                   "FlareRotationAngle 90\nLensFlareOptions 15\n"
                   "FlareIntensity (envelope) 1 2 1 0 1 0 0 0 0 30 1 0 0 0 EndBehavior 1\n");
    s.Read();
    light_c* lamp = s.scene.GetLights().GetFirst();
    ASSERT_NE(lamp, nullptr);
    ASSERT_EQ(s.scene.GetObjects().GetCount(), 1u);
    auto* flare = dynamic_cast<flare_c*>(s.scene.GetObjects().GetFirst());
    ASSERT_NE(flare, nullptr);
    EXPECT_STREQ(flare->GetName(), "Lamp:Flare");
    EXPECT_EQ(flare->parent, lamp);
    // Degrees, turned against the bank.
    EXPECT_FLOAT_EQ(flare->rotation.z, -1.5707964f);
    EXPECT_EQ(flare->GetIntensity(), 1.0f);
    flare->Animate(0.5f);
    EXPECT_NEAR(flare->GetIntensity(), 0.5f, 1e-5);
    EXPECT_FLOAT_EQ(flare->GetNominalDistance(), 0.5555556f);
    // A visible ring needs the large picture.
    const texture_def_c& picture = flare->GetMap()->GetTexture(0.0f)->definition;
    EXPECT_EQ(picture.width, 256);
    const flare_def_c& def = picture.flareDef;
    EXPECT_EQ(def.size, 1.8f);
    EXPECT_FLOAT_EQ(def.color[1], 128 / 255.0f);
    EXPECT_EQ(def.glowColor[0], 1.0f);
    EXPECT_EQ(def.glowColor[1], 0.0f);
    EXPECT_FLOAT_EQ(def.ringColor[1], 1.0f);
    EXPECT_EQ(def.ringColor[0], 0.0f);
    EXPECT_EQ(def.ringSize, 0.3f);
}

TEST(Lws1Reader, BonesAndTheirParents)
{
    RegisterObjectImporters();
    memory_file_system_c files;
    files.Add("plane.lwo", TriangleLayers({"Body"}));
    scene_file_c s("LWSC\n1\nLoadObject Objects/plane.lwo\nAddBone\nBoneName Root\nBoneRestLength 2\n"
                   "AddBone\nBoneName Tip\nParentObject 1\n"
                   "BoneMotion (unnamed)\n 9\n 1\n 0 1 0 0 0 0 1 1 1\n 0 0 0 0 0\nEndBehavior 1\n"
                   "AddNullObject Marker\nParentObject 1\n");
    s.Read();
    ASSERT_EQ(s.scene.GetObjects().GetCount(), 2u);
    auto* plane = dynamic_cast<geom_object_c*>(s.scene.GetObjects().GetFirst());
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->GetNext()->parent, plane);
    ASSERT_EQ(plane->GetBones().GetCount(), 2u);
    bone_c* root = plane->GetBones().GetFirst();
    bone_c* tip = root->GetNext();
    EXPECT_EQ(root->restLength, 2.0f);
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(tip->parent, root);
    EXPECT_EQ(tip->position.y, 1.0f);

    // Bone numbers count within their object.
    for (const char* parent : {"2", "3"}) {
        scene_file_c wrong(std::string("LWSC\n1\nLoadObject plane.lwo\nAddBone\nBoneName Root\nParentObject ") +
                           parent + "\n");
        try {
            wrong.Read();
            ADD_FAILURE() << parent;
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), "Could not find bone!");
            EXPECT_STREQ(e.GetFileName(), wrong.file.GetName());
        }
    }
    RegisterGeomLayerReader(geom_reader_lwo2, nullptr, nullptr);
    RegisterGeomLayerReader(geom_reader_lwob, nullptr, nullptr);
    RegisterMaterialReader(nullptr);
}
