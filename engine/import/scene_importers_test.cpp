#include "engine/import/scene_importers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"

TEST(SceneImporters, LoadSceneReadsVersionThreeScenes)
{
  RegisterSceneImporters();
  memory_file_system_c files;
  const std::string text = "LWSC\n3\nAddNullObject Gate\n";
  files.Add("levels\\gate.lws", std::vector<u8>(text.begin(), text.end()));
  recording_renderer_c renderer;
  std::unique_ptr<scene_c> scene(LoadScene("levels\\gate.lws", &renderer));
  ASSERT_NE(scene, nullptr);
  ASSERT_EQ(scene->GetObjects().GetCount(), 1u);
  EXPECT_STREQ(scene->GetObjects().GetFirst()->GetName(), "Gate");
  RegisterSceneImporter(importer_lws3, nullptr);
}
