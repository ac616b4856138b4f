#include "input/binding_record.h"

#include "level/chunk_saver.h"

std::vector<u8> WriteBindings(const std::vector<binding_s>& _bindings, f32 _divisor)
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
