#include "engine/sequent_map.h"

#include "engine/object_chunk.h"
#include "engine/stream_check.h"
#include "engine/texture_cache.h"
#include "foundation/memory_file.h"

#include <cmath>
#include <memory>
#include <stdexcept>

sequent_map_c::sequent_map_c(const std::vector<texture_def_c>& _definitions, i32 _frame_offset, f32 _frame_rate,
                             bool _loop, bool _bidirectional, texture_cache_c* _cache)
    : frameOffset(_frame_offset), frameRate(_frame_rate), loop(_loop), bidirectional(_bidirectional), cache(_cache)
{
    if (!cache)
        throw std::invalid_argument("sequent_map_c::sequent_map_c(const std::vector<texture_def_c>& _definitions, "
                                    "i32 _frame_offset, f32 _frame_rate, bool _loop, bool _bidirectional, "
                                    "texture_cache_c* _cache)");
    frames.reserve(_definitions.size());
    try {
        for (const texture_def_c& definition : _definitions)
            frames.push_back(cache->AddRef(cache->GetTexture(definition)));
    } catch (...) {
        for (texture_c* frame : frames)
            cache->Release(frame);
        throw;
    }
}

sequent_map_c::sequent_map_c(const sequent_map_c& _other)
    : map_c(_other), frames(_other.frames), frameOffset(_other.frameOffset), frameRate(_other.frameRate),
      loop(_other.loop), bidirectional(_other.bidirectional), cache(_other.cache)
{
    for (texture_c* frame : frames)
        cache->AddRef(frame);
}

sequent_map_c::~sequent_map_c()
{
    for (texture_c* frame : frames)
        cache->Release(frame);
}

map_c* sequent_map_c::Clone() const
{
    return new sequent_map_c(*this);
}

void sequent_map_c::Write(output_file_c& _file) const
{
    output_file_c body;
    body.WriteU32(static_cast<u32>(frames.size()));
    for (const texture_c* frame : frames)
        frame->definition.Write(body);
    body.WriteU32(static_cast<u32>(frameOffset));
    body.WriteF32(frameRate);
    body.WriteU8(loop ? 1 : 0);
    body.WriteU8(bidirectional ? 1 : 0);
    WriteBody(body);
    WriteChunk(_file, MakeTag("SQNT"), version, body);
}

void sequent_map_c::Preload()
{
    for (texture_c* frame : frames)
        cache->Preload(frame);
}

u32 sequent_map_c::GetFrameIndex(f32 _time) const
{
    const i64 n = static_cast<i64>(frames.size());
    if (n == 0)
        return 0;
    // Multiplied in single precision, then bounded before the conversion so
    // any time gives a defined index.
    const f32 product = _time * frameRate;
    const f64 scaled = std::trunc(static_cast<f64>(product));
    if (!(scaled > -4.0e18 && scaled < 4.0e18))
        return scaled > 0 ? static_cast<u32>(loop ? 0 : n - 1) : 0;
    const i64 i = static_cast<i64>(scaled) - frameOffset;
    if (i < 0)
        return 0;
    if (i < n)
        return static_cast<u32>(i);
    if (!loop)
        return static_cast<u32>(n - 1);
    const i64 q = i / n;
    const i64 r = i % n;
    if (bidirectional)
        return static_cast<u32>(q % 2 == 0 ? r : n - 1 - r);
    return static_cast<u32>(r);
}

texture_c* sequent_map_c::GetTexture(f32 _time) const
{
    return frames.empty() ? nullptr : frames[GetFrameIndex(_time)];
}

sequent_map_c* sequent_map_c::Read(input_file_c& _file, texture_cache_c* _cache)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("SQNT"), version, body))
        return nullptr;
    const u32 count = ReadCheckedU32(body);
    CheckRecordCount(body, count, texture_def_min_record_size, "Invalid frame count!");
    std::vector<texture_def_c> definitions(count);
    for (texture_def_c& definition : definitions)
        definition.Read(body);
    const i32 offset = static_cast<i32>(ReadCheckedU32(body));
    const f32 rate = ReadCheckedF32(body);
    const bool looping = ReadCheckedU8(body) != 0;
    const bool both_ways = ReadCheckedU8(body) != 0;
    std::unique_ptr<sequent_map_c> map(new sequent_map_c(definitions, offset, rate, looping, both_ways, _cache));
    map->ReadBody(body);
    return map.release();
}
