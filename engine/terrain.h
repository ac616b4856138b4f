#pragma once
// terrain_c: the landscape, a quadtree of patches. Every node is a terrain_c
// owning one mesh (the patch at its level of detail), up to two colour maps
// (0 the base texture, 1 a second layer) and up to four children covering
// the same ground in finer detail. Each frame the tree is walked from the
// root: a patch far enough away for its size is queued whole, a nearer one
// hands the work, and its clip mask, to its children. The same tree answers
// ray tests. "TERN" chunk, version 3; patches nest as whole chunks.
//
// Flags: 0x2000 bounds out of date.
#include "engine/bounding_box.h"
#include "engine/null_object.h"

class map_c;
class mesh_c;

inline constexpr u32 terrain_bounds_dirty = 0x2000;

class terrain_c : public null_object_c {
public:
    static constexpr u32 version = 3;
    static constexpr u32 child_count = 4;

    // Kept, copied, saved and loaded unchanged; not read by the terrain.
    u32 words[3] = {0, 0, 0};

    // An empty patch: no mesh, maps or children, accuracy 0.1, flags 23.
    terrain_c(const char* _name, renderer_c* _renderer);
    // A deep copy: children cloned, mesh and maps copied.
    terrain_c(const terrain_c& _other);
    terrain_c& operator=(const terrain_c&) = delete;
    ~terrain_c() override;

    // Clamped to [FLT_EPSILON, 1.0] and handed to every descendant.
    void SetAccuracy(f32 _accuracy);
    f32 GetAccuracy() const { return accuracy; }

    // Takes ownership; the old mesh is deleted. Marks the bounds.
    void SetMesh(mesh_c* _mesh);
    mesh_c* GetMesh() const { return mesh; }
    // Index 0 or 1; takes ownership, the old map is deleted. Other indices
    // delete _map.
    void SetColorMap(u32 _index, map_c* _map);
    map_c* GetColorMap(u32 _index) const { return _index < 2 ? colorMaps[_index] : nullptr; }
    // Slot 0 to 3; takes ownership, the old child is deleted. Marks the
    // bounds. Other slots delete _child.
    void SetChild(u32 _slot, terrain_c* _child);
    terrain_c* GetChild(u32 _slot) const { return _slot < child_count ? children[_slot] : nullptr; }
    // Present children (0 to 4); only a patch with all four is refined.
    u32 GetChildCount() const;

    // While flag 0x2000 is set: the box of the mesh's vertices and of every
    // child's box in this patch's space.
    void UpdateBounds();
    const bounding_box_c& GetBounds() const { return box; }
    // Model-view = world matrix times the camera's inverse, unless both are
    // static.
    void UpdateViewMatrix(const camera_c* _camera);
    // The level-of-detail test: all four children present and the patch too
    // large for the accuracy as seen from the camera.
    bool NeedsRefinement(const camera_c* _camera);
    f32 GetLocalTime() const { return localTime; }

    f32 Animate(f32 _time) override;
    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    // "Accuracy" with a float after the base's keywords.
    bool SetParameter(const command_c& _command) override;
    void GetBoundingBox(aabb_c& _box) override;
    // The model-view matrix of the last Cull.
    const mat4x3_c& GetWorldMatrix() const override { return modelView; }
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    // Without _precise: the hit on the patch box, normal the up axis.
    // Precise: the nearest child hit of a refined patch, or the nearest
    // front-facing triangle of a leaf. Hits farther from the origin than
    // _maximum (a world distance, compared as fraction x segment length)
    // are not hits, at every level of the tree alike.
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                 float _maximum) override;
    void Render(int _pass) override;
    void DrawBounds() override;

    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null. A fifth child patch throws file_error_c; so does
    // nesting beyond the object loader's bound.
    static terrain_c* Read(input_file_c& _file, renderer_c* _renderer);
    // Installs Read as the object loader's terrain reader.
    static void RegisterReader();

protected:
    u32 GetStoredFlags() const override { return flags & ~terrain_bounds_dirty; }

private:
    bounding_box_c box;
    mesh_c* mesh = nullptr;
    map_c* colorMaps[2] = {nullptr, nullptr};
    mat4x3_c modelView;
    terrain_c* children[child_count] = {nullptr, nullptr, nullptr, nullptr};
    f32 accuracy = 0.1f;
    f32 localTime = 0.0f;
    renderer_c* renderer;
};

// Reads the file whole and returns its terrain; throws file_error_c(name,
// "Unknown file format!") when it does not start with one.
terrain_c* LoadTerrain(const char* _file_name, renderer_c* _renderer);
