#include "level/control_point_object.h"

#include "level/chunk_saver.h"

#include <cfloat>
#include <stdexcept>

bool control_point_object_c::Contains(const vec3_c& _point) const
{
    vec3_c d = _point - position;
    switch (shape) {
    case shape_sphere: break;
    case shape_column: d.y = 0.0f; break;
    default: return false;
    }
    return d.Length() < size;
}

void control_point_object_c::Serialize(CChunkSaver& _saver, int, renderer_c*)
{
    SerializeTransform(_saver);
    _saver.LeafInt("acOr", activationOrder);
    _saver.LeafInt("acTy", shape);
    _saver.LeafFloat("acSz", size);
    _saver.LeafInt("acCo", activationCounter);
    _saver.LeafFloat("acSp", activationSpeed);
    _saver.LeafInt("iden", id);
    _saver.LeafString("scrp", script);
    parameters.SerializeChunk(_saver);
}

void control_point_object_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    _list.GetSetInt("Type", &shape, _read, INT32_MIN, INT32_MAX);
    _list.GetSetFloat("Size", &size, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Activation speed", &activationSpeed, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetInt("Activation order", &activationOrder, _read, INT32_MIN, INT32_MAX);
    _list.GetSetInt("Activation counter", &activationCounter, _read, INT32_MIN, INT32_MAX);
    _list.GetSetInt("ID", &id, _read, INT32_MIN, INT32_MAX);
    _list.GetSetString("Script", &script, _read);
    if (_read)
        ApplyParameters();
}

void control_point_object_c::CreateEngineObject(aggregate_c*, renderer_c*)
{
    throw std::runtime_error("control_point_object_c::CreateEngineObject: the editor's marker is not implemented");
}
