#pragma once
// Texture maps: what entities and materials hold. A map names the vertex
// texture-coordinate set it reads, an optional texture-coordinate transform
// and how the renderer samples and blends it; still_map_c holds one texture,
// sequent_map_c a timed sequence. Maps take use counts on their textures for
// their lifetime; the textures stay in the cache until it is purged.
#include "foundation/matrix.h"
#include "foundation/types.h"

class input_file_c;
class output_file_c;
class texture_c;
class texture_cache_c;

class map_c {
public:
    virtual ~map_c() = default;

    // A new copy with its own use counts on the same textures; the caller
    // owns it.
    virtual map_c* Clone() const = 0;
    // Writes the map chunk into a file of that name.
    virtual void Save(const char* _file_name) const;
    // Appends the map chunk ("STIL" or "SQNT").
    virtual void Write(output_file_c& _file) const = 0;
    // Rebuilds the device textures from their definitions.
    virtual void Preload() = 0;
    // The texture to draw at a time; null when the map has no frames.
    virtual texture_c* GetTexture(f32 _time) const = 0;
    virtual u32 GetFrameCount() const = 0;

    u32 GetTexCoordSet() const { return texCoordSet; }
    // Values of 3 and above are stored as 0.
    void SetTexCoordSet(u32 _set) { texCoordSet = _set < 3 ? _set : 0; }

    // The transform only when it differs from the identity, else null.
    const mat4x3_c* GetTransform() const { return hasTransform ? &transform : nullptr; }
    // Copies twelve floats (rows of three); the flag says whether they differ
    // from the identity (each element by less than 1.1920929e-7).
    void SetTransform(const f32* _values);
    void SetTransform(const mat4x3_c& _transform);

    // 1: the texture repeats; 0: coordinates clamp to the edges.
    u8 GetRepeat() const { return repeat; }
    void SetRepeat(u8 _repeat) { repeat = _repeat; }
    // 1: linear sampling and mip blending; 0: nearest.
    u8 GetFiltering() const { return filtering; }
    void SetFiltering(u8 _filtering) { filtering = _filtering; }
    // How a second layer combines with the first: 1 multiply, 2 multiply and
    // double, 3 add, 4 blend by the alpha so far; other values: not drawn.
    u32 GetBlendMode() const { return blendMode; }
    void SetBlendMode(u32 _mode) { blendMode = _mode; }

protected:
    map_c();
    map_c(const map_c&) = default;
    map_c& operator=(const map_c&) = delete;

    // u32 set, 12 floats, u8 flag, u8 repeat, u8 filtering, u8 blend mode.
    void WriteBody(output_file_c& _file) const;
    void ReadBody(input_file_c& _file);

private:
    u32 texCoordSet = 0;
    mat4x3_c transform;
    bool hasTransform = false;
    u8 repeat = 1;
    u8 filtering = 1;
    u32 blendMode = 0;
};

// Reads a "STIL" or "SQNT" chunk with its textures from the cache; null
// (nothing consumed) for any other tag, null (chunk skipped) for another
// version. The caller owns the map. Throws file_error_c on broken data.
map_c* ReadMap(input_file_c& _file, texture_cache_c* _cache);
