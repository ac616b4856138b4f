#include "engine/object_format.h"

#include "engine/aggregate.h"
#include "engine/geom_object.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "engine/stream_check.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <array>

namespace {

std::array<object_reader_f, object_reader_count>& Readers()
{
    static std::array<object_reader_f, object_reader_count> readers{};
    return readers;
}

thread_local u32 nesting_depth = 0;

} // namespace

void RegisterObjectReader(object_reader_e _slot, object_reader_f _reader)
{
    if (_slot < object_reader_count)
        Readers()[_slot] = _reader;
}

object_reader_f GetObjectReader(object_reader_e _slot)
{
    return _slot < object_reader_count ? Readers()[_slot] : nullptr;
}

null_object_c* LoadObject(input_file_c& _file, renderer_c* _renderer, bool _geometry_only)
{
    // A reader that skipped a chunk of another version has moved the stream;
    // the next reader must then not look at the data behind it.
    const u32 start = _file.GetPosition();
    auto moved = [&] { return _file.GetPosition() != start; };
    if (null_object_c* object = geom_object_c::Read(_file, _renderer, 0))
        return object;
    if (_geometry_only || moved())
        return nullptr;
    if (null_object_c* object = aggregate_c::Read(_file, _renderer))
        return object;
    if (moved())
        return nullptr;
    if (null_object_c* object = ReadScene(_file, _renderer))
        return object;
    if (moved())
        return nullptr;
    for (object_reader_f reader : Readers()) {
        if (!reader)
            continue;
        if (null_object_c* object = reader(_file, _renderer))
            return object;
        if (moved())
            return nullptr;
    }
    return null_object_c::Read(_file);
}

null_object_c* LoadObject(const char* _file_name, renderer_c* _renderer, bool _geometry_only)
{
    input_file_c file(_file_name);
    null_object_c* object = LoadObject(file, _renderer, _geometry_only);
    if (!object)
        throw file_error_c(file.GetName(), "Unknown file format!");
    return object;
}

string_c FileTitle(const char* _file_name)
{
    string_c name(_file_name);
    int start = 0;
    for (int i = 0; i < static_cast<int>(name.GetLength()); ++i)
        if (name[i] == '\\' || name[i] == '/' || name[i] == ':')
            start = i + 1;
    name = name.Mid(start, name.GetLength() - start);
    const int dot = name.Find('.', -1);
    if (dot > 0)
        name.Truncate(dot);
    return name;
}

object_nesting_guard_c::object_nesting_guard_c(const input_file_c& _file)
{
    if (nesting_depth >= max_depth)
        ThrowDataError(_file, "Objects nested too deeply!");
    ++nesting_depth;
}

object_nesting_guard_c::~object_nesting_guard_c()
{
    --nesting_depth;
}
