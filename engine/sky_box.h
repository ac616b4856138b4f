#pragma once
// sky_box_c: the sky, a cube two units wide around the origin drawn from the
// inside, with one texture map on each of its six faces (0 right, 1 left,
// 2 up, 3 down, 4 front, 5 back). Never hit by rays. "SBOX" chunk,
// version 4; the cube itself is rebuilt, only the face maps are stored.
#include "engine/bounding_box.h"
#include "engine/null_object.h"
#include "engine/sky_box_geometry.h"

class map_c;
class mesh_c;

class sky_box_c : public null_object_c {
public:
    static constexpr u32 version = 4;

    // The unit box and cube mesh, no face maps, flags 5 (rendered, depth
    // test).
    sky_box_c(const char* _name, renderer_c* _renderer);
    sky_box_c(const sky_box_c& _other);
    sky_box_c& operator=(const sky_box_c&) = delete;
    ~sky_box_c() override;

    // The cube as a mesh of the renderer's geometry cache, named _name.
    static mesh_c* BuildMesh(const char* _name, renderer_c* _renderer);

    // A still map of the image (no mip-mapping, clamped at the edges), or
    // none for a null path; faces of 6 or more are ignored.
    void SetFaceMap(u32 _face, const char* _image_path);
    map_c* GetFaceMap(u32 _face) const { return _face < sky_box_face_count ? faceMaps[_face] : nullptr; }
    // Faces with a map.
    u32 GetFaceCount() const;
    mesh_c* GetMesh() const { return mesh; }
    const bounding_box_c& GetBounds() const { return box; }

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    // "Map" with any of RIGHT, LEFT, UP, DOWN, FRONT, BACK (any case).
    bool SetParameter(const command_c& _command) override;
    void GetBoundingBox(aabb_c& _box) override;
    const mat4x3_c& GetWorldMatrix() const override { return modelView; }
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    void Render(int _pass) override;
    void DrawBounds() override;

    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null.
    static sky_box_c* Read(input_file_c& _file, renderer_c* _renderer);
    // Installs Read as the object loader's sky box reader.
    static void RegisterReader();

private:
    void SetFaceMap(u32 _face, map_c* _map);

    bounding_box_c box;
    mesh_c* mesh;
    map_c* faceMaps[sky_box_face_count] = {};
    mat4x3_c modelView;
    renderer_c* renderer;
};
