#include "engine/import/lws1_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/camera.h"
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

}  // namespace

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
      {"EnableLensFlare 1\nAddLight\nLightName L\nLensFlare 1", "Lens flares are not supported!"},
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
