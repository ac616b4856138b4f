#include "level/level_scene.h"

#include "engine/null_renderer.h"
#include "level/chunk_saver.h"
#include "level/control_point_object.h"
#include "level/testing/chunk_bytes.h"
#include "level/testing/level_fixtures.h"
#include "level/testing/memory_files.h"
#include "level/walk_path.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class LevelSceneTest : public ::testing::Test {
protected:
    null_renderer_c renderer;
    memory_file_system_c files;

    void AddTemplates()
    {
        AddTestTemplate(files.files, "tank.op",
                        {{"MainGroup", true, {{"iff", -1}}}, {"Wreck", true, {}}, {"Info", false, {{"speed", 3}}}},
                        {{"normal", {0}}, {"destroyed", {1}}, {"Destroyed", {0}}}, &renderer);
        AddTestTemplate(files.files, "hut.op", {{"MainGroup", true, {{"iff", 1}}}}, {{"normal", {0}}}, &renderer);
    }

    // A scene of two tanks and a hut placed from the two templates, with a
    // control point, a walk path, a forest record, a water and an area.
    void AddScene(const std::string& _file, u32 _bad_template_index = 0xFFFFFFFF)
    {
        level_scene_c scene;
        scene.name = "valley";
        for (const char* file : {"tank.op", "hut.op"}) {
            scene.templates.push_back(std::make_unique<object_template_c>());
            scene.templates.back()->SetFileName(file);
        }
        const struct {
            const char* name;
            u32 index;
        } placed[] = {{"tank_1", 0}, {"tank_2", 0}, {"hut", 1}, {"stray", _bad_template_index}};
        for (const auto& p : placed) {
            if (p.index == 0xFFFFFFFF)
                continue;
            auto object = std::make_unique<placed_object_c>();
            object->name = p.name;
            object->templateIndex = p.index;
            object->position = vec3_c(static_cast<f32>(scene.placedObjects.size()) * 10.0f, 0, 0);
            i32 act = 4;
            object->parameters.GetSetInt("act_ctrl_point", &act, false, 0, 10);
            scene.placedObjects.push_back(std::move(object));
        }
        auto point = std::make_unique<control_point_object_c>();
        point->name = "Bridge";
        point->id = 4;
        scene.levelObjects.push_back(std::move(point));
        scene.levelObjects.push_back(MakeTestPath("road", {{0, 0, 0}, {0, 0, 50}}));
        auto forest = std::make_unique<forest_record_c>();
        forest->name = "woods";
        forest->treeDensity = 0.5f;
        forest->fixed = 1;
        scene.forests.push_back(std::move(forest));
        auto water = std::make_unique<water_record_c>();
        water->name = "lake";
        water->waves[1].length = 7.0f;
        water->waves[2].amplitude = 99.0f;
        scene.waters.push_back(std::move(water));
        auto area = std::make_unique<area_record_c>();
        area->name = "field";
        area->width = 2;
        area->height = 3;
        area->grid.assign(24, 0);
        area->grid[23] = 0x5A;
        scene.areas.push_back(std::move(area));
        auto flat = std::make_unique<area_record_c>();
        flat->name = "flat";
        scene.areas.push_back(std::move(flat));
        AddTestScene(files.files, _file, scene);
    }
};

} // namespace

TEST_F(LevelSceneTest, TemplateWithOneGameObjectGroupIsThatGroupsNode)
{
    AddTestTemplate(files.files, "gun.op", {{"MainGroup", true, {}}, {"Base", false, {}}}, {}, &renderer);
    object_template_c tmpl;
    null_object_c* node = tmpl.Load("data\\gun.op", &renderer);
    EXPECT_EQ(nullptr, node) << "missing file";
    node = tmpl.Load("gun.op", &renderer);
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(tmpl.groups[0]->node, node);
    EXPECT_EQ("MainGroup", node->GetName());
    EXPECT_FALSE(tmpl.IsAggregateBuilt());
    EXPECT_EQ("gun", tmpl.GetBaseName());
}

TEST_F(LevelSceneTest, TemplateWithTwoGameObjectGroupsIsAnAggregateOfBoth)
{
    AddTemplates();
    object_template_c tmpl;
    null_object_c* node = tmpl.Load("tank.op", &renderer);
    ASSERT_NE(nullptr, node);
    EXPECT_TRUE(tmpl.IsAggregateBuilt());
    EXPECT_EQ("tank.op_aggregate", node->GetName());
    auto* aggregate = dynamic_cast<aggregate_c*>(node);
    ASSERT_NE(nullptr, aggregate);
    EXPECT_EQ(2u, aggregate->GetObjects().GetCount());
    EXPECT_TRUE(aggregate->GetObjects().Contains(tmpl.groups[0]->node));
    EXPECT_TRUE(aggregate->GetObjects().Contains(tmpl.groups[1]->node));
    EXPECT_EQ(nullptr, tmpl.groups[2]->node);
    ASSERT_EQ(1u, tmpl.groups[0]->layers.size());
    EXPECT_EQ(tmpl.layers[0].get(), tmpl.groups[0]->layers[0]);
    EXPECT_EQ("model.lwo", tmpl.layers[0]->fileName);
}

