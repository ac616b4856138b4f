#include "engine/effect_maps.h"

#include "engine/map.h"
#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/sequent_map.h"
#include "engine/still_map.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

static_assert(tag_colr == MakeTag("colr"));

std::unique_ptr<map_c> MakeEffectMap(const char* _path, bool _high_quality, renderer_c* _renderer)
{
    if (!_path)
        return nullptr;
    auto map = std::make_unique<still_map_c>(texture_def_c(_path, true, _high_quality), _renderer);
    map->SetRepeat(0);
    return map;
}

std::unique_ptr<map_c> MakeEffectSequence(const std::vector<string_c>& _paths, i32 _offset, f32 _rate, bool _loop,
                                          bool _bidirectional, renderer_c* _renderer)
{
    if (_paths.empty())
        return nullptr;
    std::vector<texture_def_c> definitions;
    definitions.reserve(_paths.size());
    for (const string_c& path : _paths)
        definitions.emplace_back(path.GetData(), true, false);
    auto map = std::make_unique<sequent_map_c>(definitions, _offset, _rate, _loop, _bidirectional, _renderer);
    map->SetRepeat(0);
    return map;
}

std::vector<string_c> SplitMapList(const char* _text)
{
    std::vector<string_c> lines;
    if (!_text)
        return lines;
    const char* line = _text;
    for (;;) {
        const char* end = line;
        while (*end && *end != '\n')
            ++end;
        const char* first = line;
        const char* last = end;
        while (first < last && (*first == ' ' || *first == '\t'))
            ++first;
        while (last > first && (last[-1] == ' ' || last[-1] == '\t'))
            --last;
        if (last > first) {
            string_c path;
            path.Assign(first, static_cast<unsigned>(last - first));
            lines.push_back(path);
        }
        if (!*end)
            break;
        line = end + 1;
    }
    return lines;
}

map_list_c::map_list_c(const command_c& _command)
    : paths(SplitMapList(_command.GetParameter(1u))), offset(_command.GetInt("OFFSET", nullptr, 0)),
      rate(_command.GetFloat("FPS", 30.0f)), loop(_command.GetInt("LOOPING", "LOOP", 1) != 0),
      bidirectional(_command.GetInt("BIDIRECTIONAL", "BIDI", 0) != 0)
{}

void WriteMapRecord(output_file_c& _file, const map_c* _map)
{
    if (!_map)
        return;
    output_file_c block;
    _map->Write(block);
    _file.WriteU32(tag_colr);
    _file.WriteBlock(block);
}

std::unique_ptr<map_c> ReadMapRecord(input_file_c& _block, renderer_c* _renderer)
{
    return std::unique_ptr<map_c>(ReadMap(_block, _renderer));
}

void ReadBodyRecords(input_file_c& _body, const std::function<void(u32 _tag, input_file_c& _block)>& _record)
{
    // Up to three bytes of padding may close a body.
    while (_body.GetAlignedPointer32()) {
        const u32 tag = ReadCheckedU32(_body);
        input_file_c block;
        ReadCheckedBlock(_body, block);
        _record(tag, block);
    }
}

void ReadMapRecords(input_file_c& _body, renderer_c* _renderer, std::unique_ptr<map_c>& _map)
{
    ReadBodyRecords(_body, [&](u32 _tag, input_file_c& _block) {
        if (_tag == tag_colr)
            _map = ReadMapRecord(_block, _renderer);
    });
}
