#pragma once
// camera_c: a named entity that turns the renderer's viewport shape and the
// scene's clip planes into a projection and builds picking rays. Cameras
// have no scale or pivot; a target link turns the camera towards its target.
// "CMRA" chunk, version 2. Channel index 28 is the zoom.
#include "engine/entity.h"
#include "engine/node.h"
#include "engine/ray.h"
#include "engine/world_transform.h"
#include "foundation/matrix.h"

class input_file_c;
class output_file_c;
class renderer_c;

class camera_c : public entity_c, public named_node_c<camera_c> {
public:
    static constexpr u32 version = 2;

    f32 zoom = 3.2f;

    explicit camera_c(const char* _name);
    // Copies everything but the links; the copy is in no list.
    camera_c(const camera_c& _other);

    // zoom = 1 / tan(angle / 2).
    void SetFieldOfView(f32 _angle);
    // Horizontal extent from the viewport's half sizes, its aspect and the
    // pixel aspect; vertical extent 1 / zoom.
    void SetViewShape(const renderer_c& _renderer);
    // Negative planes count as 0; a far plane of FLT_MAX (or not beyond the
    // near one) gives an infinite far plane.
    void SetProjection(f32 _near, f32 _far);
    // The world ray through a viewport point given in fractions (0, 0 top
    // left): origin at the camera, direction normalised.
    void GetPickRay(ray_c& _ray, f32 _x, f32 _y) const;

    void UpdateTransform(entity_c* _parent) override;
    const mat4x3_c& GetMatrix() const override { return transform.world; }
    bool IsUniformScale() const override { return transform.uniformScale; }
    float* GetEnvelopeTarget(u32 _index) override;

    const mat3_c& GetOrientation() const { return transform.orientation; }
    const mat3_c& GetInverseOrientation() const { return transform.inverseOrientation; }
    const mat4x3_c& GetInverseMatrix() const { return transform.inverse; }
    const mat4_c& GetProjection() const { return projection; }
    f32 GetHorizontalExtent() const { return horizontalExtent; }
    f32 GetVerticalExtent() const { return verticalExtent; }

    // Name, entity body, zoom.
    void Write(output_file_c& _file) const;
    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null.
    static camera_c* Read(input_file_c& _file);

private:
    world_transform_c transform;
    f32 horizontalExtent;
    f32 verticalExtent;
    mat4_c projection;
};