TEST_F(LevelSceneTest, GroupParametersAreFoundIgnoringCase)
{
    AddTemplates();
    object_template_c tmpl;
    tmpl.Load("tank.op", &renderer);
    parameter_c* iff = tmpl.FindGroupParameter("maingroup", "IFF");
    ASSERT_NE(nullptr, iff);
    EXPECT_EQ(-1, static_cast<parameter_int_c*>(iff)->value);
    EXPECT_NE(nullptr, tmpl.FindGroupParameter("INFO", "speed"));
    EXPECT_EQ(nullptr, tmpl.FindGroupParameter("Info", "iff"));
    EXPECT_EQ(nullptr, tmpl.FindGroupParameter("Missing", "iff"));
}

TEST_F(LevelSceneTest, ShowModelMatchesModelNamesExactly)
{
    AddTemplates();
    object_template_c tmpl;
    tmpl.Load("tank.op", &renderer);
    null_object_c* main = tmpl.groups[0]->node;
    null_object_c* wreck = tmpl.groups[1]->node;
    main->SetVisibility(true, true);
    wreck->SetVisibility(false, false);
    tmpl.ShowModel("destroyed", true, false);
    EXPECT_TRUE(wreck->HasFlags(object_rendered));
    EXPECT_FALSE(wreck->HasFlags(object_ray_testable));
    // "Destroyed" (capital D) holds the main group and is not touched.
    EXPECT_TRUE(main->HasFlags(object_rendered | object_ray_testable));
}

TEST_F(LevelSceneTest, SceneWithSharedTemplatesClonesTheirNodes)
{
    AddTemplates();
    AddScene("valley.sce");
    level_scene_c scene;
    scene.Load("valley.sce", &renderer, false);
    EXPECT_EQ("valley", scene.name);
    ASSERT_EQ(2u, scene.templates.size());
    ASSERT_EQ(3u, scene.placedObjects.size());
    const placed_object_c& a = *scene.placedObjects[0];
    const placed_object_c& b = *scene.placedObjects[1];
    EXPECT_EQ(a.tmpl, b.tmpl);
    EXPECT_EQ(scene.templates[0].get(), a.tmpl);
    ASSERT_NE(nullptr, a.node);
    EXPECT_NE(a.node, b.node);
    EXPECT_NE(a.tmpl->GetNode(), a.node);
    EXPECT_EQ("tank_2", b.node->GetName());
    EXPECT_EQ(10.0f, b.node->position.x);
    EXPECT_NE(nullptr, b.parameters.Find("act_ctrl_point"));
    EXPECT_EQ(scene.templates[1].get(), scene.placedObjects[2]->tmpl);

    ASSERT_EQ(2u, scene.levelObjects.size());
    auto* point = dynamic_cast<control_point_object_c*>(scene.FindParameterObject("BRIDGE"));
    ASSERT_NE(nullptr, point);
    EXPECT_EQ(4, point->id);
    EXPECT_NE(nullptr, dynamic_cast<walk_path_c*>(scene.FindParameterObject("road")));
    EXPECT_EQ(nullptr, scene.FindParameterObject("nothing"));

    ASSERT_EQ(1u, scene.forests.size());
    EXPECT_EQ(0.5f, scene.forests[0]->treeDensity);
    EXPECT_EQ(1, scene.forests[0]->fixed);
    ASSERT_NE(nullptr, scene.forests[0]->entity);
    EXPECT_EQ("woods", scene.forests[0]->entity->GetName());
    ASSERT_EQ(1u, scene.waters.size());
    EXPECT_EQ(7.0f, scene.waters[0]->waves[1].length);
    EXPECT_EQ(0.0f, scene.waters[0]->waves[2].amplitude) << "the third wave is not stored";
    ASSERT_NE(nullptr, scene.waters[0]->entity);
    ASSERT_EQ(2u, scene.areas.size());
    ASSERT_EQ(24u, scene.areas[0]->grid.size());
    EXPECT_EQ(0x5A, scene.areas[0]->grid[23]);
    EXPECT_TRUE(scene.areas[1]->grid.empty());
    EXPECT_TRUE(scene.GetWarnings().empty());
}

