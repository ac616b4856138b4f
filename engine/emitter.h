#pragma once
// emitter_c: a particle source (smoke, dust, sparks, fire). A fixed pool of
// particles lives in the vertices of one private geometry: each particle is a
// square of four vertices carrying its birth position, velocity, birth time
// and lifetime, and the renderer moves, sizes, colours and fades them from
// these and the emitter's time. The emitter itself only respawns expired
// particles, continuously ("Eruption") or in bursts ("Explosion"), from a
// point, a disc or a circle, into a cone around its local z axis.
// "EMIT" chunk, version 6; the particle colours are not stored.
//
// Channel indices: speed minimum 137, maximum 138, cone angle minimum 139,
// maximum 140, lifetime minimum 141, maximum 142.
#include "engine/effect_object.h"

#include <memory>
#include <vector>

class random_c;

// Flag word bits of the class.
inline constexpr u32 emitter_additive = 0x1000;
inline constexpr u32 emitter_eruption = 0x2000;
inline constexpr u32 emitter_explosion = 0x4000;
inline constexpr u32 emitter_disc = 0x8000;
inline constexpr u32 emitter_circle = 0x10000;
inline constexpr u32 emitter_pool_dirty = 0x20000;

class emitter_c : public effect_object_c {
public:
    static constexpr u32 version = 6;
    // Largest pool: a count from a file or a script beyond it is refused.
    static constexpr u32 max_particles = 16384;

    // Flags 0xA015 (rendered, depth test, fog, eruption, disc); no particles;
    // sizes 1, colours white, 10 particles a second.
    emitter_c(const char* _name, renderer_c* _renderer);
    // Copies every member, clones the map and duplicates the pool.
    emitter_c(const emitter_c& _other) = default;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    // After the object keywords: "Eruption", "Explosion", "Disc", "Circle",
    // "Particles", "Map", "MapList", "Additive", "ParticleSize",
    // "ParticleColor", "Velocity", "Angle", "Lifetime", "Gravity".
    bool SetParameter(const command_c& _command) override;
    // Modes and shapes stay exclusive and never empty: eruption wins over
    // explosion and disc over circle when both are set; clearing both sets
    // eruption (or disc).
    void SetFlags(u32 _bits) override;
    void ClearFlags(u32 _bits) override;
    // Builds the pool when out of date, tracks the emitter's speed, sizes the
    // bounds, clips them, respawns particles and queues the emitter in the
    // transparent pass.
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    void Render(int _pass) override;
    // Advances the emitter time by the step of the local time; a step
    // backwards restarts emission and leaves the emitter time alone.
    // Returns the emitter time.
    f32 Animate(f32 _time) override;
    float* GetEnvelopeTarget(u32 _index) override;

    // Each keeps only its own bits of _bits, then the exclusivity rule.
    void SetEmissionMode(u32 _bits);
    void SetShape(u32 _bits);
    // Interval 1 / f, f clamped to [FLT_EPSILON, 30].
    void SetFrequency(f32 _frequency);
    // Not above 0 stores 0.
    void SetRadius(f32 _radius);
    // A new count (at most max_particles) discards the pool.
    void SetParticleCount(u32 _count);
    // Each not above 0 stores 0.
    void SetParticleSize(f32 _birth, f32 _death);
    void SetParticleColor(const vec3_c& _birth, const vec3_c& _death);
    void SetGravity(const vec3_c& _gravity);
    void SetSpeed(f32 _minimum, f32 _maximum);
    // Full cone angles in radians.
    void SetAngle(f32 _minimum, f32 _maximum);
    void SetLifetime(f32 _minimum, f32 _maximum);
    // A sequence of images; an empty list keeps the map as it was.
    void SetMapSequence(const std::vector<string_c>& _paths, i32 _offset, f32 _rate, bool _loop, bool _bidirectional);
    // Draws spawn values from _random instead of the process-wide
    // generator; null returns to it. Not owned.
    void SetRandomSource(random_c* _random) { random = _random; }

    // One new particle: position and velocity (world space); returns its
    // lifetime.
    f32 SpawnParticle(vec3_c& _position, vec3_c& _velocity);

    u32 GetParticleCount() const { return particleCount; }
    f32 GetBirthSize() const { return birthSize; }
    f32 GetDeathSize() const { return deathSize; }
    const vec3_c& GetBirthColor() const { return birthColor; }
    const vec3_c& GetDeathColor() const { return deathColor; }
    f32 GetSpeedMinimum() const { return speedMinimum; }
    f32 GetSpeedMaximum() const { return speedMaximum; }
    f32 GetAngleMinimum() const { return angleMinimum; }
    f32 GetAngleMaximum() const { return angleMaximum; }
    f32 GetLifetimeMinimum() const { return lifetimeMinimum; }
    f32 GetLifetimeMaximum() const { return lifetimeMaximum; }
    const vec3_c& GetGravity() const { return gravity; }
    f32 GetRadius() const { return radius; }
    f32 GetEmissionInterval() const { return emissionInterval; }
    f32 GetEmitterTime() const { return clock.time; }
    // The pool; null before the first cull and without particles.
    const effect_geometry_c* GetParticles() const { return geometry.get(); }

    // "EMIT" chunk, or null (nothing consumed) for another tag; another
    // version skips the chunk and gives null. Values outside what the
    // setters allow are brought inside their limits.
    static emitter_c* Read(input_file_c& _file, renderer_c* _renderer);

protected:
    f32 GetBoundsRadius() const override;

private:
    f32 Draw(f32 _minimum, f32 _maximum);
    void RebuildPool();
    void Erupt();
    void Explode();
    void WriteParticle(u32 _index, const vec3_c& _position, const vec3_c& _velocity, f32 _birth, f32 _lifetime);
    void KeepModesAndShapes();

    u32 particleCount = 0;
    f32 birthSize = 1.0f;
    f32 deathSize = 1.0f;
    vec3_c birthColor = vec3_c(1.0f, 1.0f, 1.0f);
    vec3_c deathColor = vec3_c(1.0f, 1.0f, 1.0f);
    f32 speedMinimum = 0.0f;
    f32 speedMaximum = 0.0f;
    f32 angleMinimum = 0.0f;
    f32 angleMaximum = 0.0f;
    f32 lifetimeMinimum = 0.0f;
    f32 lifetimeMaximum = 0.0f;
    vec3_c gravity;
    f32 radius = 0.0f;
    f32 emissionInterval = 0.1f;
    f32 lastEmissionTime;
    random_c* random = nullptr;
};
