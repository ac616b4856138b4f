#pragma once
// Texture maps and stored records shared by the camera-facing and particle
// effects (sprites, animated sprites, lens flares, emitters and trails).
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <functional>
#include <memory>
#include <vector>

class command_c;
class input_file_c;
class map_c;
class output_file_c;
class renderer_c;

// A still map of the image (mip-mapped) from the renderer's texture cache,
// clamped at the edges; null for a null path.
std::unique_ptr<map_c> MakeEffectMap(const char* _path, bool _high_quality, renderer_c* _renderer);
// A sequence map of one mip-mapped image per path, in order, clamped at the
// edges; null for an empty list.
std::unique_ptr<map_c> MakeEffectSequence(const std::vector<string_c>& _paths, i32 _offset, f32 _rate, bool _loop,
                                          bool _bidirectional, renderer_c* _renderer);

// The image paths of a "MapList" text: its lines (split at line feeds)
// without leading and trailing blanks and tabs; empty lines are dropped.
std::vector<string_c> SplitMapList(const char* _text);

// The settings of a "MapList" line: the image lines of token 1 and the named
// "OFFSET", "FPS", "LOOPING"/"LOOP" and "BIDIRECTIONAL"/"BIDI" values.
class map_list_c {
public:
    std::vector<string_c> paths;
    i32 offset = 0;
    f32 rate = 30.0f;
    bool loop = true;
    bool bidirectional = false;

    // Throws command_error_c without token 1.
    explicit map_list_c(const command_c& _command);
};

// The "colr" record of a body: u32 tag, then a block with the map chunk.
// Nothing is written without a map.
void WriteMapRecord(output_file_c& _file, const map_c* _map);
// The map of a "colr" block: a still or sequence map read with the
// renderer's texture cache; null for a map kind or version it does not know.
std::unique_ptr<map_c> ReadMapRecord(input_file_c& _block, renderer_c* _renderer);

// Reads the records that close an object body: each "colr" record replaces
// _map, other records are skipped.
void ReadMapRecords(input_file_c& _body, renderer_c* _renderer, std::unique_ptr<map_c>& _map);

// Reads the records that close an object body (u32 tag and a block each)
// until only padding is left, handing each to _record. Records cut short
// throw file_error_c with the file's name.
void ReadBodyRecords(input_file_c& _body, const std::function<void(u32 _tag, input_file_c& _block)>& _record);

inline constexpr u32 tag_colr = 0x726c6f63; // "colr"

// Colour and alpha of the effects' debug outlines.
inline vec3_c EffectBoundsColor()
{
    return vec3_c(0.5f, 0.75f, 0.75f);
}
inline constexpr f32 effect_bounds_alpha = 0.75f;
