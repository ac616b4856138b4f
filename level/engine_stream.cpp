#include "level/engine_stream.h"

#include "level/chunk_saver.h"

#include <cstring>
#include <vector>

bool ExchangeEngineStream(CChunkSaver& _saver, const std::function<void(output_file_c&)>& _write,
                          const std::function<void(input_file_c&)>& _read)
{
    if (_saver.IsWriting()) {
        output_file_c out;
        _write(out);
        std::vector<u8> bytes(out.GetData(), out.GetData() + out.GetSize());
        _saver.Payload(bytes);
        return true;
    }
    input_file_c view;
    if (!_saver.PayloadView(view))
        return false;
    _read(view);
    return true;
}

std::vector<string_c> SplitFileList(const char* _text)
{
    std::vector<string_c> names;
    if (_text == nullptr)
        return names;
    const char* start = _text;
    for (;;) {
        const char* bar = std::strchr(start, '|');
        const size_t length = bar ? static_cast<size_t>(bar - start) : std::strlen(start);
        if (length > 0) {
            string_c name;
            name.Assign(start, static_cast<unsigned>(length));
            names.push_back(name);
        }
        if (bar == nullptr)
            break;
        start = bar + 1;
    }
    return names;
}
