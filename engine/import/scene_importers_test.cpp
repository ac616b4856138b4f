#include "engine/import/scene_importers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"

TEST(SceneImporters, LoadSceneReadsBothSceneVersions)
{
  RegisterSceneImporters();
  memory_file_system_c files;
  for (const char* version : {"3", "1"}) {
    const std::string text = std::string("LWSC\n") + version + "\nAddNullObject Gate\n";
    files.Add("levels\\gate.lws", std::vector<u8>(text.begin(), text.end()));
    recording_renderer_c renderer;
    std::unique_ptr<scene_c> scene(LoadScene("levels\\gate.lws", &renderer));
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->GetObjects().GetCount(), 1u);
    EXPECT_STREQ(scene->GetObjects().GetFirst()->GetName(), "Gate");
  }
  RegisterSceneImporter(importer_lws3, nullptr);
  RegisterSceneImporter(importer_lws1, nullptr);
  RegisterGeomLayerReader(geom_reader_lwo2, nullptr, nullptr);
  RegisterGeomLayerReader(geom_reader_lwob, nullptr, nullptr);
  RegisterMaterialReader(nullptr);
}
