#pragma once
// aggregate_c: a group of scene items that is itself a placed object. It owns
// its cameras, lights and child objects, resolves parent and target links
// between them, animates and transforms them in an update order where every
// parent comes before its children, unites their boxes into its own and
// hands culling, shadow culling and ray tests down to its children.
// "AGGR" chunk, version 4.
//
// Item references name an item by its list position: index | 0x10000000 for
// an object, | 0x20000000 for a light, | 0x30000000 for a camera; 0xFFFFFFFF
// for none.
#include "engine/bounding_box.h"
#include "engine/camera.h"
#include "engine/light.h"
#include "engine/node.h"
#include "engine/null_object.h"

#include <vector>

class renderer_c;

enum aggregate_flag_e : u32 {
    aggregate_bounds_dirty = 0x1000,
    aggregate_links_dirty = 0x2000,
    aggregate_members_dirty = 0x4000,
};

enum item_ref_e : u32 {
    item_ref_object = 0x10000000,
    item_ref_light = 0x20000000,
    item_ref_camera = 0x30000000,
    item_ref_kind_mask = 0xF0000000,
    item_ref_index_mask = 0x0FFFFFFF,
    item_ref_none = 0xFFFFFFFF,
};

class aggregate_c : public null_object_c {
public:
    static constexpr u32 version = 4;

    // Flags 0x17: rendered, ray-testable, depth test, fog.
    aggregate_c(const char* _name, renderer_c* _renderer);
    // Copies every item; the copies' links point at the copied items at the
    // same list positions.
    aggregate_c(const aggregate_c& _other);
    ~aggregate_c() override;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    void GetBoundingBox(aabb_c& _box) override;
    // The object-to-camera matrix of the last Cull.
    const mat4x3_c& GetWorldMatrix() const override { return boundingTransform; }
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    bool CullShadow(object_list_t& _shadows, camera_c* _camera) override;
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                 float _maximum) override;
    void DrawBounds() override;
    void ResetAnimation() override;
    // Stores the local time as the current time.
    f32 Animate(f32 _time) override;

    // Each takes ownership and returns the item; its time offset becomes the
    // current time, so an item added while the aggregate runs starts its own
    // animation then.
    virtual camera_c* AddCamera(camera_c* _camera);
    light_c* AddLight(light_c* _light);
    null_object_c* AddObject(null_object_c* _object);
    // Each clears every link to the item, unlinks it and hands it back to
    // the caller; null when it is not in the list.
    virtual camera_c* RemoveCamera(camera_c* _camera);
    virtual light_c* RemoveLight(light_c* _light);
    virtual null_object_c* RemoveObject(null_object_c* _object);
    void DeleteObject(null_object_c* _object);

    // How many items any aggregate has given up so far. Lists that point
    // into aggregates (a scene's render lists) compare it to know whether
    // they may still hold a removed item.
    static u64 GetRemovalCount();

    camera_c* CreateCamera(const char* _name);
    // Loads an object file with this aggregate's renderer and adds it.
    null_object_c* LoadObject(const char* _file_name, bool _geometry_only);

    void SetParent(entity_c* _item, entity_c* _parent);
    void SetTarget(entity_c* _item, entity_c* _target);

    // item_ref_none when the item is in no list.
    u32 GetItemRef(const entity_c* _item) const;
    // Throws list_error_c("Could not find item!") with the reference in
    // decimal when it names nothing.
    entity_c* GetItemByRef(u32 _ref) const;

    // Animate(current time) of every item, parents first.
    void AnimateItems();
    // UpdateTransform(this) of every item, parents first; nothing while the
    // aggregate and _parent are static and every item has been placed.
    void UpdateTransforms(entity_c* _parent);

    // Parents first. A link to an item outside the aggregate or to itself is
    // dropped; a chain of links that closes on itself is broken by dropping
    // the link that closes it.
    const std::vector<entity_c*>& GetUpdateOrder();

    const node_list_c<camera_c>& GetCameras() const { return cameras; }
    const node_list_c<light_c>& GetLights() const { return lights; }
    const node_list_c<null_object_c>& GetObjects() const { return objects; }
    f32 GetCurrentTime() const { return currentTime; }
    renderer_c* GetRenderer() const { return renderer; }
    const bounding_box_c& GetBoundingVolume() const { return boundingVolume; }

    // "AGGR" chunk, or null (nothing consumed) for another tag; another
    // version skips the chunk. Bad link records throw file_error_c.
    static aggregate_c* Read(input_file_c& _file, renderer_c* _renderer);

protected:
    // Cameras, lights and objects as chunks, then the link records.
    void WriteItems(output_file_c& _file) const;
    // One item or record of a body; false when the body is used up.
    bool ReadItem(input_file_c& _body);
    // Reads items until the body ends. Depth is bounded across nested reads.
    void ReadItems(input_file_c& _body);
    // A record of a tag other than the link records; the aggregate skips
    // them all.
    virtual void ReadRecord(u32 _tag, input_file_c& _block);
    u32 GetStoredFlags() const override;
    void RebuildBounds();
    // The nearest hit among the child objects (first found on ties), or null
    // with distance FLT_MAX and normal (0, 0, 0).
    null_object_c* RayTestChildren(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                   bool _precise, float _maximum) const;
    void MarkChanged(bool _object);

    bounding_box_c boundingVolume;
    mat4x3_c boundingTransform;

private:
    void DeleteItems();
    void ClearLinksTo(const entity_c* _item);
    void ApplyLink(u32 _tag, input_file_c& _block);

    node_list_c<camera_c> cameras;
    node_list_c<light_c> lights;
    node_list_c<null_object_c> objects;
    std::vector<entity_c*> updateOrder;
    f32 currentTime = 0.0f;
    renderer_c* renderer;
    bool itemsPlaced = false;
};
