#pragma once
// Helpers of the effect tests: a camera with a plain square view, image files
// in memory, and round trips through the object format.
#include "engine/camera.h"
#include "engine/null_object.h"
#include "engine/testing/memory_file_system.h"
#include "foundation/memory_file.h"

#include <memory>
#include <string>
#include <vector>

class renderer_c;

// zoom 1 (half view 1 on both axes), near plane 1, far plane 1000, placed at
// _position turned by _rotation (heading, pitch, bank).
std::unique_ptr<camera_c> MakeTestCamera(const vec3_c& _position, const vec3_c& _rotation = vec3_c());

// Adds small BMP pictures under the given names.
void AddTestPicture(memory_file_system_c& _files, const std::string& _name);

// A view of what was written.
input_file_c ViewOf(const output_file_c& _out);

// Installs the effect readers for its lifetime and then removes them again,
// so tests that expect empty reader slots find them so.
class effect_readers_scope_c {
public:
    effect_readers_scope_c();
    effect_readers_scope_c(const effect_readers_scope_c&) = delete;
    effect_readers_scope_c& operator=(const effect_readers_scope_c&) = delete;
    ~effect_readers_scope_c();
};

// Writes the object and reads it back through the effect readers.
std::unique_ptr<null_object_c> RoundTrip(const null_object_c& _object, renderer_c* _renderer);

// The body bytes of the object's chunk, which must carry _tag.
std::vector<u8> BodyBytes(const null_object_c& _object, u32 _tag, u32 _version);
// Appends raw bytes.
void AppendBytes(output_file_c& _out, const std::vector<u8>& _bytes);
// A whole chunk around raw body bytes.
std::vector<u8> ChunkBytes(u32 _tag, u32 _version, const std::vector<u8>& _body);

// A rectangle across the view at a fixed world depth: x from minX to maxX,
// y from -10 to 10; ray-testable, draws nothing.
class wall_c : public null_object_c {
public:
    float z;
    float minX;
    float maxX;

    wall_c(float _z, float _min_x, float _max_x);
    void GetBoundingBox(aabb_c& _box) override;
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                 float _maximum) override;
};
