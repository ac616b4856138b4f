#include "tools/make-models/make_models.h"

#include "audio/sound_data.h"
#include "engine/aggregate.h"
#include "engine/effect_readers.h"
#include "engine/emitter.h"
#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/null_renderer.h"
#include "engine/object_format.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/memory_file.h"
#include "game/digit_counter.h"
#include "game/hud.h"
#include "game/objects/aagun.h"
#include "game/objects/balloon.h"
#include "game/objects/flak.h"
#include "game/objects/plane_file.h"
#include "game/objects/vehicle.h"
#include "game/objects/zeppelin.h"
#include "game/testing/plane_world.h"
#include "image/image.h"
#include "level/object_template.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>

namespace {

using file_map_t = std::map<std::string, std::vector<u8>>;

file_map_t Generate()
{
    memory_file_writer_c writer;
    null_renderer_c renderer;
    MakeModels(&renderer);
    return writer.files;
}

const file_map_t& Generated()
{
    static const file_map_t files = Generate();
    return files;
}

// The hand-written text files of the data set, by archive name.
std::string SourceText(const std::string& _archive_name)
{
    std::string path = std::string(SKYVARN_SOURCE_DIR) + "/" + _archive_name;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const sound_scripts[2] = {"data\\planes\\hawk\\hawk_sounds.txt", "data\\planes\\falcon\\falcon_sounds.txt"};

// Every generated file and both sound scripts, current while it lives.
class generated_files_c : public memory_file_system_c {
public:
    generated_files_c()
    {
        files = Generated();
        for (const char* script : sound_scripts) {
            const std::string text = SourceText(script);
            files[script] = std::vector<u8>(text.begin(), text.end());
        }
    }
};

std::unique_ptr<object_template_c> LoadTemplate(const char* _file, renderer_c* _renderer)
{
    auto tmpl = std::make_unique<object_template_c>();
    EXPECT_NE(tmpl->Load(_file, _renderer), nullptr) << _file;
    return tmpl;
}

const template_model_c* FindModel(const object_template_c& _template, const std::string& _name)
{
    for (const auto& model : _template.models)
        if (model->name == _name)
            return model.get();
    return nullptr;
}

// Each name a group with a drawable node.
void ExpectGroups(const object_template_c& _template, const std::vector<std::string>& _names)
{
    for (const std::string& name : _names) {
        const template_group_c* group = _template.FindGroup(name.c_str());
        ASSERT_NE(group, nullptr) << _template.GetFileName() << " " << name;
        EXPECT_NE(dynamic_cast<geom_object_c*>(group->node), nullptr) << _template.GetFileName() << " " << name;
    }
}

// Each name a model with at least one group.
void ExpectModels(const object_template_c& _template, const std::vector<std::string>& _names)
{
    for (const std::string& name : _names) {
        const template_model_c* model = FindModel(_template, name);
        ASSERT_NE(model, nullptr) << _template.GetFileName() << " " << name;
        EXPECT_FALSE(model->groups.empty()) << _template.GetFileName() << " " << name;
    }
}

TEST(make_models, TwoRunsWriteTheSameBytes)
{
    const file_map_t again = Generate();
    ASSERT_EQ(again.size(), Generated().size());
    for (const auto& [name, bytes] : Generated()) {
        const auto found = again.find(name);
        ASSERT_NE(found, again.end()) << name;
        EXPECT_TRUE(found->second == bytes) << name;
    }
}

TEST(make_models, OutputStaysSmall)
{
    size_t total = 0;
    for (const auto& [name, bytes] : Generated())
        total += bytes.size();
    EXPECT_LT(total, 4u * 1024u * 1024u);
}

TEST(make_models, EveryPictureDecodes)
{
    for (const auto& [name, bytes] : Generated()) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0)
            continue;
        input_file_c file(bytes.data(), static_cast<u32>(bytes.size()));
        image_c picture;
        EXPECT_EQ(picture.Load(file), image_file_png) << name;
        EXPECT_GT(picture.GetWidth(), 0) << name;
    }
}

class PlaneFile : public ::testing::TestWithParam<int> {};

