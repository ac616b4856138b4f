#include "game/testing/plane_world.h"

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
