#pragma once
// mesh_c: one level of detail of a geometry object. It ties one renderer
// geometry (shared through the cache, or private to the mesh) to one
// material per primitive set and one weight-map name per blend matrix.
// "MESH" chunk, version 3. Channel indices: first value 3, level-of-detail
// distance 4.
#include "engine/geometry_cache.h"
#include "engine/graph.h"
#include "engine/node.h"
#include "foundation/text_string.h"

#include <vector>

class input_file_c;
class material_c;
class output_file_c;
class renderer_c;

class mesh_c : public node_c<mesh_c>, public graph_c {
public:
    static constexpr u32 version = 3;
    // Weight-map slots a stored mesh may have (vertices name them by a byte).
    static constexpr u32 max_weight_maps = 256;

    string_c name;
    f32 firstValue = 0.0f;  // tween weight: the renderer tweens towards the heaviest mesh
    f32 lodDistance = 0.0f; // 0: not a level of detail

    // A definition with its private-geometry byte set gets a geometry of its
    // own, keyed by the mesh name and kept out of the cache; otherwise the
    // cached geometry of its key, with one use taken.
    mesh_c(const char* _name, const geometry_def_c& _definition, renderer_c* _renderer);
    // The same geometry (one more use when shared); the slot vectors copied.
    mesh_c(const mesh_c& _other);
    mesh_c& operator=(const mesh_c&) = delete;
    ~mesh_c() override;

    // Out-of-range slots are ignored.
    void SetMaterial(u32 _slot, material_c* _material);
    void SetWeightMapName(u32 _slot, const string_c& _name);

    geometry_c* GetGeometry() const { return geometry; }
    const geometry_def_c& GetDefinition() const { return geometry->definition; }
    bool HasPrivateGeometry() const { return privateGeometry; }
    const std::vector<material_c*>& GetMaterials() const { return materials; }
    std::vector<material_c*>& GetMaterials() { return materials; }
    const std::vector<string_c>& GetWeightMapNames() const { return weightMapNames; }

    float* GetEnvelopeTarget(u32 _index) override;

    // Name, geometry definition, channels, the two values, "wmap" records.
    void Write(output_file_c& _file) const;
    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null. More than max_weight_maps blend matrices throw
    // file_error_c "Invalid blend matrix count!".
    static mesh_c* Read(input_file_c& _file, renderer_c* _renderer);

private:
    geometry_c* geometry;
    geometry_cache_c* cache;
    bool privateGeometry;
    std::vector<material_c*> materials;
    std::vector<string_c> weightMapNames;
};
