#pragma once
// game_map_c: the full-screen map the player calls up during a mission. A
// scene of its own ("map scene", seen by "map camera", lit by the
// directional "map light") whose background is the level's map picture and
// in which every plane of the world's plane list is a small marker that
// moves and turns with its plane: "data\game\hud\map_userplane.lwo" for the
// player's plane, "map_aliant.lwo" for a plane of side +1,
// "map_german.lwo" for any other, each at (0, 0, 50.0) scaled 15.0.
//
// Markers pair with planes by index. They are rebuilt at the next Update
// whenever the plane list is not the one they were made for (a plane joined
// or left, whatever the count), and whenever RebuildMarkers is asked for,
// so a marker never stands for a plane that is gone. A marker file that is
// missing leaves that plane without a marker; the others still show.
//
// Update places each marker at MapPosition(x, z) of its plane
// (game/map_position.h), turned by (0, 0, -heading), then animates the
// scene. The in-game state calls it only while the map is fully shown and
// the world's map switch is on.
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <memory>
#include <vector>

class application_c;
class camera_c;
class game_object_c;
class game_world_c;
class null_object_c;
class renderer_c;
class scene_c;

inline constexpr char map_user_marker_file[] = "data\\game\\hud\\map_userplane.lwo";
inline constexpr char map_allied_marker_file[] = "data\\game\\hud\\map_aliant.lwo";
inline constexpr char map_german_marker_file[] = "data\\game\\hud\\map_german.lwo";

// The marker file of a plane.
const char* MarkerFile(const game_object_c& _plane);

class game_map_c {
public:
    game_map_c();
    ~game_map_c();
    game_map_c(const game_map_c&) = delete;
    game_map_c& operator=(const game_map_c&) = delete;

    // The scene with the renderer, its camera and light, the background
    // picture (none for an empty name), and the markers.
    void Init(renderer_c* _renderer, game_world_c* _world, const string_c& _background);
    void Init(application_c& _application, game_world_c* _world, const string_c& _background);

    // The markers are rebuilt at the next Update.
    void MarkForRebuild() { rebuild = 1; }
    // Deletes every marker and makes one per plane of the world's plane
    // list, in order.
    void RebuildMarkers();
    void Update(f32 _time, const std::vector<game_object_c*>& _planes);
    void Render();

    scene_c* GetScene() const { return scene.get(); }
    // The marker of plane _index; null past the end or without a model.
    null_object_c* GetMarker(size_t _index) const;
    size_t GetMarkerCount() const { return markers.size(); }

private:
    struct marked_plane_c {
        const game_object_c* plane;
        u32 sequenceNumber;
        bool operator==(const marked_plane_c&) const = default;
    };
    void DeleteMarkers();
    void Rebuild(const std::vector<game_object_c*>& _planes);
    // Whether the markers were made for exactly this list (same planes,
    // same sequence numbers, same order).
    bool IsMarked(const std::vector<game_object_c*>& _planes) const;

    std::unique_ptr<scene_c> scene;
    camera_c* camera = nullptr;          // in the scene
    std::vector<null_object_c*> markers; // in the scene; null without a model
    // The planes the markers were made for, to notice a changed list.
    std::vector<marked_plane_c> markedPlanes;
    game_world_c* world = nullptr;
    u8 rebuild = 1;
};
