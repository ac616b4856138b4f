#pragma once
// geom_object_c: the scene entity that draws polygon models. It owns a list
// of meshes (levels of detail of one model), the materials their surface
// slots point at, and a skeleton of bones; it keeps a model-space bounding
// box, takes part in culling, the opaque and blended passes, stencil shadow
// volumes and ray tests. Derived data (bounds, material check, skeleton
// order, weight-map binding, shadow volume) is marked out of date by the
// setters and rebuilt by the next cull, shadow cull, write or ray test.
// "GEOM" chunk, version 5.
#include "engine/bone.h"
#include "engine/bounding_box.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/node.h"
#include "engine/null_object.h"

#include <memory>
#include <vector>

class renderer_c;

enum geom_flag_e : u32 {
    geom_bounds_dirty = 0x2000,
    geom_material_check = 0x4000,
    geom_skeleton_order = 0x10000,
    geom_skeleton_list = 0x20000,
    geom_skeleton_changed = 0x30000,
    geom_weight_maps = 0x40000,
    geom_primary_changed = 0x80000,
};

class geom_object_c : public null_object_c {
public:
    static constexpr u32 version = 5;

    // How far the renderer extrudes the shadow volume; FLT_MAX (the default)
    // extrudes it to infinity. Stored with the object.
    f32 shadowDepth = 3.4028235e38f;

    // Flags 23: rendered, ray-testable, depth test, fog.
    geom_object_c(const char* _name, renderer_c* _renderer);
    // Copies meshes, materials (the copied meshes point at the copied
    // materials at the same list positions) and bones (parents re-linked by
    // position); everything is then marked for update.
    geom_object_c(const geom_object_c& _other);
    ~geom_object_c() override;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    void GetBoundingBox(aabb_c& _box) override;
    // The object-to-camera matrix of the last cull.
    const mat4x3_c& GetWorldMatrix() const override { return objectMatrix; }
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    // With shadow casting and a mesh: rebuilds the shadow volume when the
    // primary mesh changed and queues the object.
    bool CullShadow(object_list_t& _shadows, camera_c* _camera) override;
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                 float _maximum) override;
    // Pass 0: surfaces with opaque materials; pass 1: the others, or every
    // surface with a material while the object dissolves.
    void Render(int _pass) override;
    void RenderShadow() override;
    void RenderShadowSecondPass() override;
    // Every bone as a debug outline.
    void DrawDebug() override;
    void DrawBounds() override;
    void ResetAnimation() override;
    // Stores the local time as the animation time.
    f32 Animate(f32 _time) override;

    // Appends; the first mesh becomes the primary mesh.
    mesh_c* AddMesh(mesh_c* _mesh);
    mesh_c* CreateMesh(const char* _name, const geometry_def_c& _definition);
    // Ignored unless the mesh is in the list or null.
    void SetPrimaryMesh(mesh_c* _mesh);
    material_c* AddMaterial(material_c* _material);
    bone_c* AddBone(bone_c* _bone);
    void SetMeshMaterial(mesh_c* _mesh, u32 _slot, material_c* _material);
    void SetBoneParent(bone_c* _bone, bone_c* _parent);

    // The shadow volume of the primary mesh: every triangle with its own
    // three corners and face normal, and a zero-area quad along every edge
    // two triangles share (opposite directions, equal end positions). Its
    // vertices carry a position and the face normal and nothing else: the
    // renderer's shadow programs read that layout and push away from the
    // light the corners whose face turns from it.
    void BuildShadowVolume();

    const node_list_c<mesh_c>& GetMeshes() const { return meshes; }
    const node_list_c<material_c>& GetMaterials() const { return materials; }
    const node_list_c<bone_c>& GetBones() const { return bones; }
    mesh_c* GetPrimaryMesh() const { return primaryMesh; }
    const mesh_c* GetShadowMesh() const { return shadowMesh.get(); }
    const std::vector<bone_c*>& GetBonePalette() const { return bonePalette; }
    // Bones with every parent before its children.
    const std::vector<bone_c*>& GetSkeleton();
    const bounding_box_c& GetBoundingVolume() const { return boundingVolume; }
    f32 GetAnimationTime() const { return animationTime; }
    renderer_c* GetRenderer() const { return renderer; }

    // Brings bounds, material check, skeleton and weight maps up to date.
    void UpdateDerivedData();

    // A LightWave object layer through an installed reader, else the
    // _layer-th (0-based) "GEOM" chunk of an engine object file; null when
    // there is none, on another tag in the way or another version. The name
    // is the file's, without directory and extension. Bad records inside
    // throw file_error_c.
    static geom_object_c* Read(input_file_c& _file, renderer_c* _renderer, u32 _layer);

protected:
    u32 GetStoredFlags() const override;

private:
    void UpdateBounds();
    void CheckMaterials();
    void UpdateSkeleton();
    void BindWeightMaps();
    void ChooseLevelOfDetail();
    void UpdateObjectMatrix(camera_c* _camera);
    void UpdateBones(camera_c* _camera);
    void ReadBody(input_file_c& _body);
    void ApplyRecord(u32 _tag, input_file_c& _block);

    bounding_box_c boundingVolume;
    node_list_c<mesh_c> meshes;
    mesh_c* primaryMesh = nullptr;
    std::unique_ptr<mesh_c> shadowMesh;
    node_list_c<material_c> materials;
    mat4x3_c objectMatrix;
    bool matrixChanged = true;
    node_list_c<bone_c> bones;
    std::vector<bone_c*> skeleton;
    std::vector<bone_c*> bonePalette;
    f32 animationTime = 0.0f;
    renderer_c* renderer;
    bool objectMatrixPlaced = false;
};

// Opens the file and reads the object of the layer; throws
// file_error_c(name, "Unknown file format!") when there is none.
geom_object_c* LoadGeomObject(const char* _file_name, renderer_c* _renderer, u32 _layer);
// The name of a LightWave object layer (through the installed reader) or of
// the _layer-th "GEOM" chunk; empty when there is none.
string_c ReadObjectLayerName(const char* _file_name, u32 _layer);

// Reads layer _layer of a LightWave object into _object and returns true, or
// returns false consuming nothing when the stream is not its format.
using geom_layer_reader_f = bool (*)(input_file_c& _file, geom_object_c& _object, u32 _layer);
// The name of layer _layer, or false when the stream is not its format.
using geom_layer_name_f = bool (*)(input_file_c& _file, u32 _layer, string_c& _name);

// Slots of the LightWave object readers, in the order they are tried.
enum geom_reader_e : u32 { geom_reader_lwo2, geom_reader_lwob, geom_reader_count };
void RegisterGeomLayerReader(geom_reader_e _slot, geom_layer_reader_f _reader, geom_layer_name_f _name);
