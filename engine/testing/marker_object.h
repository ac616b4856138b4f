#pragma once
// marker_object_c: a drawable stand-in for scene tests. It has a box, culls
// like a drawable (camera-space matrix, clip test, one pass list chosen by
// its opaque switch), draws itself as renderer_c::DrawDebug30(its id, the
// pass, 0, 0) so that its place among the recorded calls shows, and is hit
// by rays on its box.
#include "engine/bounding_box.h"
#include "engine/null_object.h"

class renderer_c;

class marker_object_c : public null_object_c {
public:
    f32 id;
    bool opaque = true;
    bool castsShadow = false;
    renderer_c* renderer;

    marker_object_c(const char* _name, f32 _id, renderer_c* _renderer, const vec3_c& _min, const vec3_c& _max);
    marker_object_c(const marker_object_c&) = default;

    null_object_c* Clone() const override { return new marker_object_c(*this); }
    void GetBoundingBox(aabb_c& _box) override;
    const mat4x3_c& GetWorldMatrix() const override { return cameraMatrix; }
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    bool CullShadow(object_list_t& _shadows, camera_c* _camera) override;
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                 float _maximum) override;
    void Render(int _pass) override;
    void RenderShadow() override;

private:
    bounding_box_c box;
    mat4x3_c cameraMatrix;
};
