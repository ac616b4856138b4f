#pragma once
// Loads binding chunks (input/binding_record.h) into a controllers_c, for
// tests that need a given action list.
#include <string>
#include <vector>

#include "input/binding_record.h"
#include "input/controllers.h"
#include "level/chunk_saver.h"

// Runs SerializeActions over the bytes; its result.
inline bool ReadBindings(controllers_c& _controllers, std::vector<u8> _bytes)
{
    CChunkSaver saver;
    saver.OpenBuffer(CChunkSaver::mode_read, _bytes.data(), static_cast<u32>(_bytes.size()), "bindings");
    return _controllers.SerializeActions(saver);
}

inline void Bind(controllers_c& _controllers, const std::vector<binding_s>& _bindings, f32 _divisor = 10.0f)
{
    ReadBindings(_controllers, WriteBindings(_bindings, _divisor));
}
