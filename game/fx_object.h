#pragma once
// fx_object_c: one timed effect of the game (a decal, a sound, a scene
// object) that belongs to an owner node. The effects manager makes it from a
// template's effect description, updates it once per frame with the game
// time and deletes it when Update answers false.
//
// Age and life: the first Update only notes the time; every later one adds
// the time since the previous to the age. Update answers whether the age is
// still below the life. Expire sets the life to the current age, so the
// next Update ends the effect whatever its life was.
//
// The local flag: set, the creation position is already in the owner's
// frame and the effect stays where it was put; clear, the position is in
// world space, is carried into the owner's frame once and the effect
// follows its owner every frame. Without an owner the owner's frame is the
// world.
//
// An effect's scene object is added to the game scene at creation and
// taken out of it and deleted by the effect's destructor, so the scene must
// outlive every effect (fx_manager_c::Clear comes first).
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <cfloat>
#include <memory>

class aggregate_c;
class geometry_def_c;
class null_object_c;
class renderer_c;
class sound_source_c;
class sound_system_c;
class triangle_set_c;

enum fx_type_e : int {
    fx_type_base = 0,
    fx_type_decal = 1,
    fx_type_sound = 2,
    fx_type_vob = 3,
};

class fx_object_c {
public:
    fx_object_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local);
    // Takes the scene object out of the game scene and deletes it.
    virtual ~fx_object_c();
    fx_object_c(const fx_object_c&) = delete;
    fx_object_c& operator=(const fx_object_c&) = delete;

    // Advances the age (see above); false once the effect is over.
    virtual bool Update(float _time);
    virtual bool IsEnabled() const { return true; }
    virtual int GetType() const { return fx_type_base; }
    void Expire() { life = age; }

    void SetLife(float _life) { life = _life; }
    float GetLife() const { return life; }
    float GetAge() const { return age; }
    null_object_c* GetOwner() const { return owner; }
    null_object_c* GetSceneObject() const { return object; }
    bool IsLocal() const { return local != 0; }

protected:
    // _position as the offset in the owner's frame (see the local flag).
    vec3_c OwnerOffset(const vec3_c& _position) const;
    // An offset in the owner's frame back in world space.
    vec3_c OwnerPoint(const vec3_c& _offset) const;
    // Adds the object to the game scene; the effect now answers for it.
    void AttachObject(null_object_c* _object);

    aggregate_c* scene;
    renderer_c* renderer;
    float lastUpdate = -1.0f;
    float timeStep = 0.0f;
    float age = 0.0f;
    float life = FLT_MAX;
    u8 local;
    null_object_c* owner;
    null_object_c* object = nullptr;
};

// A scene object loaded from a file, placed at the creation point.
class fx_object_vob_c : public fx_object_c {
public:
    fx_object_vob_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local);

    bool Update(float _time) override;
    int GetType() const override { return fx_type_vob; }
    // Loads the object file; false when it cannot be loaded or there is no
    // game scene to show it in.
    bool Create(const vec3_c& _position, const char* _file);

    const vec3_c& GetOffset() const { return offset; }

private:
    vec3_c offset;
};

// A 3D sound started at the creation point, with a range and a loop flag.
class fx_object_sound_c : public fx_object_c {
public:
    fx_object_sound_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local,
                      sound_system_c* _sound);
    // Deletes the source.
    ~fx_object_sound_c() override;

    bool Update(float _time) override;
    int GetType() const override { return fx_type_sound; }
    // False without a sound system or when the file cannot be opened.
    bool Create(const vec3_c& _position, float _distance, bool _looped, const char* _file);

    sound_source_c* GetSource() const { return source; }

private:
    sound_system_c* sound;
    sound_source_c* source = nullptr;
    vec3_c offset;
};

// Marks on the owner's surface: one mesh of up to 32 textured quads in a
// ring, the oldest replaced first. The mesh takes the owner's position and
// rotation every frame; quads are kept in the owner's frame.
class fx_object_decal_c : public fx_object_c {
public:
    static constexpr u32 max_quads = 32;

    fx_object_decal_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local);

    bool Update(float _time) override;
    int GetType() const override { return fx_type_decal; }
    // Builds the mesh object "<texture>_decal_object" with the texture as
    // its colour map; false without a game scene or renderer.
    bool Create(const char* _texture, float _size);
    // One quad of the decal's size, centred 0.01 above _position along the
    // surface normal _direction (both in world space), facing along it.
    void AddQuad(const vec3_c& _position, const vec3_c& _direction);

    u32 GetQuadCount() const { return quadCount; }
    u32 GetNextQuad() const { return nextQuad; }
    // The triangles of the mesh (four vertices per quad slot).
    const triangle_set_c* GetTriangles() const { return triangles; }

private:
    u32 quadCount = 0;
    u32 nextQuad = 0;
    float halfSize = 0.5f;
    triangle_set_c* triangles = nullptr;
};
