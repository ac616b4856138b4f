#pragma once
// null_object_c: a named, placed object of a scene. Besides the entity's
// transform inputs it keeps the world matrix with its inverse, a dissolve
// value (drawn and ray-tested only below 1.0) and a flag word, and declares
// the operations through which aggregates and scenes save, parameterise,
// cull, ray-test and draw every object. The base draws nothing and is hit by
// nothing; it marks a place (a "NULL" chunk, version 3).
//
// Channel index 24 is the dissolve.
#include "engine/entity.h"
#include "engine/object_chunk.h"
#include "engine/node.h"
#include "engine/ray.h"
#include "engine/world_transform.h"
#include "foundation/text_string.h"

#include <memory>
#include <vector>

class aabb_c;
class camera_c;
class command_c;
class input_file_c;
class output_file_c;
class renderer_c;
class scene_c;
class null_object_c;

using object_list_t = std::vector<null_object_c*>;

// Flag word bits shared by every object class; bits from 0x1000 up that are
// not named here belong to the classes.
enum object_flag_e : u32 {
    object_rendered = 0x1,
    object_ray_testable = 0x2,
    object_depth_test = 0x4,
    object_fog = 0x10,
    object_shadow_casting = 0x40,
    scene_clear_background = 0x10000,
    scene_wireframe = 0x800000,
    scene_fog_on = 0x2000000,
    scene_glow = 0x4000000,
    scene_looping = 0x8000000,
};

class null_object_c : public named_node_c<null_object_c>, public entity_c {
public:
    static constexpr u32 version = 3;

    f32 dissolve = 0.0f;

    explicit null_object_c(const char* _name);
    // Copies name, channels, transform inputs, matrices, dissolve, visible and
    // flags; parent and target stay empty and the copy is in no list.
    null_object_c(const null_object_c& _other);
    ~null_object_c() override = default;

    virtual null_object_c* Clone() const;
    // Writes the chunk into a file of that name.
    virtual void Save(const char* _file_name) const;
    virtual void Write(output_file_c& _file) const;
    virtual void Preload();
    // One parameter line: "DepthTest" and "ShadowCasting" with an integer
    // (compared without case). False for a line without a name or an unknown
    // keyword; subclasses offer a line to their base first.
    virtual bool SetParameter(const command_c& _command);
    virtual void SetFlags(u32 _bits);
    virtual void ClearFlags(u32 _bits);
    // The object's box in its own space; the base's is empty.
    virtual void GetBoundingBox(aabb_c& _box);
    virtual const mat3_c& GetOrientation() const;
    virtual const mat4x3_c& GetInverseMatrix() const;
    virtual const mat3_c& GetInverseOrientation() const;
    // The world matrix, or for classes with a bounding transform the
    // object-to-camera matrix of the last Cull.
    virtual const mat4x3_c& GetWorldMatrix() const;
    // Queues what is visible into the pass lists; true when anything was.
    virtual bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
                      u32 _depth);
    virtual bool CullShadow(object_list_t& _shadows, camera_c* _camera);
    // World-space ray, maybe a whole segment. On a hit: the distance in units
    // of the direction's length and the normalised world normal. Objects
    // farther than _maximum (by their bounding sphere) are not hit.
    virtual bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                         float _maximum);
    virtual void Render(int _pass);
    virtual void RenderShadow();
    virtual void RenderShadowSecondPass();
    virtual void DrawDebug();
    virtual void DrawBounds();

    void UpdateTransform(entity_c* _parent) override;
    const mat4x3_c& GetMatrix() const override { return transform.world; }
    bool IsUniformScale() const override { return transform.uniformScale; }
    float* GetEnvelopeTarget(u32 _index) override;

    void SetFlag(u32 _bits, bool _on);
    void SetVisibility(bool _rendered, bool _ray_testable);
    u32 GetFlags() const { return flags; }
    bool HasFlags(u32 _bits) const { return (flags & _bits) == _bits; }
    bool IsVisible() const { return visible; }
    // Drawn and tested only while the dissolve is below 1.0.
    bool IsSolid() const { return dissolve < 1.0f; }

    // "NULL" chunk version 3, or null (nothing consumed) for another tag;
    // another version skips the chunk and gives null.
    static null_object_c* Read(input_file_c& _file);

protected:
    // The flag word as files keep it: without the bits that only mark
    // derived data out of date, which a reader sets again as it builds.
    virtual u32 GetStoredFlags() const { return flags; }
    // "NULL" body: name, entity body, dissolve, flags.
    void WriteNullBody(output_file_c& _file) const;
    void ReadNullBody(input_file_c& _file);
    // Opens a stored T: its chunk under _tag at T::version (null for another
    // tag; another version is skipped whole) and the "NULL" part of its body;
    // _body is left at what the class stores after it.
    template <typename T>
    static std::unique_ptr<T> ReadStoredObject(input_file_c& _file, u32 _tag, renderer_c* _renderer,
                                               input_file_c& _body)
    {
        if (!ReadChunk(_file, _tag, T::version, _body))
            return nullptr;
        auto object = std::make_unique<T>("(Unnamed)", _renderer);
        static_cast<null_object_c*>(object.get())->ReadNullBody(_body);
        return object;
    }

    world_transform_c transform;
    bool visible = false;
    u32 flags = 0;
};
