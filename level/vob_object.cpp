#include "level/vob_object.h"

#include "engine/object_format.h"
#include "level/chunk_saver.h"

void vob_object_c::Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer)
{
    parameter_object_c::Serialize(_saver, _zero, _renderer);
    _saver.LeafString("fnam", fileName);
    if (_saver.IsReading() && _renderer != nullptr && !fileName.IsEmpty())
        SetEntity(std::unique_ptr<null_object_c>(LoadObject(fileName, _renderer, false)));
}

void vob_object_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    if (!_read)
        _list.Clear();
    _list.GetSetString("Filename", &fileName, _read);
    if (_read)
        ApplyParameters();
}