TEST_F(LevelSceneTest, SeparateTemplatesGiveEveryObjectItsOwn)
{
    AddTemplates();
    AddScene("valley.sce");
    level_scene_c scene;
    scene.Load("valley.sce", &renderer, true);
    ASSERT_EQ(3u, scene.placedObjects.size());
    const placed_object_c& a = *scene.placedObjects[0];
    const placed_object_c& b = *scene.placedObjects[1];
    ASSERT_NE(nullptr, a.tmpl);
    EXPECT_NE(a.tmpl, b.tmpl);
    EXPECT_EQ(a.tmpl->GetNode(), a.node);
    EXPECT_EQ("tank_1", a.node->GetName());
    EXPECT_EQ(nullptr, scene.templates[0]->GetNode());
}

TEST_F(LevelSceneTest, AreaWithoutCellsHasNoGridLeaf)
{
    area_record_c area;
    area.width = 0;
    area.height = 7;
    const bytes_t bytes = WriteBytes([&](CChunkSaver& _saver) { area.Serialize(_saver); });
    u32 grids = 1;
    ReadBytes(bytes, [&](CChunkSaver& _saver) {
        _saver.Begin("prms");
        grids = _saver.CountItems("area");
        _saver.End();
    });
    EXPECT_EQ(0u, grids);
}

TEST_F(LevelSceneTest, AreaGridLargerThanTheFileIsRefused)
{
    const bytes_t bytes = Item(
        "prms", Cat({Item("areW", U32Bytes(0x10000)), Item("areH", U32Bytes(0x10000)), Item("area", U32Bytes(1))}));
    area_record_c area;
    EXPECT_THROW(ReadBytes(bytes, [&](CChunkSaver& _saver) { area.Serialize(_saver); }), file_error_c);
}

TEST_F(LevelSceneTest, WrittenSceneReadsBackTheSame)
{
    AddTemplates();
    AddScene("valley.sce");
    level_scene_c scene;
    scene.Load("valley.sce", &renderer, false);
    // The first write had no forest or water entities to store; from then
    // on the stored form is stable.
    AddTestScene(files.files, "again.sce", scene);
    level_scene_c again;
    again.Load("again.sce", &renderer, false);
    ASSERT_EQ(3u, again.placedObjects.size());
    EXPECT_EQ("hut", again.placedObjects[2]->node->GetName());
    EXPECT_EQ(2u, again.levelObjects.size());
    AddTestScene(files.files, "third.sce", again);
    EXPECT_EQ(files.files.at("again.sce"), files.files.at("third.sce"));
}

TEST_F(LevelSceneTest, BadTemplateIndexAndUnknownClassAreSkippedWithWarnings)
{
    AddTemplates();
    AddScene("bad.sce", 7);
    // A level object of class 9 appended to the scene's "parO".
    level_scene_c scene;
    scene.Load("bad.sce", &renderer, false);
    ASSERT_EQ(3u, scene.placedObjects.size());
    ASSERT_EQ(1u, scene.GetWarnings().size());
    EXPECT_NE(std::string::npos, scene.GetWarnings()[0].find("stray"));

    const bytes_t unknown =
        Item("scne",
             Cat({Item("parO", Cat({Item("objN", U32Bytes(2)), Item("obj", Item("type", U32Bytes(9))),
                                    Item("obj", Cat({Item("type", U32Bytes(7)), Item("name", TextBytes("cp"))}))}))}));
    level_scene_c other;
    ReadBytes(unknown, [&](CChunkSaver& _saver) { other.Serialize(_saver, &renderer, false); });
    ASSERT_EQ(1u, other.levelObjects.size());
    EXPECT_EQ("cp", other.levelObjects[0]->name);
    ASSERT_EQ(1u, other.GetWarnings().size());
    EXPECT_NE(std::string::npos, other.GetWarnings()[0].find("9"));
}

TEST_F(LevelSceneTest, MissingFilesAreReported)
{
    level_scene_c scene;
    try {
        scene.Load("none.sce", &renderer, false);
        FAIL() << "no error";
    } catch (const file_error_c& error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("Not found"));
    }
    const bytes_t bytes = Item("scne", Item("tpls", Cat({Item("nOft", U32Bytes(1)), Item("fnam", TextBytes("x.op"))})));
    try {
        ReadBytes(bytes, [&](CChunkSaver& _saver) { scene.Serialize(_saver, &renderer, false); });
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("File \"x.op\" not loaded.", error.what());
    }
}

TEST_F(LevelSceneTest, AddedNodesGoBackOutWhenTheSceneDies)
{
    AddTemplates();
    AddScene("valley.sce");
    aggregate_c world("world", &renderer);
    {
        level_scene_c scene;
        scene.Load("valley.sce", &renderer, false);
        scene.AddToScene(&world);
        EXPECT_EQ(&world, scene.GetAttachedNode());
        // Three placed objects, the forest and the water.
        EXPECT_EQ(5u, world.GetObjects().GetCount());
        EXPECT_TRUE(scene.placedObjects[0]->node->HasFlags(object_rendered | object_ray_testable));
    }
    EXPECT_EQ(0u, world.GetObjects().GetCount());
}