TEST_P(PlaneFile, FliesInThePlaneWorld)
{
    plane_world_c world;
    generated_files_c generated;
    world.files.files = generated.files;
    for (const std::string& sound : SoundFiles())
        world.sound.files.insert(sound);
    auto made = std::make_unique<test_plane_c>();
    made->Load(plane_files[GetParam()], &world.renderer, &world.scene, &world.sound, true);
    test_plane_c* plane = static_cast<test_plane_c*>(world.world.AddPlane(std::move(made)));

    EXPECT_EQ(plane->side, GetParam() == 0 ? 1 : -1);
    for (const char* part : {"airscrew_fast", "airscrew_slow", "out_engine", "compass", "arrow1", "arrow2", "out_wl",
                             "out_wr", "wing_br", "wing_bl", "tail__p", "fin__h"})
        EXPECT_GE(plane->FindPart(part), 0) << part;
    ExpectGroups(*plane->GetModel(), {"mask", "shadow"});
    std::vector<std::string> models = {"mask", "shadow"};
    models.insert(models.end(), std::begin(plane_view_models), std::end(plane_view_models));
    ExpectModels(*plane->GetModel(), models);
    for (const char* sound : {"normal", "destr1", "destr2", "wind left", "noise right", "gun_shot", "bomb_release"})
        EXPECT_TRUE(plane->GetSound(sound)) << sound;

    plane->SetModelView(plane_view_outside);
    plane->SetPosition(vec3_c(0.0f, 300.0f, 0.0f));
    plane->SetSpeed(40.0f);
    plane->SetThrust(1.0f);
    plane->trigger = true;
    const vec3_c start = plane->GetPosition();
    float time = 0.0f;
    for (int frame = 0; frame < 200; ++frame) {
        time += 0.02f;
        world.world.Process(time);
    }
    EXPECT_GT((plane->GetPosition() - start).Length(), 100.0f);
    EXPECT_EQ(plane->crashes, 0);
    EXPECT_TRUE(plane->IsFlyable());
}

INSTANTIATE_TEST_SUITE_P(make_models, PlaneFile, ::testing::Values(0, 1));

TEST(make_models, EverySoundScriptCommandNamesAWaveThatDecodes)
{
    generated_files_c generated;
    const std::regex wave_key("=([^ \"\\n]+\\.wav)");
    for (const char* script : sound_scripts) {
        const std::string text = SourceText(script);
        int named = 0;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), wave_key); it != std::sregex_iterator(); ++it) {
            const std::string file = (*it)[1];
            ++named;
            ASSERT_TRUE(generated.files.count(file)) << script << " names " << file;
            SoundFile sound(file.c_str());
            EXPECT_EQ(sound.GetFormat()->bits_per_sample, 16u) << file;
            std::vector<u8> samples(sound.GetSize());
            EXPECT_EQ(sound.ReadData(samples.data(), sound.GetSize()), sound.GetSize()) << file;
            bool audible = false;
            for (u8 byte : samples)
                audible = audible || byte != 0;
            EXPECT_TRUE(audible) << file;
        }
        EXPECT_GE(named, 25) << script;
    }
}

struct target_case_c {
    const char* const* file;
    std::vector<std::string> groups;
    std::vector<std::string> models;
};

class TargetFile : public ::testing::TestWithParam<target_case_c> {};

TEST_P(TargetFile, HasTheGroupsAndModelsItsObjectLooksUp)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    auto tmpl = LoadTemplate(*GetParam().file, &renderer);
    ExpectGroups(*tmpl, GetParam().groups);
    ExpectModels(*tmpl, GetParam().models);
    const template_group_c* mask = tmpl->FindGroup("mask");
    ASSERT_NE(mask, nullptr);
    EXPECT_FALSE(mask->node->HasFlags(object_rendered));
    EXPECT_TRUE(mask->node->HasFlags(object_ray_testable));
}

