#pragma once
// bone_c: an animated entity of a geometry object's skeleton. Its rest pose
// (rest direction, rest position, below the parent bone's rest pose) and the
// pose it animates to give the skinning matrix the renderer blends vertices
// with. A bone's parent bone is its entity parent; a root bone hangs below
// the object. "BONE" chunk, version 2.
#include "engine/entity.h"
#include "engine/node.h"
#include "foundation/matrix.h"
#include "foundation/text_string.h"

class input_file_c;
class output_file_c;

class bone_c : public entity_c, public named_node_c<bone_c> {
public:
    static constexpr u32 version = 2;

    vec3_c restPosition;
    vec3_c restDirection; // heading, pitch, bank
    f32 restLength = 0.0f;
    string_c weightMapName;

    explicit bone_c(const char* _name);
    bone_c(const bone_c& _other);

    // Rest matrix = Euler(rest direction) x pivot rotation (when set) x
    // Translate(rest position) x the parent's rest matrix; the parent's must
    // be up to date. Inverse rest is its affine inverse.
    void UpdateRest();
    // World matrix = Scale x Euler(rotation) x pivot rotation x
    // Translate(position) x the parent bone's (or, for a root, _root's)
    // matrix.
    void UpdateTransform(entity_c* _root) override;
    const mat4x3_c& GetMatrix() const override { return world; }
    bool IsUniformScale() const override { return uniformScale; }
    // Camera matrix = world x _view; skinning = inverse rest x camera matrix.
    void UpdateSkinning(const mat4x3_c& _view, bool _view_static);

    const mat4x3_c& GetRestMatrix() const { return rest; }
    const mat4x3_c& GetInverseRestMatrix() const { return inverseRest; }
    const mat4x3_c& GetCameraMatrix() const { return cameraMatrix; }
    const mat4x3_c& GetSkinningMatrix() const { return skinning; }

    void Write(output_file_c& _file) const;
    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null.
    static bone_c* Read(input_file_c& _file);

private:
    mat4x3_c rest;
    mat4x3_c inverseRest;
    mat4x3_c world;
    bool uniformScale = true;
    mat4x3_c cameraMatrix;
    mat4x3_c skinning;
};
