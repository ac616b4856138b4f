// Feeds arbitrary bytes to the engine's object loader: scenes, aggregates
// nested in them, cameras, lights and their link records. A scene that loads
// is played for a frame, picked at, written and read back, which must give
// the same bytes. Broken data must end in file_error_c, never in a crash, a
// hang or a huge allocation.
#include "engine/object_format.h"
#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// The recording renderer is a test helper outside the engine library.
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

std::vector<u8> Written(const null_object_c& _object)
{
    output_file_c out;
    _object.Write(out);
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

void Play(scene_c& _scene)
{
    for (f32 time : {0.0f, 0.5f, 1e6f}) {
        _scene.Animate(time, true);
        _scene.PrepareFrame();
        _scene.Render();
    }
    _scene.PickAtScreen(0.5f, 0.5f, true, true, FLT_MAX);
    f32 distance;
    vec3_c normal;
    _scene.RayTestObjects(distance, normal, ray_c(vec3_c(0, 0, -100), vec3_c(0, 0, 200)), false, false, FLT_MAX);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x100000)
        return 0;
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
            if (auto* scene = dynamic_cast<scene_c*>(object.get()))
                Play(*scene);
            renderer.ClearCalls();
            const std::vector<u8> bytes = Written(*object);
            input_file_c again(bytes.data(), static_cast<u32>(bytes.size()));
            std::unique_ptr<null_object_c> copy(LoadObject(again, &renderer, false));
            if (!copy || Written(*copy) != bytes)
                std::abort();
        }
    } catch (const file_error_c&) {}
    return 0;
}
