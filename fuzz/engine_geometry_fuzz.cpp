// Feeds arbitrary bytes to the engine's geometry stream, envelope and texture
// map readers. The first byte picks the reader; the rest is the stream. Broken data must
// end in file_error_c, never in a crash, a hang or a huge allocation.
#include "engine/geometry_def.h"
#include "engine/graph.h"
#include "engine/map.h"
#include "engine/texture_cache.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// An owner with a few animated members, so applying read envelopes writes
// only where the owner says.
class fuzz_owner_c : public graph_c {
public:
    float values[4] = {0, 0, 0, 0};

    float* GetEnvelopeTarget(u32 _index) override
    {
        return _index >= 3 && _index < 7 ? &values[_index - 3] : graph_c::GetEnvelopeTarget(_index);
    }
};

// Textures that load nothing: the map readers' own work is what is fuzzed.
class fuzz_texture_c : public texture_c {
public:
    using texture_c::texture_c;
    void TakeOver(texture_c*) override {}
    u32 GetLevelCount() const override { return 1; }
    bool IsCubic() const override { return false; }
};

class fuzz_texture_cache_c : public texture_cache_c {
public:
    texture_c* CreateTexture(const char* _key, const texture_def_c& _definition) override
    {
        return new fuzz_texture_c(_key, _definition);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 0x100000)
        return 0;
    input_file_c in(data + 1, static_cast<u32>(size - 1));
    try {
        if (data[0] % 3 == 2) {
            fuzz_texture_cache_c cache;
            while (!in.IsAtEnd()) {
                std::unique_ptr<map_c> map(ReadMap(in, &cache));
                if (!map)
                    break;
                for (float t : {-1.0f, 0.5f, 1e9f})
                    map->GetTexture(t);
            }
        } else if (data[0] % 3 == 1) {
            geometry_def_c def;
            ReadGeometryDef(in, def);
            def.IsIntegral();
            def.GetPrimitiveCount(0);
            for (const auto& set : def.primitiveSets) {
                float distance;
                vec3_c normal;
                set->RayTest(distance, normal, ray_c(vec3_c(0, 0, -10), vec3_c(0, 0, 20)), true);
            }
            def.weld = 1;
            if (def.GetVertexCount() < 2000)
                def.WeldVertices();
        } else {
            fuzz_owner_c owner;
            owner.Read(in);
            for (float t : {-3.5f, 0.0f, 0.25f, 7.0f, 1e7f})
                owner.Animate(t);
            owner.Reset();
        }
    } catch (const file_error_c&) {}
    return 0;
}
