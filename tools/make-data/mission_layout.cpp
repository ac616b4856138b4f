#include "tools/make-data/mission_layout.h"

#include "level/control_point_object.h"
#include "level/level_scene.h"
#include "tools/make-data/landscape.h"
#include "tools/make-data/placement.h"
#include "tools/make-data/scenery.h"

#include <utility>
#include <vector>

namespace {

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
    scene_layout_c layout(_scene, _landscape);
    for (const placement_s& placement : _objects) {
        placed_object_c& object = layout.Place(_template, placement.name, placement.x, placement.z, placement.height);
        for (auto [key, value] : _parameters)
            SetIntKey(object.parameters, key, value);
    }
    layout.Write(_files, _name);
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
