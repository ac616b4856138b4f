#include "game/testing/plane_world.h"

#include "engine/testing/marker_object.h"
#include "engine/water.h"
#include "level/level_scene.h"

plane_world_c::plane_world_c() : ground(MakeFlatGround(&renderer))
{
    for (const std::string& file : TestPlaneSoundFiles())
        sound.files.insert(file);
    sound.files.insert({"snd\\bomb_fx.wav", "snd\\rocket_fx.wav", "snd\\crash_fx.wav"});
    effects.Init(&scene, &renderer, &sound);
    context.scene = &scene;
    context.terrain = ground.get();
    context.effects = &effects;
    world.Init(context);
}

plane_world_c::~plane_world_c()
{
    effects.Clear();
}

test_plane_c* plane_world_c::MakePlane(const test_plane_file_c& _file, int _type, bool _sounds)
{
    AddTestPlane(files.files, "planes\\testbird.op", _file, &renderer);
    auto made = std::make_unique<test_plane_c>(_type);
    made->Load("planes\\testbird.op", &renderer, &scene, _sounds ? &sound : nullptr, false);
    return static_cast<test_plane_c*>(world.AddPlane(std::move(made)));
}

void AddTowerAndLake(level_scene_c& _level, renderer_c* _renderer)
{
    auto placed = std::make_unique<placed_object_c>();
    placed->ownedNode = std::make_unique<marker_object_c>("tower", 0.0f, _renderer, vec3_c(-2.0f, 0.0f, -2.0f),
                                                          vec3_c(2.0f, 300.0f, 2.0f));
    placed->node = placed->ownedNode.get();
    placed->node->position = vec3_c(0.0f, 0.0f, 0.0f);
    placed->node->SetVisibility(true, true);
    placed->node->UpdateTransform(nullptr);
    _level.placedObjects.push_back(std::move(placed));
    auto surface = std::make_unique<water_record_c>();
    surface->entity = std::make_unique<water_c>("lake", _renderer);
    surface->entity->SetExtent(200.0f);
    surface->entity->position = vec3_c(1000.0f, 0.0f, 0.0f);
    surface->entity->SetVisibility(true, true);
    surface->entity->UpdateTransform(nullptr);
    _level.waters.push_back(std::move(surface));
}
