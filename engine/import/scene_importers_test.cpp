#include "engine/import/scene_importers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/import/testing/chunk_3ds_writer.h"
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

TEST(SceneImporters, LoadSceneReadsModelsAsMeshObjects)
{
    RegisterSceneImporters();
    memory_file_system_c files;
    const std::string ase =
        "*3DSMAX_ASCIIEXPORT\t200\n*GEOMOBJECT {\n*NODE_NAME \"Tri\"\n*MESH {\n"
        "*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n*MESH_VERTEX 1 1 0 0\n*MESH_VERTEX 2 0 1 0\n}\n"
        "*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1 C: 2 *MESH_SMOOTHING 1 *MESH_MTLID 0\n}\n}\n}\n";
    files.Add("tri.ase", std::vector<u8>(ase.begin(), ase.end()));
    chunk_3ds_writer_c w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D);
    w.Begin(0x4000);
    w.String("Tri");
    w.Begin(0x4100);
    w.Begin(0x4110);
    w.U16(3);
    w.Vec3(0, 0, 0);
    w.Vec3(1, 0, 0);
    w.Vec3(0, 1, 0);
    w.End();
    w.Begin(0x4120);
    w.U16(1);
    w.U16(0);
    w.U16(1);
    w.U16(2);
    w.U16(0);
    w.End();
    w.End();
    w.End();
    w.End();
    w.End();
    files.Add("tri.3ds", w.bytes);
    for (const char* name : {"tri.ase", "tri.3ds"}) {
        recording_renderer_c renderer;
        std::unique_ptr<scene_c> scene(LoadScene(name, &renderer));
        ASSERT_NE(scene, nullptr) << name;
        ASSERT_EQ(scene->GetObjects().GetCount(), 1u) << name;
        auto* object = dynamic_cast<geom_object_c*>(scene->GetObjects().GetFirst());
        ASSERT_NE(object, nullptr) << name;
        EXPECT_STREQ(object->GetName(), "Tri");
        ASSERT_EQ(object->GetMaterials().GetCount(), 1u) << name;
        EXPECT_STREQ(object->GetMaterials().GetFirst()->name, "Default") << name;
        EXPECT_EQ(object->GetMeshes().GetCount(), 1u) << name;
    }
    for (scene_importer_e slot : {importer_lws3, importer_lws1, importer_ase, importer_3ds})
        RegisterSceneImporter(slot, nullptr);
    RegisterGeomLayerReader(geom_reader_lwo2, nullptr, nullptr);
    RegisterGeomLayerReader(geom_reader_lwob, nullptr, nullptr);
    RegisterMaterialReader(nullptr);
}
