// Reads arbitrary bytes as a chunk file into parameter lists: at the top level
// and inside a "prms" chunk, as scene and template files hold them. Whatever
// reads must write back and read again to the same list.
#include "level/chunk_saver.h"
#include "level/parameter_list.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void ReadList(std::vector<u8>& _bytes, parameter_list_c& _list, bool _nested)
{
    CChunkSaver saver;
    saver.OpenBuffer(CChunkSaver::mode_read, _bytes.data(), static_cast<u32>(_bytes.size()), "fuzz.sce");
    if (!_nested) {
        _list.Serialize(saver);
        return;
    }
    if (saver.Begin("prms"))
        _list.Serialize(saver);
    saver.End();
}

std::vector<u8> WriteList(parameter_list_c& _list)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    _list.Serialize(saver);
    return saver.GetWrittenBytes();
}

std::string Text(const parameter_c& _parameter)
{
    char buffer[128];
    _parameter.ToText(buffer, sizeof buffer);
    return buffer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size == 0 || size > 1u << 20)
        return 0;
    for (bool nested : {false, true}) {
        std::vector<u8> bytes(data, data + size);
        parameter_list_c list;
        try {
            ReadList(bytes, list, nested);
        } catch (const file_error_c&) {
            continue;
        }
        std::vector<u8> written = WriteList(list);
        parameter_list_c again;
        ReadList(written, again, false);
        if (again.Count() != list.Count())
            std::abort();
        for (u32 i = 0; i < list.Count(); ++i) {
            const parameter_c& a = *list.Get(i);
            const parameter_c& b = *again.Get(i);
            if (a.GetType() != b.GetType() || a.name != b.name || Text(a) != Text(b))
                std::abort();
        }
    }
    return 0;
}
