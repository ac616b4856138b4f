#include "tools/make-data/mission_layout.h"

#include "level/control_point_object.h"
#include "level/level_scene.h"
#include "level/object_template.h"
#include "tools/make-data/landscape.h"
#include "tools/make-data/scenery.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

// The player's start on the meadow's south end, nose north.
void AddUserStart(data_files_t& _files, const std::string& _name, const landscape_c& _landscape, i32 _rockets)
{
    level_scene_c user;
    user.name = "user";
    auto start = MakeControlPoint("start", vec3_c(0.0f, _landscape.GetHeight(0.0f, -450.0f) + 1.5f, -450.0f), 10.0f, 0);
    start->parameters.GetSetInt("rockets", &_rockets, false, 0, 100);
    i32 bombs = 0;
    start->parameters.GetSetInt("bombs", &bombs, false, 0, 100);
    user.levelObjects.push_back(std::move(start));
    AddDataLevelScene(_files, _name, user);
}

struct placement_s {
    const char* name;
    f32 x, z;
    // Above the ground.
    f32 height;
};

// Objects of one template standing (or floating) over the ground.
void AddPlacedObjects(data_files_t& _files, const std::string& _name, const char* _scene, const char* _template,
                      const std::vector<placement_s>& _objects, const landscape_c& _landscape,
                      const std::vector<std::pair<const char*, i32>>& _parameters)
{
    level_scene_c scene;
    scene.name = _scene;
    scene.templates.push_back(std::make_unique<object_template_c>());
    scene.templates.back()->SetFileName(_template);
    for (const placement_s& placement : _objects) {
        auto object = std::make_unique<placed_object_c>();
        object->name = placement.name;
        object->templateIndex = 0;
        object->position =
            vec3_c(placement.x, _landscape.GetHeight(placement.x, placement.z) + placement.height, placement.z);
        for (auto [key, value] : _parameters)
            object->parameters.GetSetInt(key, &value, false, 0, 100);
        scene.placedObjects.push_back(std::move(object));
    }
    AddDataLevelScene(_files, _name, scene);
}

} // namespace

void AddFirstTraining(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer)
{
    const std::string folder = kFirstTraining;
    AddUserStart(_files, folder + "user.sce", _landscape, 4);

    level_scene_c points;
    points.name = "points";
    points.levelObjects.push_back(
        MakeControlPoint("runway_end", vec3_c(0.0f, _landscape.GetHeight(0.0f, 350.0f) + 40.0f, 350.0f), 80.0f, 1));
    auto area = MakeControlPoint("target_area", vec3_c(kFirstTargetX, 0.0f, kFirstTargetZ), 500.0f, 2);
    area->shape = control_point_object_c::shape_column;
    points.levelObjects.push_back(std::move(area));
    AddDataLevelScene(_files, folder + "points.sce", points);

    // A training target fires short, slow bursts.
    AddPlacedObjects(_files, folder + "aaguns.sce", "aaguns", kAagunTemplate,
                     {{"flak_1", kFirstTargetX, kFirstTargetZ, 0.0f}}, _landscape, {{"burst_length", 3}});

    AddMissionPreview(_files, folder + "preview.lws", _landscape, kFirstTargetX, kFirstTargetZ, _renderer);
    AddMapPicture(_files, folder + "map.dds", _landscape);
}

void AddSecondTraining(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer)
{
    const std::string folder = kSecondTraining;
    AddUserStart(_files, folder + "user.sce", _landscape, 8);

    level_scene_c points;
    points.name = "points";
    auto river = MakeControlPoint("river", vec3_c(kSecondTargetX, 0.0f, kSecondTargetZ), 700.0f, 1);
    river->shape = control_point_object_c::shape_column;
    points.levelObjects.push_back(std::move(river));
    AddDataLevelScene(_files, folder + "points.sce", points);

    AddPlacedObjects(_files, folder + "balloons.sce", "balloons", kBalloonTemplate,
                     {{"balloon_1", kSecondTargetX - 250.0f, kSecondTargetZ - 100.0f, 220.0f},
                      {"balloon_2", kSecondTargetX, kSecondTargetZ + 150.0f, 260.0f},
                      {"balloon_3", kSecondTargetX + 250.0f, kSecondTargetZ - 50.0f, 240.0f}},
                     _landscape, {});
    AddPlacedObjects(_files, folder + "aaguns.sce", "aaguns", kAagunTemplate,
                     {{"battery_1", kSecondTargetX - 120.0f, kSecondTargetZ - 250.0f, 0.0f},
                      {"battery_2", kSecondTargetX + 120.0f, kSecondTargetZ - 250.0f, 0.0f}},
                     _landscape, {{"burst_length", 5}});

    AddMissionPreview(_files, folder + "preview.lws", _landscape, kSecondTargetX, kSecondTargetZ, _renderer);
    AddMapPicture(_files, folder + "map.dds", _landscape);
}
