#pragma once
// trail_c: a ribbon left behind a moving object (smoke and vapour trails,
// tracer streaks). Each time the object has moved at least the measure a new
// cross-section (boundary) is laid where it stands: a pair of points either
// side of the path, facing the camera. The boundaries live in the vertices
// of one private geometry with their birth times; the renderer fades and
// drops them by the trail's time and lifetime. Once all segments exist,
// expired boundaries (or the oldest) leave the tail. "TRAL" chunk, version 6.
//
// Ribbon vertices, drawn as a strip: boundary i is vertices 2i (left) and
// 2i + 1 (right); normal = (birth time, head mark, age mark) with head mark
// 0 for laid boundaries and 1 (left) / 2 (right) on the live head, age mark
// 0 on a boundary that became the tail of a full ribbon, else 1; texture
// set 0 = (0 left / 1 right, boundary parity).
#include "engine/effect_object.h"

#include <memory>

// Flag word bits of the class.
inline constexpr u32 trail_additive = 0x1000;
inline constexpr u32 trail_ribbon_dirty = 0x10000;

class trail_c : public effect_object_c {
public:
    static constexpr u32 version = 6;
    // Longest ribbon: a count from a file or a script beyond it is refused.
    static constexpr u32 max_segments = 16384;

    // Flags 0x15 (rendered, depth test, fog); no segments; segment size 1.
    trail_c(const char* _name, renderer_c* _renderer);
    // Copies every member, clones the map and duplicates the ribbon.
    trail_c(const trail_c& _other) = default;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    // After the object keywords: "Segments" (integer), "Map" (text),
    // "Additive" (integer), "SegmentSize", "Lifetime", "Measure" (floats).
    bool SetParameter(const command_c& _command) override;
    // Builds the ribbon when out of date, tracks the speed, sizes and clips
    // the bounds, moves the head edge, lays boundaries and queues the trail
    // in the transparent pass.
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    void Render(int _pass) override;
    // Advances the trail time by the step of the local time; a step
    // backwards starts a new ribbon and leaves the time alone.
    f32 Animate(f32 _time) override;

    // A new count (at most max_segments) discards the ribbon.
    void SetSegments(u32 _count);
    // Not above 0 stores 0.
    void SetSegmentSize(f32 _size);
    // Each at least FLT_EPSILON.
    void SetLifetime(f32 _lifetime);
    void SetMeasure(f32 _measure);
    // The left and right point of the live head (world space).
    void GetVectors(vec3_c& _left, vec3_c& _right) const;

    u32 GetSegments() const { return segmentCount; }
    f32 GetSegmentSize() const { return segmentSize; }
    f32 GetLifetime() const { return lifetime; }
    f32 GetMeasure() const { return measure; }
    f32 GetTrailTime() const { return clock.time; }
    i32 GetHeadIndex() const { return headIndex; }
    // The ribbon; null before the first cull and without segments.
    const effect_geometry_c* GetRibbon() const { return geometry.get(); }

    // "TRAL" chunk, or null (nothing consumed) for another tag; another
    // version skips the chunk and gives null. Values outside what the
    // setters allow are brought inside their limits.
    static trail_c* Read(input_file_c& _file, renderer_c* _renderer);

protected:
    f32 GetBoundsRadius() const override;

private:
    void RebuildRibbon();
    void UpdateHeadEdge(const camera_c& _camera);
    void UpdateBoundaries();
    // Both vertices of boundary _index.
    void SetBoundary(u32 _index, f32 _birth, f32 _head_left, f32 _head_right, f32 _age, f32 _parity);
    void PlaceBoundary(u32 _index);

    u32 segmentCount = 0;
    f32 segmentSize = 1.0f;
    f32 lifetime = 0.0f;
    f32 measure = 0.0f;
    f32 lastBoundaryTime;
    i32 headIndex = -1;
    vec3_c lastBoundaryPosition;
    bool restart = true;
    vec3_c headLeft;
    vec3_c headRight;
};
