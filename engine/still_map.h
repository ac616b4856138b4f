#pragma once
// still_map_c: a map of one texture (object tag "STIL", version 4).
#include "engine/map.h"
#include "engine/texture_def.h"

class still_map_c : public map_c {
public:
    static constexpr u32 version = 4;

    // Gets the texture from the cache and takes one use on it.
    still_map_c(const texture_def_c& _definition, texture_cache_c* _cache);
    still_map_c(const still_map_c& _other);
    ~still_map_c() override;

    map_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    texture_c* GetTexture(f32 _time) const override;
    u32 GetFrameCount() const override { return 1; }

    // Null (nothing consumed) unless the next chunk is "STIL"; null for
    // another version (chunk skipped).
    static still_map_c* Read(input_file_c& _file, texture_cache_c* _cache);

private:
    texture_c* texture;
    texture_cache_c* cache;
};