INSTANTIATE_TEST_SUITE_P(
    make_models, TargetFile,
    ::testing::Values(target_case_c{&aagun_file, {"base", "man", "gun", "mask"}, {"normal", "destroyed"}},
                      target_case_c{&balloon_file, {"mask"}, {"normal", "burned", "destroyed"}},
                      target_case_c{&flak_file, {"mask"}, {"normal", "destroyed"}}),
    // Named by the file's own name: the default name prints the case's bytes,
    // pointers included, which differ between runs.
    [](const ::testing::TestParamInfo<target_case_c>& _info) {
        std::string name;
        for (const char* c = std::strrchr(*_info.param.file, '\\') + 1; *c != '.' && *c != 0; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                name += *c;
        return name;
    });

// The instruments stand clear of the dashboard: a dial face on the panel's
// own plane wins or loses the depth test by rounding, so it came and went
// with the smallest move of the pilot's head. Every vertex of every
// instrument is at least a few millimetres in front of the cockpit surface
// behind it (seen along the pilot's line of sight, +z).
TEST_P(PlaneFile, InstrumentsStandClearOfTheDashboard)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    auto tmpl = LoadTemplate(plane_files[GetParam()], &renderer);
    auto* cockpit = dynamic_cast<geom_object_c*>(tmpl->FindGroup("cockpit")->node);
    ASSERT_NE(cockpit, nullptr);
    cockpit->SetVisibility(true, true);
    cockpit->UpdateTransform(nullptr);
    constexpr f32 clearance = 0.002f, back = 0.05f;
    for (const char* name : {"compass", "arrow1", "arrow2"}) {
        SCOPED_TRACE(name);
        auto* part = dynamic_cast<geom_object_c*>(tmpl->FindGroup(name)->node);
        ASSERT_NE(part, nullptr);
        ASSERT_NE(part->GetPrimaryMesh(), nullptr);
        for (const auto& set : part->GetPrimaryMesh()->GetDefinition().primitiveSets)
            for (const vertex_c& vertex : set->vertices) {
                const vec3_c at = vertex.position + part->position;
                f32 distance = ray_miss;
                vec3_c normal;
                const ray_c ray(at - vec3_c(0.0f, 0.0f, back), vec3_c(0.0f, 0.0f, 1.0f));
                ASSERT_TRUE(cockpit->RayTest(distance, normal, ray, true, true, 1.0f))
                    << "the dashboard is behind " << at.x << " " << at.y << " " << at.z;
                EXPECT_GT(distance, back + clearance) << at.x << " " << at.y << " " << at.z;
            }
    }
}

TEST(make_models, AagunLoadsAsAnEnemyAagunAimingUpward)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    auto tmpl = LoadTemplate(aagun_file, &renderer);
    game_object_aagun_c gun;
    gun.Init(tmpl.get(), tmpl->GetNode());
    EXPECT_EQ(gun.side, -1);
    ASSERT_EQ(gun.guns.size(), 1u);
    EXPECT_GT(gun.guns[0].aimDirection.y, 0.3f);
    EXPECT_TRUE(tmpl->FindGroup("man")->node->HasFlags(object_rendered));
    EXPECT_FALSE(tmpl->FindGroup("wreck")->node->HasFlags(object_rendered));
}

TEST(make_models, BalloonAndFlakAreEnemies)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    auto balloon_template = LoadTemplate(balloon_file, &renderer);
    game_object_balloon_c balloon;
    balloon.Init(0.0f, balloon_template.get(), balloon_template->GetNode());
    EXPECT_EQ(balloon.side, -1);
    auto flak_template = LoadTemplate(flak_file, &renderer);
    game_object_flak_c flak;
    flak.Init(flak_template.get(), flak_template->GetNode());
    EXPECT_EQ(flak.side, -1);
}

TEST(make_models, ProjectilesHaveOneDrawnGroup)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    for (const char* file :
         {"data\\game\\common_objects\\pocisk\\pocisk.op", "data\\game\\common_objects\\bomba\\bomba.op",
          "data\\game\\common_objects\\raca\\raca.op"}) {
        auto tmpl = LoadTemplate(file, &renderer);
        ASSERT_EQ(tmpl->groups.size(), 1u) << file;
        EXPECT_TRUE(tmpl->groups[0]->hasGameObject) << file;
        EXPECT_NE(dynamic_cast<geom_object_c*>(tmpl->GetNode()), nullptr) << file;
    }
}

TEST(make_models, EffectObjectsLoad)
{
    RegisterEffectReaders();
    generated_files_c generated;
    recording_renderer_c renderer;
    std::unique_ptr<null_object_c> smoke(LoadObject("data\\game\\common_objects\\fx\\dym_raca.vob", &renderer, false));
    EXPECT_NE(dynamic_cast<emitter_c*>(smoke.get()), nullptr);
    std::unique_ptr<null_object_c> flash(LoadObject("data\\common\\planes\\fx\\shoot\\ogien.lws", &renderer, false));
    EXPECT_NE(dynamic_cast<aggregate_c*>(flash.get()), nullptr);
    // The HUD reads its gun as a scene.
    std::unique_ptr<scene_c> gun(LoadScene(hud_gun_scene_file, &renderer));
    ASSERT_NE(gun, nullptr);
    EXPECT_EQ(gun->GetObjects().GetCount(), 1u);
    for (const char* marker :
         {"data\\game\\hud\\map_userplane.lwo", "data\\game\\hud\\map_aliant.lwo", "data\\game\\hud\\map_german.lwo"}) {
        std::unique_ptr<null_object_c> object(LoadObject(marker, &renderer, false));
        EXPECT_NE(dynamic_cast<geom_object_c*>(object.get()), nullptr) << marker;
    }
    for (const char* picture : {"data\\common\\planes\\fx\\smoke.png", "data\\common\\planes\\fx\\case1.png"})
        EXPECT_TRUE(generated.files.count(picture)) << picture;
}

