#include "engine/import/testing/triangle_layers.h"

#include "engine/import/testing/iff_writer.h"

std::vector<u8> TriangleLayers(const std::vector<const char*>& _layerNames, const std::vector<const char*>& _morphNames)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    for (size_t layer = 0; layer < _layerNames.size(); ++layer) {
        w.Begin("LAYR", 4);
        w.U16(static_cast<u16>(layer));
        w.U16(0);
        w.Vec3(0, 0, 0);
        w.String(_layerNames[layer]);
        w.End();
        w.Begin("PNTS", 4);
        w.Vec3(0, 0, 0);
        w.Vec3(1, 0, 0);
        w.Vec3(0, 1, 0);
        w.End();
        w.Begin("POLS", 4);
        w.Id("FACE");
        w.U16(3);
        w.U16(0);
        w.U16(1);
        w.U16(2);
        w.End();
        for (const char* morph : _morphNames) {
            w.Begin("VMAP", 4);
            w.Id("MORF");
            w.U16(3);
            w.String(morph);
            w.Index(2);
            w.Vec3(0, 0, 1);
            w.End();
        }
    }
    w.End();
    return w.bytes;
}
