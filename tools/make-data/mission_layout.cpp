#include "tools/make-data/mission_layout.h"

#include "level/control_point_object.h"
#include "level/level_scene.h"
#include "level/object_template.h"
#include "tools/make-data/landscape.h"
#include "tools/make-data/scenery.h"

#include <climits>
#include <memory>

void AddFirstTraining(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer)
{
    const std::string folder = kFirstTraining;

    level_scene_c user;
    user.name = "user";
    // On the grass, nose north along the meadow.
    auto start = MakeControlPoint("start", vec3_c(0.0f, _landscape.GetHeight(0.0f, -450.0f) + 1.5f, -450.0f), 10.0f, 0);
    i32 rockets = 4;
    start->parameters.GetSetInt("rockets", &rockets, false, 0, 100);
    i32 bombs = 0;
    start->parameters.GetSetInt("bombs", &bombs, false, 0, 100);
    user.levelObjects.push_back(std::move(start));
    AddDataLevelScene(_files, folder + "user.sce", user);

    level_scene_c points;
    points.name = "points";
    points.levelObjects.push_back(
        MakeControlPoint("runway_end", vec3_c(0.0f, _landscape.GetHeight(0.0f, 350.0f) + 40.0f, 350.0f), 80.0f, 1));
    auto area = MakeControlPoint("target_area", vec3_c(kFirstTargetX, 0.0f, kFirstTargetZ), 500.0f, 2);
    area->shape = control_point_object_c::shape_column;
    points.levelObjects.push_back(std::move(area));
    AddDataLevelScene(_files, folder + "points.sce", points);

    level_scene_c aaguns;
    aaguns.name = "aaguns";
    aaguns.templates.push_back(std::make_unique<object_template_c>());
    aaguns.templates.back()->SetFileName(kAagunTemplate);
    auto gun = std::make_unique<placed_object_c>();
    gun->name = "flak_1";
    gun->templateIndex = 0;
    gun->position = vec3_c(kFirstTargetX, _landscape.GetHeight(kFirstTargetX, kFirstTargetZ), kFirstTargetZ);
    // A training target fires short, slow bursts.
    i32 burst = 3;
    gun->parameters.GetSetInt("burst_length", &burst, false, 0, 100);
    aaguns.placedObjects.push_back(std::move(gun));
    AddDataLevelScene(_files, folder + "aaguns.sce", aaguns);

    AddMissionPreview(_files, folder + "preview.lws", _landscape, kFirstTargetX, kFirstTargetZ, _renderer);
    AddMapPicture(_files, folder + "map.dds", _landscape);
}
