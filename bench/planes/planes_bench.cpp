// One world step with 64 planes flying by the flight model (sounds on,
// circling at different heights) and 2,000 bullets in flight against 200
// ground targets and the terrain: the bullets are topped up every step, as
// busy guns would keep them.
#include "engine/testing/marker_object.h"
#include "game/testing/plane_world.h"

#include <benchmark/benchmark.h>

namespace {

class target_c : public game_object_c {
public:
    target_c(renderer_c* _renderer, const vec3_c& _position)
        : marker("target", 0.0f, _renderer, vec3_c(-3.0f, -2.0f, -3.0f), vec3_c(3.0f, 2.0f, 3.0f))
    {
        entity = &marker;
        side = -1;
        marker.position = _position;
        marker.SetVisibility(true, true);
        marker.UpdateTransform(nullptr);
    }
    int GetType() const override { return object_car; }
    void Update(float) override {}
    void OnMissionStart(float) override {}

    marker_object_c marker;
};

void WorldStepWithPlanes(benchmark::State& _state)
{
    plane_world_c setting;
    std::vector<test_plane_c*> planes;
    for (int i = 0; i < 64; ++i) {
        test_plane_c* plane = setting.MakePlane();
        plane->SetPosition(vec3_c(static_cast<f32>(i % 8) * 300.0f - 1000.0f, 200.0f + static_cast<f32>(i) * 5.0f,
                                  static_cast<f32>(i / 8) * 300.0f - 1000.0f));
        plane->SetRotation(vec3_c(static_cast<f32>(i) * 0.1f, 0.0f, 0.0f));
        plane->SetSpeed(40.0f);
        plane->roll = 0.05f;
        planes.push_back(plane);
    }
    for (int i = 0; i < 200; ++i)
        setting.world.AddObject(
            std::make_unique<target_c>(&setting.renderer, vec3_c(static_cast<f32>(i % 20) * 100.0f - 1000.0f, 2.0f,
                                                                 static_cast<f32>(i / 20) * 200.0f - 1000.0f)));
    float time = 0.0f;
    int shooter = 0;
    for (auto _ : _state) {
        while (setting.world.GetProjectiles().size() < 2000) {
            test_plane_c* plane = planes[static_cast<size_t>(shooter++ % 64)];
            vec3_c down = plane->GetForward() + vec3_c(0.0f, -0.3f, 0.0f);
            down.NormalizeSelf();
            setting.world.SpawnBullet(plane, plane->GetPosition(), down, 700.0f);
        }
        time += 1.0f / 60.0f;
        setting.world.Process(time);
    }
    _state.SetLabel("64 planes, 2000 bullets, 200 targets");
}
BENCHMARK(WorldStepWithPlanes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
