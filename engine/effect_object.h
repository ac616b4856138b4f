#pragma once
// effect_object_c: what the particle emitter and the trail share. Each keeps
// its own map, a private geometry rewritten on the processor, its own clock
// that only runs forwards, bounds as a cube about its origin sized from the
// speeds it has seen, and the model-view matrix of its last cull (slot
// GetWorldMatrix). Both are drawn in the transparent pass only.
#include "engine/bounding_box.h"
#include "engine/effect_clock.h"
#include "engine/effect_geometry.h"
#include "engine/map.h"
#include "engine/null_object.h"

#include <memory>

class effect_object_c : public null_object_c {
public:
    // Clones the map and duplicates the geometry.
    effect_object_c(const effect_object_c& _other);
    ~effect_object_c() override;

    void Preload() override;
    // The bounds brought up to date.
    void GetBoundingBox(aabb_c& _box) override;
    const mat4x3_c& GetWorldMatrix() const override { return modelView; }
    void DrawBounds() override;
    // Remembers the world position before the update, for the speed.
    void UpdateTransform(entity_c* _parent) override;

    // An image file (mip-mapped, compressed), or null for no map.
    void SetMap(const char* _path);
    map_c* GetMap() const { return map.get(); }
    f32 GetGreatestSpeed() const { return clock.greatestSpeed; }
    const bounding_box_c& GetBoundingVolume() const { return boundingVolume; }
    renderer_c* GetRenderer() const { return renderer; }

protected:
    effect_object_c(const char* _name, renderer_c* _renderer, u32 _flags);

    // Half the side of the bounding cube, in the object's own space.
    virtual f32 GetBoundsRadius() const = 0;
    void UpdateBounds();
    // Tracks the speed, sizes the bounds, builds the model-view matrix
    // (kept while the object and the camera are static, once built) and
    // clips; false when the bounds lie wholly outside the view.
    bool ClipBounds(const camera_c& _camera, u32 _mask);

    bounding_box_c boundingVolume;
    std::unique_ptr<effect_geometry_c> geometry;
    mat4x3_c modelView;
    std::unique_ptr<map_c> map;
    renderer_c* renderer;
    effect_clock_c clock;
    bool modelViewBuilt = false;
};
