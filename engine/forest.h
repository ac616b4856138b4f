#pragma once
// forest_c: a square field of billboard trees, each two crossed textured
// quads, scattered over the object's x-z plane by a grey density map and
// standing on the ground found by downward ray tests, with random species,
// size, turn and tint. The trees themselves come from forest_generator_c;
// a forest with "Fix" is one mesh built once, any other follows the camera
// with batches refilled over about 30 frames. "FRST" chunk, version 5.
//
// Flags: 0x1000 "Fix" (stored), 0x2000 bounds out of date, 0x4000 meshes out
// of date. Most setters discard the ground heights (see each).
#include "engine/bounding_box.h"
#include "engine/forest_generator.h"
#include "engine/null_object.h"
#include "engine/primitive_set.h"

#include <memory>
#include <vector>

class map_c;
class mesh_c;

inline constexpr u32 forest_fixed = 0x1000;
inline constexpr u32 forest_bounds_dirty = 0x2000;
inline constexpr u32 forest_meshes_dirty = 0x4000;

class forest_c : public null_object_c {
public:
    static constexpr u32 version = 5;

    // Defaults of forest_generator_c, flags 23.
    forest_c(const char* _name, renderer_c* _renderer);
    forest_c(const forest_c& _other);
    forest_c& operator=(const forest_c&) = delete;
    ~forest_c() override;

    // Marks bounds and meshes; discards the ground data.
    void SetExtent(f32 _extent);
    // Marks the meshes.
    void SetVisibilityRange(f32 _range);
    // 1 below 2. Marks the meshes; discards the ground data.
    void SetSpeciesCount(i64 _count);
    // At least FLT_EPSILON. Marks the meshes; discards the ground data.
    void SetTreeDensity(f32 _density);
    // Minimum the smaller, maximum the larger, each at least 0. Mark bounds
    // and meshes; discard the ground data.
    void SetTreeWidth(f32 _a, f32 _b);
    void SetTreeHeight(f32 _a, f32 _b);
    // Per component. Marks the meshes; discards the ground data.
    void SetTreeColor(const vec3_c& _a, const vec3_c& _b);
    // The species strip as a still map; null: none.
    void SetColorMap(const char* _image_path);
    // Square format_l8 copy; new seeds only when the cell count changes, so
    // a map of the same size keeps every cell's trees. Marks the meshes;
    // discards the ground data.
    void SetDensityMap(const image_c& _image);
    // New seeds from the shared generator (valid density map only).
    void InitCellSeeds();
    // Ground heights by ray tests against _ground (null: all 0).
    void Generate(null_object_c* _ground);

    // While 0x4000 is set: the fixed mesh or the view-dependent batches.
    void BuildMeshes();
    // One frame of the view-dependent build.
    void UpdateVisibleTrees(const camera_c* _camera);
    // While 0x2000 is set: the square widened by half the widest tree, from
    // the lowest ground to the highest ground plus the tallest tree.
    void UpdateBounds();

    const forest_generator_c& GetTrees() const { return trees; }
    bool IsFixed() const { return flags & forest_fixed; }
    u32 GetMeshCount() const { return static_cast<u32>(meshes.size()); }
    mesh_c* GetMesh(u32 _index) const { return _index < meshes.size() ? meshes[_index].get() : nullptr; }
    map_c* GetColorMap() const { return colorMap; }
    const forest_view_pass_c& GetViewPass() const { return view; }
    const triangle_set_c& GetRayTrees() const { return rayTrees; }
    const bounding_box_c& GetBounds() const { return box; }
    f32 GetLocalTime() const { return localTime; }

    f32 Animate(f32 _time) override;
    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    bool SetParameter(const command_c& _command) override;
    void GetBoundingBox(aabb_c& _box) override;
    const mat4x3_c& GetWorldMatrix() const override { return modelView; }
    // Beyond the visibility range (distance minus radius) before the frustum.
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    // Precise: the trees along the ray (the fixed mesh with "Fix"), both
    // sides of every quad.
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                 float _maximum) override;
    void Render(int _pass) override;
    void DrawBounds() override;

    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null. Counts beyond the data throw file_error_c. A
    // species count of 0 reads as 1, the density map becomes square
    // format_l8, and seeds that do not match its cells are drawn anew.
    static forest_c* Read(input_file_c& _file, renderer_c* _renderer);
    // Installs Read as the object loader's forest reader.
    static void RegisterReader();

protected:
    u32 GetStoredFlags() const override { return flags & ~(forest_bounds_dirty | forest_meshes_dirty); }

private:
    bounding_box_c box;
    forest_generator_c trees;
    std::vector<std::unique_ptr<mesh_c>> meshes;
    triangle_set_c rayTrees;
    map_c* colorMap = nullptr;
    mat4x3_c modelView;
    forest_view_pass_c view;
    f32 localTime = 0.0f;
    renderer_c* renderer;
};
