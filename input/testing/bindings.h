#pragma once
// Builds binding chunks as the store writes them, and loads them into a
// controllers_c, for tests that need a given action list.
#include <string>
#include <vector>

#include "input/controllers.h"
#include "level/chunk_saver.h"

struct binding_s {
    std::string name;
    GUID device;
    u32 object = 0;
    f32 ramp = 0;
    f32 fall_back = 0;
    u8 paired = 0;
};

inline std::vector<u8> WriteBindings(const std::vector<binding_s>& _bindings, f32 _divisor = 10.0f)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    saver.Begin("acac");
    saver.LeafFloat("musS", _divisor);
    i32 count = static_cast<i32>(_bindings.size());
    saver.LeafInt("nuac", count);
    for (binding_s b : _bindings) {
        saver.LeafStdString("name", b.name);
        saver.LeafData("devg", &b.device, sizeof(GUID));
        saver.LeafU32("objn", b.object);
        saver.LeafByte("conn", b.paired);
        saver.LeafFloat("cent", b.fall_back);
        saver.LeafFloat("mmxt", b.ramp);
    }
    saver.End();
    return saver.GetWrittenBytes();
}

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
