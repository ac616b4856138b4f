#pragma once
// sequent_map_c: a map of a timed sequence of textures (object tag "SQNT",
// version 3).
#include "engine/map.h"
#include "engine/texture_def.h"

#include <vector>

class sequent_map_c : public map_c {
public:
    static constexpr u32 version = 3;

    // One texture per definition, in order, each with one use taken.
    sequent_map_c(const std::vector<texture_def_c>& _definitions, i32 _frame_offset, f32 _frame_rate, bool _loop,
                  bool _bidirectional, texture_cache_c* _cache);
    sequent_map_c(const sequent_map_c& _other);
    ~sequent_map_c() override;

    map_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    // Frame GetFrameIndex(t); null without frames.
    texture_c* GetTexture(f32 _time) const override;
    u32 GetFrameCount() const override { return static_cast<u32>(frames.size()); }

    // i = trunc(t x rate) - offset; below 0: 0; past the end: the last frame,
    // or wrapped when looping (forwards and backwards in turn when
    // bidirectional). 0 without frames.
    u32 GetFrameIndex(f32 _time) const;

    i32 GetFrameOffset() const { return frameOffset; }
    f32 GetFrameRate() const { return frameRate; }
    bool IsLooping() const { return loop; }
    bool IsBidirectional() const { return bidirectional; }

    // Null (nothing consumed) unless the next chunk is "SQNT"; null for
    // another version (chunk skipped).
    static sequent_map_c* Read(input_file_c& _file, texture_cache_c* _cache);

private:
    std::vector<texture_c*> frames;
    i32 frameOffset;
    f32 frameRate;
    bool loop;
    bool bidirectional;
    texture_cache_c* cache;
};
