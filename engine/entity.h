#pragma once
// entity_c: everything that stands in a scene. It holds the animation
// channels and the transform inputs (position, rotation, scale, pivot,
// parent and target links, time offset); the classes below it keep the
// resulting matrices.
//
// Channels name their members by word index from the start of the entity:
// position 3..5, rotation (heading, pitch, bank) 6..8, scale 9..11.
#include "engine/graph.h"
#include "engine/world_transform.h"
#include "foundation/matrix.h"
#include "foundation/types.h"

class input_file_c;
class output_file_c;

class entity_c : public graph_c {
public:
    vec3_c position;
    vec3_c rotation; // heading, pitch, bank in radians
    vec3_c scale = vec3_c(1.0f, 1.0f, 1.0f);
    vec3_c pivot;
    bool hasPivot = false;
    vec3_c pivotRotation;
    bool hasPivotRotation = false;
    entity_c* parent = nullptr;
    entity_c* target = nullptr;
    bool isStatic = false;
    f32 timeOffset = 0.0f;

    entity_c() = default;
    // Copies channels and transform inputs; the copy has no parent or target.
    entity_c(const entity_c& _other);
    entity_c& operator=(const entity_c&) = delete;
    ~entity_c() override = default;

    // Puts every channel back to its first key.
    virtual void ResetAnimation();
    // Evaluates the channels at time - time offset and returns that local time.
    virtual f32 Animate(f32 _time);
    // Recomputes the world matrix below the own parent link, or below
    // _parent when the link is empty.
    virtual void UpdateTransform(entity_c* _parent) = 0;
    virtual const mat4x3_c& GetMatrix() const = 0;
    // True when this entity and every ancestor scale equally on all axes.
    virtual bool IsUniformScale() const = 0;

    // Store the vector and whether any component is non-zero.
    void SetPivot(const vec3_c& _pivot);
    void SetPivotRotation(const vec3_c& _rotation);

    // A static entity skips recomputation while its parent is static too,
    // but only once it has been placed: a static root still gets its first
    // matrix.
    bool IsPlaced() const { return placed; }

    float* GetEnvelopeTarget(u32 _index) override;

    // Entity body: channels, position, rotation, scale, pivot, has pivot,
    // pivot rotation, has pivot rotation, static, time offset. Links travel
    // as link records of the owning aggregate.
    void WriteEntity(output_file_c& _file) const;
    // Throws file_error_c with the file's name when the body is cut short.
    void ReadEntity(input_file_c& _file);

protected:
    // True when the matrices must be recomputed below _parent.
    bool NeedsUpdate(const entity_c* _parent) const;
    void MarkPlaced() { placed = true; }
    // m x Translate(position), then x the parent's matrix when there is one.
    void PlaceBelow(mat4x3_c& _m, const entity_c* _parent) const;
    // Cameras and lights: no scale or pivot; a target turns the entity
    // towards it. Recomputed unless static below a static (or no) parent and
    // target.
    void UpdateAimedTransform(entity_c* _parent, world_transform_c& _transform);

private:
    bool placed = false;
};

// Row-vector rotation of heading, pitch and bank.
mat4x3_c EulerMatrix(const vec3_c& _rotation);
