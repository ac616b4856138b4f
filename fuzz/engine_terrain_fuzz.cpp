// Feeds arbitrary bytes to the readers of terrains, sky boxes, water and
// forests through the object loader. What loads is culled, ray-tested and
// built as the game would, written and read back, which must give the same
// bytes. Broken data must end in file_error_c, never in a crash, a hang or
// a huge allocation.
#include "engine/forest.h"
#include "engine/mesh.h"
#include "engine/object_format.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "engine/water.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The recording renderer and camera helpers are test code outside the
// engine library.
#include "engine/testing/landscape_fixtures.cpp"
#include "engine/testing/recording_renderer.cpp"

namespace {

// Textures that load nothing: the readers' own work is what is fuzzed.
class fuzz_renderer_c : public recording_renderer_c {
public:
    fuzz_renderer_c() : recording_renderer_c(320, 240) {}
    texture_c* CreateTexture(const char* _key, const texture_def_c& _definition) override
    {
        return new recording_texture_c(_key, _definition);
    }
};

// Work of a size the fuzzer can afford; the bounds themselves are tested.
bool Affordable(const forest_c& _forest)
{
    const forest_generator_c& trees = _forest.GetTrees();
    return u64(trees.GetTreeSlots()) * trees.GetCellCount() <= 200000 && trees.GetViewCapacity() <= 20000;
}

void Use(null_object_c& _object, fuzz_renderer_c& _renderer)
{
    if (auto* water = dynamic_cast<water_c*>(&_object))
        if (water->GetGeography().GetWidth() > 256)
            return;
    if (auto* forest = dynamic_cast<forest_c*>(&_object))
        if (!Affordable(*forest))
            return;
    _object.UpdateTransform(nullptr);
    test_camera_c eye(_renderer, vec3_c(3.0f, 20.0f, -40.0f));
    object_list_t pass0, pass1;
    for (u32 mask : {0u, clip_inside})
        if (_object.Cull(pass0, pass1, nullptr, &eye, mask, 0))
            for (null_object_c* queued : pass0)
                queued->Render(0);
    f32 distance;
    vec3_c normal;
    for (bool precise : {false, true}) {
        _object.RayTest(distance, normal, ray_c(vec3_c(1, 100, 2), vec3_c(0, -200, 0)), true, precise, FLT_MAX);
        _object.RayTest(distance, normal, ray_c(vec3_c(-50, 1, 0), vec3_c(100, 0, 1)), true, precise, 60.0f);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x100000)
        return 0;
    terrain_c::RegisterReader();
    sky_box_c::RegisterReader();
    water_c::RegisterReader();
    forest_c::RegisterReader();
    fuzz_renderer_c renderer;
    input_file_c in(data, static_cast<u32>(size));
    try {
        while (!in.IsAtEnd()) {
            const u32 before = in.GetPosition();
            std::unique_ptr<null_object_c> object(LoadObject(in, &renderer, false));
            if (!object) {
                if (in.GetPosition() == before)
                    break;
                continue;
            }
            Use(*object, renderer);
            const std::vector<u8> bytes = Written(*object);
            input_file_c again(bytes.data(), static_cast<u32>(bytes.size()));
            std::unique_ptr<null_object_c> copy(LoadObject(again, &renderer, false));
            if (!copy || Written(*copy) != bytes)
                std::abort();
        }
    } catch (const file_error_c&) {
    } catch (const std::runtime_error& error) {
        // The device refuses geometry it cannot hold; any other failure is a
        // fault to be found.
        const std::string text = error.what();
        if (text != "Non integral geometry!" && text != "Maximum primitive count exceeded!" &&
            text != "Maximum vertex count exceeded!")
            throw;
    }
    return 0;
}
