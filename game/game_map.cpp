#include "game/game_map.h"

#include "app/application.h"
#include "engine/object_format.h"
#include "engine/scene.h"
#include "game/game_world.h"
#include "game/hud_model.h"
#include "game/map_position.h"
#include "game/objects/game_object.h"

namespace {

const vec3_c marker_scale(15.0f, 15.0f, 15.0f);
constexpr f32 marker_depth = 50.0f;

} // namespace

const char* MarkerFile(const game_object_c& _plane)
{
    if (_plane.GetType() == object_plane_user)
        return map_user_marker_file;
    return _plane.side == 1 ? map_allied_marker_file : map_german_marker_file;
}

game_map_c::game_map_c() = default;

game_map_c::~game_map_c()
{
    DeleteMarkers();
}

void game_map_c::Init(application_c& _application, game_world_c* _world, const string_c& _background)
{
    Init(_application.GetRenderer(), _world, _background);
}

void game_map_c::Init(renderer_c* _renderer, game_world_c* _world, const string_c& _background)
{
    world = _world;
    scene = MakeOverlayScene("map scene", _renderer);
    camera = scene->CreateCamera("map camera");
    if (!_background.IsEmpty())
        scene->SetBackgroundMap(_background.GetData());
    RebuildMarkers();
    rebuild = 0;
}

void game_map_c::DeleteMarkers()
{
    for (null_object_c* marker : markers)
        if (marker && scene)
            scene->DeleteObject(marker);
    markers.clear();
    markedPlanes.clear();
}

void game_map_c::RebuildMarkers()
{
    if (world)
        Rebuild(world->GetPlanes());
    else
        DeleteMarkers();
}

void game_map_c::Rebuild(const std::vector<game_object_c*>& _planes)
{
    DeleteMarkers();
    if (!scene)
        return;
    for (const game_object_c* plane : _planes) {
        markedPlanes.push_back({plane, plane->sequenceNumber});
        const char* file = MarkerFile(*plane);
        null_object_c* marker = IsDataFile(file) ? LoadObject(file, scene->GetRenderer(), false) : nullptr;
        if (marker) {
            marker->position = vec3_c(0.0f, 0.0f, marker_depth);
            marker->scale = marker_scale;
            scene->AddObject(marker);
        }
        markers.push_back(marker);
    }
}

bool game_map_c::IsMarked(const std::vector<game_object_c*>& _planes) const
{
    if (_planes.size() != markedPlanes.size())
        return false;
    for (size_t i = 0; i < _planes.size(); ++i)
        if (!(markedPlanes[i] == marked_plane_c{_planes[i], _planes[i]->sequenceNumber}))
            return false;
    return true;
}

void game_map_c::Update(f32 _time, const std::vector<game_object_c*>& _planes)
{
    if (!scene)
        return;
    if (rebuild || !IsMarked(_planes)) {
        Rebuild(_planes);
        rebuild = 0;
    }
    for (size_t i = 0; i < _planes.size(); ++i) {
        if (markers[i] == nullptr)
            continue;
        const vec3_c position = _planes[i]->GetPosition();
        markers[i]->position = MapPosition(position.x, position.z);
        markers[i]->rotation = vec3_c(0.0f, 0.0f, -_planes[i]->GetRotation().x);
    }
    scene->Animate(_time, true);
    scene->UpdateTransforms(nullptr);
}

void game_map_c::Render()
{
    if (!scene)
        return;
    scene->PrepareFrame();
    scene->Render();
}

null_object_c* game_map_c::GetMarker(size_t _index) const
{
    return _index < markers.size() ? markers[_index] : nullptr;
}