TEST(make_models, HudModelsHaveTheirGroupsAndModels)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    auto compass = LoadTemplate(hud_compass_file, &renderer);
    ExpectGroups(*compass, {"compass", "map", "target_green", "target_red"});
    ExpectModels(*compass, {"simple"});
    const auto* map = static_cast<geom_object_c*>(compass->FindGroup("map")->node);
    ASSERT_GT(map->GetMaterials().GetCount(), 0u);
    EXPECT_NE(map->GetMaterials().GetFirst()->GetColorMap(0), nullptr);
    ExpectModels(*LoadTemplate(HudFile(hud_sight_file).c_str(), &renderer), {"sight"});
    ExpectModels(*LoadTemplate(HudFile(hud_items_file).c_str(), &renderer), {"german", "aliant", "rocket", "bomb"});
    ExpectModels(*LoadTemplate(hud_digits_file, &renderer), {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
}

TEST(make_models, AirshipsFlyWithThreeGunsAndFallWhenBurnt)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    const int sides[2] = {1, -1};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(airship_files[i]);
        auto tmpl = LoadTemplate(airship_files[i], &renderer);
        ExpectGroups(*tmpl, {"hull", "burning", "wreck", "gun_1", "gun_2", "gun_3", "mask"});
        ExpectModels(*tmpl, {"normal", "burned", "crashed"});
        game_object_zeppelin_c airship;
        airship.Init(tmpl.get(), tmpl->GetNode(), nullptr, nullptr);
        EXPECT_EQ(airship.side, sides[i]);
        EXPECT_EQ(airship.destroyKind, zeppelin_drop);
        EXPECT_NEAR(airship.moveSpeed, 50.0f * 0.2777778f, 1e-3f);
        EXPECT_GT(airship.rotationEnd.y, 0.5f) << "noses down as it falls";
        ASSERT_EQ(airship.guns.size(), 3u);
        for (const gun_c& gun : airship.guns) {
            EXPECT_EQ(gun.maxYawDot, -1.0f) << "each gun covers the whole sky";
            EXPECT_EQ(gun.burstLength, 6);
        }
        // The top gun above the hull, the gondola guns below it, and the
        // bombs' start (5 below the origin) clear of everything.
        EXPECT_GT(airship.guns[0].muzzleOffset.y, 15.0f);
        EXPECT_LT(airship.guns[1].muzzleOffset.y, 2.0f);
        airship.SetModelState(2);
        EXPECT_TRUE(tmpl->FindGroup("burning")->node->HasFlags(object_rendered));
        EXPECT_FALSE(tmpl->FindGroup("hull")->node->HasFlags(object_rendered));
    }
}

TEST(make_models, VehiclesDriveAtOneSpeedAndBuildingsBurn)
{
    generated_files_c generated;
    recording_renderer_c renderer;
    for (const char* file : {lorry_file, staff_car_file}) {
        SCOPED_TRACE(file);
        auto tmpl = LoadTemplate(file, &renderer);
        ExpectModels(*tmpl, {"normal", "destroyed"});
        game_object_car_c vehicle;
        parameter_list_c placed;
        vehicle.Init(tmpl.get(), tmpl->GetNode(), nullptr, nullptr, placed);
        EXPECT_NEAR(vehicle.speed, 30.0f * 0.2777778f, 1e-3f) << "a convoy keeps its spacing";
        EXPECT_EQ(vehicle.bulletProof, 0);
        vehicle.SetModelState(2);
        EXPECT_TRUE(tmpl->FindGroup("wreck")->node->HasFlags(object_rendered));
    }
    for (const char* file : {hangar_file, house_file, tower_file}) {
        SCOPED_TRACE(file);
        auto tmpl = LoadTemplate(file, &renderer);
        ExpectGroups(*tmpl, {"building", "ruin"});
        ExpectModels(*tmpl, {"normal", "burned"});
    }
    for (const char* file : {fir_file, oak_file})
        ExpectModels(*LoadTemplate(file, &renderer), {"normal"});
}

} // namespace
